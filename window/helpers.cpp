#include "window/helpers.h"

#include <algorithm>
#include <cstring>

#include "image/ximage.h"
#include "window/message_loop.h"
#include "window/raii.h"

namespace tamrik {

HINSTANCE ResourceInstance() {
    HINSTANCE instance = Module().Instance();
    return instance ? instance : ::GetModuleHandleW(nullptr);
}

std::wstring WindowText(HWND window) {
    if (!window) return {};
    // The length may be more than the text (never less); grow when the text grew meanwhile.
    int room = ::GetWindowTextLengthW(window) + 1;
    for (;;) {
        std::wstring text(size_t(room), L'\0');
        const int copied = ::GetWindowTextW(window, text.data(), room);
        if (copied < room - 1 || room >= (1 << 24)) {
            text.resize(size_t(std::max(copied, 0)));
            return text;
        }
        room *= 2;
    }
}

std::wstring ResourceString(UINT id) {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(ResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return {};
    return std::wstring(text, size_t(length));
}

PictureBitmapInfo BitmapInfoOf(const orbilux::CxImage& picture) {
    PictureBitmapInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = LONG(picture.GetWidth());
    info.header.biHeight = LONG(picture.GetHeight());  // bottom-up rows
    info.header.biPlanes = 1;
    info.header.biBitCount = WORD(picture.GetBpp());
    info.header.biCompression = BI_RGB;
    info.header.biSizeImage = DWORD(picture.GetSizeImage());
    info.header.biXPelsPerMeter = orbilux::CxImage::DpiToPixelsPerMetre(picture.GetXDpi());
    info.header.biYPelsPerMeter = orbilux::CxImage::DpiToPixelsPerMetre(picture.GetYDpi());
    const uint32_t colours = std::min<uint32_t>(picture.GetNumColors(), 256);
    info.header.biClrUsed = colours;
    if (colours && picture.GetPalette())
        std::memcpy(info.colours, picture.GetPalette(), sizeof(RGBQUAD) * colours);
    return info;
}

void ShowHelp(HWND owner) {
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    constexpr UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
    static const HtmlHelpFn htmlHelp = [] {
        HMODULE viewer = ::LoadLibraryW(L"hhctrl.ocx");
        return viewer ? reinterpret_cast<HtmlHelpFn>(::GetProcAddress(viewer, "HtmlHelpW")) : nullptr;
    }();
    if (htmlHelp) htmlHelp(owner, L"Tamrik_Help.chm", kDisplayTopic, 0);
}

UINT WindowDpi(HWND window) {
    // Per-window DPI needs Windows 10 1607; earlier systems have one DPI for all.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const GetDpiForWindowFn getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    }
    const WindowDC screen(nullptr);
    const int dpi = screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? UINT(dpi) : USER_DEFAULT_SCREEN_DPI;
}

int ScaleForWindow(HWND window, int pixelsAt96) {
    return ::MulDiv(pixelsAt96, int(WindowDpi(window)), USER_DEFAULT_SCREEN_DPI);
}

}  // namespace tamrik
