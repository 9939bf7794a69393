// The Windows writer of the text report file.
#pragma once

#include <string>

#include "output/save_outcome.h"

namespace orbilux {

// Code page 932 through WideCharToMultiByte ("?" for what it cannot hold),
// CR LF line ends, written to "~<name>.tmp" beside path and moved into place
// through the installed file functions; why it failed goes to failure.
bool writeReportFileWin32(const std::wstring& path, const std::wstring& text, SaveFailure* failure = nullptr);

// Makes writeReportFile (and so the saving run's report step) use it.
void InstallReportFileWriter();

}  // namespace orbilux
