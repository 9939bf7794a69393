// Event records and message files on Windows: record decoding, the registry
// and message-table look-up with a message DLL built for these tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <type_traits>

#include "sysinfo/event_log.h"
#include "sysinfo/win32/event_log_win.h"

using namespace orbilux;

namespace {

const wchar_t kSourceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\TamrikTestSource";

std::wstring TestDirectory() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L"\\/"));
}

// Registers the test DLL as the message files of "TamrikTestSource" for the
// lifetime of the fixture.
class SysinfoMessageFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetEnvironmentVariableW(L"TAMRIK_TEST_DIR", TestDirectory().c_str());
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSourceKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &key, nullptr),
                  ERROR_SUCCESS);
        // A missing file first: the look-up goes on to the next one.
        const std::wstring events =
            L"C:\\no\\such\\messages.dll; %TAMRIK_TEST_DIR%\\tamrik_test_messages.dll";
        const std::wstring categories = L"%TAMRIK_TEST_DIR%\\tamrik_test_messages.dll";
        SetValue(key, L"EventMessageFile", events);
        SetValue(key, L"CategoryMessageFile", categories);
        ::RegCloseKey(key);
    }
    void TearDown() override { ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kSourceKey); }

    static void SetValue(HKEY key, const wchar_t* name, const std::wstring& value) {
        ::RegSetValueExW(key, name, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         DWORD((value.size() + 1) * sizeof(wchar_t)));
    }

    RegistryMessageFiles files;
};

class QueuedRecords : public EventRecordSource {
public:
    bool Open(const std::wstring&) override { return true; }
    RecordRead ReadPrevious(EventRecord& record) override {
        if (queue.empty()) return RecordRead::End;
        record = queue.front();
        queue.pop_front();
        return RecordRead::Record;
    }
    void Close() override {}
    std::deque<EventRecord> queue;
};

EventRecord TestRecord(uint32_t eventId, uint16_t category, std::vector<std::wstring> strings,
                       const std::wstring& source = L"TamrikTestSource") {
    EventRecord r;
    r.eventType = 1;
    r.eventId = eventId;
    r.category = category;
    r.source = source;
    r.computer = L"PC01";
    r.strings = std::move(strings);
    return r;
}

void AppendWide(std::vector<BYTE>& buffer, const std::wstring& text) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    buffer.insert(buffer.end(), bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

}  // namespace

TEST(SysinfoEventLogSource, OwnsItsLogHandleAlone) {
    // A copy would close the same log handle twice.
    EXPECT_FALSE(std::is_copy_constructible<Win32EventRecordSource>::value);
    EXPECT_FALSE(std::is_copy_assignable<Win32EventRecordSource>::value);
}

TEST_F(SysinfoMessageFiles, InsertsAreFilledAsData) {
    std::wstring text;
    ASSERT_TRUE(files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 1000,
                             {L"a.txt", L"100% done %s"}, text));
    EXPECT_EQ(text, L"The file a.txt could not be copied to 100% done %s.\r\n");
    ASSERT_TRUE(files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Category, 1, {}, text));
    EXPECT_EQ(text, L"Copying\r\n");
}

TEST_F(SysinfoMessageFiles, MissingInsertsShowAsEmptyText) {
    std::wstring text;
    ASSERT_TRUE(files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 1002, {L"x"}, text));
    EXPECT_EQ(text, L"Needs three: [x] [] [], 100% sure.\r\n");
    ASSERT_TRUE(files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 1002, {}, text));
    EXPECT_EQ(text, L"Needs three: [] [] [], 100% sure.\r\n");
}

// Message texts come from other programs: a format that would read more
// arguments than the record has prints the record's string and nothing else.
TEST_F(SysinfoMessageFiles, InsertFormatsReadOnlyTheRecordsStrings) {
    std::wstring text;
    ASSERT_TRUE(files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 1003,
                             {L"alpha", L"beta"}, text));
    EXPECT_EQ(text, L"Star width and precision [alpha] then [beta].\r\n");
    ASSERT_TRUE(
        files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 1003, {L"alpha"}, text));
    EXPECT_EQ(text, L"Star width and precision [alpha] then [].\r\n");
    ASSERT_TRUE(files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 1004,
                             {L"a", L"b", L"c"}, text));
    EXPECT_EQ(text, L"Star width on the last [c] after [a] [b].\r\n");
    ASSERT_TRUE(files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 1004, {}, text));
    EXPECT_EQ(text, L"Star width on the last [] after [] [].\r\n");
    ASSERT_TRUE(files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 1005, {L"x"}, text));
    EXPECT_EQ(text, L"Far insert [] and [x].\r\n");
    ASSERT_TRUE(files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 1006,
                             {L"wide text", L"12"}, text));
    EXPECT_EQ(text, L"Narrow string [wide text] and number [12].\r\n");
}

TEST_F(SysinfoMessageFiles, EscapesKeepTheirMeaning) {
    std::wstring text;
    ASSERT_TRUE(files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 1007, {L"x"}, text));
    EXPECT_EQ(text, L"Escapes: 100% sure! tab\tdot. space |\r\nsecond line");
}

TEST_F(SysinfoMessageFiles, LongInsertsAreKeptUpToTheLimit) {
    const std::wstring a(20000, L'a');
    const std::wstring b(20000, L'b');
    std::wstring text;
    ASSERT_TRUE(files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 1008, {a, b}, text));
    EXPECT_EQ(text, L"Long [" + a + L"] [" + b + L"] [" + a + L"].\r\n");

    const std::wstring longA(40000, L'a');
    ASSERT_TRUE(
        files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 1008, {longA, b}, text));
    ASSERT_EQ(text.size(), kMaxMessageChars);
    EXPECT_EQ(text.substr(0, 60012), L"Long [" + longA + L"] [" + b + L"] [");
    EXPECT_EQ(text.find_first_not_of(L'a', 60012), std::wstring::npos);
}

TEST_F(SysinfoMessageFiles, UnknownIdsSourcesAndLogsFindNothing) {
    std::wstring text;
    EXPECT_FALSE(files.Lookup(L"Application", L"TamrikTestSource", MessageKind::Event, 4242, {}, text));
    EXPECT_FALSE(files.Lookup(L"Application", L"NoSuchTamrikSource", MessageKind::Event, 1000, {}, text));
    EXPECT_FALSE(files.Lookup(L"System", L"TamrikTestSource", MessageKind::Event, 1000, {}, text));
}

TEST_F(SysinfoMessageFiles, ReaderFormatsEntriesThroughTheRealLookUp) {
    QueuedRecords records;
    records.queue = {TestRecord(1001, 1, {L"disk C:"}), TestRecord(1002, 7, {L"%1"}),
                     TestRecord(1000, 0, {}, L"NoSuchTamrikSource")};
    EventLogReader reader(records, files);
    reader.Read(1);
    ASSERT_EQ(reader.entries.size(), 3u);
    EXPECT_EQ(reader.entries[0].category, L"Copying\n");
    EXPECT_EQ(reader.entries[0].message, L"First line\nSecond line for disk C:.\nThird line.\n");
    EXPECT_EQ(reader.entries[1].category, L"(7)");
    EXPECT_EQ(reader.entries[1].message, L"Needs three: [%1] [] [], 100% sure.\n");
    EXPECT_EQ(reader.entries[2].category, L"N/A");
    EXPECT_EQ(reader.entries[2].message, L"(1000)");
    const std::wstring text = reader.entries[0].Text();
    EXPECT_EQ(text.substr(0, 4), L"エラー ");
    EXPECT_NE(text.find(L" TamrikTestSource PC01 Copying\n\nFirst line\n"), std::wstring::npos);
}

TEST(SysinfoEventRecord, DecodesTheRecordLayout) {
    EVENTLOGRECORD head{};
    head.RecordNumber = 42;
    head.TimeGenerated = 1709648400;
    head.TimeWritten = 1709648407;
    head.EventID = 0x80000010;
    head.EventType = EVENTLOG_WARNING_TYPE;
    head.EventCategory = 3;
    head.NumStrings = 2;
    std::vector<BYTE> buffer(sizeof head);
    AppendWide(buffer, L"Tcpip");
    AppendWide(buffer, L"PC01");
    head.StringOffset = DWORD(buffer.size());
    AppendWide(buffer, L"first");
    AppendWide(buffer, L"");
    head.DataOffset = DWORD(buffer.size());
    head.DataLength = 3;
    buffer.insert(buffer.end(), {1, 2, 3, 0});
    head.Length = DWORD(buffer.size());
    std::memcpy(buffer.data(), &head, sizeof head);

    EventRecord record;
    ASSERT_TRUE(ParseEventRecord(buffer.data(), buffer.size(), record));
    EXPECT_EQ(record.recordNumber, 42u);
    EXPECT_EQ(record.timeGenerated, 1709648400);
    EXPECT_EQ(record.timeWritten, 1709648407);
    EXPECT_EQ(record.eventId, 0x80000010u);
    EXPECT_EQ(record.eventType, 2);
    EXPECT_EQ(record.category, 3);
    EXPECT_EQ(record.source, L"Tcpip");
    EXPECT_EQ(record.computer, L"PC01");
    EXPECT_EQ(record.strings, std::vector<std::wstring>({L"first", L""}));
    EXPECT_EQ(record.data, std::vector<uint8_t>({1, 2, 3}));

    // Offsets that point past the record are refused, not followed.
    EXPECT_FALSE(ParseEventRecord(buffer.data(), head.StringOffset + 4, record));
    head.DataLength = 1000;
    std::memcpy(buffer.data(), &head, sizeof head);
    EXPECT_FALSE(ParseEventRecord(buffer.data(), buffer.size(), record));
    EXPECT_FALSE(ParseEventRecord(buffer.data(), 10, record));
}

TEST(SysinfoEventRecord, RealLogsEndTheReading) {
    Win32EventRecordSource records;
    RegistryMessageFiles messages;
    EventLogReader reader(records, messages);
    reader.Read(0);
    reader.Read(1);
    EXPECT_LE(reader.entries.size(), 10u);
    for (const EventLogEntry& entry : reader.entries)
        EXPECT_TRUE(entry.eventType == 1 || entry.eventType == 2);
}
