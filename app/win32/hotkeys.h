// The two global hotkeys: id 0 the print key, id 1 the shot key.
#pragma once

#include <windows.h>

namespace orbilux {

class KeySettings;

constexpr int kPrintHotkeyId = 0;
constexpr int kShotHotkeyId = 1;

// Registers the print key, and the shot key when it is enabled, with the values
// of the given settings as they are now. Results are not consulted.
void RegisterHotkeys(HWND window, const KeySettings& keys);
void UnregisterHotkeys(HWND window);

}  // namespace orbilux
