#include "app/win32/main_dlg.h"

#include "app/win32/about_dlg.h"
#include "app/win32/busy_flag.h"
#include "app/win32/command_delivery.h"
#include "app/win32/hotkeys.h"
#include "app/win32/press_worker.h"
#include "app/win32/open_folder.h"
#include "app/win32/save_notice.h"
#include "app/win32/splash_wnd.h"
#include "capture/screen_shot.h"
#include "capture/win32/own_windows.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "window/helpers.h"

namespace orbilux {

BusyFlag captureBusy;
BusyFlag settingsBusy;

CMainDlg::CMainDlg() : CDialogImpl(IDD_MAINDLG) {}

CMainDlg::~CMainDlg() {
    // The loop must not keep calling a dialog that is gone (a no-op after Exit).
    if (tamrik::CMessageLoop* loop = tamrik::Module().GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
    // A running print job works on its own copies and needs none of these.
    settingsPath_.clear();
    tray_.Remove();
}

const tamrik::MessageMap<CMainDlg>& CMainDlg::GetMessageMap() {
    static const tamrik::MessageMap<CMainDlg> map{
        {WM_INITDIALOG, &CMainDlg::OnInitDialog},
        {WM_HOTKEY, &CMainDlg::OnHotKey},
        {kHotkeyKeyUpMessage, &CMainDlg::OnHotkeyKeyUp},
        {WM_HELP, &CMainDlg::OnHelp},
        {WM_TIMER, &CMainDlg::OnTimer},
        {tamrik::Command(ID_APP_EXIT), &CMainDlg::OnExit},
        {tamrik::Command(ID_SETTING), &CMainDlg::OnSetting},
        {tamrik::Command(ID_APP_ABOUT), &CMainDlg::OnAbout},
        {tamrik::Command(ID_PRINTER_SETTING), &CMainDlg::OnPrinterSetting},
        {tamrik::Command(ID_HOTKEY_TOGGLE), &CMainDlg::OnHotkeyToggle},
        {tamrik::Command(ID_SETTING_INITIALIZE), &CMainDlg::OnInitialize},
        {tamrik::Command(ID_MODE_DETAIL), &CMainDlg::OnModeDetail},
        {tamrik::Command(ID_MODE_EASY), &CMainDlg::OnModeEasy},
        {tamrik::Command(ID_OPEN_CAPTURE_FOLDER), &CMainDlg::OnOpenCaptureFolder},
        {CommandLineMessage(), &CMainDlg::OnCommandLine},
        {kRunCommandLineMessage, &CMainDlg::OnRunCommandLine},
        {kPressFinishedMessage, &CMainDlg::OnPressFinished},
        {kPressSaveFailedMessage, &CMainDlg::OnPressSaveFailed},
        {kPressSavedMessage, &CMainDlg::OnPressSaved},
        {TrayIconMessage(), &CMainDlg::OnTrayIcon},
    };
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

    tray_.Attach(Handle());
    tray_.Install(kTrayTip, small, IDT_TRAYICON);

    LoadSettingsAtStartup();
    RegisterHotkeys(Handle(), SettingsInstance().key_);
    ::SetTimer(Handle(), kTrayRefreshTimerId, kTrayRefreshMs, nullptr);
    MarkCommandWindow(Handle());  // ready for a command line from now on
    return 1;
}

LRESULT CMainDlg::OnHotKey(WPARAM id, LPARAM) {
    // One action per press: the keyboard's repeats of a held key are dropped.
    if (!HotkeyStartsPress(int(id), DWORD(::GetMessageTime()))) return 0;
    // The print key may wait its delay first; the shot key never waits.
    if (int(id) == kPrintHotkeyId && countdown_.DeferPress(SettingsInstance().extras_.captureDelay, [this] {
            RunCaptureAction(kPrintHotkeyId, SettingsInstance(), *this, captureBusy);
        }))
        return 0;
    RunCaptureAction(int(id), SettingsInstance(), *this, captureBusy);
    return 0;
}

LRESULT CMainDlg::OnHotkeyKeyUp(WPARAM key, LPARAM press) {
    HotkeyKeyReleased(key, press);
    return 0;
}

LRESULT CMainDlg::OnHelp(WPARAM, LPARAM) {
    HWND active = ::GetActiveWindow();
    tamrik::ShowHelp(active ? active : Handle());
    return 1;
}

LRESULT CMainDlg::OnTimer(WPARAM id, LPARAM) {
    // Puts the normal icon back, and adds it again when the shell has lost it.
    if (id == kTrayRefreshTimerId && !captureBusy.IsTaken()) tray_.SetState(pressesInFlight_ != 0);
    return 0;
}

LRESULT CMainDlg::OnExit(WORD, WORD, HWND) {
    countdown_.Cancel();
    // The icon goes now, even when a print run keeps the process a little longer.
    tray_.Remove();
    UnregisterHotkeys(Handle());
    UnmarkCommandWindow(Handle());
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

LRESULT CMainDlg::OnOpenCaptureFolder(WORD, WORD, HWND) {
    OpenCaptureFolder(Handle(), output_, SettingsInstance().output_);
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

    const std::wstring text = tamrik::ResourceString(enable ? IDS_HOTKEY_ENABLED : IDS_HOTKEY_DISABLED);
    ::ModifyMenuW(TrayPopup(), ID_HOTKEY_TOGGLE,
                  MF_BYCOMMAND | MF_STRING | (enable ? MF_CHECKED : MF_UNCHECKED), ID_HOTKEY_TOGGLE,
                  text.c_str());
    ::DrawMenuBar(Handle());
    return 0;
}

// ---- The capture action's steps ----

void CMainDlg::SetBusyIndicators(bool busy) {
    if (busy) {
        tray_.SetState(true);
        savedCursor_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    } else {
        // The icon stays busy while presses are waiting for the worker.
        if (pressesInFlight_ == 0) tray_.SetState(false);
        ::SetCursor(savedCursor_);
    }
}

int32_t CMainDlg::CaptureScreen(Press& press) {
    // The program's own balloon (the word after an earlier press) is never in
    // the picture: it goes, and the screen is given time to repaint, first.
    if (tray_.HideBalloon()) WaitForUncoveredScreen();
    return CaptureScreenShot(*press.shot, press.settings);
}

void CMainDlg::ReadMoment(Press& press) {
    ReadPressMoment(press);
}

void CMainDlg::StartGathering(Press& press) {
    StartPressGathering(press);
}

void CMainDlg::TakePrinter(Press& press) {
    press.printer = print_.TargetForPress(SettingsInstance().printer_);
}

void CMainDlg::ShowPrintingSplash() {
    CSplashWnd::Open(IDB_SPLASH_PRINT, 1200, Handle());
}

bool CMainDlg::QueuePress(std::shared_ptr<Press> press) {
    if (!QueuePressWork(press, Handle())) return false;
    ++pressesInFlight_;
    return true;
}

void CMainDlg::NotifyPressDropped() {
    tray_.ShowBalloon(tamrik::ResourceString(IDS_PRESS_DROPPED_TITLE),
                      tamrik::ResourceString(IDS_PRESS_DROPPED_TEXT), NIIF_WARNING);
}

void CMainDlg::NotifySaveFailure(const SaveOutcome& outcome) {
    const BalloonMessage message = SaveFailureBalloon(outcome);
    tray_.ShowBalloon(message.title, message.text, NIIF_ERROR);
}

LRESULT CMainDlg::OnPressSaved(WPARAM, LPARAM outcome) {
    std::unique_ptr<SaveOutcome> saved(reinterpret_cast<SaveOutcome*>(outcome));
    if (saved) NotifySaved(*saved);
    return 0;
}

LRESULT CMainDlg::OnPressFinished(WPARAM, LPARAM) {
    if (pressesInFlight_ > 0) --pressesInFlight_;
    if (pressesInFlight_ == 0 && !captureBusy.IsTaken()) tray_.SetState(false);
    return 0;
}

LRESULT CMainDlg::OnPressSaveFailed(WPARAM, LPARAM outcome) {
    std::unique_ptr<SaveOutcome> failed(reinterpret_cast<SaveOutcome*>(outcome));
    if (failed) NotifySaveFailure(*failed);
    return 0;
}

void CMainDlg::NotifySaved(const SaveOutcome& outcome) {
    const std::wstring first = FirstSavedFile(outcome);
    if (first.empty()) return;
    const BalloonMessage message = SavedFilesBalloon(outcome);
    tray_.ShowBalloon(message.title, message.text, NIIF_INFO, [first] { ShowFileInExplorer(first); });
}

}  // namespace orbilux
