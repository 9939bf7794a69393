#include "app/win32/countdown_wnd.h"

#include <string>

#include "capture/win32/own_windows.h"

namespace orbilux {

namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr int kWidth = 96;
constexpr int kHeight = 72;
constexpr int kMargin = 12;  // from the work area's edges

uint64_t NowMs() {
    return ::GetTickCount64();
}

bool RegisterCountdownClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = procedure;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kCountdownWindowClass;
        return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

bool CCountdownWnd::DeferPress(uint32_t delaySeconds, std::function<void()> capture) {
    if (countdown_.OnPress(delaySeconds, NowMs()) == CaptureCountdown::Press::CaptureNow) {
        CloseWindow();
        capture_ = nullptr;
        return false;
    }
    // The bottom-right corner of the primary work area, where the notification area usually is.
    RECT work{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        work = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (RegisterCountdownClass(&CCountdownWnd::WindowProc)) {
        window_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                    kCountdownWindowClass, L"Tamrik countdown", WS_POPUP | WS_BORDER,
                                    work.right - kWidth - kMargin, work.bottom - kHeight - kMargin, kWidth,
                                    kHeight, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    if (!window_) {
        countdown_.Cancel();
        return false;
    }
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (!font_) {
        font_ =
            ::CreateFontW(-(kHeight - 16), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
    }
    capture_ = std::move(capture);
    ::ShowWindow(window_, SW_SHOWNOACTIVATE);
    ::UpdateWindow(window_);
    ScheduleTick();
    return true;
}

void CCountdownWnd::Cancel() {
    countdown_.Cancel();
    capture_ = nullptr;
    CloseWindow();
    if (font_) {
        ::DeleteObject(font_);
        font_ = nullptr;
    }
}

void CCountdownWnd::CloseWindow() {
    if (!window_) return;
    HWND window = window_;
    window_ = nullptr;
    ::KillTimer(window, kTickTimer);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    ::DestroyWindow(window);
    WaitForUncoveredScreen();
}

void CCountdownWnd::ScheduleTick() {
    ::SetTimer(window_, kTickTimer, countdown_.MsToNextChange(NowMs()), nullptr);
}

void CCountdownWnd::OnTimer() {
    if (countdown_.Expire(NowMs())) {
        std::function<void()> capture = std::move(capture_);
        capture_ = nullptr;
        CloseWindow();
        if (capture) capture();
        return;
    }
    if (!countdown_.Running()) return;
    ::InvalidateRect(window_, nullptr, TRUE);
    ScheduleTick();
}

void CCountdownWnd::Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(window, &ps);
    RECT client{};
    ::GetClientRect(window, &client);
    HBRUSH background = ::CreateSolidBrush(RGB(32, 32, 32));
    ::FillRect(dc, &client, background);
    ::DeleteObject(background);
    const std::wstring number = std::to_wstring(countdown_.SecondsLeft(NowMs()));
    HGDIOBJ old = font_ ? ::SelectObject(dc, font_) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::DrawTextW(dc, number.c_str(), int(number.size()), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (old) ::SelectObject(dc, old);
    ::EndPaint(window, &ps);
}

LRESULT CALLBACK CCountdownWnd::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CCountdownWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self) {
        switch (message) {
            case WM_TIMER:
                if (wParam == kTickTimer) {
                    ::KillTimer(window, kTickTimer);
                    self->OnTimer();
                    return 0;
                }
                break;
            case WM_PAINT:
                self->Paint(window);
                return 0;
            case WM_ERASEBKGND:
                return 1;
            case WM_MOUSEACTIVATE:
                return MA_NOACTIVATE;
            default:
                break;
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace orbilux
