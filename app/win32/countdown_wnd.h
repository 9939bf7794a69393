// The print key's capture delay: a small window near the notification area
// counts the seconds down, then goes, and the capture runs once the screen no
// longer shows it.
#pragma once

#include <windows.h>

#include <functional>

#include "capture/capture_countdown.h"
#include "window/raii.h"
#include "window/window_impl.h"

namespace orbilux {

constexpr wchar_t kCountdownWindowClass[] = L"TamrikCaptureCountdown";

class CCountdownWnd : public tamrik::CWindowImpl<CCountdownWnd> {
public:
    CCountdownWnd() = default;
    ~CCountdownWnd() override { Cancel(); }

    // A press of the print key. Returns true when the press waits: a countdown
    // of delaySeconds has started and capture runs when it ends. Returns false
    // when the press is to capture now: no delay, or a press during a
    // countdown, which ends it (its window gone from the screen first). A
    // countdown whose window cannot be made does not wait either.
    bool DeferPress(uint32_t delaySeconds, std::function<void()> capture);
    // Calls a running countdown off: its window goes and nothing is captured.
    void Cancel();
    bool Running() const { return countdown_.Running(); }
    HWND Window() const { return Handle(); }

    static const tamrik::MessageMap<CCountdownWnd>& GetMessageMap();

protected:
    tamrik::WindowTraits Traits() const override;

private:
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBackground(WPARAM, LPARAM) { return 1; }
    LRESULT OnMouseActivate(WPARAM, LPARAM) { return MA_NOACTIVATE; }
    void ScheduleTick();
    // Takes the window off the screen and waits until it is no longer seen.
    void CloseWindow();

    CaptureCountdown countdown_;
    std::function<void()> capture_;
    tamrik::UniqueFont font_;
};

}  // namespace orbilux
