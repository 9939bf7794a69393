// The print key's capture delay: a small window near the notification area
// counts the seconds down, then goes, and the capture runs once the screen no
// longer shows it.
#pragma once

#include <windows.h>

#include <functional>

#include "capture/capture_countdown.h"

namespace orbilux {

constexpr wchar_t kCountdownWindowClass[] = L"TamrikCaptureCountdown";

class CCountdownWnd {
public:
    CCountdownWnd() = default;
    ~CCountdownWnd() { Cancel(); }
    CCountdownWnd(const CCountdownWnd&) = delete;
    CCountdownWnd& operator=(const CCountdownWnd&) = delete;

    // A press of the print key. Returns true when the press waits: a countdown
    // of delaySeconds has started and capture runs when it ends. Returns false
    // when the press is to capture now: no delay, or a press during a
    // countdown, which ends it (its window gone from the screen first). A
    // countdown whose window cannot be made does not wait either.
    bool DeferPress(uint32_t delaySeconds, std::function<void()> capture);
    // Calls a running countdown off: its window goes and nothing is captured.
    void Cancel();
    bool Running() const { return countdown_.Running(); }
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnTimer();
    void Paint(HWND window);
    void ScheduleTick();
    // Takes the window off the screen and waits until it is no longer seen.
    void CloseWindow();

    CaptureCountdown countdown_;
    std::function<void()> capture_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
};

}  // namespace orbilux
