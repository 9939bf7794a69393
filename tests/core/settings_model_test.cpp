// The settings record moved through the in-memory storage: defaults, the
// failure rules of a load and a save, the device mode and copies.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "settings/memory_storage.h"
#include "settings/settings.h"
#include "tests/common/settings_fixtures.h"

using namespace orbilux;
using tamrik_test::ChangedRecord;
using tamrik_test::ExpectStoredFieldsEqual;
using tamrik_test::MakeDevMode;

namespace {

const wchar_t kRoot[] = L"ORBILUXSettings";

class SettingsModel : public ::testing::Test {
protected:
    bool SaveRecord(ORBILUXSetting& r) {
        CSettingsStorageMemory storage(profile, kRoot);
        return r.Save(storage);
    }
    bool LoadRecord(ORBILUXSetting& r) {
        CSettingsStorageMemory storage(profile, kRoot);
        return r.Load(storage);
    }
    void Put(const std::wstring& group, const std::wstring& key, const std::wstring& value) {
        profile->Set(std::wstring(kRoot) + L"." + group, key, value);
    }

    std::shared_ptr<MemoryProfile> profile = std::make_shared<MemoryProfile>();
};

}  // namespace

TEST_F(SettingsModel, EmptyStorageLoadsPureDefaults) {
    ORBILUXSetting loaded = ChangedRecord();
    loaded.general_.disabledMonitors_.clear();
    loaded.format_.headStrings.clear();
    loaded.format_.footStrings.clear();
    loaded.printer_.devModeBlock.clear();
    loaded.printer_.printername_.clear();
    loaded.printer_.ptPaperSize = {};
    loaded.printer_.rtMinMargin = {};
    loaded.printer_.infoBoxRect = {};
    EXPECT_TRUE(LoadRecord(loaded));
    ExpectStoredFieldsEqual(loaded, ORBILUXSetting{});

    const ORBILUXSetting d;
    EXPECT_EQ(d.format_.fontFace, L"MS UI Gothic");
    EXPECT_EQ(d.format_.fontSize, 11u);
    EXPECT_EQ(d.key_.printVirtualKeyCode_, 0x2Cu);
    EXPECT_EQ(d.key_.printmodifiers, 0u);
    EXPECT_EQ(d.key_.shotmodifiers, 3u);
    EXPECT_TRUE(d.key_.bEnableShotKey_);
    EXPECT_EQ(d.printer_.rtMargin, (SettingsRect{1500, 1000, 1000, 1000}));
    EXPECT_EQ(d.output_.nPictureFormat, 2);
    EXPECT_EQ(d.output_.bpp, 3);
    EXPECT_EQ(d.output_.scale, 100u);
    EXPECT_TRUE(d.simpleMode);
    EXPECT_EQ(d.printer_.printerRef, nullptr);
    EXPECT_FALSE(d.printer_.HasDevMode());
}

TEST_F(SettingsModel, SavedRecordLoadsBackIdentical) {
    ORBILUXSetting saved = ChangedRecord();
    ASSERT_TRUE(SaveRecord(saved));
    ORBILUXSetting loaded;
    ASSERT_TRUE(LoadRecord(loaded));
    ExpectStoredFieldsEqual(loaded, saved);
    EXPECT_EQ(loaded.printer_.DevModeDriverExtra(), 37);
}

TEST_F(SettingsModel, UnparsableValuesTakeDefaultsAndLoadStillSucceeds) {
    ORBILUXSetting saved = ChangedRecord();
    ASSERT_TRUE(SaveRecord(saved));
    Put(L"key_", L"keyAction", L"abc");
    Put(L"key_", L"logType", L"2abc");
    Put(L"key_", L"keyKind", L"");
    Put(L"general_", L"bDisplaySplash_", L"true");             // only "TRUE" is true
    Put(L"general_", L"bEnableMutliMonitor_", L"TRUE______");  // longer than a bool can be
    Put(L"format_", L"fontFace", std::wstring(1023, L'x'));
    profile->Set(kRoot, L"simpleMode", L"true");
    // A broken rectangle: the margins fall back, the paper size is kept.
    Put(L"printer_", L"rtMargin", L"00");
    Put(L"printer_", L"ptPaperSize", L"00");

    ORBILUXSetting loaded = saved;
    loaded.general_.bEnableMutliMonitor_ = false;
    EXPECT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.key_.keyAction, 0);
    EXPECT_EQ(loaded.key_.logType, 2);
    EXPECT_EQ(loaded.key_.keyKind, 0);
    EXPECT_FALSE(loaded.general_.bDisplaySplash_);
    EXPECT_TRUE(loaded.general_.bEnableMutliMonitor_);
    EXPECT_EQ(loaded.format_.fontFace, L"MS UI Gothic");
    EXPECT_FALSE(loaded.simpleMode);
    EXPECT_EQ(loaded.printer_.rtMargin, (SettingsRect{1500, 1000, 1000, 1000}));
    EXPECT_EQ(loaded.printer_.ptPaperSize, saved.printer_.ptPaperSize);
    EXPECT_EQ(loaded.key_.shotmodifiers, 1u);
}

TEST_F(SettingsModel, ListWithGapsLoadsTheItemsThatExist) {
    Put(L"format_.headStrings", L"Count", L"3");
    Put(L"format_.headStrings", L"Item.0", L"first");
    Put(L"format_.headStrings", L"Item.2", L"third");
    // Items without "Count" are not a list.
    Put(L"format_.footStrings", L"Item.0", L"orphan");
    ORBILUXSetting loaded;
    loaded.format_.footStrings = {L"old"};
    EXPECT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.format_.headStrings, (std::vector<std::wstring>{L"first", L"third"}));
    EXPECT_TRUE(loaded.format_.footStrings.empty());
}

TEST_F(SettingsModel, ShorterListAfterLongerKeepsOldItemsButLoadsCount) {
    ORBILUXSetting r;
    r.general_.disabledMonitors_ = {0, 1, 2, 3, 4};
    ASSERT_TRUE(SaveRecord(r));
    r.general_.disabledMonitors_ = {7, 8, 9};
    ASSERT_TRUE(SaveRecord(r));
    const std::wstring section = L"ORBILUXSettings.general_.disabledMonitors_";
    ASSERT_NE(profile->Find(section, L"Item.4"), nullptr);
    EXPECT_EQ(*profile->Find(section, L"Count"), L"3");
    ORBILUXSetting loaded;
    ASSERT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.general_.disabledMonitors_, (std::vector<int32_t>{7, 8, 9}));
}

TEST_F(SettingsModel, HugeCountIsBounded) {
    Put(L"general_.disabledMonitors_", L"Count", L"4000000000");
    Put(L"general_.disabledMonitors_", L"Item.0", L"1");
    Put(L"general_.disabledMonitors_", L"Item.1", L"4");
    Put(L"general_.disabledMonitors_", L"Item.20000", L"9");
    ORBILUXSetting loaded;
    EXPECT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.general_.disabledMonitors_, (std::vector<int32_t>{1, 4}));
}

TEST_F(SettingsModel, ResetToDefaultsKeepsPrinterChoiceListsAndRunTimeState) {
    ORBILUXSetting r = ChangedRecord();
    int printer = 0;
    r.printer_.printerRef = &printer;
    r.output_.currentDir = L"C:\\out";
    r.format_.computerInfo.pageCount = 4;
    CSettingsStorageMemory unused(profile, kRoot);
    EXPECT_TRUE(r.Serialize(true, unused, false, true));
    EXPECT_TRUE(profile->sections.empty());

    EXPECT_FALSE(r.printer_.bSetPrinter_);
    EXPECT_FALSE(r.printer_.bSetPage_);
    EXPECT_EQ(r.printer_.printername_, L"PDF");
    EXPECT_EQ(r.printer_.devModeBlock, MakeDevMode(37, 3));
    EXPECT_EQ(r.printer_.ptPaperSize, (SettingsPoint{21000, 29700}));
    EXPECT_EQ(r.printer_.rtMinMargin, (SettingsRect{-1, 0, 635, 1270}));
    EXPECT_EQ(r.printer_.infoBoxRect, (SettingsRect{-1, -2, 30, 40}));
    EXPECT_EQ(r.printer_.rtMargin, (SettingsRect{1500, 1000, 1000, 1000}));
    EXPECT_EQ(r.printer_.marginFoot, 10);
    EXPECT_EQ(r.printer_.printerRef, &printer);
    EXPECT_EQ(r.general_.disabledMonitors_.size(), 2u);
    EXPECT_EQ(r.format_.headStrings.size(), 2u);
    EXPECT_EQ(r.format_.fontFace, L"MS UI Gothic");
    EXPECT_EQ(r.key_.keyAction, 0);
    EXPECT_EQ(r.key_.shotmodifiers, 3u);
    EXPECT_EQ(r.output_.baseDirName, L"");
    EXPECT_EQ(r.output_.scale, 100u);
    EXPECT_EQ(r.output_.currentDir, L"C:\\out");
    EXPECT_EQ(r.format_.computerInfo.pageCount, 4);
    EXPECT_TRUE(r.simpleMode);
    EXPECT_TRUE(r.general_.bDisplaySplash_);
}

// Compared through what a save writes, so that a stored item the reset
// forgets shows up without naming it here.
TEST_F(SettingsModel, ResetPutsBackEveryStoredValueButTheKeptOnes) {
    const auto saveToNewProfile = [this](ORBILUXSetting r) {
        profile = std::make_shared<MemoryProfile>();
        EXPECT_TRUE(SaveRecord(r));
        return *profile;
    };
    const MemoryProfile defaults = saveToNewProfile(ORBILUXSetting{});
    const MemoryProfile changed = saveToNewProfile(ChangedRecord());
    ORBILUXSetting reset = ChangedRecord();
    CSettingsStorageMemory unused(std::make_shared<MemoryProfile>(), kRoot);
    ASSERT_TRUE(reset.Serialize(true, unused, false, true));
    const MemoryProfile afterReset = saveToNewProfile(reset);

    const std::wstring printer = std::wstring(kRoot) + L".printer_";
    const std::set<std::wstring> keptInPrinter = {L"printername_", L"devmode_",    L"devmode_Extra",
                                                  L"ptPaperSize",  L"rtMinMargin", L"infoBoxRect"};
    const auto isKept = [&](const std::wstring& section, const std::wstring& key) {
        const bool isList = section.find(L"disabledMonitors_") != std::wstring::npos ||
                            section.find(L"Strings") != std::wstring::npos;
        return isList || (section == printer && keptInPrinter.count(key) != 0);
    };
    size_t checked = 0;
    for (const MemoryProfile::Section& section : changed.sections) {
        for (const MemoryProfile::Entry& entry : section.entries) {
            SCOPED_TRACE(testing::Message() << "[" << section.name << "] " << entry.key);
            const std::wstring* fallback = defaults.Find(section.name, entry.key);
            const std::wstring* now = afterReset.Find(section.name, entry.key);
            ASSERT_NE(now, nullptr);
            if (isKept(section.name, entry.key)) {
                EXPECT_EQ(*now, entry.value);
            } else {
                // Every stored value of the changed record is away from its
                // default, so a value the reset leaves would show here.
                ASSERT_NE(fallback, nullptr);
                EXPECT_NE(*fallback, entry.value);
                EXPECT_EQ(*now, *fallback);
            }
            ++checked;
        }
    }
    size_t written = 0;
    for (const MemoryProfile::Section& section : afterReset.sections) written += section.entries.size();
    EXPECT_EQ(written, checked);
    EXPECT_GT(checked, 40u);
}

TEST_F(SettingsModel, CopiesOwnTheirDeviceModeAndShareThePrinterReferences) {
    ORBILUXSetting a = ChangedRecord();
    int printer = 0, devMode = 0;
    a.printer_.printerRef = &printer;
    a.printer_.devModeRef = &devMode;
    a.output_.baseFileName = L"MN2024";
    a.output_.captureTime.year = 2024;
    ORBILUXSetting b;
    b = a;
    EXPECT_EQ(b.printer_.printerRef, &printer);
    EXPECT_EQ(b.printer_.devModeRef, &devMode);
    EXPECT_EQ(b.output_.baseFileName, L"MN2024");
    EXPECT_EQ(b.output_.captureTime.year, 2024);
    ASSERT_EQ(b.printer_.devModeBlock, a.printer_.devModeBlock);
    EXPECT_NE(b.printer_.devModeBlock.data(), a.printer_.devModeBlock.data());

    const std::vector<uint8_t> original = a.printer_.devModeBlock;
    std::vector<uint8_t> other = MakeDevMode(5, 99);
    ASSERT_TRUE(b.printer_.SetDevMode(other.data(), other.size()));
    b.printer_.printername_ = L"Other";
    EXPECT_EQ(a.printer_.devModeBlock, original);
    EXPECT_EQ(a.printer_.printername_, L"PDF");
}

TEST_F(SettingsModel, DeviceModeRules) {
    ORBILUXSetting saved;
    saved.printer_.devModeBlock = MakeDevMode(300, 1);
    ASSERT_TRUE(SaveRecord(saved));
    const std::wstring printer = L"ORBILUXSettings.printer_";
    ASSERT_NE(profile->Find(printer, L"devmode_"), nullptr);
    EXPECT_EQ(profile->Find(printer, L"devmode_")->size(), 2 * kDevModeFixedSize + 2);
    EXPECT_EQ(profile->Find(printer, L"devmode_Extra")->size(), 2u * 300 + 2);

    // Missing driver-extra bytes load as zeros behind the fixed part.
    profile->Remove(printer, L"devmode_Extra");
    ORBILUXSetting loaded;
    ASSERT_TRUE(LoadRecord(loaded));
    ASSERT_EQ(loaded.printer_.devModeBlock.size(), kDevModeFixedSize + 300);
    EXPECT_TRUE(std::equal(loaded.printer_.devModeBlock.begin(),
                           loaded.printer_.devModeBlock.begin() + kDevModeFixedSize,
                           saved.printer_.devModeBlock.begin()));
    EXPECT_EQ(loaded.printer_.devModeBlock.back(), 0);

    // A damaged fixed part drops the held block; the other fields still load.
    std::wstring damaged = *profile->Find(printer, L"devmode_");
    damaged.back() = damaged.back() == L'0' ? L'1' : L'0';
    Put(L"printer_", L"devmode_", damaged);
    Put(L"printer_", L"marginHead", L"33");
    ASSERT_TRUE(LoadRecord(loaded));
    EXPECT_FALSE(loaded.printer_.HasDevMode());
    EXPECT_EQ(loaded.printer_.marginHead, 33);

    // Without a block nothing is written.
    profile = std::make_shared<MemoryProfile>();
    ORBILUXSetting none;
    ASSERT_TRUE(SaveRecord(none));
    EXPECT_EQ(profile->Find(printer, L"devmode_"), nullptr);
    EXPECT_EQ(profile->Find(printer, L"devmode_Extra"), nullptr);
}

TEST_F(SettingsModel, SetDevModeRejectsShortBlocks) {
    PrinterSettings p;
    std::vector<uint8_t> block = MakeDevMode(40, 0);
    EXPECT_FALSE(p.SetDevMode(block.data(), block.size() - 1));
    EXPECT_FALSE(p.HasDevMode());
    block.resize(block.size() + 10);  // trailing bytes beyond the driver extra are not kept
    EXPECT_TRUE(p.SetDevMode(block.data(), block.size()));
    EXPECT_EQ(p.devModeBlock.size(), kDevModeFixedSize + 40);
}

TEST_F(SettingsModel, FailedItemsFailASaveButNotALoad) {
    ORBILUXSetting r = ChangedRecord();
    profile->failingKeys = {L"marginHead"};
    EXPECT_FALSE(SaveRecord(r));
    // The other items were still written.
    EXPECT_NE(profile->Find(L"ORBILUXSettings.printer_", L"marginFoot"), nullptr);
    EXPECT_NE(profile->Find(kRoot, L"simpleMode"), nullptr);

    ORBILUXSetting loaded;
    EXPECT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.printer_.marginHead, 10);
    EXPECT_EQ(loaded.printer_.marginFoot, 6);
}

TEST_F(SettingsModel, GroupThatCannotBeOpenedFailsTheRootButOthersStillMove) {
    ORBILUXSetting r = ChangedRecord();
    ASSERT_TRUE(SaveRecord(r));
    profile->failingSections = {L"ORBILUXSettings.format_"};
    ORBILUXSetting loaded;
    EXPECT_FALSE(LoadRecord(loaded));
    EXPECT_EQ(loaded.format_.fontFace, L"MS UI Gothic");
    EXPECT_EQ(loaded.key_.keyAction, 2);
    EXPECT_EQ(loaded.output_.scale, 50u);
    EXPECT_FALSE(loaded.simpleMode);
    EXPECT_FALSE(SaveRecord(loaded));
}

namespace {

// A storage that stops at the first failure, and one that cannot begin.
class StrictStorage : public CSettingsStorageMemory {
public:
    using CSettingsStorageMemory::CSettingsStorageMemory;
    bool ContinueOnError() override { return false; }
};

class RefusingStorage : public CSettingsStorageMemory {
public:
    using CSettingsStorageMemory::CSettingsStorageMemory;
    bool BeginLoad() override { return false; }
    bool BeginSave() override { return false; }
};

}  // namespace

TEST_F(SettingsModel, WithoutContinueOnErrorTheFirstFailureStopsTheGroup) {
    KeySettings saved;
    saved.keyAction = 2;
    saved.logType = 1;
    CSettingsStorageMemory writer(profile, L"ORBILUXSettings.key_");
    ASSERT_TRUE(saved.Save(writer));
    profile->Set(L"ORBILUXSettings.key_", L"shotmodifiers", L"x");

    KeySettings loaded;
    loaded.keyAction = 1;
    loaded.printmodifiers = 9;
    StrictStorage strict(profile, L"ORBILUXSettings.key_");
    EXPECT_FALSE(loaded.Load(strict));
    EXPECT_EQ(loaded.printmodifiers, 0u);  // before the failure
    EXPECT_EQ(loaded.shotmodifiers, 3u);   // untouched, not reset
    EXPECT_EQ(loaded.keyAction, 1);        // not visited
}

TEST_F(SettingsModel, StorageThatCannotBeginFailsWithoutTouchingTheRecord) {
    GeneralSettings g;
    g.screenTarget = 1;
    RefusingStorage refusing(profile, L"ORBILUXSettings.general_");
    EXPECT_FALSE(g.Save(refusing));
    EXPECT_TRUE(profile->sections.empty());
    EXPECT_FALSE(g.Load(refusing));
    EXPECT_EQ(g.screenTarget, 1);
}

TEST_F(SettingsModel, PrinterGroupSavesAndLoadsAlone) {
    ORBILUXSetting r = ChangedRecord();
    CSettingsStorageMemory printerOnly(profile, L"ORBILUXSettings.printer_");
    ASSERT_TRUE(r.printer_.Save(printerOnly));
    ASSERT_EQ(profile->sections.size(), 1u);
    ORBILUXSetting loaded;
    EXPECT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.printer_.printername_, L"PDF");
    EXPECT_EQ(loaded.printer_.devModeBlock, r.printer_.devModeBlock);
    EXPECT_EQ(loaded.key_.keyAction, 0);
}

TEST(SettingsInstance, IsOneLiveRecord) {
    ORBILUXSetting& a = SettingsInstance();
    ORBILUXSetting& b = SettingsInstance();
    EXPECT_EQ(&a, &b);
}
