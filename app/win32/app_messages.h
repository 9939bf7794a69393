// The main dialog's own messages, numbered in one list so that no two of them
// ever share a number.
#pragma once

#include <windows.h>

namespace orbilux {

enum AppMessage : UINT {
    // Posted to the window that registered the hotkeys when the key of a press
    // has been seen up; wParam is the virtual-key code, lParam the number of
    // the press. Its handler calls HotkeyKeyReleased.
    kHotkeyKeyUpMessage = WM_APP + 0x21,
    // Posted to the main dialog to carry out a command-line command (wParam)
    // once the message that brought it has been answered.
    kRunCommandLineMessage,
    // Posted by the press worker: a press is done.
    kPressFinishedMessage,
    // Posted by the press worker: a press's files could not be written (lParam
    // a SaveOutcome* the receiver deletes).
    kPressSaveFailedMessage,
    // Posted by the press worker: a press wrote its files and the settings ask
    // to say so (lParam a SaveOutcome* the receiver deletes).
    kPressSavedMessage,
};

}  // namespace orbilux
