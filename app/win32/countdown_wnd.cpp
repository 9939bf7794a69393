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
    const RECT place{work.right - kWidth - kMargin, work.bottom - kHeight - kMargin, work.right - kMargin,
                     work.bottom - kMargin};
    if (!Create(nullptr, place, L"Tamrik countdown")) {
        countdown_.Cancel();
        return false;
    }
    if (!font_) {
        font_.Reset(::CreateFontW(-(kHeight - 16), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                  L"Arial"));
    }
    capture_ = std::move(capture);
    ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(Handle());
    ScheduleTick();
    return true;
}

void CCountdownWnd::Cancel() {
    countdown_.Cancel();
    capture_ = nullptr;
    CloseWindow();
    font_.Reset();
}

void CCountdownWnd::CloseWindow() {
    if (!Handle()) return;
    ::KillTimer(Handle(), kTickTimer);
    DestroyWindow();
    WaitForUncoveredScreen();
}

void CCountdownWnd::ScheduleTick() {
    ::SetTimer(Handle(), kTickTimer, countdown_.MsToNextChange(NowMs()), nullptr);
}

tamrik::WindowTraits CCountdownWnd::Traits() const {
    // Shown with SW_SHOWNOACTIVATE rather than through WS_VISIBLE, so that
    // creation never activates it.
    return {kCountdownWindowClass, WS_POPUP | WS_BORDER, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE};
}

const tamrik::MessageMap<CCountdownWnd>& CCountdownWnd::GetMessageMap() {
    static const tamrik::MessageMap<CCountdownWnd> map{
        {WM_TIMER, &CCountdownWnd::OnTimer},
        {WM_PAINT, &CCountdownWnd::OnPaint},
        {WM_ERASEBKGND, &CCountdownWnd::OnEraseBackground},
        {WM_MOUSEACTIVATE, &CCountdownWnd::OnMouseActivate},
    };
    return map;
}

LRESULT CCountdownWnd::OnTimer(WPARAM timer, LPARAM) {
    if (timer != kTickTimer) {
        DeclineMessage();
        return 0;
    }
    ::KillTimer(Handle(), kTickTimer);
    if (countdown_.Expire(NowMs())) {
        std::function<void()> capture = std::move(capture_);
        capture_ = nullptr;
        CloseWindow();
        if (capture) capture();
        return 0;
    }
    if (!countdown_.Running()) return 0;
    ::InvalidateRect(Handle(), nullptr, TRUE);
    ScheduleTick();
    return 0;
}

LRESULT CCountdownWnd::OnPaint(WPARAM, LPARAM) {
    tamrik::PaintDC dc(Handle());
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const tamrik::UniqueBrush background(::CreateSolidBrush(RGB(32, 32, 32)));
    ::FillRect(dc.Get(), &client, background.Get());
    const std::wstring number = std::to_wstring(countdown_.SecondsLeft(NowMs()));
    tamrik::SelectObjectScope selectFont(dc.Get(), font_.Get());
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::SetTextColor(dc.Get(), RGB(255, 255, 255));
    ::DrawTextW(dc.Get(), number.c_str(), int(number.size()), &client,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return 0;
}

}  // namespace orbilux
