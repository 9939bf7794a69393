// The settings sheet: easy and detail modes, OK and Cancel, the detail pages'
// validation and the easy page's mappings.
#include <gtest/gtest.h>

#include "base/text.h"
#include "tests/win32/ui_test_support.h"
#include "window/helpers.h"

using namespace uitest;

namespace {

std::wstring ComboText(HWND page, int id) {
    HWND combo = ::GetDlgItem(page, id);
    const LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return L"<none>";
    wchar_t text[256] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, WPARAM(index), LPARAM(text));
    return text;
}

}  // namespace

TEST(UiSheet, EasyModeShowsOneEntryBoundToTheWholeRecord) {
    SheetHarness h;
    h.live.simpleMode = true;
    ASSERT_TRUE(h.Open());
    EXPECT_EQ(::SendMessageW(h.sheet->TreeWindow(), TVM_GETCOUNT, 0, 0), 1);
    ASSERT_EQ(h.sheet->ItemCount(), 1u);
    auto* item = dynamic_cast<COptionItemSettings*>(h.sheet->ItemAt(0));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Caption(), L"簡易設定");
    EXPECT_EQ(item->Settings(), &h.sheet->Working());
    EXPECT_EQ(item->Page(), &h.sheet->SimplePage());
    EXPECT_TRUE(::IsWindowVisible(h.sheet->SimplePage().Handle()));
    EXPECT_EQ(h.sheet->BannerText(), L"簡易設定");
    EXPECT_EQ(TextOf(h.Sheet()), L"設定");
    // The Apply button is not part of the program's sheet.
    EXPECT_EQ(h.sheet->Item(COptionSheet::kApplyCommand), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(h.sheet->Item(IDOK)));
}

TEST(UiSheet, DetailModeShowsSixPagesInOrderEachBoundToItsGroup) {
    SheetHarness h;
    h.live.simpleMode = false;
    ASSERT_TRUE(h.Open());
    ORBILUXSetting& w = h.sheet->Working();
    const wchar_t* captions[] = {L"基本設定", L"キー設定",     L"印刷設定",
                                 L"書式設定", L"画像形式設定", L"その他の設定"};
    CSettings* groups[] = {&w.general_, &w.key_, &w.printer_, &w.format_, &w.output_, &w.extras_};
    ASSERT_EQ(h.sheet->ItemCount(), 6u);
    EXPECT_EQ(::SendMessageW(h.sheet->TreeWindow(), TVM_GETCOUNT, 0, 0), 6);
    for (size_t i = 0; i < 6; ++i) {
        auto* item = dynamic_cast<COptionItemSettings*>(h.sheet->ItemAt(i));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Caption(), captions[i]);
        EXPECT_EQ(item->Settings(), groups[i]);
        HWND page = h.Page(i);
        EXPECT_TRUE(::IsWindowVisible(page)) << i;
        EXPECT_EQ(h.sheet->BannerText(), captions[i]);
    }
    // Only the selected page shows, and every page fits the page area.
    EXPECT_FALSE(::IsWindowVisible(h.sheet->MonitorPage().Handle()));
    const RECT area = h.sheet->PageRect();
    for (COptionPage* page : {static_cast<COptionPage*>(&h.sheet->MonitorPage()),
                              static_cast<COptionPage*>(&h.sheet->FormatPage()),
                              static_cast<COptionPage*>(&h.sheet->ExtrasPage()),
                              static_cast<COptionPage*>(&h.sheet->SimplePage())}) {
        RECT r{};
        ::GetWindowRect(page->Handle(), &r);
        EXPECT_LE(r.right - r.left, area.right - area.left);
        EXPECT_LE(r.bottom - r.top, area.bottom - area.top);
    }
}

TEST(UiSheet, OkSavesTheWholeRecordCancelChangesNothing) {
    // The detail sheet with both key actions and the event logs chosen.
    const auto chooseBothAndEvents = [](SheetHarness& h) {
        h.live.simpleMode = false;
        ASSERT_TRUE(h.Open());
        HWND key = h.Page(1);
        h.Click(key, IDC_ACTION_BOTH);
        h.Click(key, IDC_LOG_EVENTS);
    };
    {
        SheetHarness h;
        ASSERT_NO_FATAL_FAILURE(chooseBothAndEvents(h));
        h.PressCancel();
        EXPECT_FALSE(h.IsOpen());
        EXPECT_EQ(h.live.key_.keyAction, 0);
        EXPECT_TRUE(h.profile->sections.empty());
    }
    {
        SheetHarness h;
        ASSERT_NO_FATAL_FAILURE(chooseBothAndEvents(h));
        h.PressOk();
        EXPECT_FALSE(h.IsOpen());
        EXPECT_EQ(h.live.key_.keyAction, 2);
        EXPECT_EQ(h.live.key_.logType, 2);
        // The whole record went to the file, not only the group that changed.
        const std::wstring* action = h.profile->Find(L"ORBILUXSettings.key_", L"keyAction");
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(*action, L"2");
        EXPECT_NE(h.profile->Find(L"ORBILUXSettings.output_", L"scale"), nullptr);
        EXPECT_NE(h.profile->Find(L"ORBILUXSettings", L"simpleMode"), nullptr);
    }
}

TEST(UiSheet, EnterInATextFieldDoesNotCloseTheSheet) {
    SheetHarness h;
    h.live.simpleMode = false;
    ASSERT_TRUE(h.Open());
    HWND page = h.Page(4);
    ::SetFocus(::GetDlgItem(page, IDC_BASE_DIR));
    PressKeys({VK_RETURN});
    Pump(150, h.Sheet());
    EXPECT_TRUE(h.IsOpen());
    // Enter on the OK button itself closes it.
    ::SetFocus(h.sheet->Item(IDOK));
    PressKeys({VK_RETURN});
    Pump(150, h.Sheet());
    EXPECT_FALSE(h.IsOpen());
}

TEST(UiSheet, ModalRunReportsOkAndCancel) {
    ORBILUXSetting live;
    auto profile = std::make_shared<MemoryProfile>();
    CSettingsStorageMemory storage(profile, L"ORBILUXSettings");
    OptionSheetServices services;
    services.monitors = TwoMonitors;
    services.onShown = [](CCSNOptionSheet& sheet) {
        ::SendMessageW(sheet.Handle(), WM_COMMAND, IDCANCEL, 0);
    };
    EXPECT_FALSE(RunOptionSheet(nullptr, live, storage, services));
    EXPECT_TRUE(profile->sections.empty());
    services.onShown = [](CCSNOptionSheet& sheet) {
        ::SendDlgItemMessageW(sheet.SimplePage().Handle(), IDC_EASY_KEY, CB_SETCURSEL, 3, 0);
        ::SetFocus(sheet.Item(IDOK));
        ::SendMessageW(sheet.Handle(), WM_COMMAND, IDOK, 0);
    };
    EXPECT_TRUE(RunOptionSheet(nullptr, live, storage, services));
    EXPECT_EQ(live.key_.printVirtualKeyCode_, 0x72u);  // F3
    EXPECT_NE(profile->Find(L"ORBILUXSettings.key_", L"printVirtualKeyCode_"), nullptr);
}

TEST(UiEasyPage, KeyListStoresTheFunctionKeyWithoutModifiers) {
    SheetHarness h;
    h.live.key_.printmodifiers = 6;
    ASSERT_TRUE(h.Open());
    HWND page = h.sheet->SimplePage().Handle();
    EXPECT_EQ(ComboText(page, IDC_EASY_KEY), L"PrintScreen");
    EXPECT_EQ(::SendDlgItemMessageW(page, IDC_EASY_KEY, CB_GETCOUNT, 0, 0), 13);
    ::SendDlgItemMessageW(page, IDC_EASY_KEY, CB_SETCURSEL, 5, 0);
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.key_.printVirtualKeyCode_, 0x74u);
    EXPECT_EQ(h.live.key_.printmodifiers, 0u);
    EXPECT_EQ(h.live.key_.keyKind, 1);
}

TEST(UiEasyPage, ChoicesTheEasyPageCannotShowAreNarrowedOnOk) {
    SheetHarness h;
    h.live.key_.keyAction = 2;
    h.live.general_.screenTarget = 1;
    h.live.key_.logType = 1;
    h.live.output_.nPictureFormat = 3;
    h.live.output_.printMode = 2;
    h.live.printer_.pictureVerticalAlign = 1;
    h.live.printer_.printername_ = L"TamrikPDF";
    h.live.format_.fontSize = 14;
    ASSERT_TRUE(h.Open());
    HWND page = h.sheet->SimplePage().Handle();
    EXPECT_FALSE(Checked(page, IDC_EASY_FILE_ONLY));
    EXPECT_TRUE(Checked(page, IDC_EASY_DESKTOP));
    EXPECT_FALSE(Checked(page, IDC_EASY_ACTIVE_WINDOW));
    EXPECT_EQ(TextOf(::GetDlgItem(page, IDC_EASY_DESKTOP)), L"デスクトップ全体");
    EXPECT_TRUE(Checked(page, IDC_EASY_INFO));
    EXPECT_TRUE(Checked(page, IDC_EASY_MONOCHROME));
    EXPECT_FALSE(Checked(page, IDC_EASY_INVERT));
    EXPECT_EQ(TextOf(::GetDlgItem(page, IDC_EASY_FORMAT)), L"TIFF形式");
    EXPECT_EQ(TextOf(::GetDlgItem(page, IDC_EASY_POSITION)), L"画像印刷位置: 中央寄せ");
    EXPECT_EQ(TextOf(::GetDlgItem(page, IDC_EASY_PRINTER)), L"TamrikPDF");
    EXPECT_EQ(TextOf(::GetDlgItem(page, IDC_EASY_FONT_FACE)), L"MS UI Gothic");
    EXPECT_EQ(TextOf(::GetDlgItem(page, IDC_EASY_FONT_SIZE)), L"14");
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.key_.keyAction, 0);
    EXPECT_EQ(h.live.general_.screenTarget, 0);
    EXPECT_EQ(h.live.key_.logType, 2);
    EXPECT_EQ(h.live.output_.printMode, 2);
    EXPECT_EQ(h.live.output_.nPictureFormat, 3);  // shown, not edited
}

TEST(UiEasyPage, DefaultPrinterButtonShowsTheNewName) {
    SheetHarness h;
    h.live.printer_.printername_ = L"Old";
    OptionSheetServices services;
    services.openDefaultPrinter = [](PrinterSettings& p) { p.printername_ = L"TamrikPDF"; };
    ASSERT_TRUE(h.Open(services));
    HWND page = h.sheet->SimplePage().Handle();
    h.Click(page, IDC_EASY_FILE_ONLY);  // saved before the printer changes, kept after
    h.Click(page, IDC_EASY_DEFAULT_PRINTER);
    EXPECT_EQ(TextOf(::GetDlgItem(page, IDC_EASY_PRINTER)), L"TamrikPDF");
    EXPECT_TRUE(Checked(page, IDC_EASY_FILE_ONLY));
    EXPECT_EQ(h.sheet->Working().key_.keyAction, 1);
}

TEST(UiKeyPage, CtrlShiftQInTheHotkeyFieldRoundTrips) {
    SheetHarness h;
    h.live.simpleMode = false;
    ASSERT_TRUE(h.Open());
    HWND page = h.Page(1);
    HWND field = ::GetDlgItem(page, IDC_KEY_HOTKEY);
    EXPECT_FALSE(::IsWindowVisible(field));
    h.Click(page, IDC_KEY_USER);
    EXPECT_TRUE(::IsWindowVisible(field));
    EXPECT_EQ(LOBYTE(::SendMessageW(field, HKM_GETHOTKEY, 0, 0)), 0x2C);
    ::SetFocus(field);
    PressKeys({VK_CONTROL, VK_SHIFT, 'Q'});
    Pump(200, h.Sheet());
    EXPECT_EQ(WORD(::SendMessageW(field, HKM_GETHOTKEY, 0, 0)),
              MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.key_.printVirtualKeyCode_, 0x51u);
    EXPECT_EQ(h.live.key_.printmodifiers, 6u);
    EXPECT_EQ(h.live.key_.keyKind, 1);

    ASSERT_TRUE(h.Open());
    page = h.Page(1);
    field = ::GetDlgItem(page, IDC_KEY_HOTKEY);
    EXPECT_TRUE(::IsWindowVisible(field));
    EXPECT_EQ(WORD(::SendMessageW(field, HKM_GETHOTKEY, 0, 0)),
              MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
    // An empty field keeps the stored key; the standard key resets it.
    ::SendMessageW(field, HKM_SETHOTKEY, 0, 0);
    h.PressOk();
    EXPECT_EQ(h.live.key_.printVirtualKeyCode_, 0x51u);
    ASSERT_TRUE(h.Open());
    page = h.Page(1);
    h.Click(page, IDC_KEY_STANDARD);
    h.PressOk();
    EXPECT_EQ(h.live.key_.printVirtualKeyCode_, 0x2Cu);
    EXPECT_EQ(h.live.key_.printmodifiers, 0u);
}

TEST(UiMonitorPage, PerMonitorTargetNeedsATile) {
    SheetHarness h;
    h.live.simpleMode = false;
    ASSERT_TRUE(h.Open());
    CSettingsMonitorOptionPage& monitors = h.sheet->MonitorPage();
    HWND page = h.Page(0);
    ASSERT_EQ(monitors.TileCount(), 2u);
    EXPECT_FALSE(::IsWindowVisible(monitors.Tile(0)));
    h.Click(page, IDC_TARGET_MONITOR);
    EXPECT_TRUE(::IsWindowVisible(monitors.Tile(0)));
    EXPECT_EQ(TextOf(monitors.Tile(1)), L"2");
    ::SendMessageW(monitors.Tile(0), BM_CLICK, 0, 0);
    ::SendMessageW(monitors.Tile(1), BM_CLICK, 0, 0);
    EXPECT_FALSE(monitors.TileChecked(0));
    EXPECT_FALSE(monitors.TileChecked(1));
    {
        BoxAnswer watch(kNoMonitorCaption);
        h.PressOk();
        EXPECT_EQ(BoxAnswer::seen, 1);
        EXPECT_EQ(BoxAnswer::text, tamrik::ResourceString(IDS_NO_MONITOR));
        EXPECT_EQ(StringIn(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), IDS_NO_MONITOR),
                  L"1つ以上のモニターを選択してください。");
        EXPECT_EQ(StringIn(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), IDS_NO_MONITOR),
                  L"Select at least one monitor.");
    }
    EXPECT_TRUE(h.IsOpen());
    // The refused OK has stored nothing: neither the live record nor the file changed.
    EXPECT_EQ(h.live.general_.screenTarget, 0);
    EXPECT_TRUE(h.profile->sections.empty());
    // Another page cannot be chosen either.
    {
        BoxAnswer watch(kNoMonitorCaption);
        EXPECT_FALSE(h.sheet->SelectItem(1));
        EXPECT_EQ(BoxAnswer::seen, 1);
    }
    EXPECT_EQ(h.sheet->CurrentItem()->Page(), &monitors);
    {
        BoxAnswer watch(kNoMonitorCaption);
        h.PressCancel();
        Pump(150);
        EXPECT_EQ(BoxAnswer::seen, 0);
    }
    EXPECT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.general_.screenTarget, 0);
    EXPECT_TRUE(h.profile->sections.empty());

    // Escape (Cancel away from the Cancel button) warns, then closes all the same.
    ASSERT_TRUE(h.Open());
    page = h.Page(0);
    h.Click(page, IDC_TARGET_MONITOR);
    ::SendMessageW(h.sheet->MonitorPage().Tile(0), BM_CLICK, 0, 0);
    ::SendMessageW(h.sheet->MonitorPage().Tile(1), BM_CLICK, 0, 0);
    {
        BoxAnswer watch(kNoMonitorCaption);
        ::SendMessageW(h.Sheet(), WM_COMMAND, IDCANCEL, 0);
        Pump(50);
        EXPECT_EQ(BoxAnswer::seen, 1);
    }
    EXPECT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.general_.screenTarget, 0);
    EXPECT_TRUE(h.profile->sections.empty());
}

TEST(UiMonitorPage, WholeDesktopAcceptsNoTileAndStaleIndexesAreDropped) {
    SheetHarness h;
    h.live.simpleMode = false;
    h.live.general_.disabledMonitors_ = {5, 1};
    h.live.general_.screenTarget = 1;
    ASSERT_TRUE(h.Open());
    h.Page(0);
    EXPECT_TRUE(h.sheet->MonitorPage().TileChecked(0));
    EXPECT_FALSE(h.sheet->MonitorPage().TileChecked(1));
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.general_.disabledMonitors_, (std::vector<int32_t>{1}));

    ASSERT_TRUE(h.Open());
    HWND page = h.Page(0);
    CSettingsMonitorOptionPage& monitors = h.sheet->MonitorPage();
    EXPECT_TRUE(::IsWindowVisible(monitors.Tile(0)));
    ::SendMessageW(monitors.Tile(0), BM_CLICK, 0, 0);
    h.Click(page, IDC_TARGET_DESKTOP);
    EXPECT_FALSE(::IsWindowVisible(monitors.Tile(0)));
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.general_.screenTarget, 0);
    EXPECT_EQ(h.live.general_.disabledMonitors_, (std::vector<int32_t>{0, 1}));
}

TEST(UiPicturePage, ScaleOutsideOneToHundredFiftyIsRefusedAndLeavingClamps) {
    SheetHarness h;
    h.live.simpleMode = false;
    h.live.output_.baseDirName = L"C:\\shots";
    ASSERT_TRUE(h.Open());
    HWND page = h.Page(4);
    HWND scale = ::GetDlgItem(page, IDC_SCALE);
    EXPECT_EQ(TextOf(scale), L"100");
    EXPECT_EQ(ComboText(page, IDC_PICTURE_FORMAT), L"JPEG");
    for (const wchar_t* text : {L"0", L"151", L"x"}) {
        ::SetFocus(::GetDlgItem(page, IDC_BASE_DIR));  // typed elsewhere: no clamping on the way to OK
        ExpectOkRefused(h, scale, text, L"画像形式設定", L"150");
    }
    // Leaving the field clamps it (and unreadable text becomes 100).
    const std::pair<const wchar_t*, const wchar_t*> leaving[] = {
        {L"151", L"150"}, {L"0", L"1"}, {L"abc", L"100"}};
    for (const auto& [typed, shown] : leaving) {
        ::SetFocus(scale);
        ::SetWindowTextW(scale, typed);
        ::SetFocus(::GetDlgItem(page, IDC_BASE_DIR));
        EXPECT_EQ(TextOf(scale), shown) << typed;
    }
    EXPECT_EQ(::SendDlgItemMessageW(page, IDC_SCALE_TRACK, TBM_GETPOS, 0, 0), 100);
    ::SetWindowTextW(scale, L"150");
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.output_.scale, 150u);
    EXPECT_EQ(h.live.output_.baseDirName, L"C:\\shots");
}

TEST(UiPicturePage, EmptyFolderProposesOneAndListsComeFromTheStringTable) {
    SheetHarness h;
    h.live.simpleMode = false;
    h.live.output_.bpp = 0;
    h.live.output_.printMode = 3;
    ASSERT_TRUE(h.Open());
    HWND page = h.Page(4);
    EXPECT_FALSE(TextOf(::GetDlgItem(page, IDC_BASE_DIR)).empty());
    EXPECT_EQ(::SendDlgItemMessageW(page, IDC_PRINT_MODE, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(::SendDlgItemMessageW(page, IDC_BPP, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(::SendDlgItemMessageW(page, IDC_BPP, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(::SendDlgItemMessageW(page, IDC_PRINT_MODE, CB_GETCURSEL, 0, 0), 3);
}

TEST(UiLayoutPage, NumbersAndPrinterButtons) {
    SheetHarness h;
    h.live.simpleMode = false;
    int dialogs = 0;
    OptionSheetServices services;
    services.choosePrinter = [&](HWND, PrinterSettings& p) {
        ++dialogs;
        EXPECT_EQ(p.marginHead, 25);  // the page was applied before the dialog
        p.printername_ = L"TamrikPDF";
        return true;
    };
    ASSERT_TRUE(h.Open(services));
    HWND page = h.Page(2);
    EXPECT_EQ(TextOf(::GetDlgItem(page, IDC_MARGIN_HEAD)), L"10");
    ::SetDlgItemTextW(page, IDC_MARGIN_HEAD, L"25");
    h.Click(page, IDC_PRINTER_BUTTON);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(TextOf(::GetDlgItem(page, IDC_PRINTER_NAME)), L"TamrikPDF");
    ::SetDlgItemTextW(page, IDC_LINE_HEIGHT_FOOT, L"");
    {
        BoxAnswer watch(L"印刷設定");
        h.PressOk();
        EXPECT_EQ(BoxAnswer::seen, 1);
    }
    EXPECT_TRUE(h.IsOpen());
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(page, IDC_LINE_HEIGHT_FOOT));
    ::SetDlgItemTextW(page, IDC_LINE_HEIGHT_FOOT, L"3");
    h.Click(page, IDC_ALIGN_CENTRE);
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.printer_.marginHead, 25);
    EXPECT_EQ(h.live.printer_.lineHeightFoot, 3);
    EXPECT_EQ(h.live.printer_.pictureVerticalAlign, 1);
}

TEST(UiFormatPage, AStoredFaceTheListLacksIsKeptAndSizesBeyondAnyPageAreRefused) {
    SheetHarness h;
    h.live.simpleMode = false;
    h.live.format_.fontFace = L"No Such Face Anywhere";
    h.live.format_.fontSize = 9;
    ASSERT_TRUE(h.Open());
    HWND page = h.Page(3);
    EXPECT_EQ(ComboText(page, IDC_FONT_FACE), L"No Such Face Anywhere");
    EXPECT_EQ(TextOf(::GetDlgItem(page, IDC_FONT_SIZE)), L"9");
    // A size that is not a number, a negative one or one no page holds is refused.
    for (const wchar_t* text : {L"big", L"-5", L"99999", L"10001"})
        ExpectOkRefused(h, ::GetDlgItem(page, IDC_FONT_SIZE), text, L"書式設定", L"10000");
    EXPECT_TRUE(h.profile->sections.empty());
    ::SetDlgItemTextW(page, IDC_FONT_SIZE, L"72");
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.format_.fontFace, L"No Such Face Anywhere");
    EXPECT_EQ(h.live.format_.fontSize, 72u);

    // A face typed into the box is taken as it is.
    ASSERT_TRUE(h.Open());
    page = h.Page(3);
    ::SetDlgItemTextW(page, IDC_FONT_FACE, L"Typed Face");
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.format_.fontFace, L"Typed Face");
}

TEST(UiFormatPage, AFaceFromTheFontDialogJoinsTheListWithItsSize) {
    SheetHarness h;
    h.live.simpleMode = false;
    h.live.format_.fontFace = L"MS UI Gothic";
    h.live.format_.fontSize = 11;
    std::wstring offered;
    OptionSheetServices services;
    services.chooseFont = [&](CHOOSEFONTW& choose) {
        offered = choose.lpLogFont->lfFaceName;
        lstrcpynW(choose.lpLogFont->lfFaceName, L"Tamrik Dialog Face", LF_FACESIZE);
        choose.iPointSize = 480;  // tenths of a point: above the up-down's range
        return true;
    };
    ASSERT_TRUE(h.Open(services));
    HWND page = h.Page(3);
    h.Click(page, IDC_FONT_BUTTON);
    EXPECT_EQ(offered, L"MS UI Gothic");
    EXPECT_EQ(ComboText(page, IDC_FONT_FACE), L"Tamrik Dialog Face");
    EXPECT_EQ(TextOf(::GetDlgItem(page, IDC_FONT_SIZE)), L"48");
    EXPECT_EQ(h.sheet->Working().format_.fontFace, L"Tamrik Dialog Face");
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.format_.fontFace, L"Tamrik Dialog Face");
    EXPECT_EQ(h.live.format_.fontSize, 48u);
}

TEST(UiFormatPage, LinesLongerThanTheFileKeepsAreRefused) {
    SheetHarness h;
    h.live.simpleMode = false;
    const std::wstring longest = L" " + std::wstring(1019, L'x');
    h.live.format_.headStrings = {L"$date", longest + L"x"};
    ASSERT_TRUE(h.Open());
    h.Page(3);
    HWND head = h.sheet->FormatPage().HeadList().Handle();
    {
        BoxAnswer watch(L"書式設定");
        h.PressOk();
        EXPECT_EQ(BoxAnswer::seen, 1);
        EXPECT_NE(BoxAnswer::text.find(L"1020"), std::wstring::npos);
    }
    EXPECT_TRUE(h.IsOpen());
    EXPECT_EQ(::GetFocus(), head);
    EXPECT_EQ(::SendMessageW(head, LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(h.profile->sections.empty());
    // Leaving the page is refused the same way.
    {
        BoxAnswer watch(L"書式設定");
        EXPECT_FALSE(h.sheet->SelectItem(0));
        EXPECT_EQ(BoxAnswer::seen, 1);
    }
    h.sheet->FormatPage().HeadList().SetLines({L"$date", longest});
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.format_.headStrings, (std::vector<std::wstring>{L"$date", longest}));
}

TEST(UiLayoutPage, DistancesBeyondAnyPageAreRefusedWithAMessage) {
    SheetHarness h;
    h.live.simpleMode = false;
    ASSERT_TRUE(h.Open());
    HWND page = h.Page(2);
    for (const wchar_t* text : {L"4294967295", L"1001", L"99999999999"})
        ExpectOkRefused(h, ::GetDlgItem(page, IDC_MARGIN_HEAD), text, L"印刷設定", L"1000");
    EXPECT_TRUE(h.profile->sections.empty());
    ::SetDlgItemTextW(page, IDC_MARGIN_HEAD, L"1000");
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.printer_.marginHead, 1000);
}

TEST(UiSheet, RefusedOkStoresNothingUntilEveryPageAccepts) {
    SheetHarness h;
    h.live.simpleMode = false;
    h.live.output_.baseDirName = L"C:\\shots";
    ASSERT_TRUE(h.Open());
    h.Click(h.Page(1), IDC_ACTION_BOTH);
    HWND layout = h.Page(2);
    HWND picture = h.Page(4);
    ::SetDlgItemTextW(picture, IDC_SCALE, L"0");
    {
        BoxAnswer watch(L"画像形式設定");
        h.PressOk();
        EXPECT_EQ(BoxAnswer::seen, 1);
    }
    EXPECT_TRUE(h.IsOpen());
    EXPECT_EQ(h.live.key_.keyAction, 0);
    EXPECT_TRUE(h.profile->sections.empty());

    // A page left earlier whose value no longer holds is brought up with its message.
    ::SetDlgItemTextW(picture, IDC_SCALE, L"50");
    ::SetDlgItemTextW(layout, IDC_MARGIN_FOOT, L"5000");
    {
        BoxAnswer watch(L"印刷設定");
        h.PressOk();
        EXPECT_EQ(BoxAnswer::seen, 1);
    }
    EXPECT_TRUE(h.IsOpen());
    EXPECT_EQ(h.sheet->CurrentItem()->Page(), &h.sheet->LayoutPage());
    EXPECT_TRUE(::IsWindowVisible(layout));
    EXPECT_FALSE(::IsWindowVisible(picture));
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(layout, IDC_MARGIN_FOOT));
    EXPECT_TRUE(h.profile->sections.empty());

    // Cancel says nothing more and leaves the record and the file as they were.
    {
        BoxAnswer watch(L"印刷設定");
        h.PressCancel();
        Pump(150);
        EXPECT_EQ(BoxAnswer::seen, 0);
    }
    EXPECT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.key_.keyAction, 0);
    EXPECT_EQ(h.live.output_.scale, 100u);
    EXPECT_TRUE(h.profile->sections.empty());
}

TEST(UiSheet, AnEntryWithoutCaptionTakesThePagesWholeTitle) {
    SheetHarness h;
    h.live.simpleMode = true;
    ASSERT_TRUE(h.Open());
    COptionPage& page = h.sheet->SimplePage();
    const std::wstring longTitle = std::wstring(300, L'頁') + L"end";
    ASSERT_TRUE(::SetWindowTextW(page.Handle(), longTitle.c_str()));
    EXPECT_EQ(COptionItem(L"", &page).Caption(), longTitle);
    EXPECT_EQ(COptionItem(L"own", &page).Caption(), L"own");
}

TEST(UiSheet, ADpiChangeTakesTheSuggestedPlaceAndLaysTheSheetOutAgain) {
    SheetHarness h;
    h.live.simpleMode = false;
    ASSERT_TRUE(h.Open());
    RECT before{}, clientBefore{};
    ::GetWindowRect(h.Sheet(), &before);
    ::GetClientRect(h.Sheet(), &clientBefore);
    // The system suggests a place and a size; the sheet keeps the place and
    // sizes itself for its pages again.
    RECT suggested{before.left + 40, before.top + 30, before.left + 140, before.top + 130};
    ::SendMessageW(h.Sheet(), WM_DPICHANGED, MAKEWPARAM(144, 144), LPARAM(&suggested));
    RECT after{}, client{};
    ::GetWindowRect(h.Sheet(), &after);
    ::GetClientRect(h.Sheet(), &client);
    EXPECT_EQ(after.left, suggested.left);
    EXPECT_EQ(after.top, suggested.top);
    EXPECT_EQ(client.right, clientBefore.right);
    EXPECT_EQ(client.bottom, clientBefore.bottom);
    const RECT page = h.sheet->PageRect();
    EXPECT_LE(page.right, client.right);
    EXPECT_LE(page.bottom, client.bottom);
    RECT ok{};
    ::GetWindowRect(h.sheet->Item(IDOK), &ok);
    ::MapWindowPoints(nullptr, h.Sheet(), reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_LE(ok.bottom, client.bottom);
    EXPECT_GE(ok.top, page.bottom);
}
