#include "capture/win32/monitor_functions.h"

namespace orbilux {

const wchar_t kMultiMonitorNotSupportedText[] = L"This OS Not Support MultiMonitor.";
const wchar_t kUser32NotLoadedText[] = L"Cant Load USER32.DLL (rare case?).";
const wchar_t kFunctionNotFoundText[] = L"Invalid or Not Found Function Name.";

namespace {

const char* const kFunctionNames[] = {"EnumDisplayMonitors", "MonitorFromPoint", "MonitorFromRect",
                                      "MonitorFromWindow", "GetMonitorInfoW"};

bool SystemSupportsMultiMonitor() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExW(&version)) return false;
    return MonitorFunctions::Supported(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

MonitorRect FromRect(const RECT& r) {
    return MonitorRect{r.left, r.top, r.right, r.bottom};
}

}  // namespace

bool MonitorFunctions::Supported(DWORD platformId, DWORD majorVersion, DWORD minorVersion) {
    if (platformId == VER_PLATFORM_WIN32_WINDOWS) return minorVersion != 0;
    if (platformId == VER_PLATFORM_WIN32_NT) return majorVersion > 4;
    return false;
}

FARPROC MonitorFunctions::LookupByName(const char* name) {
    if (!SystemSupportsMultiMonitor()) throw MonitorFunctionError(kMultiMonitorNotSupportedText);
    const HMODULE user32 = ::GetModuleHandleW(L"USER32.DLL");
    if (!user32) throw MonitorFunctionError(kUser32NotLoadedText);
    const FARPROC function = ::GetProcAddress(user32, name);
    if (!function) throw MonitorFunctionError(kFunctionNotFoundText);
    return function;
}

FARPROC MonitorFunctions::Lookup(Index index) {
    if (index < kEnumDisplayMonitors || index > kGetMonitorInfoW)
        throw MonitorFunctionError(kFunctionNotFoundText);
    return LookupByName(kFunctionNames[index]);
}

bool MonitorFunctions::EnumDisplayMonitors(HDC dc, const RECT* clip, MONITORENUMPROC proc, LPARAM data) {
    using EnumFn = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
    try {
        const auto enumerate = reinterpret_cast<EnumFn>(Lookup(kEnumDisplayMonitors));
        return enumerate(dc, clip, proc, data) != FALSE;
    } catch (const MonitorFunctionError&) {
        return false;
    }
}

BOOL MonitorFunctions::GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
    using InfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
    try {
        const auto getInfo = reinterpret_cast<InfoFn>(Lookup(kGetMonitorInfoW));
        return getInfo(monitor, info);
    } catch (const MonitorFunctionError&) {
        const MonitorInfo primary = PrimaryScreen();
        info->rcMonitor =
            RECT{primary.monitor.left, primary.monitor.top, primary.monitor.right, primary.monitor.bottom};
        info->rcWork = RECT{primary.work.left, primary.work.top, primary.work.right, primary.work.bottom};
        return TRUE;
    }
}

MonitorInfo MonitorFunctions::PrimaryScreen() {
    MonitorInfo primary;
    primary.monitor = MonitorRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    primary.work = FromRect(work);
    return primary;
}

}  // namespace orbilux
