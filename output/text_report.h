// The text report written beside the pictures of a capture.
#pragma once

#include <string>

#include "output/output_naming.h"
#include "output/save_outcome.h"
#include "sysinfo/computer_info.h"

namespace orbilux {

// The report as wide text with "\n" line ends and its tabs still in place:
// the general heading and information lines, and unless logType is 1 the
// system and application log sections.
std::wstring BuildReportText(const ComputerInfo& info, int logType);

// Replaces every tab by the spaces up to the next multiple of 8 characters
// counted from the last line feed.
std::wstring ExpandTabs(const std::wstring& text);

// Writes text in code page 932 with CR LF line ends into a temporary file
// beside path and moves it into place once complete (WriteFileReplacing).
// Characters that code page 932 cannot hold are written as "?", never a
// look-alike (the platform's conversion, base/platform.h). Why it failed goes
// to failure.
bool WriteReportFile(OutputFileSystem& files, const std::wstring& path, const std::wstring& text,
                     SaveFailure* failure = nullptr);

// Builds, expands and writes the report for info to path.
bool WriteTextReport(OutputFileSystem& files, const ComputerInfo& info, int logType, const std::wstring& path,
                     SaveFailure* failure = nullptr);

}  // namespace orbilux
