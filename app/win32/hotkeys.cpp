#include "app/win32/hotkeys.h"

#include "settings/settings.h"

namespace orbilux {

void RegisterHotkeys(HWND window, const KeySettings& keys) {
    ::RegisterHotKey(window, kPrintHotkeyId, keys.printmodifiers, keys.printVirtualKeyCode_ & 0xFF);
    if (keys.bEnableShotKey_)
        ::RegisterHotKey(window, kShotHotkeyId, keys.shotmodifiers, keys.shotVirtualKeyCode_ & 0xFF);
}

void UnregisterHotkeys(HWND window) {
    ::UnregisterHotKey(window, kPrintHotkeyId);
    ::UnregisterHotKey(window, kShotHotkeyId);
}

}  // namespace orbilux
