// The other settings page, the easy page's two new boxes, and start at
// sign-in: shown from the system, changed by OK only.
#include <gtest/gtest.h>

#include "settings/win32/sign_in_start.h"
#include "tests/win32/ui_test_support.h"

using namespace uitest;

namespace {

constexpr size_t kExtrasPage = 5;

// Start at sign-in as a fake system keeps it, with every change it was asked for.
struct FakeSignIn {
    bool on = false;
    bool works = true;
    std::vector<bool> asked;
    OptionSheetServices Services() {
        OptionSheetServices s;
        s.startsAtSignIn = [this] { return on; };
        s.setStartAtSignIn = [this](bool start) {
            asked.push_back(start);
            if (works) on = start;
            return works;
        };
        return s;
    }
};

}  // namespace

TEST(UiExtrasPage, ShowsTheGroupAndOkStoresItWhole) {
    FakeSignIn system;
    system.on = true;
    SheetHarness h;
    h.live.simpleMode = false;
    h.live.extras_.captureDelay = 4;
    h.live.extras_.drawPointer = true;
    ASSERT_TRUE(h.Open(system.Services()));
    HWND page = h.Page(kExtrasPage);
    EXPECT_FALSE(Checked(page, IDC_EXTRAS_CLIPBOARD));
    EXPECT_TRUE(Checked(page, IDC_EXTRAS_NOTIFY));
    EXPECT_TRUE(Checked(page, IDC_EXTRAS_POINTER));
    EXPECT_TRUE(Checked(page, IDC_EXTRAS_SIGN_IN));
    EXPECT_EQ(TextOf(::GetDlgItem(page, IDC_EXTRAS_DELAY)), L"4");
    int low = -1, high = -1;
    ::SendDlgItemMessageW(page, IDC_EXTRAS_DELAY_SPIN, UDM_GETRANGE32, WPARAM(&low), LPARAM(&high));
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 10);

    h.Click(page, IDC_EXTRAS_CLIPBOARD);
    h.Click(page, IDC_EXTRAS_NOTIFY);
    h.Click(page, IDC_EXTRAS_POINTER);
    ::SetDlgItemTextW(page, IDC_EXTRAS_DELAY, L"10");
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_TRUE(h.live.extras_.copyToClipboard);
    EXPECT_FALSE(h.live.extras_.notifyAfterSave);
    EXPECT_FALSE(h.live.extras_.drawPointer);
    EXPECT_EQ(h.live.extras_.captureDelay, 10u);
    const std::wstring* delay = h.profile->Find(L"ORBILUXSettings.extras_", L"captureDelay");
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(*delay, L"10");
    // The box was left as the system has it: nothing asked of the system.
    EXPECT_TRUE(system.asked.empty());
}

TEST(UiExtrasPage, DelaysOutsideZeroToTenAreRefusedWithAMessage) {
    SheetHarness h;
    h.live.simpleMode = false;
    FakeSignIn system;
    ASSERT_TRUE(h.Open(system.Services()));
    HWND page = h.Page(kExtrasPage);
    HWND delay = ::GetDlgItem(page, IDC_EXTRAS_DELAY);
    for (const wchar_t* text : {L"11", L"4294967296", L"", L"1x"}) {
        ::SetFocus(::GetDlgItem(page, IDC_EXTRAS_CLIPBOARD));
        ExpectOkRefused(h, delay, text, L"その他の設定", L"10");
        EXPECT_TRUE(h.profile->sections.empty());
    }
    // Leaving the page is refused the same way.
    {
        BoxAnswer watch(L"その他の設定");
        h.sheet->SelectItem(0);
        Pump(20);
        EXPECT_EQ(BoxAnswer::seen, 1);
        EXPECT_EQ(h.sheet->CurrentItem()->Page(), &h.sheet->ExtrasPage());
    }
    ::SetWindowTextW(delay, L"0");
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.extras_.captureDelay, 0u);
}

TEST(UiExtrasPage, StartAtSignInChangesWithOkOnlyAndOnlyWhenChanged) {
    FakeSignIn system;
    {
        SheetHarness h;
        h.live.simpleMode = false;
        ASSERT_TRUE(h.Open(system.Services()));
        HWND page = h.Page(kExtrasPage);
        EXPECT_FALSE(Checked(page, IDC_EXTRAS_SIGN_IN));
        h.Click(page, IDC_EXTRAS_SIGN_IN);
        h.PressCancel();
        EXPECT_TRUE(system.asked.empty());
        EXPECT_FALSE(system.on);
    }
    {
        SheetHarness h;
        h.live.simpleMode = false;
        ASSERT_TRUE(h.Open(system.Services()));
        HWND page = h.Page(kExtrasPage);
        h.Click(page, IDC_EXTRAS_SIGN_IN);
        h.Page(0);  // the choice survives leaving the page
        h.PressOk();
        EXPECT_EQ(system.asked, std::vector<bool>{true});
        EXPECT_TRUE(system.on);
    }
    {
        // Checked, unchecked, checked again: what the system has already.
        SheetHarness h;
        h.live.simpleMode = false;
        ASSERT_TRUE(h.Open(system.Services()));
        HWND page = h.Page(kExtrasPage);
        EXPECT_TRUE(Checked(page, IDC_EXTRAS_SIGN_IN));
        h.Click(page, IDC_EXTRAS_SIGN_IN);
        h.Click(page, IDC_EXTRAS_SIGN_IN);
        h.PressOk();
        EXPECT_EQ(system.asked.size(), 1u);
    }
    {
        // A system that refuses: said once; the settings are stored all the same.
        system.works = false;
        SheetHarness h;
        h.live.simpleMode = false;
        ASSERT_TRUE(h.Open(system.Services()));
        HWND page = h.Page(kExtrasPage);
        h.Click(page, IDC_EXTRAS_SIGN_IN);
        h.Click(page, IDC_EXTRAS_POINTER);
        BoxAnswer watch(L"Tamrik");
        h.PressOk();
        EXPECT_EQ(BoxAnswer::seen, 1);
        EXPECT_FALSE(BoxAnswer::text.empty());
        EXPECT_FALSE(h.IsOpen());
        EXPECT_EQ(system.asked, (std::vector<bool>{true, false}));
        EXPECT_TRUE(system.on);
        EXPECT_TRUE(h.live.extras_.drawPointer);
    }
}

TEST(UiEasyPage, ClipboardAndStartAtSignInBoxes) {
    FakeSignIn system;
    SheetHarness h;
    h.live.simpleMode = true;
    h.live.extras_.copyToClipboard = true;
    ASSERT_TRUE(h.Open(system.Services()));
    HWND page = h.sheet->SimplePage().Handle();
    EXPECT_TRUE(Checked(page, IDC_EASY_CLIPBOARD));
    EXPECT_FALSE(Checked(page, IDC_EASY_SIGN_IN));
    h.Click(page, IDC_EASY_CLIPBOARD);
    h.Click(page, IDC_EASY_SIGN_IN);
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_FALSE(h.live.extras_.copyToClipboard);
    EXPECT_EQ(system.asked, std::vector<bool>{true});
    // The other extras are the easy page's to keep, not to change.
    EXPECT_TRUE(h.live.extras_.notifyAfterSave);
}

TEST(SettingsSignIn, TheRunValueHoldsTheQuotedProgramPathAndGoesAgain) {
    const wchar_t name[] = L"Tamrik Screen Print (test)";
    ASSERT_TRUE(SetStartAtSignIn(false, name));
    EXPECT_FALSE(StartsAtSignIn(name));
    ASSERT_TRUE(SetStartAtSignIn(true, name));
    EXPECT_TRUE(StartsAtSignIn(name));
    wchar_t data[4096] = {};
    DWORD size = sizeof(data);
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, name, RRF_RT_REG_SZ, nullptr, data, &size),
              ERROR_SUCCESS);
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(std::wstring(data), L"\"" + std::wstring(self) + L"\"");
    // Adding again replaces; removing twice is fine.
    EXPECT_TRUE(SetStartAtSignIn(true, name));
    EXPECT_TRUE(SetStartAtSignIn(false, name));
    EXPECT_FALSE(StartsAtSignIn(name));
    EXPECT_TRUE(SetStartAtSignIn(false, name));
    // The program's own value is untouched by all this.
    EXPECT_STREQ(kSignInValueName, L"Tamrik Screen Print");
}
