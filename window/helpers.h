// The small vocabulary every window of the program uses: window text, resource
// strings, the module that holds the resources, the header of a picture's
// device-independent bitmap, help, DPI scaling, and names for a few message
// and character codes the system headers leave unnamed.
#pragma once

#include <windows.h>

#include <string>

namespace orbilux {
class CxImage;
}  // namespace orbilux

namespace tamrik {

// The undocumented system timer message that makes the caret blink.
constexpr UINT kSystemTimerMessage = 0x0118;
// Characters as WM_CHAR carries them.
constexpr WPARAM kCharReturn = L'\r';
constexpr WPARAM kCharEscape = 0x1B;
constexpr WPARAM kCharTab = L'\t';

// The module that holds the program's resources (the executable unless told otherwise).
HINSTANCE ResourceInstance();

// The whole text of a window or control, whatever its length.
std::wstring WindowText(HWND window);
// A string of the resource string table, whatever its length; empty when missing.
std::wstring ResourceString(UINT id);

// A bottom-up device-independent bitmap header for a picture, with room for a
// full colour table and the picture's palette in it.
struct PictureBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
    BITMAPINFO* Get() { return reinterpret_cast<BITMAPINFO*>(this); }
    const BITMAPINFO* Get() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};
PictureBitmapInfo BitmapInfoOf(const orbilux::CxImage& picture);

// Opens the program's help at its first topic. The help viewer is loaded on
// first use; without it, help stays silent.
void ShowHelp(HWND owner);

// The DPI a window is shown at (the system DPI where the system cannot tell per window).
UINT WindowDpi(HWND window);
// A size given at 96 DPI, for a window at its DPI.
int ScaleForWindow(HWND window, int pixelsAt96);

}  // namespace tamrik
