// The settings side of the main dialog: where the settings file lives, the
// start-up load, and the commands that change the settings wholesale.
#include <shlobj.h>

#include "app/win32/busy_flag.h"
#include "app/win32/hotkeys.h"
#include "app/win32/main_dlg.h"
#include "resources/resource.h"
#include "resources/settings_ui_resource.h"
#include "settings/settings.h"
#include "window/helpers.h"
#include "settings/win32/sign_in_start.h"

namespace orbilux {

namespace {

// Exactly the keys of the settings are registered when the tray menu's hotkey
// item is on, and none when it is off.
void RegisterHotkeysAgain(HWND window, bool enabled, const KeySettings& keys) {
    UnregisterHotkeys(window);
    if (enabled) RegisterHotkeys(window, keys);
}

// Tells the user once that a save failed; the live settings stay in force.
void ShowSaveFailure(const std::wstring& path) {
    const std::wstring message = tamrik::ResourceString(IDS_SETTINGS_NOT_SAVED) + L"\r\n" + path;
    ::MessageBoxW(nullptr, message.c_str(), L"Tamrik", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

}  // namespace

std::wstring SettingsFilePath(bool createFolder) {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) return {};
    std::wstring path = appData;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += L"Tamrik";
    if (createFolder) ::CreateDirectoryW(path.c_str(), nullptr);  // an existing folder is fine
    return path + L"\\PrintSettings.ini";
}

void CMainDlg::LoadSettingsAtStartup() {
    settingsPath_ = SettingsFilePath(true);
    ORBILUXSetting& settings = SettingsInstance();
    if (!LoadSettingsFile(settings, settingsPath_))
        ::MessageBoxW(nullptr, tamrik::ResourceString(IDS_SETTINGS_NOT_LOADED).c_str(), nullptr, MB_OK);
    UpdateModeMenu(settings.simpleMode);
    print_.OpenPrinter(settings.printer_, settings.printer_.bSetPrinter_);
}

void CMainDlg::UpdateModeMenu(bool simpleMode) {
    HMENU menu = ::GetMenu(Handle());
    ::EnableMenuItem(menu, ID_MODE_EASY, MF_BYCOMMAND | (simpleMode ? MF_GRAYED : MF_ENABLED));
    ::EnableMenuItem(menu, ID_MODE_DETAIL, MF_BYCOMMAND | (simpleMode ? MF_ENABLED : MF_GRAYED));
}

LRESULT CMainDlg::OnSetting(WORD, WORD, HWND) {
    BusyFlagHold hold(settingsBusy);
    if (!hold.Held()) return 0;
    countdown_.Cancel();  // a delayed capture would take the settings sheet
    UnregisterHotkeys(Handle());
    if (!ShowOptionSheet(::GetActiveWindow(), settingsPath_, print_)) ShowSaveFailure(settingsPath_);
    RegisterHotkeysAgain(Handle(), HotkeysEnabled(), SettingsInstance().key_);
    return 0;
}

LRESULT CMainDlg::OnPrinterSetting(WORD, WORD, HWND) {
    BusyFlagHold hold(settingsBusy);
    if (!hold.Held()) return 0;
    countdown_.Cancel();
    PrinterSettings& printer = SettingsInstance().printer_;
    if (print_.ChoosePrinter(printer, ::GetActiveWindow()) && !SavePrinterSection(printer, settingsPath_))
        ShowSaveFailure(settingsPath_);
    return 0;
}

LRESULT CMainDlg::OnInitialize(WORD, WORD, HWND) {
    BusyFlagHold hold(settingsBusy);
    if (!hold.Held()) {
        BringToTop();
        return 0;
    }
    const int answer = ::MessageBoxW(Handle(), tamrik::ResourceString(IDS_RESET_QUESTION).c_str(),
                                     tamrik::ResourceString(IDS_RESET_CAPTION).c_str(),
                                     MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
    if (answer != IDOK) return 0;
    ORBILUXSetting& settings = SettingsInstance();
    settings = ORBILUXSetting();
    SetStartAtSignIn(false);  // kept by the system, not the file, and reset all the same
    print_.OpenPrinter(settings.printer_, false);
    UpdateModeMenu(true);
    RegisterHotkeysAgain(Handle(), HotkeysEnabled(), settings.key_);
    if (!SaveSettingsFile(settings, settingsPath_)) ShowSaveFailure(settingsPath_);
    return 0;
}

void CMainDlg::ToggleMode() {
    BusyFlagHold hold(captureBusy);
    if (!hold.Held()) return;  // a capture is running: the mode stays
    ORBILUXSetting& settings = SettingsInstance();
    settings.simpleMode = !settings.simpleMode;
    UpdateModeMenu(settings.simpleMode);
    if (!SaveSettingsFile(settings, settingsPath_)) ShowSaveFailure(settingsPath_);
}

LRESULT CMainDlg::OnModeDetail(WORD, WORD, HWND) {
    BusyFlagHold hold(settingsBusy);
    if (!hold.Held()) {
        BringToTop();
        return 0;
    }
    ToggleMode();
    return 0;
}

LRESULT CMainDlg::OnModeEasy(WORD, WORD, HWND) {
    BusyFlagHold hold(settingsBusy);
    if (!hold.Held()) {
        BringToTop();
        return 0;
    }
    const int answer = ::MessageBoxW(Handle(), tamrik::ResourceString(IDS_EASY_QUESTION).c_str(),
                                     tamrik::ResourceString(IDS_EASY_CAPTION).c_str(),
                                     MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
    if (answer != IDOK) return 0;
    ORBILUXSetting& settings = SettingsInstance();
    LOGFONTW guiFont{};
    if (::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(guiFont), &guiFont))
        settings.format_.fontFace = guiFont.lfFaceName;
    settings.format_.fontSize = 11;
    print_.OpenPrinter(settings.printer_, false);
    settings.key_.keyKind = kKeyPrintScreen;
    settings.key_.printmodifiers = 0;
    settings.key_.printVirtualKeyCode_ = 44;
    // The changed print key counts at once, whether or not the mode could switch.
    RegisterHotkeysAgain(Handle(), HotkeysEnabled(), settings.key_);
    ToggleMode();
    return 0;
}

}  // namespace orbilux
