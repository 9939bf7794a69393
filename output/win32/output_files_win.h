// File output's use of the Windows file functions: extended-length paths for
// long names, the system's error codes as reasons, and the system's clock.
#pragma once

#include <windows.h>

#include <string>

#include "output/output_naming.h"
#include "output/save_outcome.h"

namespace orbilux {

// The form of path to hand to the file functions: the path itself while its
// full form is shorter than kLongPathThreshold, else the extended-length form
// of its full path (\\?\C:\... or \\?\UNC\server\share\...), which the file
// functions take up to 32,767 characters long.
std::wstring LongPathForm(const std::wstring& path);

// The reason behind a system error code of a file function on path.
SaveFailure FailureFromWin32Error(DWORD error, const std::wstring& path);

// The Windows file functions (one shared object without state).
OutputFileSystem& Win32FileSystem();

// Everything file output takes from Windows: the file functions above, the
// shell's folders (pictures, else documents; local application data) and the
// system's clock.
class Win32OutputPlatform : public OutputPlatform {
public:
    OutputFileSystem& Files() override;
    std::wstring PicturesFolder() override;
    std::wstring LocalAppDataFolder() override;
    tamrik::CalendarTime LocalTime() override;
};

}  // namespace orbilux
