// The format settings page: the header and footer font and the two line
// editors with their token palette.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <set>

#include "resources/settings_ui_resource.h"
#include "settings_ui/option_logic.h"
#include "settings_ui/win32/option_pages.h"
#include "settings_ui/win32/settings_sheet.h"
#include "window/ddx.h"
#include "window/helpers.h"

namespace orbilux {

namespace {

// The up-down's range; the field itself takes any size a page can hold.
constexpr int kMaxFontSize = 36;
const wchar_t kDefaultFace[] = L"MS UI Gothic";

int CALLBACK AddFontFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data) {
    // The family name: what the printed header asks for by name. (Wine's face
    // replacements show here under their own names, not the replacing font's.)
    if (font->lfFaceName[0] == L'@') return 1;  // vertical variants
    reinterpret_cast<std::set<std::wstring>*>(data)->insert(font->lfFaceName);
    return 1;
}

CCSNOptionSheet& SheetOf(COptionPage& page) {
    return *static_cast<CCSNOptionSheet*>(page.Sheet());
}

}  // namespace

CSettingsFormatOptionPage::CSettingsFormatOptionPage() : COptionPageSettingsImpl(IDD_PAGE_FORMAT) {}

const tamrik::MessageMap<CSettingsFormatOptionPage>& CSettingsFormatOptionPage::GetMessageMap() {
    using Page = CSettingsFormatOptionPage;
    static const tamrik::MessageMap<Page> map{
        {WM_INITDIALOG, &Page::OnInitDialog},
        {tamrik::Command(IDC_HEAD_LIST), &Page::OnHeadList},
        {tamrik::Command(IDC_FOOT_LIST), &Page::OnFootList},
        {tamrik::Command(IDC_FONT_SIZE), &Page::OnSizeOrFace},
        {tamrik::Command(IDC_FONT_FACE), &Page::OnSizeOrFace},
        {tamrik::Command(IDC_FONT_BUTTON), &Page::OnFontButton},
    };
    return map;
}

LRESULT CSettingsFormatOptionPage::OnInitDialog(WPARAM, LPARAM) {
    ::SendDlgItemMessageW(hwnd_, IDC_FONT_SIZE_SPIN, UDM_SETRANGE32, 0, kMaxFontSize);
    headList_.Attach(Item(IDC_HEAD_LIST));
    headList_.SetCaption(tamrik::ResourceString(IDS_HEADER_LINES));
    headList_.SetPlaceholderText(L"...");
    footList_.Attach(Item(IDC_FOOT_LIST));
    footList_.SetCaption(tamrik::ResourceString(IDS_FOOTER_LINES));
    footList_.SetPlaceholderText(L"...");
    FillFontList();
    ::SendDlgItemMessageW(hwnd_, IDC_FONT_FACE, CB_LIMITTEXT, LF_FACESIZE - 1, 0);
    ::SendDlgItemMessageW(hwnd_, IDC_FONT_FACE, CB_SELECTSTRING, WPARAM(-1), LPARAM(kDefaultFace));
    palette_.CreatePalette(hwnd_);
    return FALSE;
}

void CSettingsFormatOptionPage::FillFontList() {
    std::set<std::wstring> names;
    tamrik::WindowDC dc(hwnd_);
    LOGFONTW query{};
    query.lfCharSet = SHIFTJIS_CHARSET;
    ::EnumFontFamiliesExW(dc.Get(), &query, &AddFontFamily, LPARAM(&names), 0);
    for (const auto& name : names)
        ::SendDlgItemMessageW(hwnd_, IDC_FONT_FACE, CB_ADDSTRING, 0, LPARAM(name.c_str()));
}

void CSettingsFormatOptionPage::SelectFace(const std::wstring& face) {
    HWND combo = Item(IDC_FONT_FACE);
    if (face.empty()) {
        ::SendMessageW(combo, CB_SETCURSEL, WPARAM(-1), 0);
        return;
    }
    // A face the list lacks (not installed, or without Japanese characters)
    // joins the list, so that it is shown and kept.
    LRESULT index = ::SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(face.c_str()));
    if (index == CB_ERR) index = ::SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(face.c_str()));
    ::SendMessageW(combo, CB_SETCURSEL, WPARAM(index), 0);
}

bool CSettingsFormatOptionPage::LoadControls() {
    palette_.Hide();
    headList_.SetLines(settings_->headStrings);
    footList_.SetLines(settings_->footStrings);
    SelectFace(settings_->fontFace);
    ::SetDlgItemInt(hwnd_, IDC_FONT_SIZE, UINT(settings_->fontSize), TRUE);
    return true;
}

bool CSettingsFormatOptionPage::CheckLineLengths() {
    for (CEditListBox* list : {&headList_, &footList_}) {
        const int tooLong = FirstTooLongLine(list->Lines());
        if (tooLong < 0) continue;
        ::SendMessageW(list->Handle(), LB_SETCURSEL, WPARAM(tooLong), 0);
        RefuseControl(*this, ::GetDlgCtrlID(list->Handle()),
                      FormatStringTable(IDS_LINE_TOO_LONG, unsigned(kMaxTemplateLineChars)));
        return false;
    }
    return true;
}

bool CSettingsFormatOptionPage::SaveControls() {
    palette_.Hide();
    // A line longer than the settings file keeps would be lost on the next start.
    if (!CheckLineLengths()) return false;
    settings_->headStrings = headList_.Lines();
    settings_->footStrings = footList_.Lines();
    // The face shown: picked from the list, typed, or chosen in the font dialog.
    const std::wstring face = tamrik::CDataExchange::ControlText(Item(IDC_FONT_FACE));
    if (!face.empty()) settings_->fontFace = face;
    BOOL ok = FALSE;
    const int size = int(::GetDlgItemInt(hwnd_, IDC_FONT_SIZE, &ok, TRUE));
    // A negative size would wrap around in the unsigned field; sizes beyond any
    // page are refused as well.
    if (!ok || !IsAcceptedFontSize(size)) {
        RefuseNumber(*this, IDC_FONT_SIZE, 0, kMaxFontPoints);
        return false;
    }
    settings_->fontSize = uint32_t(size);
    return true;
}

void CSettingsFormatOptionPage::ShowPalette() {
    palette_.PlaceBeside(Sheet() ? Sheet()->Handle() : ::GetParent(hwnd_));
    palette_.Show();
}

void CSettingsFormatOptionPage::OnListFocus(CEditListBox& gained, CEditListBox& other, WORD code) {
    if (code == LBN_SETFOCUS) {
        ::SendMessageW(other.Handle(), LB_SETCURSEL, WPARAM(-1), 0);
        ShowPalette();
    } else if (code == LBN_KILLFOCUS) {
        palette_.Hide();
    }
}

LRESULT CSettingsFormatOptionPage::OnHeadList(WORD code, WORD, HWND) {
    OnListFocus(headList_, footList_, code);
    return 0;
}

LRESULT CSettingsFormatOptionPage::OnFootList(WORD code, WORD, HWND) {
    OnListFocus(footList_, headList_, code);
    return 0;
}

LRESULT CSettingsFormatOptionPage::OnSizeOrFace(WORD code, WORD id, HWND) {
    const bool gained =
        (id == IDC_FONT_SIZE && code == EN_SETFOCUS) || (id == IDC_FONT_FACE && code == CBN_SETFOCUS);
    if (gained) {
        ::SendMessageW(headList_.Handle(), LB_SETCURSEL, WPARAM(-1), 0);
        ::SendMessageW(footList_.Handle(), LB_SETCURSEL, WPARAM(-1), 0);
    }
    return 0;
}

LRESULT CSettingsFormatOptionPage::OnFontButton(WORD code, WORD, HWND) {
    if (code != BN_CLICKED || !settings_) return 0;
    HWND sheet = Sheet() ? Sheet()->Handle() : ::GetParent(hwnd_);
    // The bound group's face (not the list's selection) and the size in the spin box.
    LOGFONTW font{};
    lstrcpynW(font.lfFaceName, settings_->fontFace.c_str(), LF_FACESIZE);
    // The size in the field (the up-down's own range stops at 36).
    const int points = int(::GetDlgItemInt(hwnd_, IDC_FONT_SIZE, nullptr, TRUE));
    {
        tamrik::WindowDC dc(hwnd_);
        font.lfHeight = -::MulDiv(points, ::GetDeviceCaps(dc.Get(), LOGPIXELSY), 72);
    }
    font.lfCharSet = DEFAULT_CHARSET;
    CHOOSEFONTW choose{sizeof(choose)};
    choose.hwndOwner = sheet;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_NOVERTFONTS | CF_INITTOLOGFONTSTRUCT;
    ::SetForegroundWindow(::GetDesktopWindow());
    const auto& chooseFont = SheetOf(*this).Services().chooseFont;
    const bool chosen = chooseFont ? chooseFont(choose) : ::ChooseFontW(&choose) != FALSE;
    ForegroundDesktopThenSheet(sheet);
    if (!chosen) return 0;
    SelectFace(font.lfFaceName);
    // Straight into the field: the up-down would cut a size above its range.
    ::SetDlgItemInt(hwnd_, IDC_FONT_SIZE, UINT(choose.iPointSize / 10), TRUE);
    OnApply(nullptr);
    return 0;
}

}  // namespace orbilux
