// An editable list of text lines on top of a dialog's list box: a header bar
// with a caption and new / delete / move up / move down buttons, an in-place
// editor, and a last placeholder row that adds a line when double-clicked.
// The placeholder is invisible to the list's users: LB_GETCOUNT answers one
// less, reading it fails, inserting at the end lands before it and emptying
// the list puts it back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "window/raii.h"
#include "window/window_impl.h"

namespace orbilux {

class CEditListBox;

// The header bar above the list.
class CEditListHeader : public tamrik::CWindowImpl<CEditListHeader> {
public:
    static const tamrik::MessageMap<CEditListHeader>& GetMessageMap();
    bool Create(CEditListBox& owner, HWND parent, const RECT& rect);
    void SetCaption(const std::wstring& caption);
    HWND Button(int index) const { return buttons_[index]; }

protected:
    tamrik::WindowTraits Traits() const override;

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM, LPARAM) { return TRUE; }
    LRESULT OnSize(WPARAM, LPARAM);
    void PlaceButtons();

    CEditListBox* owner_ = nullptr;
    std::wstring caption_;
    int buttonWidth_ = 0;  // at the window's DPI
    HWND buttons_[4] = {};
    HWND tooltip_ = nullptr;
};

class CEditListBox : public tamrik::CSubclassImpl<CEditListBox> {
public:
    static constexpr int kCommandNew = 1;
    static constexpr int kCommandDelete = 2;
    static constexpr int kCommandUp = 3;
    static constexpr int kCommandDown = 4;
    static const wchar_t kDefaultPlaceholder[];  // "Double click here to add a new item"
    static const wchar_t kToolTips[];            // tab-separated button tips
    // Registered message that answers the in-place editor's window.
    static UINT EditControlMessage();

    CEditListBox() = default;
    ~CEditListBox() override;

    // Takes over a list box of a dialog: the header bar takes the top of its
    // rectangle, the placeholder row is appended.
    bool Attach(HWND list);
    HWND Handle() const { return list_; }
    void SetCaption(const std::wstring& caption);
    void SetPlaceholderText(const std::wstring& text);
    std::wstring PlaceholderRow() const;

    // The lines, without the placeholder row.
    std::vector<std::wstring> Lines() const;
    void SetLines(const std::vector<std::wstring>& lines);

    void NewItem();
    void DeleteItem();
    void MoveUp();
    void MoveDown();
    void EditItem(int index);
    bool IsEditing() const { return editing_; }
    HWND EditControl() const { return edit_; }
    HWND EditButton() const { return editButton_; }
    HWND Header() const { return header_.Handle(); }

private:
    friend class CEditListHeader;
    static const tamrik::MessageMap<CEditListBox>& ListMap();
    static const tamrik::MessageMap<CEditListBox>& EditMap();
    void OnHeaderCommand(int command);

    // The list box: the placeholder rules, the keys and the mouse.
    LRESULT OnGetCount(WPARAM, LPARAM);
    LRESULT OnReadItem(WPARAM, LPARAM);
    LRESULT OnInsertString(WPARAM, LPARAM);
    LRESULT OnAddString(WPARAM, LPARAM);
    LRESULT OnDeleteString(WPARAM, LPARAM);
    LRESULT OnResetContent(WPARAM, LPARAM);
    LRESULT OnListKeyDown(WPARAM, LPARAM);
    LRESULT OnListSysKeyDown(WPARAM, LPARAM);
    LRESULT OnListDoubleClick(WPARAM, LPARAM);
    LRESULT OnListScroll(WPARAM, LPARAM);
    LRESULT OnListSetFont(WPARAM, LPARAM);
    LRESULT OnGetEditControl(WPARAM, LPARAM);
    LRESULT OnEditButton(WORD, WORD, HWND);
    // The in-place editor.
    LRESULT OnEditGetDlgCode(WPARAM, LPARAM);
    LRESULT OnEditKeyDown(WPARAM, LPARAM);
    LRESULT OnEditChar(WPARAM, LPARAM);
    LRESULT OnEditSetFocus(WPARAM, LPARAM);
    LRESULT OnEditKillFocus(WPARAM, LPARAM);
    static int FontHeight(HWND window, HFONT font);
    // The list box itself, bypassing the placeholder rules.
    LRESULT Raw(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    int RealCount() const { return int(Raw(LB_GETCOUNT)); }
    int LineCount() const { return RealCount() - 1; }
    std::wstring RawText(int index) const;
    int Selection() const { return int(Raw(LB_GETCURSEL)); }
    void EndEdit();
    void DeleteEmptyLines();
    void NotifyParent(WORD code) const;

    HWND list_ = nullptr;
    HWND edit_ = nullptr;
    HWND editButton_ = nullptr;
    CEditListHeader header_;
    std::wstring placeholder_ = kDefaultPlaceholder;
    std::wstring storedText_;
    int editIndex_ = -1;
    bool editing_ = false;
};

}  // namespace orbilux
