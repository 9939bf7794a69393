// The two global hotkeys: id 0 the print key, id 1 the shot key.
#pragma once

#include <windows.h>

#include "app/win32/app_messages.h"

namespace orbilux {

class KeySettings;

constexpr int kPrintHotkeyId = 0;
constexpr int kShotHotkeyId = 1;

// Added to the stored modifiers at registration (never stored): no hotkey
// message for the keyboard's repeats of a held key.
constexpr UINT kNoRepeatModifier = 0x4000;  // MOD_NOREPEAT

// Registers the print key, and the shot key when it is enabled, with the values
// of the given settings as they are now. Results are not consulted.
void RegisterHotkeys(HWND window, const KeySettings& keys);
void UnregisterHotkeys(HWND window);

// Whether a WM_HOTKEY message for hotkey `id` starts a new press of its key;
// false for a repeat while the key of the press that started the previous
// action is still held (some systems send repeats despite the no-repeat
// modifier). `messageTime` is the message's GetMessageTime. User-interface
// thread only.
bool HotkeyStartsPress(int id, DWORD messageTime);
// Handles kHotkeyKeyUpMessage: the key in wParam, its press in lParam.
void HotkeyKeyReleased(WPARAM key, LPARAM press);

}  // namespace orbilux
