// The multi-monitor functions of USER32.DLL, looked up by name each time they
// are needed, with fallbacks to the primary screen when they are missing.
#pragma once

#include <windows.h>

#include <string>

#include "capture/monitor_list.h"

namespace orbilux {

// A look-up failure; its text never reaches the user.
class MonitorFunctionError {
public:
    explicit MonitorFunctionError(std::wstring text) : text_(std::move(text)) {}
    const std::wstring& Text() const { return text_; }

private:
    std::wstring text_;
};

extern const wchar_t kMultiMonitorNotSupportedText[];
extern const wchar_t kUser32NotLoadedText[];
extern const wchar_t kFunctionNotFoundText[];

class MonitorFunctions {
public:
    enum Index {
        kEnumDisplayMonitors = 0,
        kMonitorFromPoint = 1,
        kMonitorFromRect = 2,
        kMonitorFromWindow = 3,
        kGetMonitorInfoW = 4,
    };

    // Whether a system of that platform and version has the functions: the
    // Windows 9x line from its second release, the NT line after version 4.
    static bool Supported(DWORD platformId, DWORD majorVersion, DWORD minorVersion);

    // The function of that index, or a MonitorFunctionError.
    static FARPROC Lookup(Index index);
    static FARPROC LookupByName(const char* name);

    // False when the enumeration fails or the function is missing.
    static bool EnumDisplayMonitors(HDC dc, const RECT* clip, MONITORENUMPROC proc, LPARAM data);
    // Without the function: the primary screen and the work area, and success.
    static BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);

    // The primary screen (0, 0, SM_CXSCREEN, SM_CYSCREEN) and the system's work area.
    static MonitorInfo PrimaryScreen();
};

}  // namespace orbilux
