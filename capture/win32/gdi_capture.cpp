#include "capture/win32/gdi_capture.h"

#include <vector>

#include "capture/win32/monitor_functions.h"
#include "capture/win32/own_windows.h"
#include "window/helpers.h"
#include "window/raii.h"

namespace orbilux {

const wchar_t kCaptureErrorCaption[] = L"Screen capture ERROR";
const wchar_t kCaptureFailedFallbackText[] = L"Unable to capture screen.";

namespace {

MonitorRect FromRect(const RECT& r) {
    return MonitorRect{r.left, r.top, r.right, r.bottom};
}

// The screen's device context from GetDC(NULL).
using ScreenDC = tamrik::WindowDC;

BOOL CALLBACK VisitListMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    const auto& visit = *reinterpret_cast<const std::function<bool(MonitorHandle)>*>(data);
    return visit(reinterpret_cast<MonitorHandle>(monitor)) ? TRUE : FALSE;
}

BOOL CALLBACK VisitCaptureMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM data) {
    const auto& visit =
        *reinterpret_cast<const std::function<bool(MonitorHandle, const MonitorRect&)>*>(data);
    return visit(reinterpret_cast<MonitorHandle>(monitor), FromRect(*rect)) ? TRUE : FALSE;
}

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
WindowHandle FromHwnd(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

}  // namespace

// ---- Monitors ----

bool SystemMonitorSource::EnumMonitors(const std::function<bool(MonitorHandle)>& visit) {
    return MonitorFunctions::EnumDisplayMonitors(nullptr, nullptr, VisitListMonitor,
                                                 reinterpret_cast<LPARAM>(&visit));
}

MonitorInfo SystemMonitorSource::GetInfo(MonitorHandle monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);  // 40 bytes
    if (!MonitorFunctions::GetMonitorInfo(reinterpret_cast<HMONITOR>(monitor), &info)) {
        return MonitorFunctions::PrimaryScreen();
    }
    return MonitorInfo{FromRect(info.rcMonitor), FromRect(info.rcWork)};
}

MonitorInfo SystemMonitorSource::PrimaryScreen() {
    return MonitorFunctions::PrimaryScreen();
}

void SystemMonitorSource::EnumForCapture(
    const std::function<bool(MonitorHandle, const MonitorRect&)>& visit) {
    ::EnumDisplayMonitors(nullptr, nullptr, VisitCaptureMonitor, reinterpret_cast<LPARAM>(&visit));
}

std::vector<CMonitor> CurrentMonitorList() {
    SystemMonitorSource source;
    return RebuildMonitorList(source);
}

// ---- Screen ----

ScreenMetrics GdiScreenSource::Metrics() {
    ScreenMetrics m;
    m.monitorCount = ::GetSystemMetrics(SM_CMONITORS);
    m.screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    m.screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    m.virtualLeft = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    m.virtualTop = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    m.virtualWidth = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    m.virtualHeight = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return m;
}

bool GdiScreenSource::Grab(int32_t left, int32_t top, int32_t width, int32_t height, CxImage& image) {
    ScreenDC screen(nullptr);
    if (!screen) return false;
    tamrik::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    if (!bitmap) return false;
    const uint32_t bpp = ImageBppForScreenDepth(::GetDeviceCaps(screen.Get(), BITSPIXEL) *
                                                ::GetDeviceCaps(screen.Get(), PLANES));
    {
        tamrik::UniqueDC memory(::CreateCompatibleDC(screen.Get()));
        if (!memory) return false;
        tamrik::SelectObjectScope selected(memory.Get(), bitmap.Get());
        RECT all{0, 0, width, height};
        ::FillRect(memory.Get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        // A plain copy (layered windows are not asked for) of the part that
        // lies on the screen; whatever lies outside stays white.
        const RECT wanted{left, top, left + width, top + height};
        const RECT desktop{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                           ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                           ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
        RECT onScreen{};
        if (::IntersectRect(&onScreen, &wanted, &desktop)) {
            ::BitBlt(memory.Get(), onScreen.left - left, onScreen.top - top, onScreen.right - onScreen.left,
                     onScreen.bottom - onScreen.top, screen.Get(), onScreen.left, onScreen.top, SRCCOPY);
        }
        // The screen copy never holds the pointer: the system draws it apart.
        if (drawPointer_) DrawMousePointer(memory.Get(), left, top);
    }
    // Converted once the bitmap is out of the memory context; a failed
    // conversion leaves the picture empty.
    BitmapToImage(screen.Get(), bitmap.Get(), bpp, image);
    return true;
}

bool DrawMousePointer(HDC dc, int32_t left, int32_t top) {
    CURSORINFO cursor{};
    cursor.cbSize = sizeof(cursor);
    if (!::GetCursorInfo(&cursor) || !(cursor.flags & CURSOR_SHOWING) || !cursor.hCursor) return false;
    // The pointer's position is its hot spot; the picture's corner lies off it.
    ICONINFO icon{};
    if (!::GetIconInfo(cursor.hCursor, &icon)) return false;
    tamrik::UniqueBitmap mask(icon.hbmMask);
    tamrik::UniqueBitmap color(icon.hbmColor);
    const int x = cursor.ptScreenPos.x - int(icon.xHotspot) - left;
    const int y = cursor.ptScreenPos.y - int(icon.yHotspot) - top;
    // Drawing clips at the bitmap's edges: a picture away from the pointer stays as it was.
    return ::DrawIconEx(dc, x, y, cursor.hCursor, 0, 0, 0, nullptr, DI_NORMAL) != FALSE;
}

bool BitmapToImage(HDC dc, HBITMAP bitmap, uint32_t bpp, CxImage& image) {
    image.Destroy();
    BITMAP info{};
    if (!::GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
    if (!image.Create(uint32_t(info.bmWidth), uint32_t(info.bmHeight), bpp)) return false;

    tamrik::PictureBitmapInfo dib = tamrik::BitmapInfoOf(image);  // GetDIBits fills the colour table
    const int lines =
        ::GetDIBits(dc, bitmap, 0, UINT(info.bmHeight), image.GetBits(), dib.Get(), DIB_RGB_COLORS);
    if (lines != info.bmHeight) {
        image.Destroy();
        return false;
    }
    for (uint32_t i = 0; i < image.GetNumColors(); ++i) {
        const RGBQUAD& c = dib.colours[i];
        image.SetPaletteColor(i, RGBQuadColor::FromRgb(c.rgbRed, c.rgbGreen, c.rgbBlue));
    }
    return true;
}

// ---- Windows ----

WindowHandle SystemWindowSource::Foreground() {
    return FromHwnd(::GetForegroundWindow());
}
WindowHandle SystemWindowSource::TopChild(WindowHandle window) {
    return FromHwnd(::GetTopWindow(ToHwnd(window)));
}
bool SystemWindowSource::IsVisible(WindowHandle window) {
    return ::IsWindowVisible(ToHwnd(window)) != FALSE;
}
WindowHandle SystemWindowSource::Desktop() {
    return FromHwnd(::GetDesktopWindow());
}

MonitorRect SystemWindowSource::Rect(WindowHandle window) {
    RECT r{};
    ::GetWindowRect(ToHwnd(window), &r);
    return FromRect(r);
}

// ---- Error ----

std::wstring CaptureFailedText() {
    std::wstring text = tamrik::ResourceString(kCaptureFailedStringId);
    return text.empty() ? kCaptureFailedFallbackText : text;
}

void MessageBoxErrorReporter::ShowCaptureError() {
    ::MessageBoxW(nullptr, CaptureFailedText().c_str(), kCaptureErrorCaption, MB_OK | MB_ICONERROR);
}

CaptureSeams& SystemCaptureSeams() {
    static SystemMonitorSource monitors;
    static GdiScreenSource screen;
    static SystemWindowSource windows;
    static MessageBoxErrorReporter errors;
    static HiddenOwnWindows own;
    static CaptureSeams seams{monitors, screen, windows, errors, &own};
    return seams;
}

}  // namespace orbilux
