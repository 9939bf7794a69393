// A self-closing, self-deleting window that shows one bitmap resource: the
// start-up splash and the "printing" splash. It never takes the focus.
#pragma once

#include <windows.h>

#include "image/ximage.h"
#include "window/window_impl.h"

namespace orbilux {

// Reads a bitmap resource (a packed DIB of 1, 4, 8 or 24 bits) into a picture.
bool LoadBitmapResource(HINSTANCE module, UINT id, CxImage& image);
// Draws a picture at (x, y) in its own size.
void DrawImage(HDC dc, int x, int y, const CxImage& image);

class CSplashWnd : public tamrik::CWindowImpl<CSplashWnd> {
public:
    static constexpr UINT kTimerId = 1001;

    // Makes and shows a splash; it owns and deletes itself. Null (and nothing
    // left behind) when the bitmap resource is missing or the window cannot be made.
    static CSplashWnd* Open(UINT bitmapId, UINT displayMs, HWND reference);

    static const tamrik::MessageMap<CSplashWnd>& GetMessageMap();

    const CxImage& Image() const { return image_; }

protected:
    tamrik::WindowTraits Traits() const override;
    void OnFinalMessage(HWND) override { delete this; }

private:
    CSplashWnd(UINT displayMs, HWND reference) : displayMs_(displayMs), reference_(reference) {}
    ~CSplashWnd() override = default;

    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBackground(WPARAM, LPARAM) { return 1; }
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnClick(WPARAM, LPARAM);
    LRESULT OnMouseActivate(WPARAM, LPARAM) { return MA_NOACTIVATE; }
    void Close() { ::PostMessageW(Handle(), WM_CLOSE, 0, 0); }

    CxImage image_;
    UINT displayMs_;
    HWND reference_;
};

}  // namespace orbilux
