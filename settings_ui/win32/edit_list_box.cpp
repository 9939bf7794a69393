#include "settings_ui/win32/edit_list_box.h"

#include <commctrl.h>

#include <algorithm>

#include "settings_ui/option_logic.h"
#include "window/helpers.h"

namespace orbilux {

namespace {

constexpr int kEditButtonId = 100;
// Sizes at 96 DPI.
constexpr int kHeaderButtonWidth = 22;
constexpr int kHeaderMinHeight = 20;
constexpr int kCaptionIndent = 6;
constexpr int kRowExtra = 6;  // room in a row for the in-place editor's border

}  // namespace

const wchar_t CEditListBox::kDefaultPlaceholder[] = L"Double click here to add a new item";
const wchar_t CEditListBox::kToolTips[] =
    L"New (Insert)\tDelete (Delete)\tMove Item Up (ALT+Up Arrow)\tMove Item Down (ALT+Down Arrow)";

UINT CEditListBox::EditControlMessage() {
    static const UINT message =
        ::RegisterWindowMessageW(L"ELB_GETEDITCONTROL_MSG-{3B470660-8CB1-478b-A1A8-41CBC29A3754}");
    return message;
}

// ---- Header bar ----

tamrik::WindowTraits CEditListHeader::Traits() const {
    return {L"TamrikEditListHeader", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, CS_HREDRAW | CS_VREDRAW};
}

const tamrik::MessageMap<CEditListHeader>& CEditListHeader::GetMessageMap() {
    static const tamrik::MessageMap<CEditListHeader> map{
        {WM_PAINT, &CEditListHeader::OnPaint},
        {WM_ERASEBKGND, &CEditListHeader::OnEraseBackground},
        {WM_COMMAND, &CEditListHeader::OnCommand},
        {WM_SIZE, &CEditListHeader::OnSize},
    };
    return map;
}

bool CEditListHeader::Create(CEditListBox& owner, HWND parent, const RECT& rect) {
    owner_ = &owner;
    if (!CWindowImpl::Create(parent, rect)) return false;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0));
    ::SendMessageW(hwnd_, WM_SETFONT, WPARAM(font), FALSE);

    static const wchar_t* const kSymbols[] = {L"＋", L"×", L"▲", L"▼"};
    const std::vector<std::wstring> tips = SplitListItems(CEditListBox::kToolTips, L'\t');
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0,
                                 0, hwnd_, nullptr, tamrik::ResourceInstance(), nullptr);
    for (int i = 0; i < 4; ++i) {
        buttons_[i] = ::CreateWindowExW(0, L"BUTTON", kSymbols[i], WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0,
                                        0, 0, 0, hwnd_, reinterpret_cast<HMENU>(INT_PTR(i + 1)),
                                        tamrik::ResourceInstance(), nullptr);
        ::SendMessageW(buttons_[i], WM_SETFONT, WPARAM(font), FALSE);
        if (tooltip_ && size_t(i) < tips.size()) {
            TOOLINFOW info{sizeof(info)};
            info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            info.hwnd = hwnd_;
            info.uId = reinterpret_cast<UINT_PTR>(buttons_[i]);
            info.lpszText = const_cast<wchar_t*>(tips[size_t(i)].c_str());
            ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, LPARAM(&info));
        }
    }
    PlaceButtons();
    return true;
}

void CEditListHeader::PlaceButtons() {
    // At the right end, sized for the window's DPI: again whenever the bar is resized.
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const int edge = ::GetSystemMetrics(SM_CYEDGE);
    buttonWidth_ = tamrik::ScaleForWindow(hwnd_, kHeaderButtonWidth);
    for (int i = 0; i < 4; ++i) {
        const int x = client.right - (4 - i) * (buttonWidth_ + 1) - edge;
        ::MoveWindow(buttons_[i], x, edge, buttonWidth_, client.bottom - 2 * edge, TRUE);
    }
}

LRESULT CEditListHeader::OnSize(WPARAM, LPARAM) {
    if (buttons_[0]) PlaceButtons();
    return 0;
}

void CEditListHeader::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CEditListHeader::OnPaint(WPARAM, LPARAM) {
    tamrik::PaintDC dc(hwnd_);
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    ::FillRect(dc.Get(), &r, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawEdge(dc.Get(), &r, EDGE_ETCHED, BF_RECT);
    tamrik::SelectObjectScope font(dc.Get(),
                                   reinterpret_cast<HFONT>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::SetTextColor(dc.Get(), ::GetSysColor(COLOR_BTNTEXT));
    RECT text = r;
    text.left += tamrik::ScaleForWindow(hwnd_, kCaptionIndent);
    text.right -= 4 * (buttonWidth_ + 1) + 4;
    ::DrawTextW(dc.Get(), caption_.c_str(), int(caption_.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    return 0;
}

LRESULT CEditListHeader::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) == BN_CLICKED && owner_) owner_->OnHeaderCommand(LOWORD(wParam));
    return 0;
}

// ---- The list ----

CEditListBox::~CEditListBox() {
    UnsubclassAll();  // before the members the handlers use go
}

int CEditListBox::FontHeight(HWND window, HFONT font) {
    tamrik::WindowDC dc(window);
    tamrik::SelectObjectScope select(dc.Get(), font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    return metrics.tmHeight;
}

bool CEditListBox::Attach(HWND list) {
    if (!list || list_) return false;
    list_ = list;
    HWND parent = ::GetParent(list);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0));

    // The header bar takes the top of the list's rectangle.
    RECT r{};
    ::GetWindowRect(list, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const int captionHeight = FontHeight(list, font);
    const int headerHeight = std::max(tamrik::ScaleForWindow(list, kHeaderMinHeight), captionHeight) +
                             2 * ::GetSystemMetrics(SM_CYEDGE);
    if (!header_.Create(*this, parent, RECT{r.left, r.top, r.right, r.top + headerHeight})) return false;
    ::SetWindowPos(header_.Handle(), list, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::MoveWindow(list, r.left, r.top + headerHeight, r.right - r.left, r.bottom - r.top - headerHeight, TRUE);
    ::SetWindowLongPtrW(list, GWL_STYLE, ::GetWindowLongPtrW(list, GWL_STYLE) | WS_CLIPCHILDREN);

    // The in-place editor and its "..." button, children of the list.
    edit_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 10, list,
                              nullptr, tamrik::ResourceInstance(), nullptr);
    editButton_ = ::CreateWindowExW(0, L"BUTTON", L"...", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, list,
                                    reinterpret_cast<HMENU>(INT_PTR(kEditButtonId)),
                                    tamrik::ResourceInstance(), nullptr);
    if (!edit_ || !editButton_) return false;
    ::SendMessageW(edit_, WM_SETFONT, WPARAM(font), FALSE);
    ::SendMessageW(editButton_, WM_SETFONT, WPARAM(font), FALSE);

    if (!SubclassControl(list, ListMap()) || !SubclassControl(edit_, EditMap())) return false;
    Raw(LB_SETITEMHEIGHT, 0, captionHeight + tamrik::ScaleForWindow(list, kRowExtra));
    Raw(LB_RESETCONTENT);
    Raw(LB_ADDSTRING, 0, LPARAM(PlaceholderRow().c_str()));
    return true;
}

void CEditListBox::SetCaption(const std::wstring& caption) {
    header_.SetCaption(caption);
}

std::wstring CEditListBox::PlaceholderRow() const {
    return L"[ " + (placeholder_.empty() ? std::wstring(L"..........") : placeholder_) + L" ]";
}

void CEditListBox::SetPlaceholderText(const std::wstring& text) {
    placeholder_ = text;
    if (!list_) return;
    const int last = RealCount() - 1;
    if (last < 0) return;
    const int selection = Selection();
    Raw(LB_DELETESTRING, WPARAM(last));
    Raw(LB_INSERTSTRING, WPARAM(last), LPARAM(PlaceholderRow().c_str()));
    if (selection == last) Raw(LB_SETCURSEL, WPARAM(last));
}

LRESULT CEditListBox::Raw(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendUnfiltered(list_, message, wParam, lParam);
}

std::wstring CEditListBox::RawText(int index) const {
    const LRESULT length = Raw(LB_GETTEXTLEN, WPARAM(index));
    if (length == LB_ERR) return {};
    std::wstring text(size_t(length) + 1, L'\0');
    const LRESULT got = Raw(LB_GETTEXT, WPARAM(index), LPARAM(text.data()));
    text.resize(got == LB_ERR ? 0 : size_t(got));
    return text;
}

std::vector<std::wstring> CEditListBox::Lines() const {
    std::vector<std::wstring> lines;
    const int count = int(::SendMessageW(list_, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = ::SendMessageW(list_, LB_GETTEXTLEN, WPARAM(i), 0);
        if (length == LB_ERR) continue;
        std::wstring text(size_t(length) + 1, L'\0');
        text.resize(
            size_t(std::max<LRESULT>(0, ::SendMessageW(list_, LB_GETTEXT, WPARAM(i), LPARAM(text.data())))));
        lines.push_back(text);
    }
    return lines;
}

void CEditListBox::SetLines(const std::vector<std::wstring>& lines) {
    ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (const auto& line : lines) ::SendMessageW(list_, LB_ADDSTRING, 0, LPARAM(line.c_str()));
}

void CEditListBox::NotifyParent(WORD code) const {
    ::SendMessageW(::GetParent(list_), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list_), code), LPARAM(list_));
}

// ---- Commands ----

void CEditListBox::OnHeaderCommand(int command) {
    switch (command) {
        case kCommandNew:
            NewItem();
            break;
        case kCommandDelete:
            DeleteItem();
            break;
        case kCommandUp:
            MoveUp();
            break;
        case kCommandDown:
            MoveDown();
            break;
    }
}

void CEditListBox::NewItem() {
    if (editing_) return;
    ::SetFocus(list_);
    const int index = LineCount();
    Raw(LB_INSERTSTRING, WPARAM(index), LPARAM(L""));
    Raw(LB_SETCURSEL, WPARAM(index));
    EditItem(index);
}

void CEditListBox::DeleteItem() {
    if (editing_) return;
    const int selection = Selection();
    if (selection < 0 || selection >= LineCount()) return;
    Raw(LB_DELETESTRING, WPARAM(selection));
    Raw(LB_SETCURSEL, WPARAM(selection));  // the next line, or the placeholder after the last
}

void CEditListBox::MoveUp() {
    if (editing_) return;
    const int selection = Selection();
    if (selection < 1 || selection >= LineCount()) return;
    const std::wstring text = RawText(selection);
    Raw(LB_DELETESTRING, WPARAM(selection));
    Raw(LB_INSERTSTRING, WPARAM(selection - 1), LPARAM(text.c_str()));
    Raw(LB_SETCURSEL, WPARAM(selection - 1));
}

void CEditListBox::MoveDown() {
    if (editing_) return;
    const int selection = Selection();
    if (selection < 0 || selection >= LineCount() - 1) return;
    const std::wstring text = RawText(selection);
    Raw(LB_DELETESTRING, WPARAM(selection));
    Raw(LB_INSERTSTRING, WPARAM(selection + 1), LPARAM(text.c_str()));
    Raw(LB_SETCURSEL, WPARAM(selection + 1));
}

void CEditListBox::EditItem(int index) {
    if (editing_ || index < 0 || index >= LineCount()) return;
    RECT item{};
    if (Raw(LB_GETITEMRECT, WPARAM(index), LPARAM(&item)) == LB_ERR) return;
    Raw(LB_SETCURSEL, WPARAM(index));
    editIndex_ = index;
    storedText_ = RawText(index);
    RECT client{};
    ::GetClientRect(list_, &client);
    // The editor covers its row exactly; the rows are tall enough for it.
    const int height = item.bottom - item.top;
    const int buttonWidth = height + 4;
    ::MoveWindow(edit_, 0, item.top, client.right - buttonWidth, height, FALSE);
    ::MoveWindow(editButton_, client.right - buttonWidth, item.top, buttonWidth, height, FALSE);
    ::SetWindowTextW(edit_, storedText_.c_str());
    editing_ = true;
    ::ShowWindow(edit_, SW_SHOW);
    ::ShowWindow(editButton_, SW_SHOW);
    ::SetFocus(edit_);
    ::SendMessageW(edit_, EM_SETSEL, 0, -1);
}

void CEditListBox::EndEdit() {
    if (!editing_) return;
    editing_ = false;
    const std::wstring text = tamrik::WindowText(edit_);
    ::ShowWindow(edit_, SW_HIDE);
    ::ShowWindow(editButton_, SW_HIDE);
    if (editIndex_ >= 0 && editIndex_ < LineCount()) {
        Raw(LB_DELETESTRING, WPARAM(editIndex_));
        Raw(LB_INSERTSTRING, WPARAM(editIndex_), LPARAM(text.c_str()));
        Raw(LB_SETCURSEL, WPARAM(editIndex_));
    }
    DeleteEmptyLines();
    editIndex_ = -1;
    NotifyParent(LBN_KILLFOCUS);
}

void CEditListBox::DeleteEmptyLines() {
    const int selection = Selection();
    int newSelection = selection;
    for (int i = LineCount() - 1; i >= 0; --i) {
        if (Raw(LB_GETTEXTLEN, WPARAM(i)) != 0) continue;
        Raw(LB_DELETESTRING, WPARAM(i));
        if (i < newSelection) --newSelection;
    }
    if (selection >= 0) Raw(LB_SETCURSEL, WPARAM(std::min(std::max(newSelection, 0), RealCount() - 1)));
}

// ---- Message maps ----

const tamrik::MessageMap<CEditListBox>& CEditListBox::ListMap() {
    static const tamrik::MessageMap<CEditListBox> map{
        {LB_GETCOUNT, &CEditListBox::OnGetCount},
        {LB_GETTEXT, &CEditListBox::OnReadItem},
        {LB_GETTEXTLEN, &CEditListBox::OnReadItem},
        {LB_GETITEMDATA, &CEditListBox::OnReadItem},
        {LB_INSERTSTRING, &CEditListBox::OnInsertString},
        {LB_ADDSTRING, &CEditListBox::OnAddString},
        {LB_DELETESTRING, &CEditListBox::OnDeleteString},
        {LB_RESETCONTENT, &CEditListBox::OnResetContent},
        {WM_KEYDOWN, &CEditListBox::OnListKeyDown},
        {WM_SYSKEYDOWN, &CEditListBox::OnListSysKeyDown},
        {WM_LBUTTONDBLCLK, &CEditListBox::OnListDoubleClick},
        {WM_VSCROLL, &CEditListBox::OnListScroll},
        {WM_MOUSEWHEEL, &CEditListBox::OnListScroll},
        {WM_SETFONT, &CEditListBox::OnListSetFont},
        {EditControlMessage(), &CEditListBox::OnGetEditControl},
        {tamrik::Command(kEditButtonId), &CEditListBox::OnEditButton},
    };
    return map;
}

const tamrik::MessageMap<CEditListBox>& CEditListBox::EditMap() {
    static const tamrik::MessageMap<CEditListBox> map{
        {WM_GETDLGCODE, &CEditListBox::OnEditGetDlgCode},
        {WM_KEYDOWN, &CEditListBox::OnEditKeyDown},
        {WM_CHAR, &CEditListBox::OnEditChar},
        {WM_SETFOCUS, &CEditListBox::OnEditSetFocus},
        {WM_KILLFOCUS, &CEditListBox::OnEditKillFocus},
    };
    return map;
}

LRESULT CEditListBox::OnGetCount(WPARAM, LPARAM) {
    return std::max(0, LineCount());
}

LRESULT CEditListBox::OnReadItem(WPARAM wParam, LPARAM lParam) {
    if (int(wParam) >= LineCount()) return LB_ERR;
    return DefaultProcessing(wParam, lParam);
}

LRESULT CEditListBox::OnInsertString(WPARAM wParam, LPARAM lParam) {
    const int index = int(wParam);
    return DefaultProcessing(WPARAM(index < 0 || index >= LineCount() ? LineCount() : index), lParam);
}

LRESULT CEditListBox::OnAddString(WPARAM, LPARAM lParam) {
    return Raw(LB_INSERTSTRING, WPARAM(LineCount()), lParam);
}

LRESULT CEditListBox::OnDeleteString(WPARAM wParam, LPARAM lParam) {
    if (int(wParam) >= LineCount()) return LB_ERR;
    const LRESULT left = DefaultProcessing(wParam, lParam);
    return left == LB_ERR ? left : left - 1;
}

LRESULT CEditListBox::OnResetContent(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProcessing(wParam, lParam);
    Raw(LB_ADDSTRING, 0, LPARAM(PlaceholderRow().c_str()));
    return result;
}

LRESULT CEditListBox::OnListKeyDown(WPARAM wParam, LPARAM lParam) {
    if (!editing_) {
        switch (wParam) {
            case VK_INSERT:
                NewItem();
                return 0;
            case VK_DELETE:
                DeleteItem();
                return 0;
            case VK_F2:
                EditItem(Selection());
                return 0;
        }
    }
    return DefaultProcessing(wParam, lParam);
}

LRESULT CEditListBox::OnListSysKeyDown(WPARAM wParam, LPARAM lParam) {
    if (!editing_) {
        if (wParam == VK_UP || wParam == VK_LEFT) {
            MoveUp();
            return 0;
        }
        if (wParam == VK_DOWN || wParam == VK_RIGHT) {
            MoveDown();
            return 0;
        }
    }
    return DefaultProcessing(wParam, lParam);
}

LRESULT CEditListBox::OnListDoubleClick(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProcessing(wParam, lParam);
    if (editing_) return result;
    const LRESULT hit = Raw(LB_ITEMFROMPOINT, 0, lParam);
    if (HIWORD(hit)) return result;  // below the last row
    const int index = LOWORD(hit);
    if (index == LineCount())
        NewItem();
    else
        EditItem(index);
    return result;
}

LRESULT CEditListBox::OnListScroll(WPARAM wParam, LPARAM lParam) {
    // The editor sits over its row: scrolling ends the editing first.
    if (editing_) ::SetFocus(list_);
    return DefaultProcessing(wParam, lParam);
}

LRESULT CEditListBox::OnListSetFont(WPARAM wParam, LPARAM lParam) {
    // A new font (a DPI change) makes the list measure its rows again: keep the
    // editor's room, and give the editor and its button the same font.
    const LRESULT result = DefaultProcessing(wParam, lParam);
    HFONT font = reinterpret_cast<HFONT>(wParam);
    ::SendMessageW(edit_, WM_SETFONT, wParam, FALSE);
    ::SendMessageW(editButton_, WM_SETFONT, wParam, FALSE);
    Raw(LB_SETITEMHEIGHT, 0, FontHeight(list_, font) + tamrik::ScaleForWindow(list_, kRowExtra));
    return result;
}

LRESULT CEditListBox::OnGetEditControl(WPARAM, LPARAM) {
    return LRESULT(edit_);
}

LRESULT CEditListBox::OnEditButton(WORD code, WORD, HWND) {
    if (code == BN_CLICKED && editing_) ::SetFocus(edit_);
    return 0;
}

LRESULT CEditListBox::OnEditGetDlgCode(WPARAM wParam, LPARAM lParam) {
    return DefaultProcessing(wParam, lParam) | DLGC_WANTALLKEYS;
}

LRESULT CEditListBox::OnEditKeyDown(WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
        case VK_RETURN:
            ::SetFocus(list_);
            return 0;
        case VK_ESCAPE:
            ::SetWindowTextW(edit_, storedText_.c_str());
            ::SetFocus(list_);
            return 0;
        case VK_TAB: {
            HWND page = ::GetParent(list_);
            const bool back = ::GetKeyState(VK_SHIFT) < 0;
            HWND next = ::GetNextDlgTabItem(page, list_, back);
            ::SetFocus(next && next != list_ ? next : list_);
            return 0;
        }
    }
    return DefaultProcessing(wParam, lParam);
}

LRESULT CEditListBox::OnEditChar(WPARAM wParam, LPARAM lParam) {
    if (wParam == tamrik::kCharReturn || wParam == tamrik::kCharEscape || wParam == tamrik::kCharTab)
        return 0;  // handled as keys: no beep
    return DefaultProcessing(wParam, lParam);
}

LRESULT CEditListBox::OnEditSetFocus(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProcessing(wParam, lParam);
    NotifyParent(LBN_SETFOCUS);
    return result;
}

LRESULT CEditListBox::OnEditKillFocus(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProcessing(wParam, lParam);
    // The "..." button only hands the focus back to the editor.
    if (reinterpret_cast<HWND>(wParam) != editButton_) EndEdit();
    return result;
}

}  // namespace orbilux
