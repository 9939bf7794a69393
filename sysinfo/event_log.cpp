#include "sysinfo/event_log.h"

#include <algorithm>
#include <ctime>

#include <boost/format.hpp>

#include "base/platform.h"

namespace orbilux {

namespace {

constexpr int kMaxEntries = 5;
// A record whose size can be read but whose contents cannot would otherwise be
// tried for ever: the read position does not move past a failed read.
constexpr int kMaxUnreadableInRow = 3;

bool PassesFilter(int typeFilter, uint16_t eventType) {
    switch (typeFilter) {
        case 0:
            return eventType == 1;
        case 1:
            return eventType == 1 || eventType == 2;
        default:
            return true;
    }
}

}  // namespace

std::wstring EventTypeName(uint16_t eventType) {
    switch (eventType) {
        case 0:
            return L"成功";
        case 1:
            return L"エラー";
        case 2:
            return L"警告";
        case 4:
            return L"情報";
        case 8:
            return L"監査成功";
        case 16:
            return L"監査失敗";
        default:
            return L"不明";
    }
}

std::wstring LocalTimeText(int64_t secondsSince1970) {
    const std::time_t t = static_cast<std::time_t>(secondsSince1970);
    std::tm tm{};
    const bool converted = tamrik::LocalCalendar(t, tm) || tamrik::UtcCalendar(t, tm);
    if (!converted) tm = std::tm{};
    return (boost::wformat(L"%04d-%02d-%02d %02d:%02d:%02d") % (tm.tm_year + 1900) % (tm.tm_mon + 1) %
            tm.tm_mday % tm.tm_hour % tm.tm_min % tm.tm_sec)
        .str();
}

std::wstring NormaliseMessageText(const std::wstring& text) {
    std::wstring out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t stop = text.find_first_of(L"\r\n", start);
        if (stop == std::wstring::npos) stop = text.size();
        if (stop > start) {
            out.append(text, start, stop - start);
            out += L'\n';
        }
        start = stop + 1;
    }
    return out;
}

std::wstring ExpandMessageInserts(const std::wstring& text, const std::vector<std::wstring>& inserts) {
    std::wstring out;
    const auto append = [&out](const std::wstring& piece) {
        out.append(piece, 0, std::min(piece.size(), kMaxMessageChars - out.size()));
    };
    const auto isDigit = [](wchar_t c) { return c >= L'0' && c <= L'9'; };
    for (size_t i = 0; i < text.size() && out.size() < kMaxMessageChars; ++i) {
        if (text[i] != L'%' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const wchar_t escape = text[++i];
        switch (escape) {
            case L'0':
                return out;
            case L'n':
                append(L"\r\n");
                break;
            case L'r':
                out += L'\r';
                break;
            case L't':
                out += L'\t';
                break;
            default:
                if (escape >= L'1' && escape <= L'9') {
                    size_t number = size_t(escape - L'0');
                    if (i + 1 < text.size() && isDigit(text[i + 1]))
                        number = number * 10 + (text[++i] - L'0');
                    // "!format!" after the number: what the format would read
                    // is not given, so only the string is printed.
                    if (i + 1 < text.size() && text[i + 1] == L'!') {
                        const size_t close = text.find(L'!', i + 2);
                        if (close != std::wstring::npos) i = close;
                    }
                    if (number <= inserts.size()) append(inserts[number - 1]);
                } else {
                    out += escape;
                }
                break;
        }
    }
    return out;
}

std::wstring EventLogEntry::Text() const {
    return EventTypeName(eventType) + L" " + LocalTimeText(timeWritten) + L" " + source + L" " + computer +
           L" " + category + L"\n" + message + L"\n";
}

std::wstring EventLogReader::LookupText(const std::wstring& logName, const std::wstring& source,
                                        MessageKind kind, uint32_t id,
                                        const std::vector<std::wstring>& inserts) {
    std::wstring text;
    if (messages_.Lookup(logName, source, kind, id, inserts, text)) return NormaliseMessageText(text);
    if (id != 0) return L"(" + std::to_wstring(id) + L")";
    return L"N/A";
}

EventLogEntry EventLogReader::ReadStep(const std::wstring& logName, bool& unreadable) {
    EventLogEntry entry;
    EventRecord record;
    unreadable = false;
    switch (records_.ReadPrevious(record)) {
        case RecordRead::End:
            entry.end = true;
            return entry;
        case RecordRead::Unreadable:
            unreadable = true;
            return entry;
        case RecordRead::Record:
            break;
    }
    if (!PassesFilter(typeFilter, record.eventType)) return entry;

    entry.logName = logName;
    entry.recordNumber = record.recordNumber;
    entry.timeGenerated = record.timeGenerated;
    entry.timeWritten = record.timeWritten;
    entry.eventId = record.eventId;
    entry.eventType = record.eventType;
    entry.source = record.source;
    entry.computer = record.computer;
    entry.data = record.data;
    entry.category = LookupText(logName, record.source, MessageKind::Category, record.category, {});
    entry.message = LookupText(logName, record.source, MessageKind::Event, record.eventId, record.strings);
    entry.valid = true;
    return entry;
}

void EventLogReader::Read(int logSelector) {
    const std::wstring logName = logSelector == 1 ? L"Application" : L"System";
    if (!records_.Open(logName)) return;
    int counted = 0;
    int unreadableInRow = 0;
    for (;;) {
        bool unreadable = false;
        EventLogEntry entry = ReadStep(logName, unreadable);
        if (entry.end) break;
        unreadableInRow = unreadable ? unreadableInRow + 1 : 0;
        if (unreadableInRow == kMaxUnreadableInRow) break;
        if (!entry.valid) continue;
        entries.push_back(std::move(entry));
        if (++counted == kMaxEntries) break;
    }
    records_.Close();
}

}  // namespace orbilux
