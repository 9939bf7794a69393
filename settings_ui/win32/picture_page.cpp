// The image format settings page and the easy page.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "resources/resource.h"
#include "resources/settings_ui_resource.h"
#include "settings_ui/option_logic.h"
#include "settings_ui/win32/option_pages.h"
#include "settings_ui/win32/settings_sheet.h"
#include "window/ddx.h"
#include "window/message_loop.h"

namespace orbilux {

namespace {

// The user's pictures folder, or the documents folder (created if needed).
std::wstring DefaultPictureFolder() {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, path)) &&
        path[0])
        return path;
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                     path)))
        return path;
    return {};
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED && start) ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

void FillCombo(HWND page, int id, UINT stringId) {
    for (const auto& item : StringTableItems(stringId))
        ::SendDlgItemMessageW(page, id, CB_ADDSTRING, 0, LPARAM(item.c_str()));
}

CCSNOptionSheet& SheetOf(COptionPage& page) {
    return *static_cast<CCSNOptionSheet*>(page.Sheet());
}

}  // namespace

// ---- Image format settings ----

CSettingsPictureOptionPage::CSettingsPictureOptionPage() : COptionPageSettingsImpl(IDD_PAGE_PICTURE) {}

const tamrik::MessageMap<CSettingsPictureOptionPage>& CSettingsPictureOptionPage::GetMessageMap() {
    using Page = CSettingsPictureOptionPage;
    static const tamrik::MessageMap<Page> map{
        {WM_INITDIALOG, &Page::OnInitDialog},
        {WM_HSCROLL, &Page::OnHScroll},
        {tamrik::Command(IDC_SCALE), &Page::OnScaleEdit},
        {tamrik::Command(IDC_BASE_DIR_BROWSE), &Page::OnBrowse},
    };
    return map;
}

LRESULT CSettingsPictureOptionPage::OnInitDialog(WPARAM, LPARAM) {
    FillCombo(hwnd_, IDC_PRINT_MODE, IDS_PRINT_MODES);
    FillCombo(hwnd_, IDC_PICTURE_FORMAT, IDS_PICTURE_FORMATS);
    FillCombo(hwnd_, IDC_BPP, IDS_COLOUR_DEPTHS);
    ::SendDlgItemMessageW(hwnd_, IDC_SCALE, EM_LIMITTEXT, 8, 0);
    HWND track = Item(IDC_SCALE_TRACK);
    ::SendMessageW(track, TBM_SETRANGE, TRUE, MAKELPARAM(kMinScale, kMaxScale));
    ::SendMessageW(track, TBM_SETPAGESIZE, 0, 25);
    ::SendMessageW(track, TBM_SETTICFREQ, 25, 0);
    ::SendMessageW(track, TBM_SETBUDDY, FALSE, LPARAM(Item(IDC_SCALE)));
    return FALSE;
}

bool CSettingsPictureOptionPage::LoadControls() {
    if (settings_->baseDirName.empty()) settings_->baseDirName = DefaultPictureFolder();
    ::SetDlgItemTextW(hwnd_, IDC_BASE_DIR, settings_->baseDirName.c_str());
    ::SendDlgItemMessageW(hwnd_, IDC_SCALE_TRACK, TBM_SETPOS, TRUE, LPARAM(settings_->scale));
    ::SetDlgItemInt(hwnd_, IDC_SCALE, settings_->scale, FALSE);
    tamrik::CDataExchange dx(hwnd_, false);
    int mode = settings_->printMode, format = settings_->nPictureFormat, bpp = settings_->bpp;
    dx.ComboIndex(IDC_PRINT_MODE, mode);
    dx.ComboIndex(IDC_PICTURE_FORMAT, format);
    dx.ComboIndex(IDC_BPP, bpp);
    return true;
}

bool CSettingsPictureOptionPage::SaveControls() {
    tamrik::CDataExchange dx(hwnd_, true);
    dx.Text(IDC_BASE_DIR, settings_->baseDirName);
    BOOL ok = FALSE;
    const UINT scale = ::GetDlgItemInt(hwnd_, IDC_SCALE, &ok, FALSE);
    if (!ok || !IsAcceptedScale(scale)) {
        RefuseNumber(*this, IDC_SCALE, kMinScale, kMaxScale);
        return false;
    }
    settings_->scale = scale;
    const std::pair<int, int32_t*> lists[] = {{IDC_PRINT_MODE, &settings_->printMode},
                                              {IDC_PICTURE_FORMAT, &settings_->nPictureFormat},
                                              {IDC_BPP, &settings_->bpp}};
    for (const auto& [id, field] : lists) {
        int index = -1;
        dx.ComboIndex(id, index);
        if (index < 0) {
            dx.Fail(id);
            return false;
        }
        *field = index;
    }
    return true;
}

LRESULT CSettingsPictureOptionPage::OnScaleEdit(WORD code, WORD, HWND control) {
    if (code == EN_CHANGE && ::GetFocus() == control) {
        BOOL ok = FALSE;
        const UINT value = ::GetDlgItemInt(hwnd_, IDC_SCALE, &ok, FALSE);
        if (ok) ::SendDlgItemMessageW(hwnd_, IDC_SCALE_TRACK, TBM_SETPOS, TRUE, LPARAM(value));
    } else if (code == EN_KILLFOCUS) {
        BOOL ok = FALSE;
        const UINT value = ::GetDlgItemInt(hwnd_, IDC_SCALE, &ok, FALSE);
        const UINT scale = ScaleOnLeave(ok != FALSE, value);
        ::SetDlgItemInt(hwnd_, IDC_SCALE, scale, FALSE);
        ::SendDlgItemMessageW(hwnd_, IDC_SCALE_TRACK, TBM_SETPOS, TRUE, LPARAM(scale));
        OnApply(nullptr);
    }
    return 0;
}

LRESULT CSettingsPictureOptionPage::OnHScroll(WPARAM, LPARAM lParam) {
    HWND track = reinterpret_cast<HWND>(lParam);
    if (track == Item(IDC_SCALE_TRACK) && ::GetFocus() == track) {
        const LRESULT position = ::SendMessageW(track, TBM_GETPOS, 0, 0);
        ::SetDlgItemTextW(hwnd_, IDC_SCALE, std::to_wstring(position).c_str());
    }
    return 0;
}

LRESULT CSettingsPictureOptionPage::OnBrowse(WORD code, WORD, HWND) {
    if (code != BN_CLICKED || !settings_) return 0;
    HWND sheet = Sheet() ? Sheet()->Handle() : ::GetParent(hwnd_);
    const std::wstring title = tamrik::ResourceString(IDS_CHOOSE_FOLDER);
    const std::wstring start = settings_->baseDirName;
    BROWSEINFOW browse{};
    browse.hwndOwner = sheet;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = &BrowseCallback;
    browse.lParam = LPARAM(start.c_str());
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
    if (chosen) {
        wchar_t path[MAX_PATH] = {};
        const bool havePath = ::SHGetPathFromIDListW(chosen, path) != FALSE;
        ::CoTaskMemFree(chosen);
        if (havePath) {
            OnApply(nullptr);
            settings_->baseDirName = path;
            LoadControls();
        }
    }
    ForegroundDesktopThenSheet(sheet);
    return 0;
}

// ---- Easy settings ----

CSettingsSimpleOptionPage::CSettingsSimpleOptionPage() : COptionPageSettingsImpl(IDD_PAGE_SIMPLE) {}

const tamrik::MessageMap<CSettingsSimpleOptionPage>& CSettingsSimpleOptionPage::GetMessageMap() {
    using Page = CSettingsSimpleOptionPage;
    static const tamrik::MessageMap<Page> map{
        {WM_INITDIALOG, &Page::OnInitDialog},
        {tamrik::Command(IDC_EASY_DEFAULT_PRINTER), &Page::OnDefaultPrinter},
    };
    return map;
}

LRESULT CSettingsSimpleOptionPage::OnInitDialog(WPARAM, LPARAM) {
    for (const auto& name : SplitListItems(kEasyKeyNames))
        ::SendDlgItemMessageW(hwnd_, IDC_EASY_KEY, CB_ADDSTRING, 0, LPARAM(name.c_str()));
    if (settings_) LoadControls();
    return FALSE;
}

bool CSettingsSimpleOptionPage::LoadControls() {
    ORBILUXSetting& record = *settings_;
    const EasyPageState state = EasyStateFromRecord(record);
    tamrik::CDataExchange dx(hwnd_, false);
    bool head = state.showHead, foot = state.showFoot, info = state.showInfo;
    bool mono = state.monochrome, invert = state.invert, fileOnly = state.fileOnly;
    dx.Check(IDC_EASY_HEAD, head);
    dx.Check(IDC_EASY_FOOT, foot);
    ::SetDlgItemTextW(hwnd_, IDC_EASY_PRINTER, record.printer_.printername_.c_str());
    ::SetDlgItemTextW(hwnd_, IDC_EASY_FONT_FACE, record.format_.fontFace.c_str());
    ::SetDlgItemTextW(hwnd_, IDC_EASY_FONT_SIZE, std::to_wstring(int(record.format_.fontSize)).c_str());
    ::SetDlgItemTextW(hwnd_, IDC_EASY_FORMAT, EasyPictureFormatText(record.output_.nPictureFormat).c_str());
    ::SetDlgItemTextW(hwnd_, IDC_EASY_POSITION,
                      EasyPicturePositionText(record.printer_.pictureVerticalAlign).c_str());
    int key = state.keyIndex;
    dx.ComboIndex(IDC_EASY_KEY, key);
    dx.Check(IDC_EASY_INVERT, invert);
    dx.Check(IDC_EASY_MONOCHROME, mono);
    dx.Check(IDC_EASY_INFO, info);
    dx.Check(IDC_EASY_FILE_ONLY, fileOnly);
    int target = state.activeWindowOnly ? 0 : 1;
    dx.Radio(IDC_EASY_ACTIVE_WINDOW, 2, target);
    dx.Check(IDC_EASY_CLIPBOARD, record.extras_.copyToClipboard);
    bool signIn = SheetOf(*this).StartAtSignIn();
    dx.Check(IDC_EASY_SIGN_IN, signIn);
    return true;
}

bool CSettingsSimpleOptionPage::SaveControls() {
    tamrik::CDataExchange dx(hwnd_, true);
    EasyPageState state;
    dx.Check(IDC_EASY_HEAD, state.showHead);
    dx.Check(IDC_EASY_FOOT, state.showFoot);
    dx.Check(IDC_EASY_MONOCHROME, state.monochrome);
    dx.Check(IDC_EASY_INVERT, state.invert);
    dx.Check(IDC_EASY_INFO, state.showInfo);
    dx.Check(IDC_EASY_FILE_ONLY, state.fileOnly);
    int target = -1;
    dx.Radio(IDC_EASY_ACTIVE_WINDOW, 2, target);
    state.activeWindowOnly = target == 0;
    dx.ComboIndex(IDC_EASY_KEY, state.keyIndex);
    dx.Check(IDC_EASY_CLIPBOARD, settings_->extras_.copyToClipboard);
    bool signIn = false;
    dx.Check(IDC_EASY_SIGN_IN, signIn);
    SheetOf(*this).SetStartAtSignIn(signIn);
    return ApplyEasyState(state, *settings_);
}

LRESULT CSettingsSimpleOptionPage::OnDefaultPrinter(WORD code, WORD, HWND) {
    if (code != BN_CLICKED || !settings_) return 0;
    SaveControls();
    CCSNOptionSheet& sheet = SheetOf(*this);
    if (sheet.Services().openDefaultPrinter) sheet.Services().openDefaultPrinter(settings_->printer_);
    LoadControls();
    return 0;
}

}  // namespace orbilux
