// The newest problems of the "System" and "Application" event logs: a log is
// read backwards, filtered by entry type, and each entry's category and
// message are looked up in the message files registered for its source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orbilux {

// One event record as the platform stores it, already decoded.
struct EventRecord {
    uint32_t recordNumber = 0;
    int64_t timeGenerated = 0;  // seconds since 1970-01-01 00:00:00 UTC
    int64_t timeWritten = 0;
    uint32_t eventId = 0;
    uint16_t eventType = 0;
    uint16_t category = 0;
    std::wstring source;
    std::wstring computer;
    std::vector<std::wstring> strings;  // inserts %1, %2, ... in record order
    std::vector<uint8_t> data;
};

enum class RecordRead {
    Record,      // a record was read
    Unreadable,  // the record could not be read (its size was known, the read failed)
    End,         // no more records, or the log cannot be read at all
};

// Reads one log's records, newest first.
class EventRecordSource {
public:
    virtual ~EventRecordSource() = default;
    virtual bool Open(const std::wstring& logName) = 0;
    virtual RecordRead ReadPrevious(EventRecord& record) = 0;
    virtual void Close() = 0;
};

enum class MessageKind { Category, Event };

// Looks message texts up in the message files registered for a source.
class MessageFiles {
public:
    virtual ~MessageFiles() = default;
    // The text of message id with the inserts filled in, as the message file
    // has it (line breaks not yet normalised); false when no file yields one.
    virtual bool Lookup(const std::wstring& logName, const std::wstring& source, MessageKind kind,
                        uint32_t id, const std::vector<std::wstring>& inserts, std::wstring& text) = 0;
};

struct EventLogEntry {
    std::wstring logName;
    uint32_t recordNumber = 0;
    int64_t timeGenerated = 0;
    int64_t timeWritten = 0;
    uint32_t eventId = 0;
    uint16_t eventType = 0;
    std::wstring source;
    std::wstring computer;
    std::wstring category;
    std::wstring message;
    std::vector<uint8_t> data;
    bool valid = false;
    bool end = false;

    // Type name, local time written, source, computer and category on one
    // line, then the message and an empty line.
    std::wstring Text() const;
};

class EventLogReader {
public:
    EventLogReader(EventRecordSource& records, MessageFiles& messages)
        : records_(records), messages_(messages) {}

    // Selector 1 reads "Application", any other value "System". Appends up
    // to five entries that pass typeFilter, newest first.
    void Read(int logSelector);

    std::vector<EventLogEntry> entries;
    int typeFilter = 1;  // 0 errors only, 1 errors and warnings, 2 all types

private:
    EventLogEntry ReadStep(const std::wstring& logName, bool& unreadable);
    std::wstring LookupText(const std::wstring& logName, const std::wstring& source, MessageKind kind,
                            uint32_t id, const std::vector<std::wstring>& inserts);

    EventRecordSource& records_;
    MessageFiles& messages_;
};

// "エラー", "警告", ...; "不明" for an unknown type.
std::wstring EventTypeName(uint16_t eventType);
// Seconds since 1970 (UTC) as local "YYYY-MM-DD hh:mm:ss".
std::wstring LocalTimeText(int64_t secondsSince1970);
// Splits at CR and LF, drops empty pieces, ends every piece with a line feed.
std::wstring NormaliseMessageText(const std::wstring& text);

// The longest message text an expansion gives; anything beyond is cut off
// (the system's own formatter refuses results of this size).
constexpr size_t kMaxMessageChars = 65536;

// A message text from another program's message file with its inserts filled
// in from the record's strings only, so that no text can make the expansion
// read more than it is given:
// - %1 ... %99 become that string; a printf format after the number (%1!S!,
//   %2!*.*s!, %3!d!, ...) is skipped and the string printed as it is; an
//   insert the record does not supply is empty.
// - %0 ends the text there (no line break follows); %n is a line break
//   ("\r\n"), %r a carriage return, %t a tab.
// - %% %. %! and "% " give the character after the percent sign, as does a
//   percent sign before any other character; a lone percent sign at the end
//   stays.
// Inserts are data: percent signs inside them are kept. The result is cut at
// kMaxMessageChars.
std::wstring ExpandMessageInserts(const std::wstring& text, const std::vector<std::wstring>& inserts);

}  // namespace orbilux
