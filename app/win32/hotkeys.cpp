#include "app/win32/hotkeys.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "capture/key_press_gate.h"
#include "settings/settings.h"

namespace orbilux {

namespace {

// The window and keys of the registrations now in force.
struct Registered {
    std::atomic<HWND> window{nullptr};  // also read by the key watcher
    UINT key[2] = {0, 0};
};

Registered& Registrations() {
    static Registered registered;
    return registered;
}

// The keyboard's delay before it repeats a held key: settings 0 to 3 stand
// for about 250 ms to 1 s.
std::chrono::milliseconds KeyboardRepeatDelay() {
    int setting = 0;
    if (!::SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &setting, 0)) setting = 0;
    return std::chrono::milliseconds(250 * (std::min(std::max(setting, 0), 3) + 1));
}

KeyPressGate& Presses() {
    static KeyPressGate gate([](uint32_t key) { return (::GetAsyncKeyState(int(key)) & 0x8000) != 0; },
                             [](uint32_t key, uint64_t press) {
                                 HWND window = Registrations().window;
                                 return window && ::PostMessageW(window, kHotkeyKeyUpMessage, key,
                                                                 LPARAM(press)) != FALSE;
                             },
                             std::chrono::milliseconds(10), KeyboardRepeatDelay());
    return gate;
}

// Registers without key repeat; a system that does not know the no-repeat
// modifier gets the stored modifiers alone (the press gate drops repeats).
void RegisterOnePress(HWND window, int id, uint32_t modifiers, uint32_t key) {
    if (::RegisterHotKey(window, id, UINT(modifiers) | kNoRepeatModifier, key & 0xFF)) return;
    if (::GetLastError() != ERROR_HOTKEY_ALREADY_REGISTERED)
        ::RegisterHotKey(window, id, UINT(modifiers), key & 0xFF);
}

}  // namespace

void RegisterHotkeys(HWND window, const KeySettings& keys) {
    Registered& registered = Registrations();
    registered.window = window;
    registered.key[kPrintHotkeyId] = keys.printVirtualKeyCode_ & 0xFF;
    registered.key[kShotHotkeyId] = keys.bEnableShotKey_ ? keys.shotVirtualKeyCode_ & 0xFF : 0;
    RegisterOnePress(window, kPrintHotkeyId, keys.printmodifiers, keys.printVirtualKeyCode_);
    if (keys.bEnableShotKey_)
        RegisterOnePress(window, kShotHotkeyId, keys.shotmodifiers, keys.shotVirtualKeyCode_);
}

void UnregisterHotkeys(HWND window) {
    ::UnregisterHotKey(window, kPrintHotkeyId);
    ::UnregisterHotKey(window, kShotHotkeyId);
}

bool HotkeyStartsPress(int id, DWORD messageTime) {
    if (id != kPrintHotkeyId && id != kShotHotkeyId) return true;
    const UINT key = Registrations().key[id];
    // A press is one press of the key, whichever of the two hotkeys it made:
    // letting go of Alt and Ctrl while Print Screen stays down does not start
    // another one.
    return key == 0 || Presses().StartsPress(key, uint32_t(messageTime));
}

void HotkeyKeyReleased(WPARAM key, LPARAM press) {
    Presses().Released(uint32_t(key), uint64_t(press));
}

}  // namespace orbilux
