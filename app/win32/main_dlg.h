// The hidden main dialog (template 129): tray icon and menu, hotkeys, the
// capture action, the settings commands, About, help and Exit.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/win32/app_messages.h"
#include "app/win32/capture_action.h"
#include "app/win32/countdown_wnd.h"
#include "app/win32/subsystem_links.h"
#include "app/win32/tray_icon.h"
#include "output/win32/output_files_win.h"
#include "window/message_loop.h"
#include "window/window_impl.h"

namespace orbilux {

constexpr UINT kTrayRefreshTimerId = 1;
constexpr UINT kTrayRefreshMs = 5000;

class CMainDlg : public tamrik::CDialogImpl<CMainDlg>,
                 public tamrik::CMessageFilter,
                 public tamrik::CIdleHandler,
                 private CaptureSteps {
public:
    CMainDlg();
    ~CMainDlg() override;

    static const tamrik::MessageMap<CMainDlg>& GetMessageMap();

    bool PreTranslateMessage(MSG* msg) override { return ::IsDialogMessageW(Handle(), msg); }
    bool OnIdle() override { return false; }

    const std::wstring& SettingsPath() const { return settingsPath_; }
    const CTrayIconImpl& Tray() const { return tray_; }

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    LRESULT OnHotKey(WPARAM id, LPARAM);
    LRESULT OnHotkeyKeyUp(WPARAM key, LPARAM press);
    LRESULT OnHelp(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM id, LPARAM);
    LRESULT OnTrayIcon(WPARAM wParam, LPARAM lParam) { return tray_.OnTrayIcon(wParam, lParam); }
    LRESULT OnPressFinished(WPARAM, LPARAM outcome);
    LRESULT OnPressSaveFailed(WPARAM, LPARAM outcome);
    LRESULT OnPressSaved(WPARAM, LPARAM outcome);
    LRESULT OnExit(WORD, WORD, HWND);
    LRESULT OnAbout(WORD, WORD, HWND);
    LRESULT OnHotkeyToggle(WORD, WORD, HWND);
    LRESULT OnOpenCaptureFolder(WORD, WORD, HWND);
    // Command-line commands (main_dlg_commands.cpp).
    LRESULT OnCommandLine(WPARAM command, LPARAM);
    LRESULT OnRunCommandLine(WPARAM command, LPARAM);
    // The capture a command line asks for: the hotkey's action without the key-repeat gate.
    void RunCommandLineCapture(int hotkeyId);
    // Settings commands (main_dlg_settings.cpp).
    LRESULT OnSetting(WORD, WORD, HWND);
    LRESULT OnPrinterSetting(WORD, WORD, HWND);
    LRESULT OnInitialize(WORD, WORD, HWND);
    LRESULT OnModeDetail(WORD, WORD, HWND);
    LRESULT OnModeEasy(WORD, WORD, HWND);

    void LoadSettingsAtStartup();
    void ToggleMode();
    void UpdateModeMenu(bool simpleMode);
    HMENU TrayPopup() const;
    bool HotkeysEnabled() const;
    void BringToTop();

    // The capture action's steps at the key.
    void SetBusyIndicators(bool busy) override;
    int32_t CaptureScreen(Press& press) override;
    void ReadMoment(Press& press) override;
    OutputPlatform& Output() override { return output_; }
    void StartGathering(Press& press) override;
    void TakePrinter(Press& press) override;
    void ShowPrintingSplash() override;
    bool QueuePress(std::shared_ptr<Press> press) override;
    void NotifyPressDropped() override;
    void NotifySaveFailure(const SaveOutcome& outcome);
    void NotifySaved(const SaveOutcome& outcome);

    PrintLink print_;
    Win32OutputPlatform output_;  // the files, folders and clock of file output
    size_t pressesInFlight_ = 0;  // queued presses not yet told finished
    std::wstring settingsPath_;
    CTrayIconImpl tray_;
    HCURSOR savedCursor_ = nullptr;
    CCountdownWnd countdown_;  // the print key's capture delay
};

// The settings file: the roaming application-data folder + "Tamrik" (created
// when createFolder is set) + "PrintSettings.ini". Empty when the folder is unknown.
std::wstring SettingsFilePath(bool createFolder);

}  // namespace orbilux
