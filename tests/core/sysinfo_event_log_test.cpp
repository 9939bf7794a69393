#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <deque>

#include "sysinfo/event_log.h"

using namespace orbilux;

namespace {

// A log read newest first; every read is counted.
class FakeLog : public EventRecordSource {
public:
    bool Open(const std::wstring& logName) override {
        opened = logName;
        return canOpen;
    }
    RecordRead ReadPrevious(EventRecord& record) override {
        ++reads;
        if (stuck) return RecordRead::Unreadable;
        if (records.empty()) return RecordRead::End;
        record = records.front();
        records.pop_front();
        return RecordRead::Record;
    }
    void Close() override { ++closed; }

    std::deque<EventRecord> records;
    std::wstring opened;
    bool canOpen = true;
    bool stuck = false;
    int reads = 0;
    int closed = 0;
};

// Knows the messages of one source; counts the inserts each lookup gets.
class FakeMessages : public MessageFiles {
public:
    bool Lookup(const std::wstring& logName, const std::wstring& source, MessageKind kind, uint32_t id,
                const std::vector<std::wstring>& inserts, std::wstring& text) override {
        if (source != L"Known") return false;
        if (kind == MessageKind::Category) {
            text = L"Disk\r\n";
            return true;
        }
        text = L"Line one\r\n\r\nLine two " + (inserts.empty() ? L"" : inserts[0]) + L"\r\n";
        lastLog = logName;
        return true;
    }
    std::wstring lastLog;
};

EventRecord Record(uint32_t number, uint16_t type, const std::wstring& source = L"Other") {
    EventRecord r;
    r.recordNumber = number;
    r.eventType = type;
    r.eventId = 1000 + number;
    r.category = uint16_t(number % 3);
    r.source = source;
    r.computer = L"PC01";
    r.strings = {L"%1 100%"};
    return r;
}

}  // namespace

TEST(SysinfoEventLog, OnlyInformationGivesNothingAndReadsToTheEnd) {
    FakeLog log;
    for (uint32_t n = 20; n > 0; --n) log.records.push_back(Record(n, 4));
    FakeMessages messages;
    EventLogReader reader(log, messages);
    reader.Read(0);
    EXPECT_EQ(log.opened, L"System");
    EXPECT_TRUE(reader.entries.empty());
    EXPECT_EQ(log.reads, 21);
    EXPECT_EQ(log.closed, 1);
}

TEST(SysinfoEventLog, FiveNewestOfErrorsAndWarnings) {
    FakeLog log;
    uint32_t n = 100;
    for (int i = 0; i < 3; ++i) {
        log.records.push_back(Record(n--, 4));
        log.records.push_back(Record(n--, 1));
        log.records.push_back(Record(n--, 2));
        log.records.push_back(Record(n--, 2));
    }
    for (int i = 0; i < 7; ++i) log.records.push_back(Record(n--, 2));
    FakeMessages messages;
    EventLogReader reader(log, messages);
    reader.Read(1);
    EXPECT_EQ(log.opened, L"Application");
    ASSERT_EQ(reader.entries.size(), 5u);
    const std::vector<uint32_t> expected = {99, 98, 97, 95, 94};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(reader.entries[i].recordNumber, expected[i]);
        EXPECT_EQ(reader.entries[i].logName, L"Application");
        EXPECT_TRUE(reader.entries[i].valid);
    }
    EXPECT_EQ(log.reads, 7);  // stops after the fifth entry
    EXPECT_EQ(log.closed, 1);
}

TEST(SysinfoEventLog, TypeFilters) {
    FakeMessages messages;
    for (int filter : {0, 2}) {
        FakeLog log;
        for (uint16_t type : {0, 1, 2, 4, 8, 16}) log.records.push_back(Record(type + 1u, type));
        EventLogReader reader(log, messages);
        reader.typeFilter = filter;
        reader.Read(0);
        EXPECT_EQ(reader.entries.size(), filter == 0 ? 1u : 5u);
    }
}

TEST(SysinfoEventLog, CategoryAndMessageFallBacks) {
    FakeLog log;
    EventRecord noCategory = Record(3, 1);  // category 0
    EventRecord numbered = Record(4, 2);    // category 1
    log.records = {noCategory, numbered};
    FakeMessages messages;
    EventLogReader reader(log, messages);
    reader.Read(0);
    ASSERT_EQ(reader.entries.size(), 2u);
    EXPECT_EQ(reader.entries[0].category, L"N/A");
    EXPECT_EQ(reader.entries[0].message, L"(1003)");
    EXPECT_EQ(reader.entries[1].category, L"(1)");

    EventRecord zeroId = Record(6, 1);
    zeroId.eventId = 0;
    log.records = {zeroId};
    reader.entries.clear();
    reader.Read(0);
    ASSERT_EQ(reader.entries.size(), 1u);
    EXPECT_EQ(reader.entries[0].message, L"N/A");
}

TEST(SysinfoEventLog, FoundTextsLoseEmptyLinesAndKeepInsertsAsData) {
    FakeLog log;
    log.records = {Record(5, 1, L"Known")};
    FakeMessages messages;
    EventLogReader reader(log, messages);
    reader.Read(0);
    ASSERT_EQ(reader.entries.size(), 1u);
    EXPECT_EQ(reader.entries[0].category, L"Disk\n");
    EXPECT_EQ(reader.entries[0].message, L"Line one\nLine two %1 100%\n");
    EXPECT_EQ(messages.lastLog, L"System");
}

TEST(SysinfoEventLog, ReadingEndsWhenARecordKeepsFailingOrTheLogIsClosed) {
    FakeLog log;
    log.stuck = true;
    FakeMessages messages;
    EventLogReader reader(log, messages);
    reader.Read(0);
    EXPECT_TRUE(reader.entries.empty());
    EXPECT_EQ(log.reads, 3);
    EXPECT_EQ(log.closed, 1);

    FakeLog closedLog;
    closedLog.canOpen = false;
    closedLog.records = {Record(1, 1)};
    EventLogReader other(closedLog, messages);
    other.Read(0);
    EXPECT_TRUE(other.entries.empty());
    EXPECT_EQ(closedLog.reads, 0);
    EXPECT_EQ(closedLog.closed, 0);
}

TEST(SysinfoEventLog, EntryTextLayout) {
    setenv("TZ", "UTC", 1);
    tzset();
    EventLogEntry entry;
    entry.eventType = 2;
    entry.timeWritten = 1709648407;  // 2024-03-05 14:20:07 UTC
    entry.source = L"Tcpip";
    entry.computer = L"PC01";
    entry.category = L"N/A";
    entry.message = L"Address conflict\nSee 100%s\n";
    EXPECT_EQ(entry.Text(), L"警告 2024-03-05 14:20:07 Tcpip PC01 N/A\nAddress conflict\nSee 100%s\n\n");
    unsetenv("TZ");
    tzset();

    EXPECT_EQ(EventTypeName(1), L"エラー");
    EXPECT_EQ(EventTypeName(16), L"監査失敗");
    EXPECT_EQ(EventTypeName(3), L"不明");
}

TEST(SysinfoEventLog, TextHelpers) {
    EXPECT_EQ(NormaliseMessageText(L"a\r\n\r\nb\n\rc"), L"a\nb\nc\n");
    EXPECT_EQ(NormaliseMessageText(L"\r\n"), L"");
    EXPECT_EQ(NormaliseMessageText(L"one"), L"one\n");
}

TEST(SysinfoMessageInserts, FormatSpecsPrintTheStringOnly) {
    const std::vector<std::wstring> inserts = {L"alpha", L"beta", L"gamma"};
    EXPECT_EQ(ExpandMessageInserts(L"[%1!*.*s!] [%2]", inserts), L"[alpha] [beta]");
    EXPECT_EQ(ExpandMessageInserts(L"[%3!*s!][%1!S!][%2!d!][%1!-10.3ls!]", inserts),
              L"[gamma][alpha][beta][alpha]");
    // The format ends at the next "!"; without one the rest is plain text.
    EXPECT_EQ(ExpandMessageInserts(L"%1!s!! %2!x", inserts), L"alpha! beta!x");
    EXPECT_EQ(ExpandMessageInserts(L"%1%2%3%1", inserts), L"alphabetagammaalpha");
    // Two digits at most: %100 is insert 10 followed by "0".
    EXPECT_EQ(ExpandMessageInserts(L"<%99><%100><%12>", inserts), L"<><0><>");
    EXPECT_EQ(ExpandMessageInserts(L"[%1] [%2]", {}), L"[] []");
}

TEST(SysinfoMessageInserts, EscapesKeepTheirMeaning) {
    EXPECT_EQ(ExpandMessageInserts(L"100%% sure%.%!% |%b", {}), L"100% sure.! |b");
    EXPECT_EQ(ExpandMessageInserts(L"one%ntwo%rthree%tfour", {}), L"one\r\ntwo\rthree\tfour");
    // %0 ends the message, so the line break of a message file's last line
    // does not follow.
    EXPECT_EQ(ExpandMessageInserts(L"no newline%0\r\n", {}), L"no newline");
    EXPECT_EQ(ExpandMessageInserts(L"%0", {L"x"}), L"");
    EXPECT_EQ(ExpandMessageInserts(L"line\r\n", {}), L"line\r\n");
    EXPECT_EQ(ExpandMessageInserts(L"%%1 and %%%1", {L"x"}), L"%1 and %x");
    EXPECT_EQ(ExpandMessageInserts(L"ends in %", {}), L"ends in %");
    EXPECT_EQ(ExpandMessageInserts(L"", {L"x"}), L"");
}

TEST(SysinfoMessageInserts, InsertsAreDataNotFormats) {
    const std::vector<std::wstring> inserts = {L"%2 %0 %n 100%", L"never"};
    EXPECT_EQ(ExpandMessageInserts(L"<%1>", inserts), L"<%2 %0 %n 100%>");
    const std::wstring withNul(L"a\0b", 3);
    EXPECT_EQ(ExpandMessageInserts(L"%1|", {withNul}), withNul + L"|");
}

TEST(SysinfoMessageInserts, LongResultsAreCut) {
    const std::wstring a(30000, L'a');
    const std::wstring b(30000, L'b');
    EXPECT_EQ(ExpandMessageInserts(L"[%1] [%2]", {a, b}), L"[" + a + L"] [" + b + L"]");

    const std::wstring cut = ExpandMessageInserts(L"[%1] [%2] [%1] [%2]%n", {a, b});
    ASSERT_EQ(cut.size(), kMaxMessageChars);
    EXPECT_EQ(cut.substr(0, 60007), L"[" + a + L"] [" + b + L"] [");
    EXPECT_EQ(cut.find_first_not_of(L'a', 60007), std::wstring::npos);

    // A short text naming one long insert many times stays bounded too.
    std::wstring many;
    for (int i = 0; i < 5000; ++i) many += L"%1";
    EXPECT_EQ(ExpandMessageInserts(many, {a}).size(), kMaxMessageChars);
    EXPECT_EQ(ExpandMessageInserts(std::wstring(kMaxMessageChars + 10, L'x'), {}).size(), kMaxMessageChars);
}
