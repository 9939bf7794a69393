#include "app/win32/main_dlg.h"

#include "app/win32/about_dlg.h"
#include "app/win32/busy_flag.h"
#include "app/win32/hotkeys.h"
#include "app/win32/save_notice.h"
#include "app/win32/splash_wnd.h"
#include "capture/press_picture.h"
#include "capture/screen_shot.h"
#include "capture/win32/clipboard.h"
#include "resources/resource.h"
#include "settings/settings.h"

namespace orbilux {

BusyFlag captureBusy;
BusyFlag settingsBusy;

namespace {

// The HTML help viewer, loaded on first use; when it is missing, help stays silent.
void ShowHelp(HWND owner) {
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    static bool tried = false;
    static HtmlHelpFn htmlHelp = nullptr;
    if (!tried) {
        tried = true;
        if (HMODULE viewer = ::LoadLibraryW(L"hhctrl.ocx"))
            htmlHelp = reinterpret_cast<HtmlHelpFn>(::GetProcAddress(viewer, "HtmlHelpW"));
    }
    if (htmlHelp) htmlHelp(owner, L"Tamrik_Help.chm", 0 /* HH_DISPLAY_TOPIC */, 0);
}

}  // namespace

CMainDlg::CMainDlg() : CDialogImpl(IDD_MAINDLG) {}

CMainDlg::~CMainDlg() {
    // The loop must not keep calling a dialog that is gone (a no-op after Exit).
    if (tamrik::CMessageLoop* loop = tamrik::Module().GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
    // A running print job works on its own copies and needs none of these.
    settingsPath_.clear();
    screenShot_.reset();
    tray_.Remove();
}

const tamrik::MessageMap<CMainDlg>& CMainDlg::GetMessageMap() {
    static const tamrik::MessageMap<CMainDlg> map = [] {
        tamrik::MessageMap<CMainDlg> m;
        m.On(WM_INITDIALOG, &CMainDlg::OnInitDialog)
            .On(WM_HOTKEY, &CMainDlg::OnHotKey)
            .On(kHotkeyKeyUpMessage, &CMainDlg::OnHotkeyKeyUp)
            .On(WM_HELP, &CMainDlg::OnHelp)
            .On(WM_TIMER, &CMainDlg::OnTimer)
            .OnCommand(ID_APP_EXIT, &CMainDlg::OnExit)
            .OnCommand(ID_SETTING, &CMainDlg::OnSetting)
            .OnCommand(ID_APP_ABOUT, &CMainDlg::OnAbout)
            .OnCommand(ID_PRINTER_SETTING, &CMainDlg::OnPrinterSetting)
            .OnCommand(ID_HOTKEY_TOGGLE, &CMainDlg::OnHotkeyToggle)
            .OnCommand(ID_SETTING_INITIALIZE, &CMainDlg::OnInitialize)
            .OnCommand(ID_MODE_DETAIL, &CMainDlg::OnModeDetail)
            .OnCommand(ID_MODE_EASY, &CMainDlg::OnModeEasy)
            .On(TrayIconMessage(), &CMainDlg::OnTrayIcon);
        return m;
    }();
    return map;
}

LRESULT CMainDlg::OnInitDialog(WPARAM, LPARAM) {
    CenterWindow(nullptr);

    HINSTANCE instance = tamrik::ResourceInstance();
    auto loadIcon = [instance](int metricX, int metricY) {
        return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                               ::GetSystemMetrics(metricX), ::GetSystemMetrics(metricY),
                                               LR_DEFAULTCOLOR | LR_SHARED));
    };
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, LPARAM(loadIcon(SM_CXICON, SM_CYICON)));
    HICON small = loadIcon(SM_CXSMICON, SM_CYSMICON);
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, LPARAM(small));

    if (tamrik::CMessageLoop* loop = tamrik::Module().GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }

    screenShot_ = std::make_shared<ScreenShot>();

    tray_.Attach(Handle());
    tray_.Install(kTrayTip, small, IDT_TRAYICON);

    LoadSettingsAtStartup();
    RegisterHotkeys(Handle(), SettingsInstance().key_);
    ::SetTimer(Handle(), kTrayRefreshTimerId, kTrayRefreshMs, nullptr);
    return 1;
}

LRESULT CMainDlg::OnHotKey(WPARAM id, LPARAM) {
    // One action per press: the keyboard's repeats of a held key are dropped.
    if (!HotkeyStartsPress(int(id))) return 0;
    // The print key may wait its delay first; the shot key never waits.
    if (int(id) == kPrintHotkeyId && countdown_.DeferPress(SettingsInstance().extras_.captureDelay, [this] {
            RunCaptureAction(kPrintHotkeyId, SettingsInstance(), *this, captureBusy);
        }))
        return 0;
    RunCaptureAction(int(id), SettingsInstance(), *this, captureBusy);
    return 0;
}

LRESULT CMainDlg::OnHotkeyKeyUp(WPARAM key, LPARAM) {
    HotkeyKeyReleased(key);
    return 0;
}

LRESULT CMainDlg::OnHelp(WPARAM, LPARAM) {
    HWND active = ::GetActiveWindow();
    ShowHelp(active ? active : Handle());
    return 1;
}

LRESULT CMainDlg::OnTimer(WPARAM id, LPARAM) {
    // Puts the normal icon back, and adds it again when the shell has lost it.
    if (id == kTrayRefreshTimerId && !captureBusy.IsTaken()) tray_.SetState(false);
    return 0;
}

LRESULT CMainDlg::OnExit(WORD, WORD, HWND) {
    countdown_.Cancel();
    // The icon goes now, even when a print run keeps the process a little longer.
    tray_.Remove();
    UnregisterHotkeys(Handle());
    if (tamrik::CMessageLoop* loop = tamrik::Module().GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
    DestroyWindow();
    ::PostQuitMessage(1);
    return 0;
}

LRESULT CMainDlg::OnAbout(WORD, WORD, HWND) {
    BusyFlagHold hold(settingsBusy);
    if (!hold.Held()) return 0;
    CAboutDlg about;
    about.DoModal(::GetActiveWindow());
    return 0;
}

HMENU CMainDlg::TrayPopup() const {
    return ::GetSubMenu(::GetMenu(Handle()), 0);
}

bool CMainDlg::HotkeysEnabled() const {
    return (::GetMenuState(TrayPopup(), ID_HOTKEY_TOGGLE, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void CMainDlg::BringToTop() {
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CMainDlg::OnHotkeyToggle(WORD, WORD, HWND) {
    BusyFlagHold hold(settingsBusy);
    if (!hold.Held()) {
        BringToTop();
        return 0;
    }
    const bool enable = !HotkeysEnabled();
    if (!enable) countdown_.Cancel();
    if (enable)
        RegisterHotkeys(Handle(), SettingsInstance().key_);
    else
        UnregisterHotkeys(Handle());

    wchar_t text[128] = {};
    ::LoadStringW(tamrik::ResourceInstance(), enable ? IDS_HOTKEY_ENABLED : IDS_HOTKEY_DISABLED, text,
                  ARRAYSIZE(text));
    ::ModifyMenuW(TrayPopup(), ID_HOTKEY_TOGGLE,
                  MF_BYCOMMAND | MF_STRING | (enable ? MF_CHECKED : MF_UNCHECKED), ID_HOTKEY_TOGGLE, text);
    ::DrawMenuBar(Handle());
    return 0;
}

// ---- The capture action's steps ----

void CMainDlg::SetBusyIndicators(bool busy) {
    tray_.SetState(busy);
    if (busy)
        savedCursor_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    else
        ::SetCursor(savedCursor_);
}

int32_t CMainDlg::CaptureScreen() {
    return CaptureScreenShot(*screenShot_);
}

void CMainDlg::ShowPrintingSplash() {
    CSplashWnd::Open(IDB_SPLASH_PRINT, 1200, Handle());
}

int32_t CMainDlg::BuildTextPages() {
    return print_.AppendTextPages(*screenShot_, SettingsInstance());
}

SaveOutcome CMainDlg::SaveFiles() {
    return SaveCaptureFiles(*screenShot_);
}

void CMainDlg::NotifySaveFailure(const SaveOutcome& outcome) {
    const BalloonMessage message = SaveFailureBalloon(outcome);
    tray_.ShowBalloon(message.title, message.text, NIIF_ERROR);
}

void CMainDlg::StartPrinting(int32_t pageCount) {
    SettingsInstance().format_.computerInfo.pageCount = pageCount;
    if (pageCount > 0) print_.StartRun(*screenShot_, pageCount);
}

void CMainDlg::CopyToClipboard() {
    // The copy runs on, and is waited for by nobody.
    StartClipboardCopy(PressPicture(*screenShot_));
}

void CMainDlg::NotifySaved(const SaveOutcome& outcome) {
    const std::wstring first = FirstSavedFile(outcome);
    if (first.empty()) return;
    const BalloonMessage message = SavedFilesBalloon(outcome);
    tray_.ShowBalloon(message.title, message.text, NIIF_INFO, [first] { ShowFileInExplorer(first); });
}

}  // namespace orbilux
