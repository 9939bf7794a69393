// The settings record in a real INI file through the private-profile
// functions: the exact file a save writes, Japanese text, the edge cases of
// reading values back, and the all-or-nothing save.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "settings/settings.h"
#include "settings/win32/ini_file_storage.h"
#include "tests/common/settings_fixtures.h"

using namespace orbilux;
using tamrik_test::ExpectStoredFieldsEqual;
using tamrik_test::FullRecord;
using tamrik_test::MakeDevMode;

namespace {

static_assert(sizeof(DEVMODEW) == kDevModeFixedSize, "the fixed device mode is the platform's DEVMODEW");
static_assert(offsetof(DEVMODEW, dmDriverExtra) == kDevModeDriverExtraOffset, "driver-extra count offset");

std::vector<char> ReadBytes(const std::wstring& path) {
    std::vector<char> bytes;
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.insert(bytes.end(), buffer, buffer + read);
    ::CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// A UTF-16LE file with its byte-order mark.
void WriteUtf16File(const std::wstring& path, const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    WriteBytes(path, bytes);
}

// The file's text when it is UTF-16LE with a byte-order mark, as UTF-8.
bool DecodeUtf16File(const std::vector<char>& bytes, std::string& utf8) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xFE)
        return false;
    std::wstring wide;
    for (size_t i = 2; i < bytes.size(); i += 2)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                     static_cast<unsigned char>(bytes[i + 1]) << 8);
    utf8 = tamrik::WideToUtf8(wide);
    return true;
}

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

// tests/data/settings of the source tree: from TAMRIK_SOURCE_DIR, or found
// by walking up from the test program's folder.
std::wstring DataFolder() {
    if (const wchar_t* source = _wgetenv(L"TAMRIK_SOURCE_DIR")) {
        std::wstring folder = source;
        if (!folder.empty() && folder[0] == L'/') folder = L"Z:" + folder;
        return folder + L"\\tests\\data\\settings";
    }
    std::wstring folder = ModuleFolder();
    while (!folder.empty()) {
        const std::wstring candidate = folder + L"\\tests\\data\\settings";
        if (::GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return candidate;
        const size_t slash = folder.find_last_of(L"\\/");
        if (slash == std::wstring::npos) break;
        folder.resize(slash);
    }
    return L"";
}

// The expected file as the platform writes it: "\r\n" line ends.
std::string ExpectedFile(const wchar_t* name) {
    const std::vector<char> bytes = ReadBytes(DataFolder() + L"\\" + name);
    std::string text;
    for (char c : bytes) {
        if (c == '\n') text += '\r';
        text += c;
    }
    return text;
}

class SettingsIniFile : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        folder_ = std::wstring(temp) + L"tamrik-settings-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++counter);
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
        path_ = folder_ + L"\\PrintSettings.ini";
    }
    void TearDown() override {
        for (const std::wstring& name : FolderContents()) {
            const std::wstring file = folder_ + L"\\" + name;
            ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(file.c_str());
        }
        ::RemoveDirectoryW(folder_.c_str());
    }

    std::vector<std::wstring> FolderContents() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileW((folder_ + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
        return names;
    }

    bool SaveRecord(ORBILUXSetting& r) {
        CSettingsStorageIniFile storage(path_, kSettingsRootSection);
        return r.Save(storage);
    }
    bool LoadRecord(ORBILUXSetting& r) {
        CSettingsStorageIniFile storage(path_, kSettingsRootSection);
        return r.Load(storage);
    }
    std::string FileText() {
        std::string text;
        EXPECT_TRUE(DecodeUtf16File(ReadBytes(path_), text)) << "not UTF-16LE with a byte-order mark";
        return text;
    }

    std::wstring folder_;
    std::wstring path_;
};

}  // namespace

TEST_F(SettingsIniFile, DefaultAndFullRecordsWriteTheExpectedFiles) {
    ASSERT_FALSE(DataFolder().empty()) << "tests/data/settings not found";
    ORBILUXSetting defaults;
    ASSERT_TRUE(SaveRecord(defaults));
    EXPECT_EQ(FileText(), ExpectedFile(L"default.ini"));

    ::DeleteFileW(path_.c_str());
    ORBILUXSetting full = FullRecord();
    ASSERT_TRUE(SaveRecord(full));
    EXPECT_EQ(FileText(), ExpectedFile(L"full.ini"));

    // A second save rewrites values in place.
    ASSERT_TRUE(SaveRecord(full));
    EXPECT_EQ(FileText(), ExpectedFile(L"full.ini"));
}

TEST_F(SettingsIniFile, FullRecordAndJapaneseTextLoadBackIdentical) {
    ORBILUXSetting saved = FullRecord();
    saved.format_.headStrings.push_back(L"\u682A\u5F0F\u4F1A\u793E\u30C6\u30B9\u30C8 $computer");
    saved.format_.footStrings = {L"\u30DA\u30FC\u30B8 $page / $maxpage"};
    saved.output_.baseDirName = L"C:\\\u30E6\u30FC\u30B6\\\u753B\u9762\u4FDD\u5B58";
    ASSERT_TRUE(SaveRecord(saved));
    ORBILUXSetting loaded;
    ASSERT_TRUE(LoadRecord(loaded));
    ExpectStoredFieldsEqual(loaded, saved);
}

TEST_F(SettingsIniFile, AbsentFileLoadsDefaults) {
    ORBILUXSetting loaded = FullRecord();
    loaded.printer_.devModeBlock.clear();
    EXPECT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.key_.keyAction, 0);
    EXPECT_EQ(loaded.format_.fontFace, L"MS UI Gothic");
    EXPECT_TRUE(loaded.format_.headStrings.empty());
    EXPECT_TRUE(loaded.simpleMode);
    EXPECT_TRUE(FolderContents().empty());  // loading creates nothing
}

TEST_F(SettingsIniFile, HandWrittenValuesLoadByTheReadingRules) {
    const std::wstring line1022(1022, L'a');
    const std::wstring line1023(1023, L'b');
    WriteUtf16File(path_,
                   L"[ORBILUXSettings.key_]\r\n"
                   L"keyAction=2abc\r\n"
                   L"logType=abc\r\n"
                   L"printmodifiers=\r\n"
                   L"[ORBILUXSettings.format_.headStrings]\r\n"
                   L"Count=3\r\n"
                   L"Item.0=" +
                       line1022 +
                       L"\r\n"
                       L"Item.1=" +
                       line1023 +
                       L"\r\n"
                       L"Item.2=last\r\n"
                       L"[ORBILUXSettings.format_.footStrings]\r\n"
                       L"Count=3\r\n"
                       L"Item.0=zero\r\n"
                       L"Item.2=two\r\n"
                       L"[ORBILUXSettings.general_.disabledMonitors_]\r\n"
                       L"Item.0=1\r\n"
                       L"[ORBILUXSettings.printer_]\r\n"
                       L"rtMargin=DC050000E8030000E8030000E8030000A3\r\n"
                       L"ptPaperSize=0852000004740000D2\r\n"
                       L"rtMinMargin=0100000002000000030000000400000000\r\n"
                       L"[ORBILUXSettings]\r\n"
                       L"simpleMode=true\r\n");
    ORBILUXSetting loaded;
    loaded.key_.logType = 2;
    loaded.key_.printmodifiers = 5;
    loaded.general_.disabledMonitors_ = {4};
    loaded.printer_.rtMargin = {1, 1, 1, 1};
    loaded.printer_.rtMinMargin = {9, 9, 9, 9};
    ASSERT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.key_.keyAction, 2);
    EXPECT_EQ(loaded.key_.logType, 0);
    EXPECT_EQ(loaded.key_.printmodifiers, 0u);
    EXPECT_EQ(loaded.format_.headStrings, (std::vector<std::wstring>{line1022, L"last"}));
    EXPECT_EQ(loaded.format_.footStrings, (std::vector<std::wstring>{L"zero", L"two"}));
    EXPECT_TRUE(loaded.general_.disabledMonitors_.empty());
    EXPECT_FALSE(loaded.simpleMode);
    // A good block loads; a block whose checksum does not match leaves a
    // kept field as it was and puts a defaulted one back to its default.
    EXPECT_EQ(loaded.printer_.ptPaperSize, (SettingsPoint{21000, 29700}));
    EXPECT_EQ(loaded.printer_.rtMinMargin, (SettingsRect{9, 9, 9, 9}));
    EXPECT_EQ(loaded.printer_.rtMargin, (SettingsRect{1500, 1000, 1000, 1000}));
}

TEST_F(SettingsIniFile, BadBlockLeavesTheCallersBufferAlone) {
    WriteUtf16File(path_, L"[S]\r\nblock=0102030400\r\nshort=0102\r\n");
    CSettingsStorageIniFile storage(path_, L"S");
    uint8_t value[4] = {9, 9, 9, 9};
    EXPECT_FALSE(storage.SerializeBlock(L"block", value, sizeof(value), false));
    EXPECT_FALSE(storage.SerializeBlock(L"short", value, sizeof(value), false));
    EXPECT_EQ(std::vector<uint8_t>(value, value + 4), std::vector<uint8_t>(4, 9));
}

TEST_F(SettingsIniFile, ShorterListAfterLongerLeavesOldItemsThatCountHides) {
    ORBILUXSetting r;
    r.format_.footStrings = {L"1", L"2", L"3", L"4", L"5"};
    ASSERT_TRUE(SaveRecord(r));
    r.format_.footStrings = {L"x", L"y", L"z"};
    ASSERT_TRUE(SaveRecord(r));
    const std::wstring section = L"ORBILUXSettings.format_.footStrings";
    wchar_t buffer[16] = {};
    ::GetPrivateProfileStringW(section.c_str(), L"Item.4", L"", buffer, 16, path_.c_str());
    EXPECT_STREQ(buffer, L"5");
    EXPECT_EQ(::GetPrivateProfileIntW(section.c_str(), L"Count", -1, path_.c_str()), 3u);
    ORBILUXSetting loaded;
    ASSERT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.format_.footStrings, (std::vector<std::wstring>{L"x", L"y", L"z"}));
}

TEST_F(SettingsIniFile, DeviceModeWithDriverExtraAndCopies) {
    ORBILUXSetting first;
    first.printer_.devModeBlock = MakeDevMode(1000);
    ORBILUXSetting second = first;
    std::vector<uint8_t> other = MakeDevMode(12);
    other[0] = 0x55;
    ASSERT_TRUE(second.printer_.SetDevMode(other.data(), other.size()));
    EXPECT_EQ(first.printer_.devModeBlock, MakeDevMode(1000));

    ASSERT_TRUE(SaveRecord(first));
    ORBILUXSetting loaded = second;
    ASSERT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.printer_.devModeBlock, first.printer_.devModeBlock);
    EXPECT_EQ(loaded.printer_.DevModeDriverExtra(), 1000);
    EXPECT_EQ(second.printer_.devModeBlock, other);

    // The printer group saved alone replaces only its own section.
    CSettingsStorageIniFile printerOnly(path_, kSettingsPrinterSection);
    ASSERT_TRUE(second.printer_.Save(printerOnly));
    ASSERT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.printer_.devModeBlock, other);
    EXPECT_TRUE(loaded.simpleMode);
    EXPECT_EQ(loaded.format_.fontFace, L"MS UI Gothic");
}

TEST_F(SettingsIniFile, SectionNamesAreCutAt259Characters) {
    const std::wstring root(250, L'R');
    GeneralSettings general;
    general.disabledMonitors_ = {2};
    CSettingsStorageIniFile storage(path_, root);
    ASSERT_TRUE(general.Save(storage));
    const std::string text = FileText();
    const std::string cut = tamrik::WideToUtf8((root + L".disabledMonitors_").substr(0, 259));
    EXPECT_NE(text.find("[" + cut + "]\r\nCount=1\r\nItem.0=2\r\n"), std::string::npos);
    GeneralSettings loaded;
    ASSERT_TRUE(loaded.Load(storage));
    EXPECT_EQ(loaded.disabledMonitors_, std::vector<int32_t>{2});
}

TEST_F(SettingsIniFile, SaveReplacesTheFileInOneStep) {
    ORBILUXSetting r = FullRecord();
    ASSERT_TRUE(SaveRecord(r));
    EXPECT_EQ(FolderContents(), std::vector<std::wstring>{L"PrintSettings.ini"});
    const std::vector<char> before = ReadBytes(path_);

    {
        // A save abandoned before its end leaves the old file as it was.
        CSettingsStorageIniFile storage(path_, kSettingsRootSection);
        ASSERT_TRUE(storage.BeginSave());
        std::unique_ptr<CSettingsStorage> key = storage.CreateSubStorage(L"key_");
        int32_t action = 1;
        ASSERT_TRUE(key->SerializeInt(L"keyAction", action, true));
        EXPECT_EQ(ReadBytes(path_), before);
        EXPECT_EQ(FolderContents().size(), 2u);  // the file and its temporary copy
    }
    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_EQ(FolderContents(), std::vector<std::wstring>{L"PrintSettings.ini"});

    // A finished save is seen whole by the next load.
    r.key_.keyAction = 1;
    ASSERT_TRUE(SaveRecord(r));
    EXPECT_EQ(FolderContents(), std::vector<std::wstring>{L"PrintSettings.ini"});
    ORBILUXSetting loaded;
    ASSERT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.key_.keyAction, 1);
}

TEST_F(SettingsIniFile, SaveIntoAMissingFolderFails) {
    ORBILUXSetting r;
    CSettingsStorageIniFile storage(folder_ + L"\\missing\\PrintSettings.ini", kSettingsRootSection);
    EXPECT_FALSE(r.Save(storage));
    EXPECT_TRUE(FolderContents().empty());
}

TEST_F(SettingsIniFile, ExistingAnsiFileIsReadAsItIsAndSavedAsUtf16) {
    WriteBytes(path_, "[ORBILUXSettings.output_]\r\nbaseDirName=C:\\Shots\r\nbpp=1\r\n");
    ORBILUXSetting loaded;
    ASSERT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.output_.baseDirName, L"C:\\Shots");
    EXPECT_EQ(loaded.output_.bpp, 1);
    loaded.output_.bpp = 2;
    loaded.format_.headStrings = {L"\u30C6\u30B9\u30C8"};
    ASSERT_TRUE(SaveRecord(loaded));
    EXPECT_EQ(FileText().rfind("[ORBILUXSettings.output_]\r\nbaseDirName=C:\\Shots\r\nbpp=2\r\n", 0), 0u);
    ORBILUXSetting again;
    ASSERT_TRUE(LoadRecord(again));
    EXPECT_EQ(again.output_.bpp, 2);
    EXPECT_EQ(again.output_.baseDirName, L"C:\\Shots");
    EXPECT_EQ(again.format_.headStrings, loaded.format_.headStrings);
}

TEST_F(SettingsIniFile, DamagedCountIsBounded) {
    WriteUtf16File(
        path_,
        L"[ORBILUXSettings.general_.disabledMonitors_]\r\nCount=4000000000\r\nItem.0=1\r\nItem.1=3\r\n");
    ORBILUXSetting loaded;
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(LoadRecord(loaded));
    EXPECT_LT(::GetTickCount() - start, 10000u);
    EXPECT_EQ(loaded.general_.disabledMonitors_, (std::vector<int32_t>{1, 3}));
}

TEST_F(SettingsIniFile, EveryLineTheEditorAcceptsComesBackExactly) {
    // The longest line the editor takes, starting with a blank so that it has
    // to be quoted in the file.
    const std::wstring longest = L" " + std::wstring(1019, L'x');
    ASSERT_EQ(longest.size(), 1020u);
    ORBILUXSetting saved = FullRecord();
    saved.format_.headStrings = {L" leading", L"trailing ", L"\"quoted\"", L"'single'", L"\"open", longest};
    saved.format_.footStrings = {L"\u3000\u30DA\u30FC\u30B8 $page / $maxpage\u3000",
                                 L"\u682A\u5F0F\u4F1A\u793E", L"\t$date\t"};
    saved.format_.fontFace = L" Padded Face ";
    ASSERT_TRUE(SaveRecord(saved));

    ORBILUXSetting loaded;
    ASSERT_TRUE(LoadRecord(loaded));
    ExpectStoredFieldsEqual(loaded, saved);

    // The program as it was reads values with the same profile function: the
    // file written now gives it the same lines.
    const std::wstring section = L"ORBILUXSettings.format_.headStrings";
    for (size_t i = 0; i < saved.format_.headStrings.size(); ++i) {
        std::vector<wchar_t> buffer(1024);
        const std::wstring key = L"Item." + std::to_wstring(i);
        const DWORD n =
            ::GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(), 1024, path_.c_str());
        EXPECT_EQ(std::wstring(buffer.data(), n), saved.format_.headStrings[i]) << i;
    }
    // Only values that need them get the quotes.
    const std::string text = FileText();
    EXPECT_NE(text.find("Item.0=\" leading\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("Item.2=\"\"quoted\"\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("Item.1=\xE6\xA0\xAA\xE5\xBC\x8F\xE4\xBC\x9A\xE7\xA4\xBE\r\n"), std::string::npos);
}

TEST_F(SettingsIniFile, LeftoverTemporaryFilesDoNotStopASave) {
    const std::wstring temp = CSettingsStorageIniFile::TempPathFor(path_);
    ORBILUXSetting r = FullRecord();

    // Read-only leftover: replaced.
    WriteBytes(temp, "stale");
    ASSERT_TRUE(::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SaveRecord(r));
    EXPECT_EQ(FolderContents(), std::vector<std::wstring>{L"PrintSettings.ini"});
    EXPECT_EQ(FileText(), ExpectedFile(L"full.ini"));

    // Held open by another program: the save goes through a name of its own.
    WriteBytes(temp, "held");
    HANDLE held =
        ::CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    r.key_.keyAction = 1;
    EXPECT_TRUE(SaveRecord(r));
    ::CloseHandle(held);
    std::vector<std::wstring> names = FolderContents();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"PrintSettings.ini", L"PrintSettings.ini.tmp"}));
    ORBILUXSetting loaded;
    ASSERT_TRUE(LoadRecord(loaded));
    EXPECT_EQ(loaded.key_.keyAction, 1);

    // A file that cannot be replaced still fails the save, and the old file stays.
    const std::vector<char> before = ReadBytes(path_);
    ::DeleteFileW(temp.c_str());
    ASSERT_TRUE(::CreateDirectoryW(temp.c_str(), nullptr));
    for (int i = 1; i <= 9; ++i)
        ::CreateDirectoryW((path_ + L"." + std::to_wstring(i) + L".tmp").c_str(), nullptr);
    r.key_.keyAction = 2;
    EXPECT_FALSE(SaveRecord(r));
    EXPECT_EQ(ReadBytes(path_), before);
    ::RemoveDirectoryW(temp.c_str());
    for (int i = 1; i <= 9; ++i) ::RemoveDirectoryW((path_ + L"." + std::to_wstring(i) + L".tmp").c_str());
}
