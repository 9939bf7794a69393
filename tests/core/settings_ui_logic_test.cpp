// The window-free rules of the settings dialog: easy page mappings, hotkey
// modifier encodings, monitor tiles, scale and font look-up.
#include <gtest/gtest.h>

#include "print/page_layout.h"
#include "settings_ui/option_logic.h"

using namespace orbilux;

TEST(SettingsUiHotkey, ModifiersRoundTripBetweenEncodings) {
    // Ctrl+Shift as registered (2|4) is Ctrl|Shift in the field (2|1).
    EXPECT_EQ(HotkeyFieldFromModifiers(kModControl | kModShift), kHotkeyFieldControl | kHotkeyFieldShift);
    EXPECT_EQ(HotkeyFieldFromModifiers(kModAlt), kHotkeyFieldAlt);
    EXPECT_EQ(ModifiersFromHotkeyField(kHotkeyFieldControl | kHotkeyFieldShift), 6u);
    // The extended-key flag never reaches the stored modifiers.
    EXPECT_EQ(ModifiersFromHotkeyField(kHotkeyFieldAlt | kHotkeyFieldExtended), kModAlt);
    for (uint32_t m = 0; m < 8; ++m) EXPECT_EQ(ModifiersFromHotkeyField(HotkeyFieldFromModifiers(m)), m);
}

TEST(SettingsUiLists, SplitKeepsOrderAndEmptyItems) {
    EXPECT_EQ(SplitListItems(L"BMP;PNG;JPEG"), (std::vector<std::wstring>{L"BMP", L"PNG", L"JPEG"}));
    EXPECT_EQ(SplitListItems(L"a;;b"), (std::vector<std::wstring>{L"a", L"", L"b"}));
    EXPECT_TRUE(SplitListItems(L"").empty());
    EXPECT_EQ(SplitListItems(kEasyKeyNames).size(), size_t(kEasyKeyCount));
}

TEST(SettingsUiMonitorTiles, TwoMonitorsSideBySideFillTheFrame) {
    std::vector<MonitorRect> monitors = {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}};
    auto tiles = LayoutMonitorTiles(monitors, 200, 100);
    ASSERT_EQ(tiles.size(), 2u);
    EXPECT_EQ(tiles[0].left, 0);
    EXPECT_EQ(tiles[0].right, 100);
    EXPECT_EQ(tiles[1].left, 100);
    EXPECT_EQ(tiles[1].right, 200);
    EXPECT_EQ(tiles[1].bottom, 100);
}

TEST(SettingsUiMonitorTiles, NegativeOriginsAndRoundingUp) {
    // A monitor left of and above the primary: the bounding box starts there.
    std::vector<MonitorRect> monitors = {{-1000, -300, 0, 450}, {0, 0, 1000, 750}};
    auto tiles = LayoutMonitorTiles(monitors, 300, 157);
    ASSERT_EQ(tiles.size(), 2u);
    EXPECT_EQ(tiles[0].left, 0);
    EXPECT_EQ(tiles[0].top, 0);
    EXPECT_EQ(tiles[1].left, 150);
    // 750 * 157 / 1050 = 112.14..., rounded up.
    EXPECT_EQ(tiles[1].bottom - tiles[1].top, 113);
}

TEST(SettingsUiMonitorTiles, AtMostSixteenTilesAndEmptyInput) {
    std::vector<MonitorRect> monitors;
    for (int i = 0; i < 20; ++i) monitors.push_back({i * 100, 0, i * 100 + 100, 100});
    EXPECT_EQ(LayoutMonitorTiles(monitors, 400, 50).size(), kMaxMonitorTiles);
    EXPECT_TRUE(LayoutMonitorTiles({}, 400, 50).empty());
    // A degenerate monitor does not divide by zero.
    EXPECT_EQ(LayoutMonitorTiles({{5, 5, 5, 5}}, 400, 50).size(), 1u);
}

TEST(SettingsUiMonitorTiles, DisabledListFollowsTiles) {
    // Unsorted stored list with an index beyond the tiles: that index is dropped.
    auto checked = TilesFromDisabledMonitors({3, 1, 7}, 4);
    EXPECT_EQ(checked, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(DisabledMonitorsFromTiles(checked), (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(DisabledMonitorsFromTiles({false, false}), (std::vector<int32_t>{0, 1}));
}

TEST(SettingsUiScale, LeavingTheFieldClampsAndUnreadableGivesHundred) {
    EXPECT_EQ(ScaleOnLeave(true, 0), 1u);
    EXPECT_EQ(ScaleOnLeave(true, 151), 150u);
    EXPECT_EQ(ScaleOnLeave(true, 75), 75u);
    EXPECT_EQ(ScaleOnLeave(false, 0), 100u);
    EXPECT_FALSE(IsAcceptedScale(0));
    EXPECT_FALSE(IsAcceptedScale(151));
    EXPECT_TRUE(IsAcceptedScale(150));
}

TEST(SettingsUiLimits, BandDistancesStopWhereThePrintLayoutClamps) {
    EXPECT_TRUE(IsAcceptedBandDistance(0));
    EXPECT_TRUE(IsAcceptedBandDistance(kMaxBandDistanceMm));
    EXPECT_FALSE(IsAcceptedBandDistance(kMaxBandDistanceMm + 1));
    EXPECT_FALSE(IsAcceptedBandDistance(4294967295u));  // stored as -1 before
    // Every accepted distance still moves the printed band; the first refused
    // one would print exactly like the largest accepted one.
    auto bodyTopAfterHeader = [](int gapMm) {
        PageRect body{0, 0, 100000, 1000000};
        PlaceBand(body, BandSide::Header, 1, 50, 1, gapMm, 10.0);
        return body.top;
    };
    const int largest = int(kMaxBandDistanceMm);
    EXPECT_LT(bodyTopAfterHeader(largest - 1), bodyTopAfterHeader(largest));
    EXPECT_EQ(bodyTopAfterHeader(largest), bodyTopAfterHeader(largest + 1));
}

TEST(SettingsUiLimits, FontSizesAndLineLengths) {
    EXPECT_TRUE(IsAcceptedFontSize(0));
    EXPECT_TRUE(IsAcceptedFontSize(int32_t(kMaxFontPoints)));
    EXPECT_FALSE(IsAcceptedFontSize(99999));
    EXPECT_FALSE(IsAcceptedFontSize(-1));

    // The longest accepted line still loads back when it has to be quoted.
    const std::wstring longest = L" " + std::wstring(kMaxTemplateLineChars - 1, L'x');
    EXPECT_LE(ProfileValueText(longest).size(), kMaxLoadedStringChars);
    EXPECT_EQ(FirstTooLongLine({L"a", longest}), -1);
    EXPECT_EQ(FirstTooLongLine({L"a", longest, longest + L"y", std::wstring(5000, L'z')}), 2);
    EXPECT_EQ(FirstTooLongLine({}), -1);
}

TEST(SettingsUiFonts, FirstEntryBeginningWithFaceIgnoringCase) {
    std::vector<std::wstring> names = {L"Arial", L"MS UI Gothic", L"ms ui gothic bold"};
    EXPECT_EQ(FindFontEntry(names, L"ms ui"), 1);
    EXPECT_EQ(FindFontEntry(names, L"MS UI Gothic"), 1);
    EXPECT_EQ(FindFontEntry(names, L"Not Installed"), -1);
}

TEST(SettingsUiEasyPage, KeyTableAndIndexLookup) {
    EXPECT_EQ(EasyKeyCode(0), 0x2Cu);
    EXPECT_EQ(EasyKeyCode(5), 0x74u);
    EXPECT_EQ(EasyKeyCode(12), 0x7Bu);
    KeySettings key;
    key.keyKind = 1;
    key.printVirtualKeyCode_ = 0x7B;
    EXPECT_EQ(EasyKeyIndex(key), 12);
    key.printVirtualKeyCode_ = 0x51;  // Q: not in the table
    EXPECT_EQ(EasyKeyIndex(key), 0);
    key.keyKind = 0;
    key.printVirtualKeyCode_ = 0x70;
    EXPECT_EQ(EasyKeyIndex(key), 0);
}

TEST(SettingsUiEasyPage, LoadThenSaveNarrowsToEasyChoices) {
    ORBILUXSetting record;
    record.key_.keyAction = 2;
    record.general_.screenTarget = 1;
    record.key_.logType = 1;
    record.key_.keyKind = 1;
    record.key_.printVirtualKeyCode_ = 0x51;
    record.key_.printmodifiers = 6;
    record.output_.printMode = 3;
    auto state = EasyStateFromRecord(record);
    EXPECT_FALSE(state.fileOnly);
    EXPECT_FALSE(state.activeWindowOnly);
    EXPECT_TRUE(state.showInfo);
    EXPECT_TRUE(state.monochrome && state.invert);
    EXPECT_EQ(state.keyIndex, 0);
    ASSERT_TRUE(ApplyEasyState(state, record));
    EXPECT_EQ(record.key_.keyAction, 0);
    EXPECT_EQ(record.general_.screenTarget, 0);
    EXPECT_EQ(record.key_.logType, 2);
    EXPECT_EQ(record.key_.keyKind, 0);
    EXPECT_EQ(record.key_.printVirtualKeyCode_, 0x2Cu);
    EXPECT_EQ(record.key_.printmodifiers, 0u);
    EXPECT_EQ(record.output_.printMode, 3);
}

TEST(SettingsUiEasyPage, EveryColourCombinationAndTheF5Key) {
    ORBILUXSetting record;
    for (int mode = 0; mode < 4; ++mode) {
        record.output_.printMode = mode;
        ASSERT_TRUE(ApplyEasyState(EasyStateFromRecord(record), record));
        EXPECT_EQ(record.output_.printMode, mode);
    }
    EasyPageState state = EasyStateFromRecord(record);
    state.keyIndex = 5;
    state.activeWindowOnly = true;
    state.fileOnly = true;
    ASSERT_TRUE(ApplyEasyState(state, record));
    EXPECT_EQ(record.key_.printVirtualKeyCode_, 0x74u);
    EXPECT_EQ(record.key_.printmodifiers, 0u);
    EXPECT_EQ(record.key_.keyKind, 1);
    EXPECT_EQ(record.general_.screenTarget, 2);
    EXPECT_EQ(record.key_.keyAction, 1);
}

TEST(SettingsUiEasyPage, NoKeySelectedFailsAfterTheHeaderSwitches) {
    ORBILUXSetting record;
    EasyPageState state = EasyStateFromRecord(record);
    state.keyIndex = -1;
    state.showHead = false;
    state.fileOnly = true;
    EXPECT_FALSE(ApplyEasyState(state, record));
    EXPECT_FALSE(record.printer_.enableHead);
    EXPECT_EQ(record.key_.keyAction, 0);
}

TEST(SettingsUiEasyPage, SummaryTexts) {
    EXPECT_EQ(EasyPictureFormatText(3), L"TIFF形式");
    EXPECT_EQ(EasyPictureFormatText(0), L"BITMAP形式");
    EXPECT_EQ(EasyPictureFormatText(9), L"形式");
    EXPECT_EQ(EasyPicturePositionText(1), L"画像印刷位置: 中央寄せ");
    EXPECT_EQ(EasyPicturePositionText(2), L"画像印刷位置: 下寄せ");
    EXPECT_EQ(EasyPicturePositionText(7), L"画像印刷位置: ");
}

TEST(SettingsUiCaptureDelay, DigitsFromZeroToTenOnly) {
    const std::pair<const wchar_t*, uint32_t> good[] = {
        {L"0", 0}, {L"10", 10}, {L"007", 7}, {L" 3 ", 3}, {L"0000000000000000000010", 10}};
    for (const auto& [text, expected] : good) {
        uint32_t seconds = 99;
        EXPECT_TRUE(ParseCaptureDelayField(text, seconds)) << text;
        EXPECT_EQ(seconds, expected) << text;
    }
    // Trailing letters are refused here even where the system's own reading
    // of a number field would take the digits before them.
    for (const wchar_t* text : {L"", L" ", L"11", L"1x", L"x1", L"-1", L"+1", L"1.5", L"1 0", L"\x0661",
                                L"4294967306", L"99999999999999999999999"}) {
        uint32_t seconds = 99;
        EXPECT_FALSE(ParseCaptureDelayField(text, seconds)) << text;
        EXPECT_EQ(seconds, 99u) << text;
    }
}
