// Shows every page of the settings sheet in turn for a screenshot taken from
// outside (tests/e2e/ui_screenshots_test.sh). Runs only when TAMRIK_UI_SHOTS
// names the folder of the hand-shake files: "ready-NAME" is written when a
// page is up, and the page stays until "done-NAME" appears.
#include <gtest/gtest.h>

#include <cstdlib>

#include "resources/resource.h"
#include "tests/win32/ui_test_support.h"

using namespace uitest;

namespace {

std::wstring ShotFolder() {
    const wchar_t* folder = _wgetenv(L"TAMRIK_UI_SHOTS");
    return folder ? folder : L"";
}

// Announces the shot and waits (pumping messages) until it has been taken.
bool Shoot(const std::wstring& folder, const std::wstring& name, HWND dialog) {
    Pump(400, dialog);
    const std::wstring ready = folder + L"\\ready-" + name;
    HANDLE file = ::CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    const std::wstring done = folder + L"\\done-" + name;
    for (int i = 0; i < 600; ++i) {
        if (::GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        Pump(50, dialog);
    }
    return false;
}

// Takes a shot while a page's warning box is up, then closes the box.
struct WarningShot {
    static std::wstring folder, name, caption;
    static bool taken;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND box = ::FindWindowW(L"#32770", caption.c_str());
        if (taken || !box || !::IsWindowVisible(box)) return;
        taken = true;
        Shoot(folder, name, nullptr);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
};
std::wstring WarningShot::folder, WarningShot::name, WarningShot::caption;
bool WarningShot::taken = false;

// Presses OK on the sheet and shoots the warning the page answers with.
bool ShootWarning(const std::wstring& folder, const std::wstring& name, const std::wstring& caption,
                  SheetHarness& sheet) {
    WarningShot::folder = folder;
    WarningShot::name = name;
    WarningShot::caption = caption;
    WarningShot::taken = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &WarningShot::Tick);
    sheet.PressOk();
    ::KillTimer(nullptr, timer);
    return WarningShot::taken;
}

}  // namespace

TEST(UiShots, EveryPageOfBothModes) {
    const std::wstring folder = ShotFolder();
    if (folder.empty()) GTEST_SKIP() << "TAMRIK_UI_SHOTS is not set";

    // Start at sign-in shows as the system would say; the shots never change it.
    OptionSheetServices services;
    services.startsAtSignIn = [] { return true; };
    services.setStartAtSignIn = [](bool) { return true; };

    SheetHarness easy;
    easy.live.printer_.printername_ = L"TamrikPDF";
    easy.live.output_.nPictureFormat = 1;
    easy.live.extras_.copyToClipboard = true;
    ASSERT_TRUE(easy.Open(services));
    EXPECT_TRUE(Shoot(folder, L"0-easy", easy.Sheet()));
    easy.Close();

    SheetHarness detail;
    detail.live.simpleMode = false;
    detail.live.general_.screenTarget = 1;
    detail.live.general_.disabledMonitors_ = {1};
    detail.live.key_.keyKind = 1;
    detail.live.key_.printVirtualKeyCode_ = 'Q';
    detail.live.key_.printmodifiers = 6;
    detail.live.printer_.printername_ = L"TamrikPDF";
    detail.live.format_.headStrings = {L"\\L$date $time\\R$computer", L"\\C$window"};
    detail.live.format_.footStrings = {L"\\C$page / $maxpage"};
    detail.live.output_.baseDirName = L"C:\\users\\Public\\Pictures";
    detail.live.format_.fontFace = L"Tamrik Kept Face";  // not installed: shown all the same
    detail.live.extras_.captureDelay = 3;
    detail.live.extras_.drawPointer = true;
    ASSERT_TRUE(detail.Open(services));
    const wchar_t* names[] = {L"1-monitor", L"2-key", L"3-layout", L"4-format", L"5-picture", L"5-extras"};
    for (size_t i = 0; i < 6; ++i) {
        detail.Page(i);
        EXPECT_TRUE(Shoot(folder, names[i], detail.Sheet()));
    }
    // The line editor at work, with its palette beside the sheet.
    detail.Page(3);
    detail.sheet->FormatPage().HeadList().EditItem(0);
    EXPECT_TRUE(Shoot(folder, L"6-format-editing", detail.Sheet()));
    ::SetFocus(::GetDlgItem(detail.sheet->FormatPage().Handle(), IDC_FONT_SIZE));

    // Values that are refused, with the page's message.
    detail.sheet->FormatPage().HeadList().SetLines({L"\\L$date", std::wstring(1021, L'x')});
    EXPECT_TRUE(ShootWarning(folder, L"7-format-line-refused", L"書式設定", detail));
    detail.sheet->FormatPage().HeadList().SetLines({L"\\L$date"});
    HWND layout = detail.Page(2);
    ::SetDlgItemTextW(layout, IDC_MARGIN_HEAD, L"4294967295");
    EXPECT_TRUE(ShootWarning(folder, L"8-layout-refused", L"印刷設定", detail));
    ::SetDlgItemTextW(layout, IDC_MARGIN_HEAD, L"5");
    HWND extras = detail.Page(5);
    ::SetDlgItemTextW(extras, IDC_EXTRAS_DELAY, L"11");
    EXPECT_TRUE(ShootWarning(folder, L"9-extras-refused", L"その他の設定", detail));
}

namespace {

// The tray menu in one language, opened at the middle of the screen, shot from a timer while it is up.
struct MenuShot {
    static std::wstring folder, name;
    static bool taken;
    static void CALLBACK Tick(HWND window, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(window, id);
        taken = Shoot(folder, name, nullptr);
        ::EndMenu();
    }
};
std::wstring MenuShot::folder, MenuShot::name;
bool MenuShot::taken = false;

bool ShootTrayMenu(const std::wstring& folder, const std::wstring& name, LANGID language) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceExW(module, MAKEINTRESOURCEW(4) /* RT_MENU */, MAKEINTRESOURCEW(IDR_TRAYMENU),
                                    language);
    if (!found) return false;
    HMENU menu = ::LoadMenuIndirectW(::LockResource(::LoadResource(module, found)));
    if (!menu) return false;
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"tray menu shot", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   module, nullptr);
    ::SetForegroundWindow(owner);
    MenuShot::folder = folder;
    MenuShot::name = name;
    MenuShot::taken = false;
    ::SetTimer(owner, 1, 600, &MenuShot::Tick);
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_TOPALIGN, 400, 200, 0, owner, nullptr);
    ::DestroyMenu(menu);
    ::DestroyWindow(owner);
    return MenuShot::taken;
}

}  // namespace

TEST(UiShots, TrayMenuInJapaneseAndNeutral) {
    const std::wstring folder = ShotFolder();
    if (folder.empty()) GTEST_SKIP() << "TAMRIK_UI_SHOTS is not set";
    EXPECT_TRUE(ShootTrayMenu(folder, L"10-tray-menu-ja", MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)));
    EXPECT_TRUE(ShootTrayMenu(folder, L"11-tray-menu-neutral", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)));
}
