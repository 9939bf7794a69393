// The hidden main dialog (template 129): tray icon and menu, hotkeys, the
// capture action, the settings commands, About, help and Exit.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/win32/capture_action.h"
#include "app/win32/countdown_wnd.h"
#include "app/win32/subsystem_links.h"
#include "app/win32/tray_icon.h"
#include "window/message_loop.h"
#include "window/window_impl.h"

namespace orbilux {

class ScreenShot;

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
    LRESULT OnHotkeyKeyUp(WPARAM key, LPARAM);
    LRESULT OnHelp(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM id, LPARAM);
    LRESULT OnTrayIcon(WPARAM wParam, LPARAM lParam) { return tray_.OnTrayIcon(wParam, lParam); }
    LRESULT OnExit(WORD, WORD, HWND);
    LRESULT OnAbout(WORD, WORD, HWND);
    LRESULT OnHotkeyToggle(WORD, WORD, HWND);
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

    // The capture action's steps.
    void SetBusyIndicators(bool busy) override;
    int32_t CaptureScreen() override;
    void ShowPrintingSplash() override;
    int32_t BuildTextPages() override;
    SaveOutcome SaveFiles() override;
    void NotifySaveFailure(const SaveOutcome& outcome) override;
    void StartPrinting(int32_t pageCount) override;
    void CopyToClipboard() override;
    void NotifySaved(const SaveOutcome& outcome) override;

    std::shared_ptr<ScreenShot> screenShot_;
    PrintLink print_;
    std::wstring settingsPath_;
    CTrayIconImpl tray_;
    HCURSOR savedCursor_ = nullptr;
    CCountdownWnd countdown_;  // the print key's capture delay
};

// The settings file: the roaming application-data folder + "Tamrik" (created
// when createFolder is set) + "PrintSettings.ini". Empty when the folder is unknown.
std::wstring SettingsFilePath(bool createFolder);

}  // namespace orbilux
