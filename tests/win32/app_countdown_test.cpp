// The print key's capture delay as the user sees it: the countdown window.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/win32/countdown_wnd.h"

using namespace orbilux;

namespace {

void PumpFor(DWORD milliseconds) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (::GetTickCount64() < end) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(10);
    }
}

}  // namespace

TEST(AppCountdown, ShowsNearTheNotificationAreaAndCapturesOnceWhenItEnds) {
    CCountdownWnd countdown;
    int captures = 0;
    bool windowGoneAtCapture = false;
    ULONGLONG capturedAt = 0;
    const ULONGLONG pressedAt = ::GetTickCount64();
    ASSERT_TRUE(countdown.DeferPress(1, [&] {
        ++captures;
        capturedAt = ::GetTickCount64();
        windowGoneAtCapture = !::FindWindowW(kCountdownWindowClass, nullptr);
    }));
    EXPECT_TRUE(countdown.Running());
    HWND window = countdown.Window();
    ASSERT_TRUE(::IsWindowVisible(window));
    RECT rect{}, work{};
    ::GetWindowRect(window, &rect);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GT(rect.left, (work.left + work.right) / 2);
    EXPECT_GT(rect.top, (work.top + work.bottom) / 2);
    EXPECT_LE(rect.right, work.right);
    EXPECT_LE(rect.bottom, work.bottom);
    EXPECT_EQ(::GetForegroundWindow() == window, false) << "the countdown took the focus";

    const ULONGLONG shownAfter = ::GetTickCount64() - pressedAt;
    if (shownAfter < 600) {
        PumpFor(DWORD(600 - shownAfter));
        EXPECT_EQ(captures, 0) << "the capture came before its second";
    }
    PumpFor(1800);
    EXPECT_EQ(captures, 1);
    EXPECT_TRUE(windowGoneAtCapture);
    EXPECT_GE(capturedAt - pressedAt, 1000u);
    EXPECT_FALSE(countdown.Running());
    EXPECT_FALSE(::IsWindow(window));
    PumpFor(300);
    EXPECT_EQ(captures, 1);
}

TEST(AppCountdown, ASecondPressCapturesAtOnceAndCancelCapturesNothing) {
    CCountdownWnd countdown;
    int captures = 0;
    EXPECT_FALSE(countdown.DeferPress(0, [&] { ++captures; })) << "no delay waits";
    ASSERT_TRUE(countdown.DeferPress(5, [&] { ++captures; }));
    HWND window = countdown.Window();
    // The second press: the caller captures now, with the window already gone.
    EXPECT_FALSE(countdown.DeferPress(5, [&] { ++captures; }));
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(countdown.Running());

    ASSERT_TRUE(countdown.DeferPress(1, [&] { ++captures; }));
    window = countdown.Window();
    countdown.Cancel();
    EXPECT_FALSE(::IsWindow(window));
    PumpFor(1500);
    EXPECT_EQ(captures, 0);
}
