#include "settings_ui/win32/option_sheet.h"

#include <commctrl.h>

#include <algorithm>

#include "resources/settings_ui_resource.h"
#include "window/helpers.h"

namespace orbilux {

namespace {

// Sheet geometry in dialog units.
constexpr int kMargin = 7;
constexpr int kTreeWidth = 80;
constexpr int kBannerHeight = 16;
constexpr int kGap = 4;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
// Banner sizes in pixels at 96 DPI.
constexpr int kBannerFallbackFontHeight = 15;
constexpr int kBannerTextIndent = 6;

RECT DialogUnits(HWND dialog, int left, int top, int right, int bottom) {
    RECT r{left, top, right, bottom};
    ::MapDialogRect(dialog, &r);
    return r;
}

}  // namespace

// ---- COptionItem ----

std::wstring COptionItem::Caption() const {
    if (!caption_.empty() || !page_ || !page_->Handle()) return caption_;
    return page_->GetText();
}

// ---- COptionPage ----

bool COptionPage::CreatePage(COptionSheet& sheet) {
    sheet_ = &sheet;
    return Create(sheet.Handle()) != nullptr;
}

// ---- COptionSelectionTreeCtrl ----

bool COptionSelectionTreeCtrl::Create(HWND parent, int id) {
    hwnd_ = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | TVS_FULLROWSELECT, 0,
        0, 10, 10, parent, reinterpret_cast<HMENU>(INT_PTR(id)), tamrik::ResourceInstance(), nullptr);
    if (!hwnd_) return false;
    ::SendMessageW(hwnd_, WM_SETFONT, ::SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
    return true;
}

bool COptionSelectionTreeCtrl::Add(const std::wstring& caption, size_t index) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(caption.c_str());
    insert.item.lParam = LPARAM(index);
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(hwnd_, TVM_INSERTITEMW, 0, LPARAM(&insert)));
    if (!item) return false;
    items_.push_back(item);
    return true;
}

bool COptionSelectionTreeCtrl::Select(size_t index) {
    if (index >= items_.size()) return false;
    ::SendMessageW(hwnd_, TVM_SELECTITEM, TVGN_CARET, LPARAM(items_[index]));
    auto selected = reinterpret_cast<HTREEITEM>(::SendMessageW(hwnd_, TVM_GETNEXTITEM, TVGN_CARET, 0));
    return selected == items_[index];
}

// ---- COptionSelectionLayoutTreeBanner ----

bool COptionSelectionLayoutTreeBanner::Create(HWND sheet) {
    if (!tree_.Create(sheet, IDC_SHEET_TREE)) return false;
    banner_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 0, 10, 10, sheet,
                                reinterpret_cast<HMENU>(INT_PTR(IDC_SHEET_BANNER)),
                                tamrik::ResourceInstance(), nullptr);
    if (!banner_) return false;
    UpdateFonts(sheet);
    return true;
}

void COptionSelectionLayoutTreeBanner::UpdateFonts(HWND sheet) {
    // The dialog font is made for the sheet's DPI; the banner's is a quarter larger and bold.
    HFONT dialogFont = reinterpret_cast<HFONT>(::SendMessageW(sheet, WM_GETFONT, 0, 0));
    ::SendMessageW(tree_.Handle(), WM_SETFONT, WPARAM(dialogFont), TRUE);
    LOGFONTW font{};
    if (dialogFont) ::GetObjectW(dialogFont, sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    font.lfHeight =
        font.lfHeight ? font.lfHeight * 5 / 4 : -tamrik::ScaleForWindow(sheet, kBannerFallbackFontHeight);
    bannerFont_.Reset(::CreateFontIndirectW(&font));
    if (banner_) ::InvalidateRect(banner_, nullptr, TRUE);
}

void COptionSelectionLayoutTreeBanner::Arrange(HWND sheet, SIZE pageSize, const std::vector<HWND>& buttons) {
    const RECT units = DialogUnits(sheet, kMargin, kBannerHeight, kTreeWidth, kGap);
    const RECT buttonUnits = DialogUnits(sheet, kButtonWidth, kButtonHeight, 0, 0);
    const int margin = units.left, bannerHeight = units.top, treeWidth = units.right, gap = units.bottom;
    const int buttonWidth = buttonUnits.left, buttonHeight = buttonUnits.top;

    const int pageLeft = margin + treeWidth + margin;
    const int pageTop = margin + bannerHeight + gap;
    pageRect_ = RECT{pageLeft, pageTop, pageLeft + pageSize.cx, pageTop + pageSize.cy};
    const int clientWidth = pageRect_.right + margin;
    const int buttonTop = pageRect_.bottom + margin;
    const int clientHeight = buttonTop + buttonHeight + margin;

    // Window size = client size plus the frame (window rectangle minus client rectangle).
    RECT window{}, client{};
    ::GetWindowRect(sheet, &window);
    ::GetClientRect(sheet, &client);
    const int frameWidth = (window.right - window.left) - (client.right - client.left);
    const int frameHeight = (window.bottom - window.top) - (client.bottom - client.top);
    ::SetWindowPos(sheet, nullptr, 0, 0, clientWidth + frameWidth, clientHeight + frameHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    ::MoveWindow(tree_.Handle(), margin, margin, treeWidth, pageRect_.bottom - margin, TRUE);
    ::MoveWindow(banner_, pageLeft, margin, pageSize.cx, bannerHeight, TRUE);
    int x = clientWidth - margin - buttonWidth;
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) {
        ::MoveWindow(*it, x, buttonTop, buttonWidth, buttonHeight, TRUE);
        x -= buttonWidth + gap;
    }
}

void COptionSelectionLayoutTreeBanner::SetBannerText(const std::wstring& text) {
    bannerText_ = text;
    if (banner_) ::InvalidateRect(banner_, nullptr, TRUE);
}

void COptionSelectionLayoutTreeBanner::DrawBanner(const DRAWITEMSTRUCT& draw) const {
    const RECT r = draw.rcItem;
    // A band from the caption colour to the inactive caption colour.
    const COLORREF from = ::GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF to = ::GetSysColor(COLOR_GRADIENTACTIVECAPTION);
    TRIVERTEX vertex[2] = {{r.left, r.top, COLOR16(GetRValue(from) << 8), COLOR16(GetGValue(from) << 8),
                            COLOR16(GetBValue(from) << 8), 0},
                           {r.right, r.bottom, COLOR16(GetRValue(to) << 8), COLOR16(GetGValue(to) << 8),
                            COLOR16(GetBValue(to) << 8), 0}};
    GRADIENT_RECT band{0, 1};
    ::GradientFill(draw.hDC, vertex, 2, &band, 1, GRADIENT_FILL_RECT_H);
    tamrik::SelectObjectScope font(draw.hDC, bannerFont_.Get());
    ::SetBkMode(draw.hDC, TRANSPARENT);
    ::SetTextColor(draw.hDC, ::GetSysColor(COLOR_CAPTIONTEXT));
    RECT text = r;
    text.left += tamrik::ScaleForWindow(draw.hwndItem, kBannerTextIndent);
    ::DrawTextW(draw.hDC, bannerText_.c_str(), int(bannerText_.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
}

// ---- COptionSheet ----

COptionSheet::COptionSheet() : CDialogImplBase(IDD_OPTION_SHEET) {}
COptionSheet::~COptionSheet() {
    if (IsWindow()) DestroyWindow();
}

COptionItem* COptionSheet::AddItem(std::unique_ptr<COptionItem> item) {
    items_.push_back(std::move(item));
    return items_.back().get();
}

const tamrik::MessageMap<COptionSheet>& COptionSheet::GetMessageMap() {
    static const tamrik::MessageMap<COptionSheet> map{
        {WM_INITDIALOG, &COptionSheet::OnInitDialog},
        {WM_NOTIFY, &COptionSheet::OnNotify},
        {WM_DRAWITEM, &COptionSheet::OnDrawItem},
        {WM_SYSCOMMAND, &COptionSheet::OnSysCommand},
        {WM_HELP, &COptionSheet::OnHelp},
        {tamrik::Command(IDOK), &COptionSheet::OnOK},
        {tamrik::Command(IDCANCEL), &COptionSheet::OnCancel},
        {tamrik::Command(kApplyCommand), &COptionSheet::OnApplyCommand},
    };
    return map;
}

bool COptionSheet::ProcessWindowMessage(const tamrik::WindowMessage& message, LRESULT& result) {
    return GetMessageMap().Dispatch(*this, message, result);
}

LRESULT COptionSheet::OnInitDialog(WPARAM, LPARAM) {
    if (!DoInit(true)) {
        EndDialog(kInitFailed);
        return FALSE;
    }
    return TRUE;  // the dialog manager focuses the first tab stop: the tree
}

bool COptionSheet::DoInit(bool first) {
    if (!layout_.Create(Handle())) return false;

    // The buttons the style flags ask for stay, enabled; the others go.
    const struct {
        int id;
        DWORD flag;
    } kButtons[] = {{IDOK, kButtonOk}, {IDCANCEL, kButtonCancel}, {kApplyCommand, kButtonApply}};
    buttons_.clear();
    for (const auto& b : kButtons) {
        HWND button = Item(b.id);
        if (!button) continue;
        if (styleFlags_ & b.flag) {
            ::EnableWindow(button, TRUE);
            buttons_.push_back(button);
        } else {
            ::DestroyWindow(button);
        }
    }

    for (size_t i = 0; i < items_.size(); ++i)
        if (!layout_.Tree().Add(items_[i]->Caption(), i)) return false;

    if (!Arrange()) return false;

    if (!items_.empty() && !layout_.Tree().Select(0)) return false;
    ::SetWindowTextW(Handle(), title_.c_str());
    CenterWindow(::GetWindow(Handle(), GW_OWNER));
    return true;
}

bool COptionSheet::Arrange() {
    SIZE largest{0, 0};
    for (COptionPage* page : pages_) {
        RECT r{};
        if (!page->Handle() || !::GetWindowRect(page->Handle(), &r)) return false;
        largest.cx = std::max<LONG>(largest.cx, r.right - r.left);
        largest.cy = std::max<LONG>(largest.cy, r.bottom - r.top);
    }
    layout_.Arrange(Handle(), largest, buttons_);
    const RECT pageRect = layout_.PageRect();
    for (COptionPage* page : pages_)
        ::SetWindowPos(page->Handle(), layout_.Banner(), pageRect.left, pageRect.top, 0, 0,
                       SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void COptionSheet::OnDpiChanged(UINT) {
    // The dialog manager has scaled the template's controls and the pages; the
    // parts made here follow: fonts, then the sizes of the tree, banner and buttons.
    layout_.UpdateFonts(Handle());
    Arrange();
}

bool COptionSheet::SelectItem(size_t index) {
    return layout_.Tree().Select(index);
}

LRESULT COptionSheet::OnNotify(WPARAM, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom != layout_.Tree().Handle()) return 0;
    const auto* tree = reinterpret_cast<const NMTREEVIEWW*>(lParam);
    auto itemOf = [this](const TVITEMW& item) -> COptionItem* {
        const int index = COptionSelectionTreeCtrl::IndexOf(item);
        return index >= 0 && size_t(index) < items_.size() ? items_[size_t(index)].get() : nullptr;
    };
    if (header->code == TVN_SELCHANGINGW)
        return OnSelectionChanging(current_, itemOf(tree->itemNew)) ? FALSE : TRUE;
    if (header->code == TVN_SELCHANGEDW) OnSelectionChanged(itemOf(tree->itemNew));
    return 0;
}

bool COptionSheet::OnSelectionChanging(COptionItem* from, COptionItem* to) {
    if (!from || from == to) return true;
    return from->Page()->OnApply(from);
}

void COptionSheet::OnSelectionChanged(COptionItem* to) {
    if (!to) return;
    COptionItem* from = current_;
    COptionPage* oldPage = from ? from->Page() : nullptr;
    COptionPage* newPage = to->Page();
    current_ = to;
    if (std::find(shown_.begin(), shown_.end(), to) == shown_.end()) shown_.push_back(to);
    newPage->OnSetActive(to);
    if (oldPage != newPage) {
        if (oldPage) ::ShowWindow(oldPage->Handle(), SW_HIDE);
        ::ShowWindow(newPage->Handle(), SW_SHOW);
    }
    layout_.SetBannerText(to->Caption());
    OnPageChanged(from, to);
}

bool COptionSheet::ApplyAllPages() {
    if (current_ && !current_->Page()->OnApply(current_)) return false;
    // A page left earlier accepted its values then; applying it again catches
    // a value that depends on what another page changed since.
    for (COptionItem* item : std::vector<COptionItem*>(shown_)) {
        if (item == current_ || item->Page()->OnApply(item)) continue;
        HWND focus = ::GetFocus();  // where the refusing page put it
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == item) SelectItem(i);
        if (focus && ::IsChild(item->Page()->Handle(), focus)) ::SetFocus(focus);
        return false;
    }
    return true;
}

LRESULT COptionSheet::OnOK(WORD, WORD, HWND) {
    HWND focus = ::GetFocus();
    if (focus != Item(IDOK)) {
        // Enter in another control: that control gets the Enter character instead.
        if (focus) ::SendMessageW(focus, WM_CHAR, tamrik::kCharReturn, 0);
        return 0;
    }
    // A refusing page keeps the sheet open and nothing is stored: Cancel then
    // leaves everything as it was before the sheet opened.
    if (!ApplyAllPages()) return 0;
    StoreWorkingCopy();  // a failed save is the opener's to report
    EndDialog(IDOK);
    return 0;
}

LRESULT COptionSheet::OnApplyCommand(WORD, WORD, HWND) {
    if (ApplyAllPages()) StoreWorkingCopy();
    return 0;
}

LRESULT COptionSheet::OnCancel(WORD, WORD, HWND) {
    cancelling_ = true;
    if (current_) current_->Page()->OnApply(current_);  // into the working copy, which is dropped
    cancelling_ = false;
    EndDialog(IDCANCEL);
    return 0;
}

LRESULT COptionSheet::OnDrawItem(WPARAM wParam, LPARAM lParam) {
    const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (draw->hwndItem != layout_.Banner()) return FALSE;
    layout_.DrawBanner(*draw);
    return TRUE;
}

LRESULT COptionSheet::OnSysCommand(WPARAM wParam, LPARAM) {
    // Everything but context help takes the default path.
    if ((wParam & 0xFFF0) != SC_CONTEXTHELP) {
        DeclineMessage();
        return 0;
    }
    tamrik::ShowHelp(Handle());
    return 0;
}

LRESULT COptionSheet::OnHelp(WPARAM, LPARAM) {
    tamrik::ShowHelp(Handle());
    return TRUE;
}

}  // namespace orbilux
