#include "app/win32/hotkeys.h"

#include <chrono>

#include "capture/key_press_gate.h"
#include "settings/settings.h"

namespace orbilux {

namespace {

// The window and keys of the registrations now in force.
struct Registered {
    HWND window = nullptr;
    UINT key[2] = {0, 0};
};

Registered& Registrations() {
    static Registered registered;
    return registered;
}

KeyPressGate& Presses() {
    static KeyPressGate gate([](uint32_t key) { return (::GetAsyncKeyState(int(key)) & 0x8000) != 0; },
                             [](uint32_t key) {
                                 HWND window = Registrations().window;
                                 return window &&
                                        ::PostMessageW(window, kHotkeyKeyUpMessage, key, 0) != FALSE;
                             },
                             std::chrono::milliseconds(10));
    return gate;
}

}  // namespace

void RegisterHotkeys(HWND window, const KeySettings& keys) {
    Registered& registered = Registrations();
    registered.window = window;
    registered.key[kPrintHotkeyId] = keys.printVirtualKeyCode_ & 0xFF;
    ::RegisterHotKey(window, kPrintHotkeyId, UINT(keys.printmodifiers) | kNoRepeatModifier,
                     keys.printVirtualKeyCode_ & 0xFF);
    registered.key[kShotHotkeyId] = keys.bEnableShotKey_ ? keys.shotVirtualKeyCode_ & 0xFF : 0;
    if (keys.bEnableShotKey_) {
        ::RegisterHotKey(window, kShotHotkeyId, UINT(keys.shotmodifiers) | kNoRepeatModifier,
                         keys.shotVirtualKeyCode_ & 0xFF);
    }
}

void UnregisterHotkeys(HWND window) {
    ::UnregisterHotKey(window, kPrintHotkeyId);
    ::UnregisterHotKey(window, kShotHotkeyId);
}

bool HotkeyStartsPress(int id) {
    if (id != kPrintHotkeyId && id != kShotHotkeyId) return true;
    const UINT key = Registrations().key[id];
    // A press is one press of the key, whichever of the two hotkeys it made:
    // letting go of Alt and Ctrl while Print Screen stays down does not start
    // another one.
    return key == 0 || Presses().StartsPress(key);
}

void HotkeyKeyReleased(WPARAM key) {
    Presses().Released(uint32_t(key));
}

}  // namespace orbilux
