// What the user is told when a press's files cannot be written: the balloon's
// text from the string table, and the balloon itself at the tray icon.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "app/win32/save_notice.h"
#include "app/win32/tray_icon.h"
#include "base/text.h"
#include "resources/resource.h"
#include "tests/win32/ui_test_support.h"

using namespace orbilux;
using uitest::StringIn;

namespace {

struct Balloons {
    std::wstring text;
    int count = 0;
};

BOOL CALLBACK FindBalloon(HWND top, LPARAM lp) {
    auto* found = reinterpret_cast<Balloons*>(lp);
    wchar_t cls[64] = {};
    GetClassNameW(top, cls, 64);
    if (std::wstring(cls) != L"tooltips_class32" || !IsWindowVisible(top)) return TRUE;
    if (!(GetWindowLongW(top, GWL_STYLE) & 0x40 /* TTS_BALLOON */)) return TRUE;
    ++found->count;
    // A tooltip answers WM_GETTEXT with the text of its current tool.
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(top, WM_GETTEXT, 512, LPARAM(text), SMTO_ABORTIFHUNG, 2000, &length))
        found->text = text;
    return TRUE;
}

// The balloon the shell shows within seconds, pumping this thread's messages.
Balloons WaitForBalloon(const std::wstring& text, double seconds) {
    const ULONGLONG end = GetTickCount64() + ULONGLONG(seconds * 1000);
    Balloons found;
    while (GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        found = Balloons();
        EnumWindows(FindBalloon, LPARAM(&found));
        if (found.text == text) return found;
        Sleep(100);
    }
    return found;
}

}  // namespace

TEST(AppSaveNotice, BalloonNamesTheFolderAndTheReasonWithinTheShellsLimits) {
    SaveOutcome outcome;
    outcome.failure = SaveFailure::DiskFull;
    outcome.folder = L"C:\\Shots\\20240305\\";
    const BalloonMessage short_ = SaveFailureBalloon(outcome);
    EXPECT_FALSE(short_.title.empty());
    EXPECT_LE(short_.title.size(), kBalloonTitleChars);
    EXPECT_NE(short_.text.find(L"C:\\Shots\\20240305"), std::wstring::npos)
        << tamrik::WideToUtf8(short_.text);
    EXPECT_NE(short_.text.find(SaveFailureReasonText(SaveFailure::DiskFull)), std::wstring::npos);
    EXPECT_EQ(short_.text.find(L"%"), std::wstring::npos);

    // Every reason has its own text.
    std::set<std::wstring> reasons;
    for (SaveFailure f : {SaveFailure::NoFolder, SaveFailure::FolderNotCreated, SaveFailure::NotAFolder,
                          SaveFailure::NoPermission, SaveFailure::DiskFull, SaveFailure::PathTooLong,
                          SaveFailure::WriteFailed})
        reasons.insert(SaveFailureReasonText(f));
    EXPECT_EQ(reasons.size(), 7u);
    EXPECT_EQ(reasons.count(L""), 0u);

    // A 300-character folder loses its middle, never the reason or the date folder.
    outcome.failure = SaveFailure::PathTooLong;
    outcome.folder = L"C:\\Users\\" + std::wstring(300, L'x') + L"\\20240305\\";
    const BalloonMessage long_ = SaveFailureBalloon(outcome);
    EXPECT_LE(long_.text.size(), kBalloonTextChars);
    EXPECT_NE(long_.text.find(L"C:\\Users\\\u2026"), std::wstring::npos);
    EXPECT_NE(long_.text.find(L"x\\20240305"), std::wstring::npos);
    EXPECT_NE(long_.text.find(SaveFailureReasonText(SaveFailure::PathTooLong)), std::wstring::npos);

    // No folder at all.
    outcome.failure = SaveFailure::NoFolder;
    outcome.folder.clear();
    EXPECT_NE(SaveFailureBalloon(outcome).text.find(SaveFailureReasonText(SaveFailure::NoFolder)),
              std::wstring::npos);
}

TEST(AppSaveNotice, JapaneseAndNeutralStringTablesHoldEveryText) {
    const LANGID japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    const LANGID neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    EXPECT_EQ(StringIn(japanese, IDS_SAVE_FAILED_TITLE), L"ファイルを保存できませんでした");
    EXPECT_EQ(StringIn(japanese, IDS_SAVE_FAILED_TEXT), L"保存先: %1\n理由: %2");
    EXPECT_EQ(StringIn(japanese, IDS_SAVE_REASON_NOT_A_FOLDER),
              L"同じ名前のファイルがあるため、フォルダーを作成できません。");
    EXPECT_EQ(StringIn(neutral, IDS_SAVE_FAILED_TEXT), L"Folder: %1\nReason: %2");
    for (UINT id = IDS_SAVE_FAILED_TITLE; id <= IDS_SAVE_REASON_WRITE_FAILED; ++id) {
        EXPECT_FALSE(StringIn(japanese, id).empty()) << id;
        EXPECT_FALSE(StringIn(neutral, id).empty()) << id;
        EXPECT_NE(StringIn(japanese, id), StringIn(neutral, id)) << id;
    }
}

TEST(AppTrayBalloon, ShowsAtTheIconAddingTheIconWhenItIsMissing) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"Tamrik balloon test", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    {
        CTrayIconImpl tray;
        tray.Attach(owner);
        // Never installed: the balloon adds the icon first.
        const std::wstring text = L"Folder: C:\\Shots\nReason: test " + std::to_wstring(GetTickCount());
        if (!tray.ShowBalloon(L"Tamrik balloon test", text, NIIF_ERROR)) {
            DestroyWindow(owner);
            GTEST_SKIP() << "no notification area to show a balloon in";
        }
        EXPECT_TRUE(tray.Installed());
        const Balloons shown = WaitForBalloon(text, 15);
        EXPECT_EQ(shown.text, text) << shown.count << " balloons";
        // Titles and texts longer than the shell takes are cut, not refused.
        EXPECT_TRUE(tray.ShowBalloon(std::wstring(100, L't'), std::wstring(400, L'x'), NIIF_INFO));
        // A later state change of the icon does not bring the balloon back.
        tray.SetState(true);
        tray.SetState(false);
        EXPECT_TRUE(tray.Installed());
    }
    DestroyWindow(owner);
}

TEST(AppSavedNotice, NamesTheFirstFileAndItsFolderAndHowManyMorePictures) {
    SaveOutcome outcome;
    outcome.folder = L"C:\\Shots\\20240305\\";
    EXPECT_TRUE(FirstSavedFile(outcome).empty());  // nothing written: nothing to name
    outcome.reportFile = L"C:\\Shots\\20240305\\MN_00_1.txt";
    EXPECT_EQ(FirstSavedFile(outcome), outcome.reportFile);
    outcome.pictureFiles = {L"C:\\Shots\\20240305\\MN_01_1.png", L"C:\\Shots\\20240305\\MN_02_1.png",
                            L"C:\\Shots\\20240305\\MN_03_1.png"};
    EXPECT_EQ(FirstSavedFile(outcome), outcome.pictureFiles[0]);

    const BalloonMessage three = SavedFilesBalloon(outcome);
    EXPECT_FALSE(three.title.empty());
    const std::wstring more = StringIn(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), IDS_SAVED_MORE);
    const bool japanese = three.text.find(L"MN_01_1.png \u307B\u304B 2 \u4EF6") != std::wstring::npos;
    const bool neutral = three.text.find(L"MN_01_1.png and 2 more") != std::wstring::npos;
    EXPECT_TRUE(japanese || neutral) << tamrik::WideToUtf8(three.text) << " / " << tamrik::WideToUtf8(more);
    EXPECT_NE(three.text.find(L"C:\\Shots\\20240305"), std::wstring::npos);
    EXPECT_EQ(three.text.find(L"%"), std::wstring::npos);

    // One picture: no count. Markers inside names stay names; long folders lose their middle.
    outcome.pictureFiles = {L"C:\\Users\\" + std::wstring(300, L'x') + L"\\%2 100%1\\MN_00_1.jpg"};
    const BalloonMessage one = SavedFilesBalloon(outcome);
    EXPECT_LE(one.text.size(), kBalloonTextChars);
    EXPECT_EQ(one.text.find(L"MN_00_1.jpg"), 0u) << tamrik::WideToUtf8(one.text);
    EXPECT_EQ(one.text.find(L" 2 "), std::wstring::npos);
    EXPECT_NE(one.text.find(L"\\%2 100%1"), std::wstring::npos);
    EXPECT_NE(one.text.find(L"C:\\Users\\\u2026"), std::wstring::npos);

    EXPECT_EQ(ExplorerSelectArguments(L"C:\\Shots\\a b.png"), L"/select,\"C:\\Shots\\a b.png\"");
}

TEST(AppSavedNotice, JapaneseAndNeutralTextsOfTheSavedBalloon) {
    const LANGID japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    const LANGID neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    EXPECT_EQ(StringIn(japanese, IDS_SAVED_MORE), L"%1 ほか %2 件");
    EXPECT_EQ(StringIn(neutral, IDS_SAVED_MORE), L"%1 and %2 more");
    for (UINT id = IDS_SAVED_TITLE; id <= IDS_SAVED_MORE; ++id) {
        EXPECT_FALSE(StringIn(japanese, id).empty()) << id;
        EXPECT_NE(StringIn(japanese, id), StringIn(neutral, id)) << id;
    }
}

TEST(AppTrayBalloon, AClickOnTheBalloonRunsItsActionOnceAndOnlyForThatBalloon) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"Tamrik balloon click test", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    {
        CTrayIconImpl tray;
        tray.Attach(owner);
        int clicks = 0;
        if (!tray.ShowBalloon(L"t", L"first", NIIF_INFO, [&clicks] { ++clicks; })) {
            DestroyWindow(owner);
            GTEST_SKIP() << "no notification area to show a balloon in";
        }
        tray.OnTrayIcon(IDT_TRAYICON, NIN_BALLOONUSERCLICK);
        tray.OnTrayIcon(IDT_TRAYICON, NIN_BALLOONUSERCLICK);
        EXPECT_EQ(clicks, 1);
        // Gone unclicked, or replaced by a balloon without an action: nothing runs.
        tray.ShowBalloon(L"t", L"second", NIIF_INFO, [&clicks] { clicks += 10; });
        tray.OnTrayIcon(IDT_TRAYICON, NIN_BALLOONTIMEOUT);
        tray.OnTrayIcon(IDT_TRAYICON, NIN_BALLOONUSERCLICK);
        tray.ShowBalloon(L"t", L"third", NIIF_INFO, [&clicks] { clicks += 100; });
        tray.ShowBalloon(L"t", L"fourth", NIIF_ERROR);
        tray.OnTrayIcon(IDT_TRAYICON, NIN_BALLOONUSERCLICK);
        EXPECT_EQ(clicks, 1);
    }
    DestroyWindow(owner);
}
