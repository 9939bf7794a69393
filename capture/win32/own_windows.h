// The program's own windows off the screen while it is read: the start-up and
// printing splashes, and any dialog of the program that is not the window
// being captured.
#pragma once

#include <windows.h>

#include <vector>

#include "capture/screen_shot.h"

namespace orbilux {

// Waits until a window of the program that was just hidden or destroyed is no
// longer on the screen: the other programs have had time to repaint what it
// covered, and with desktop composition the next frame is shown.
void WaitForUncoveredScreen();

class HiddenOwnWindows : public OwnWindows {
public:
    // Hides every shown top-level window of this thread (the program's windows
    // all belong to its user-interface thread) except the one that holds
    // `subject`, then waits until the screen no longer shows them.
    void Hide(WindowHandle subject) override;
    // Shows them again where and as they were, without activating them, and
    // gives the foreground back to the program's window that had it. A splash
    // keeps its timer, so it closes when it would have closed anyway.
    void Restore() override;

    const std::vector<HWND>& Hidden() const { return hidden_; }

private:
    std::vector<HWND> hidden_;
    HWND foreground_ = nullptr;
};

}  // namespace orbilux
