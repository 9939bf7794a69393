// The token palette of the header and footer editor: a captionless tool
// window whose buttons type template tokens into whatever control has the
// keyboard focus. It never takes activation, so the focus stays in the line
// being edited.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "window/window_impl.h"

namespace orbilux {

// Synthesises keyboard input for a text: each character's key and Shift state
// in the current layout; characters the layout has no plain key for are sent
// as Unicode input. Returns the number of input events sent.
UINT TypeText(const std::wstring& text);

// The text a palette button types, or empty for another id.
std::wstring PaletteToken(int id);

// A push button that never takes the focus: it draws its pressed state and
// reports BN_CLICKED to its parent itself.
class CSilentButton : public tamrik::CSubclassImpl<CSilentButton> {
public:
    bool Attach(HWND button);

private:
    static const tamrik::MessageMap<CSilentButton>& GetMessageMap();
    LRESULT OnButtonDown(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnButtonUp(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    bool Inside(LPARAM point) const;

    HWND hwnd_ = nullptr;
    bool tracking_ = false;
};

class CToolDlg : public tamrik::CDialogImpl<CToolDlg> {
public:
    CToolDlg();
    static const tamrik::MessageMap<CToolDlg>& GetMessageMap();

    // Creates the palette hidden, owned by the top-level window of `owner`.
    bool CreatePalette(HWND owner);
    // At the right edge of the sheet, top-aligned; at its left edge when the
    // right would leave the virtual screen. Never activates.
    void PlaceBeside(HWND sheet);
    void Show();
    void Hide();
    bool IsVisible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }
    bool Inserting() const { return inserting_; }

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    LRESULT OnMouseActivate(WPARAM, LPARAM);
    LRESULT OnActivate(WPARAM, LPARAM);
    LRESULT OnWindowPosChanged(WPARAM, LPARAM);
    LRESULT OnNcHitTest(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnToken(WORD code, WORD id, HWND control);
    // Completes any composition and closes every open input-method context of
    // the thread that owns `window`, remembering which were open.
    void CloseInputContexts(HWND window);
    void ReopenInputContexts();

    std::vector<std::unique_ptr<CSilentButton>> buttons_;
    std::vector<HWND> closedContexts_;  // windows whose context was open
    HWND previousActive_ = nullptr;
    bool inserting_ = false;
};

}  // namespace orbilux
