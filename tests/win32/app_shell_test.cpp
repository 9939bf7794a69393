// The resident shell: the capture action's order, guard and shot-key
// override; the splash window; the About box's version line; the hidden main
// dialog's hotkey item and Exit.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/win32/about_dlg.h"
#include "app/win32/busy_flag.h"
#include "app/win32/capture_action.h"
#include "app/win32/main_dlg.h"
#include "app/win32/splash_wnd.h"
#include "app/win32/subsystem_links.h"
#include "base/text.h"
#include "print/win32/print_job.h"
#include "resources/resource.h"
#include "resources/settings_ui_resource.h"
#include "settings/settings.h"
#include "tests/win32/ui_test_support.h"
#include "window/message_loop.h"

using namespace orbilux;
using uitest::BoxAnswer;

namespace {

using Calls = std::vector<std::string>;

// The key's steps: what they were called with, and the presses they queued.
struct FakeSteps : CaptureSteps {
    Calls calls;
    int32_t picturePages = 1;
    bool queueHasRoom = true;
    bool busyDuringCapture = false;
    BusyFlag* busy = nullptr;
    std::vector<std::shared_ptr<Press>> queued;

    void SetBusyIndicators(bool on) override { calls.push_back(on ? "busy" : "normal"); }
    int32_t CaptureScreen(Press& press) override {
        calls.push_back("capture");
        busyDuringCapture = busy && busy->IsTaken();
        // Each press's picture is its own: its width tells the presses apart.
        press.shot->image->Create(uint32_t(10 + queued.size()), 1, 24);
        return picturePages;
    }
    void ReadMoment(Press& press) override {
        calls.push_back("moment");
        press.settings.format_.computerInfo.windowText = L"title " + std::to_wstring(queued.size());
    }
    void StartGathering(Press&) override { calls.push_back("gather"); }
    void TakePrinter(Press& press) override {
        calls.push_back("printer");
        press.printer.deviceName = L"PDF";
    }
    void ShowPrintingSplash() override { calls.push_back("splash"); }
    bool QueuePress(std::shared_ptr<Press> press) override {
        calls.push_back("queue");
        if (!queueHasRoom) return false;
        queued.push_back(std::move(press));
        return true;
    }
    void NotifyPressDropped() override { calls.push_back("dropped"); }
    OutputPlatform& Output() override { return output; }
    Win32OutputPlatform output;
};

// The worker's steps, with the settings each step saw.
struct FakePressSteps : PressSteps {
    Calls calls;
    SaveOutcome saveOutcome;
    int32_t savedTarget = -1, savedKeyAction = -1, savedLogType = -1;
    std::wstring savedTitle;

    SaveOutcome SaveFiles(Press& press) override {
        calls.push_back("files");
        savedTarget = press.settings.general_.screenTarget;
        savedKeyAction = press.settings.key_.keyAction;
        savedLogType = press.settings.key_.logType;
        savedTitle = press.settings.format_.computerInfo.windowText;
        return saveOutcome;
    }
    void NotifySaveFailure(const SaveOutcome& outcome) override {
        calls.push_back("notify " + std::to_string(int(outcome.failure)));
    }
    int32_t BuildTextPages(Press&) override {
        calls.push_back("text");
        return 3;
    }
    void StartPrinting(Press&, int32_t pages) override { calls.push_back("print " + std::to_string(pages)); }
    void CopyToClipboard(Press&) override { calls.push_back("clipboard"); }
    void NotifySaved(const SaveOutcome&) override { calls.push_back("saved"); }
};

class AppCaptureAction : public ::testing::Test {
protected:
    void SetUp() override {
        steps.busy = &busy;
        settings.extras_.notifyAfterSave = false;  // the steps of the press itself
    }
    // The worker's part of the last queued press.
    Calls Finish() {
        worker.calls.clear();
        FinishPress(*steps.queued.back(), worker);
        return worker.calls;
    }
    ORBILUXSetting settings;
    FakeSteps steps;
    FakePressSteps worker;
    BusyFlag busy;
};

TEST_F(AppCaptureAction, TheKeyOnlyCapturesAndQueuesTheWorkerWritesThenPrints) {
    settings.key_.keyAction = 0;
    RunCaptureAction(0, settings, steps, busy);
    EXPECT_EQ(steps.calls,
              (Calls{"busy", "moment", "capture", "gather", "printer", "splash", "queue", "normal"}));
    EXPECT_TRUE(steps.busyDuringCapture);
    EXPECT_FALSE(busy.IsTaken());
    EXPECT_EQ(Finish(), (Calls{"text", "print 3"}));

    // Files only, without a report: nothing beyond the moment is gathered.
    steps.calls.clear();
    settings.key_.keyAction = 1;
    settings.key_.logType = 0;
    RunCaptureAction(0, settings, steps, busy);
    EXPECT_EQ(steps.calls, (Calls{"busy", "moment", "capture", "splash", "queue", "normal"}));
    EXPECT_EQ(Finish(), (Calls{"files"}));

    // Both: the files are complete before printing starts.
    steps.calls.clear();
    settings.key_.keyAction = 2;
    settings.key_.logType = 1;
    settings.general_.bDisplaySplash_ = false;
    RunCaptureAction(0, settings, steps, busy);
    EXPECT_EQ(steps.calls, (Calls{"busy", "moment", "capture", "gather", "printer", "queue", "normal"}));
    EXPECT_EQ(Finish(), (Calls{"files", "text", "print 3"}));

    steps.calls.clear();
    settings.key_.keyAction = 7;  // neither files nor print
    RunCaptureAction(0, settings, steps, busy);
    EXPECT_EQ(steps.calls, (Calls{"busy", "moment", "capture", "queue", "normal"}));
    EXPECT_EQ(Finish(), (Calls{}));
}

TEST_F(AppCaptureAction, ClipboardComesBeforeFilesAndTheWordAfterSavingOnlyAfterWrittenFiles) {
    settings.key_.keyAction = 2;
    settings.extras_.copyToClipboard = true;
    settings.extras_.notifyAfterSave = true;
    RunCaptureAction(0, settings, steps, busy);
    EXPECT_EQ(Finish(), (Calls{"clipboard", "files", "saved", "text", "print 3"}));

    // A failed run says why, not what it wrote.
    worker.saveOutcome.failure = SaveFailure::DiskFull;
    RunCaptureAction(1, settings, steps, busy);
    EXPECT_EQ(Finish(),
              (Calls{"clipboard", "files", "notify " + std::to_string(int(SaveFailure::DiskFull))}));

    // Printing only: nothing was saved, so nothing is told.
    worker.saveOutcome.failure = SaveFailure::None;
    settings.key_.keyAction = 0;
    RunCaptureAction(0, settings, steps, busy);
    EXPECT_EQ(Finish(), (Calls{"clipboard", "text", "print 3"}));

    // Both switched off: neither step.
    settings.key_.keyAction = 2;
    settings.extras_.copyToClipboard = false;
    settings.extras_.notifyAfterSave = false;
    RunCaptureAction(0, settings, steps, busy);
    EXPECT_EQ(Finish(), (Calls{"files", "text", "print 3"}));
}

TEST_F(AppCaptureAction, TheShotKeysValuesGoToItsPressOnly) {
    settings.key_.keyAction = 0;
    settings.key_.logType = 1;
    settings.general_.screenTarget = 2;
    RunCaptureAction(1, settings, steps, busy);
    EXPECT_EQ(steps.calls, (Calls{"busy", "moment", "capture", "gather", "splash", "queue", "normal"}));
    EXPECT_EQ(Finish(), (Calls{"files"}));
    EXPECT_EQ(worker.savedTarget, 0);
    EXPECT_EQ(worker.savedKeyAction, 1);
    EXPECT_EQ(worker.savedLogType, 2);
    // The live settings never held them, not even during the press.
    EXPECT_EQ(settings.key_.keyAction, 0);
    EXPECT_EQ(settings.key_.logType, 1);
    EXPECT_EQ(settings.general_.screenTarget, 2);
}

TEST_F(AppCaptureAction, QueuedPressesKeepTheirOwnSettingsMomentAndPicture) {
    settings.key_.keyAction = 1;
    settings.key_.logType = 1;
    settings.output_.scale = 50;
    RunCaptureAction(0, settings, steps, busy);
    // The settings change before the first press's files are written.
    settings.output_.scale = 150;
    settings.key_.logType = 0;
    RunCaptureAction(0, settings, steps, busy);
    ASSERT_EQ(steps.queued.size(), 2u);
    const Press& first = *steps.queued[0];
    const Press& second = *steps.queued[1];
    EXPECT_EQ(first.settings.output_.scale, 50u);
    EXPECT_EQ(first.settings.key_.logType, 1);
    EXPECT_EQ(second.settings.output_.scale, 150u);
    EXPECT_EQ(first.settings.format_.computerInfo.windowText, L"title 0");
    EXPECT_EQ(second.settings.format_.computerInfo.windowText, L"title 1");
    EXPECT_NE(first.shot, second.shot);
    EXPECT_EQ(first.shot->image->GetWidth(), 10u);
    EXPECT_EQ(second.shot->image->GetWidth(), 11u);
    // The live record's own computer information was never touched.
    EXPECT_TRUE(settings.format_.computerInfo.windowText.empty());
    // Every capture's files go into a per-date folder.
    EXPECT_TRUE(settings.output_.bDateDir);
    EXPECT_TRUE(first.settings.output_.bDateDir);
}

TEST_F(AppCaptureAction, BusyPressesAndUnknownIdsOnlyFlashTheIcon) {
    ASSERT_TRUE(busy.TryTake());
    RunCaptureAction(0, settings, steps, busy);
    EXPECT_EQ(steps.calls, (Calls{"busy", "normal"}));
    EXPECT_TRUE(busy.IsTaken()) << "a dropped press must not give back someone else's flag";
    busy.Release();

    steps.calls.clear();
    RunCaptureAction(5, settings, steps, busy);
    EXPECT_EQ(steps.calls, (Calls{"busy", "normal"}));
    EXPECT_FALSE(busy.IsTaken());
}

TEST_F(AppCaptureAction, AFailedCaptureIsNotQueuedAndAFullQueueIsTold) {
    settings.key_.keyAction = 2;
    settings.key_.logType = 2;
    steps.picturePages = 0;
    RunCaptureAction(0, settings, steps, busy);
    EXPECT_EQ(steps.calls, (Calls{"busy", "moment", "capture", "normal"}));
    EXPECT_FALSE(busy.IsTaken());

    steps.calls.clear();
    steps.picturePages = 1;
    steps.queueHasRoom = false;
    RunCaptureAction(0, settings, steps, busy);
    EXPECT_EQ(steps.calls, (Calls{"busy", "moment", "capture", "gather", "printer", "splash", "queue",
                                  "dropped", "normal"}));
    EXPECT_TRUE(steps.queued.empty());
}

TEST_F(AppCaptureAction, FilesThatCannotBeWrittenAreToldOnceAndThePressStillPrints) {
    settings.key_.keyAction = 2;
    worker.saveOutcome.failure = SaveFailure::NotAFolder;
    worker.saveOutcome.folder = L"C:\\Shots\\20240305\\";
    RunCaptureAction(0, settings, steps, busy);
    EXPECT_EQ(Finish(),
              (Calls{"files", "notify " + std::to_string(int(SaveFailure::NotAFolder)), "text", "print 3"}));
}

TEST(AppAbout, VersionLineNeedsFourParts) {
    EXPECT_EQ(FormatVersionLine(L"2.0.4.1"), L"Version: 2.0.4.1");
    EXPECT_EQ(FormatVersionLine(L"2.0.4"), L"");
    EXPECT_EQ(FormatVersionLine(L""), L"");
    EXPECT_EQ(FormatVersionLine(L" 1..2 3.4 "), L"Version: 1.2.3.4");
    EXPECT_EQ(FormatVersionLine(L"1.2.3.4.5"), L"Version: 1.2.3.4");
}

TEST(AppAbout, ReadsTheProgramsVersionResource) {
    CFileVersionInfo info;
    ASSERT_TRUE(info.Open(nullptr));
    EXPECT_EQ(info.Get(L"ProductName"), L"Tamrik Screen Print");
    EXPECT_EQ(FormatVersionLine(info.Get(L"ProductVersion")), L"Version: 2.0.4.1");
    EXPECT_EQ(info.Get(L"SpecialBuild"), L"");
}

TEST(AppAbout, BoxShowsProductVersionAndCopyright) {
    CAboutDlg about;
    ASSERT_NE(about.Create(nullptr), nullptr);
    wchar_t text[128] = {};
    ::GetDlgItemTextW(about.Handle(), IDC_ABOUT_PRODUCT, text, 128);
    EXPECT_STREQ(text, L"Tamrik Screen Print");
    ::GetDlgItemTextW(about.Handle(), IDC_ABOUT_VERSION, text, 128);
    EXPECT_STREQ(text, L"Version: 2.0.4.1");
    ::GetDlgItemTextW(about.Handle(), IDC_ABOUT_COPYRIGHT, text, 128);
    EXPECT_NE(text[0], L'\0');
    EXPECT_EQ(about.GetText(), L"About");
    // OK (command 1) ends the box.
    ::SendMessageW(about.Handle(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(about.Handle(), nullptr);
}

void PumpFor(DWORD ms) {
    const DWORD end = ::GetTickCount() + ms;
    MSG msg;
    while (LONG(::GetTickCount() - end) < 0) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}

HWND FindSplash() {
    return ::FindWindowW(L"TamrikSplashWnd", nullptr);
}

TEST(AppSplash, BitmapResourcesHaveTheirSizesAndDepths) {
    CxImage start, printing, missing;
    ASSERT_TRUE(LoadBitmapResource(::GetModuleHandleW(nullptr), IDB_SPLASH_START, start));
    EXPECT_EQ(start.GetWidth(), 256u);
    EXPECT_EQ(start.GetHeight(), 128u);
    EXPECT_EQ(start.GetBpp(), 4u);
    ASSERT_TRUE(LoadBitmapResource(::GetModuleHandleW(nullptr), IDB_SPLASH_PRINT, printing));
    EXPECT_EQ(printing.GetWidth(), 160u);
    EXPECT_EQ(printing.GetHeight(), 80u);
    EXPECT_EQ(printing.GetBpp(), 8u);
    EXPECT_FALSE(LoadBitmapResource(::GetModuleHandleW(nullptr), 4242, missing));
    EXPECT_EQ(CSplashWnd::Open(4242, 100, nullptr), nullptr) << "no bitmap, no window";
}

TEST(AppSplash, ShowsWithoutActivationAndClosesItself) {
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"splash test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   200, 100, nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(owner);
    PumpFor(100);
    const HWND foreground = ::GetForegroundWindow();

    ASSERT_NE(CSplashWnd::Open(IDB_SPLASH_PRINT, 300, nullptr), nullptr);
    HWND splash = FindSplash();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(::IsWindowVisible(splash));
    const LONG_PTR ex = ::GetWindowLongPtrW(splash, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ex & WS_EX_NOACTIVATE);
    RECT rc{};
    ::GetWindowRect(splash, &rc);
    EXPECT_EQ(rc.right - rc.left, 160);
    EXPECT_EQ(rc.bottom - rc.top, 80);
    EXPECT_EQ(::GetForegroundWindow(), foreground);
    // A click must not activate it either.
    EXPECT_EQ(::SendMessageW(splash, WM_MOUSEACTIVATE, WPARAM(owner), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    PumpFor(700);
    EXPECT_EQ(FindSplash(), nullptr) << "closed by its own timer";

    // Escape closes at once; other keys are swallowed.
    ASSERT_NE(CSplashWnd::Open(IDB_SPLASH_START, 60000, owner), nullptr);
    splash = FindSplash();
    ::SendMessageW(splash, WM_KEYDOWN, 'A', 0);
    PumpFor(50);
    EXPECT_NE(FindSplash(), nullptr);
    ::SendMessageW(splash, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpFor(50);
    EXPECT_EQ(FindSplash(), nullptr);

    // So do a left and a right click.
    for (UINT click : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
        ASSERT_NE(CSplashWnd::Open(IDB_SPLASH_PRINT, 60000, owner), nullptr);
        ::SendMessageW(FindSplash(), click, 0, MAKELPARAM(5, 5));
        PumpFor(50);
        EXPECT_EQ(FindSplash(), nullptr) << click;
    }
    ::DestroyWindow(owner);
}

class AppMainDialog : public ::testing::Test {
protected:
    void SetUp() override {
        tamrik::Module().AddMessageLoop(&loop);
        ASSERT_NE(dialog.Create(nullptr), nullptr);
        popup = ::GetSubMenu(::GetMenu(dialog.Handle()), 0);
    }
    void TearDown() override {
        if (dialog.Handle()) dialog.DestroyWindow();
        tamrik::Module().RemoveMessageLoop();
    }
    std::wstring ItemText(UINT id) {
        wchar_t text[128] = {};
        ::GetMenuStringW(popup, id, text, 128, MF_BYCOMMAND);
        return text;
    }
    bool Checked(UINT id) { return (::GetMenuState(popup, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
    bool Grayed(UINT id) { return (::GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

    tamrik::CMessageLoop loop;
    CMainDlg dialog;
    HMENU popup = nullptr;
};

TEST_F(AppMainDialog, StartsHiddenWithHotkeysOnAndEasyModeGreyed) {
    EXPECT_FALSE(::IsWindowVisible(dialog.Handle()));
    EXPECT_EQ(dialog.GetText(), L"ORBILUX Screen Print ");
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(Checked(ID_HOTKEY_TOGGLE));
    EXPECT_EQ(::GetMenuItemID(popup, 0), UINT(ID_SETTING));
    EXPECT_EQ(dialog.Tray().DefaultCommand(popup), UINT(ID_SETTING));
    EXPECT_EQ(Grayed(ID_MODE_EASY), SettingsInstance().simpleMode);
    EXPECT_NE(Grayed(ID_MODE_DETAIL), SettingsInstance().simpleMode);
    const std::wstring suffix = L"\\Tamrik\\PrintSettings.ini";
    ASSERT_GT(dialog.SettingsPath().size(), suffix.size());
    EXPECT_EQ(dialog.SettingsPath().substr(dialog.SettingsPath().size() - suffix.size()), suffix);
}

TEST_F(AppMainDialog, HotkeyItemTogglesTextAndCheckMark) {
    wchar_t enabled[64] = {}, disabled[64] = {};
    ::LoadStringW(nullptr, IDS_HOTKEY_ENABLED, enabled, 64);
    ::LoadStringW(nullptr, IDS_HOTKEY_DISABLED, disabled, 64);
    ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_HOTKEY_TOGGLE, 0);
    EXPECT_FALSE(Checked(ID_HOTKEY_TOGGLE));
    EXPECT_EQ(ItemText(ID_HOTKEY_TOGGLE), disabled);
    ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_HOTKEY_TOGGLE, 0);
    EXPECT_TRUE(Checked(ID_HOTKEY_TOGGLE));
    EXPECT_EQ(ItemText(ID_HOTKEY_TOGGLE), enabled);

    // While another settings command holds the flag the toggle does nothing.
    ASSERT_TRUE(settingsBusy.TryTake());
    ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_HOTKEY_TOGGLE, 0);
    EXPECT_TRUE(Checked(ID_HOTKEY_TOGGLE));
    settingsBusy.Release();
}

// True when nobody holds the key combination: the probe could register it.
bool KeyFree(UINT modifiers, UINT key) {
    constexpr int kProbeId = 0x7A00;
    if (!::RegisterHotKey(nullptr, kProbeId, modifiers, key)) return false;
    ::UnregisterHotKey(nullptr, kProbeId);
    return true;
}

TEST_F(AppMainDialog, InitializeAndEasySwitchRegisterExactlyTheNewKeys) {
    ORBILUXSetting& live = SettingsInstance();
    auto chooseF5 = [&] {
        live.key_.keyKind = 1;
        live.key_.printVirtualKeyCode_ = VK_F5;
        live.key_.printmodifiers = 0;
        // Off and on again: the hotkeys are registered from the record.
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_HOTKEY_TOGGLE, 0);
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_HOTKEY_TOGGLE, 0);
        ASSERT_TRUE(Checked(ID_HOTKEY_TOGGLE));
        ASSERT_FALSE(KeyFree(0, VK_F5));
        ASSERT_TRUE(KeyFree(0, VK_SNAPSHOT));
    };

    // Initialize: the earlier key goes, Print Screen and the shot key come.
    chooseF5();
    {
        BoxAnswer answer(L"Default Setting");
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_SETTING_INITIALIZE, 0);
        EXPECT_EQ(BoxAnswer::seen, 1);
    }
    EXPECT_TRUE(KeyFree(0, VK_F5));
    EXPECT_FALSE(KeyFree(0, VK_SNAPSHOT));
    EXPECT_FALSE(KeyFree(MOD_ALT | MOD_CONTROL, VK_SNAPSHOT));
    EXPECT_TRUE(Checked(ID_HOTKEY_TOGGLE));

    // With the hotkey item off, Initialize registers nothing and the item stays off.
    ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_HOTKEY_TOGGLE, 0);
    ASSERT_FALSE(Checked(ID_HOTKEY_TOGGLE));
    {
        BoxAnswer answer(L"Default Setting");
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_SETTING_INITIALIZE, 0);
        EXPECT_EQ(BoxAnswer::seen, 1);
    }
    EXPECT_TRUE(KeyFree(0, VK_SNAPSHOT));
    EXPECT_TRUE(KeyFree(MOD_ALT | MOD_CONTROL, VK_SNAPSHOT));
    EXPECT_FALSE(Checked(ID_HOTKEY_TOGGLE));
    ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_HOTKEY_TOGGLE, 0);

    // Switching to easy mode turns the user key back into Print Screen at once.
    live.simpleMode = false;
    chooseF5();
    {
        BoxAnswer answer(L"Easy Setting");
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_MODE_EASY, 0);
        EXPECT_EQ(BoxAnswer::seen, 1);
    }
    EXPECT_TRUE(live.simpleMode);
    EXPECT_TRUE(KeyFree(0, VK_F5));
    EXPECT_FALSE(KeyFree(0, VK_SNAPSHOT));
}

TEST_F(AppMainDialog, AFailedSaveIsToldOnceNamingTheFile) {
    const std::wstring path = dialog.SettingsPath();
    // A folder where the file should be: nothing can be written there. What
    // was there comes back afterwards.
    const std::wstring aside = path + L".aside";
    const bool hadFile = ::MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
    ORBILUXSetting& live = SettingsInstance();
    const bool simple = live.simpleMode;
    {
        BoxAnswer answer(L"Tamrik");
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_MODE_DETAIL, 0);
        PumpFor(200);
        EXPECT_EQ(BoxAnswer::seen, 1);
        EXPECT_NE(BoxAnswer::text.find(path), std::wstring::npos) << tamrik::WideToUtf8(BoxAnswer::text);
    }
    // The switch itself stands for this run.
    EXPECT_EQ(live.simpleMode, !simple);
    EXPECT_EQ(Grayed(ID_MODE_EASY), live.simpleMode);
    ::RemoveDirectoryW(path.c_str());
    if (hadFile) ::MoveFileExW(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    live.simpleMode = simple;
}

TEST_F(AppMainDialog, AFinishedPressPutsTheNormalIconBack) {
    ORBILUXSetting& live = SettingsInstance();
    const ORBILUXSetting kept = live;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path base =
        std::filesystem::path(temp) / ("tamrik-icon-" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::remove_all(base);
    live.key_.keyAction = kActionFiles;
    live.key_.logType = kLogNone;
    live.general_.bDisplaySplash_ = false;
    live.output_.baseDirName = base.wstring();
    live.extras_.copyToClipboard = false;
    live.extras_.notifyAfterSave = false;

    // A press from the command line: captured, written by the worker, told finished.
    ::PostMessageW(dialog.Handle(), kRunCommandLineMessage, WPARAM(CommandLineCommand::Print), 0);
    auto written = [&] {
        std::error_code ec;
        size_t files = 0;
        for (auto it = std::filesystem::recursive_directory_iterator(base, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            files += it->is_regular_file() ? 1 : 0;
        return files;
    };
    for (int i = 0; i < 200 && (written() == 0 || dialog.Tray().Busy()); ++i) PumpFor(50);
    EXPECT_EQ(written(), 1u);
    EXPECT_FALSE(dialog.Tray().Busy()) << "the icon stayed busy after the press had finished";

    live = kept;
    std::filesystem::remove_all(base);
}

TEST_F(AppMainDialog, ExitEndsTheLoopWithCodeOne) {
    // The command is matched on its low word, whatever the notification code.
    ::PostMessageW(dialog.Handle(), WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 1), 0);
    EXPECT_EQ(loop.Run(), 1);
    EXPECT_EQ(dialog.Handle(), nullptr);
}

// ---- The option sheet's printer buttons and the printer in use ----

BOOL WINAPI TurnToLandscape(HGLOBAL devModeBlock) {
    auto* dm = static_cast<DEVMODEW*>(::GlobalLock(devModeBlock));
    if (!dm) return FALSE;
    dm->dmFields |= DM_ORIENTATION;
    dm->dmOrientation = DMORIENT_LANDSCAPE;
    ::GlobalUnlock(devModeBlock);
    return TRUE;
}
BOOL WINAPI LandscapePrintDialog(PRINTDLGW* pd) {
    return TurnToLandscape(pd->hDevMode);
}
BOOL WINAPI LandscapePageSetup(PAGESETUPDLGW* psd) {
    psd->rtMargin = RECT{2500, 2500, 2500, 2500};
    return TurnToLandscape(psd->hDevMode);
}

// Drives the modal settings sheet from a timer: shows the print settings
// page, clicks one of its printer buttons, then closes the sheet.
struct SheetDriver {
    static int button;
    static int closeWith;
    static bool done;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND sheet = ::FindWindowW(L"#32770", L"\u8A2D\u5B9A");
        if (done || !sheet || !::IsWindowVisible(sheet)) return;
        done = true;
        HWND tree = ::GetDlgItem(sheet, IDC_SHEET_TREE);
        auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        for (int i = 0; i < 2 && item; ++i)
            item =
                reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(item)));
        ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, LPARAM(item));
        for (HWND page = ::GetWindow(sheet, GW_CHILD); page; page = ::GetWindow(page, GW_HWNDNEXT)) {
            HWND target = ::GetDlgItem(page, button);
            if (target && ::IsWindowVisible(page)) ::SendMessageW(target, BM_CLICK, 0, 0);
        }
        if (closeWith == IDOK) ::SetFocus(::GetDlgItem(sheet, IDOK));
        ::SendMessageW(sheet, WM_COMMAND, closeWith, 0);
    }
    UINT_PTR timer;
    SheetDriver(int clickButton, int closeCommand) {
        button = clickButton;
        closeWith = closeCommand;
        done = false;
        timer = ::SetTimer(nullptr, 0, 100, &Tick);
    }
    ~SheetDriver() { ::KillTimer(nullptr, timer); }
};
int SheetDriver::button = 0;
int SheetDriver::closeWith = 0;
bool SheetDriver::done = false;

short Orientation(const std::vector<uint8_t>& devMode) {
    if (devMode.size() < sizeof(DEVMODEW)) return 0;
    return reinterpret_cast<const DEVMODEW*>(devMode.data())->dmOrientation;
}

TEST(AppOptionSheet, PrinterButtonsChangeThePrinterInUseOnlyWithOk) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"tamrik-sheet-printer.ini";
    ::DeleteFileW(path.c_str());
    ORBILUXSetting& live = SettingsInstance();
    live = ORBILUXSetting();
    live.simpleMode = false;
    PrinterPrompts prompts;
    prompts.printDialog = LandscapePrintDialog;
    prompts.pageSetupDialog = LandscapePageSetup;
    PrintLink print(prompts);
    print.OpenPrinter(live.printer_, false);
    if (!print.Objects().Printer()) GTEST_SKIP() << "no default printer";
    const std::vector<uint8_t> inUse = print.Objects().DevModeBytes();
    ASSERT_NE(Orientation(inUse), DMORIENT_LANDSCAPE);
    const ORBILUXSetting before = live;

    // Cancel after either dialog: the printer in use, its device mode and the settings stay.
    for (int button : {IDC_PRINTER_BUTTON, IDC_PAGE_SETUP_BUTTON}) {
        SheetDriver driver(button, IDCANCEL);
        EXPECT_TRUE(ShowOptionSheet(nullptr, path, print));
        EXPECT_TRUE(SheetDriver::done);
        EXPECT_EQ(print.Objects().DevModeBytes(), inUse) << button;
        EXPECT_EQ(live.printer_.devModeBlock, before.printer_.devModeBlock) << button;
        EXPECT_EQ(live.printer_.rtMargin, before.printer_.rtMargin) << button;
        EXPECT_FALSE(live.printer_.bSetPrinter_) << button;
        EXPECT_EQ(live.printer_.printerRef, &print.Objects()) << button;
        EXPECT_EQ(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << button;
    }

    // OK: the choice becomes the printer in use and is saved.
    {
        SheetDriver driver(IDC_PAGE_SETUP_BUTTON, IDOK);
        EXPECT_TRUE(ShowOptionSheet(nullptr, path, print));
        EXPECT_TRUE(SheetDriver::done);
    }
    EXPECT_EQ(Orientation(print.Objects().DevModeBytes()), DMORIENT_LANDSCAPE);
    EXPECT_NE(print.Objects().Printer(), nullptr);
    EXPECT_TRUE(live.printer_.bSetPrinter_);
    EXPECT_EQ(live.printer_.rtMargin, (SettingsRect{2500, 2500, 2500, 2500}));
    EXPECT_EQ(live.printer_.printerRef, &print.Objects());
    EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);

    ::DeleteFileW(path.c_str());
    live = ORBILUXSetting();
}

}  // namespace
