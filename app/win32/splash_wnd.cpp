#include "app/win32/splash_wnd.h"

#include <cstring>
#include <vector>

#include "window/message_loop.h"
#include "window/helpers.h"
#include "window/raii.h"

namespace orbilux {

bool LoadBitmapResource(HINSTANCE module, UINT id, CxImage& image) {
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    if (!found) return false;
    const DWORD size = ::SizeofResource(module, found);
    HGLOBAL loaded = ::LoadResource(module, found);
    const auto* bytes = static_cast<const uint8_t*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!bytes || size < sizeof(BITMAPINFOHEADER)) return false;

    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof(header));
    const uint32_t bpp = header.biBitCount;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biCompression != BI_RGB || header.biWidth <= 0 ||
        header.biHeight == 0 || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24))
        return false;
    const uint32_t width = uint32_t(header.biWidth);
    const bool topDown = header.biHeight < 0;
    const uint32_t height = topDown ? uint32_t(-int64_t(header.biHeight)) : uint32_t(header.biHeight);
    const uint32_t colours = bpp == 24 ? 0 : (header.biClrUsed ? header.biClrUsed : 1u << bpp);
    if (colours > (1u << (bpp == 24 ? 0 : bpp))) return false;

    const uint64_t paletteBytes = uint64_t(colours) * 4;
    const uint64_t rowBytes = CxImage::RowBytes(width, bpp);
    if (uint64_t(header.biSize) + paletteBytes + rowBytes * height > size) return false;
    if (!image.Create(width, height, bpp)) return false;

    const uint8_t* palette = bytes + header.biSize;
    std::vector<RGBQuadColor> table(colours);
    if (colours) std::memcpy(table.data(), palette, paletteBytes);
    if (colours) image.SetPalette(table.data(), colours);
    const uint8_t* bits = palette + paletteBytes;
    for (uint32_t row = 0; row < height; ++row) {
        const uint32_t source = topDown ? height - 1 - row : row;
        std::memcpy(image.GetBits(row), bits + source * rowBytes, rowBytes);
    }
    return true;
}

void DrawImage(HDC dc, int x, int y, const CxImage& image) {
    if (!image.IsValid()) return;
    const tamrik::PictureBitmapInfo info = tamrik::BitmapInfoOf(image);
    ::SetDIBitsToDevice(dc, x, y, image.GetWidth(), image.GetHeight(), 0, 0, 0, image.GetHeight(),
                        image.GetBits(), info.Get(), DIB_RGB_COLORS);
}

CSplashWnd* CSplashWnd::Open(UINT bitmapId, UINT displayMs, HWND reference) {
    auto* splash = new CSplashWnd(displayMs, reference);
    if (!LoadBitmapResource(tamrik::ResourceInstance(), bitmapId, splash->image_)) {
        delete splash;
        return nullptr;
    }
    const RECT rect{0, 0, LONG(splash->image_.GetWidth()), LONG(splash->image_.GetHeight())};
    HWND hwnd = splash->Create(nullptr, rect, nullptr);
    if (!hwnd) {
        // The window never existed, so no final message will delete the object.
        delete splash;
        return nullptr;
    }
    // Shown without activation, and painted at once: the creating thread may stay
    // busy for a while before its message loop runs again.
    ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return splash;
}

tamrik::WindowTraits CSplashWnd::Traits() const {
    // Shown by Open with SWP_NOACTIVATE rather than through WS_VISIBLE, so that
    // creation never activates it.
    return {L"TamrikSplashWnd", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE};
}

const tamrik::MessageMap<CSplashWnd>& CSplashWnd::GetMessageMap() {
    static const tamrik::MessageMap<CSplashWnd> map{
        {WM_CREATE, &CSplashWnd::OnCreate},
        {WM_KILLFOCUS, &CSplashWnd::OnKillFocus},
        {WM_PAINT, &CSplashWnd::OnPaint},
        {WM_ERASEBKGND, &CSplashWnd::OnEraseBackground},
        {WM_KEYDOWN, &CSplashWnd::OnKeyDown},
        {WM_TIMER, &CSplashWnd::OnTimer},
        {WM_LBUTTONDOWN, &CSplashWnd::OnClick},
        {WM_RBUTTONDOWN, &CSplashWnd::OnClick},
        {WM_MOUSEACTIVATE, &CSplashWnd::OnMouseActivate},
    };
    return map;
}

LRESULT CSplashWnd::OnCreate(WPARAM, LPARAM) {
    CenterWindow(reference_);
    ::SetTimer(Handle(), kTimerId, displayMs_, nullptr);
    return 0;
}

LRESULT CSplashWnd::OnKillFocus(WPARAM, LPARAM) {
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return 0;
}

LRESULT CSplashWnd::OnPaint(WPARAM, LPARAM) {
    tamrik::PaintDC dc(Handle());
    DrawImage(dc.Get(), 0, 0, image_);
    return 0;
}

LRESULT CSplashWnd::OnKeyDown(WPARAM key, LPARAM) {
    if (key == VK_ESCAPE) Close();
    return 0;  // every other key is swallowed
}

LRESULT CSplashWnd::OnTimer(WPARAM, LPARAM) {
    ::KillTimer(Handle(), kTimerId);
    Close();
    return 0;
}

LRESULT CSplashWnd::OnClick(WPARAM, LPARAM) {
    Close();
    return 0;
}

}  // namespace orbilux
