#include "sysinfo/win32/event_log_win.h"

#include <algorithm>
#include <cstring>

#include "window/raii.h"

namespace orbilux {

namespace {

constexpr DWORD kValueBytes = 1000;
constexpr DWORD kExpandedChars = 1000;

// A NUL-terminated wide string at offset, not reaching past end.
bool ReadString(const BYTE* base, size_t offset, size_t end, std::wstring& out, size_t* next = nullptr) {
    out.clear();
    for (size_t at = offset; at + sizeof(wchar_t) <= end; at += sizeof(wchar_t)) {
        wchar_t c;
        std::memcpy(&c, base + at, sizeof c);
        if (c == L'\0') {
            if (next) *next = at + sizeof(wchar_t);
            return true;
        }
        out += c;
    }
    return false;
}

std::wstring Trimmed(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

}  // namespace

bool ParseEventRecord(const void* data, size_t size, EventRecord& record) {
    EVENTLOGRECORD head;
    if (!data || size < sizeof head) return false;
    std::memcpy(&head, data, sizeof head);
    const size_t end = std::min<size_t>(size, head.Length);
    if (end < sizeof head) return false;
    const BYTE* base = static_cast<const BYTE*>(data);

    record = EventRecord();
    record.recordNumber = head.RecordNumber;
    record.timeGenerated = head.TimeGenerated;
    record.timeWritten = head.TimeWritten;
    record.eventId = head.EventID;
    record.eventType = head.EventType;
    record.category = head.EventCategory;

    size_t next = 0;
    if (!ReadString(base, sizeof head, end, record.source, &next)) return false;
    if (!ReadString(base, next, end, record.computer)) return false;

    size_t at = head.StringOffset;
    for (WORD i = 0; i < head.NumStrings; ++i) {
        std::wstring insert;
        if (!ReadString(base, at, end, insert, &at)) return false;
        record.strings.push_back(std::move(insert));
    }
    if (head.DataLength > 0) {
        if (head.DataOffset > end || head.DataLength > end - head.DataOffset) return false;
        record.data.assign(base + head.DataOffset, base + head.DataOffset + head.DataLength);
    }
    return true;
}

bool FormatModuleMessage(HMODULE module, uint32_t id, const std::vector<std::wstring>& inserts,
                         std::wstring& text) {
    // The system formatter only fetches the text, inserts left as they are:
    // given an argument list, a message could make it read arguments that were
    // never passed (a "*" width or precision takes the next one). The inserts
    // are filled in from the record's strings alone. A message file without
    // the user's language still answers in the language it has.
    DWORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
    wchar_t* raw = nullptr;
    const DWORD flags =
        FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length =
        ::FormatMessageW(flags, module, id, language, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
    if (length == 0 && ::GetLastError() == ERROR_RESOURCE_LANG_NOT_FOUND) {
        language = 0;
        length = ::FormatMessageW(flags, module, id, language, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
    }
    tamrik::UniqueLocal rawOwner(raw);
    if (length == 0 || !raw) return false;
    text = ExpandMessageInserts(std::wstring(raw, length), inserts);
    return true;
}

bool Win32EventRecordSource::Open(const std::wstring& logName) {
    log_.Reset(::OpenEventLogW(nullptr, logName.c_str()));
    return bool(log_);
}

void Win32EventRecordSource::Close() {
    log_.Reset();
}

RecordRead Win32EventRecordSource::ReadPrevious(EventRecord& record) {
    if (!log_) return RecordRead::End;
    const DWORD flags = EVENTLOG_SEQUENTIAL_READ | EVENTLOG_BACKWARDS_READ;
    BYTE probe[1];
    DWORD read = 0;
    DWORD needed = 0;
    // No record fits one byte: the read only tells the size of the next one.
    if (::ReadEventLogW(log_.Get(), flags, 0, probe, sizeof probe, &read, &needed)) return RecordRead::End;
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return RecordRead::End;

    std::vector<DWORD> buffer((needed + sizeof(DWORD) - 1) / sizeof(DWORD));  // DWORD-aligned
    if (!::ReadEventLogW(log_.Get(), flags, 0, buffer.data(), needed, &read, &needed))
        return RecordRead::Unreadable;
    if (!ParseEventRecord(buffer.data(), read, record)) return RecordRead::Unreadable;
    return RecordRead::Record;
}

bool RegistryMessageFiles::Lookup(const std::wstring& logName, const std::wstring& source, MessageKind kind,
                                  uint32_t id, const std::vector<std::wstring>& inserts, std::wstring& text) {
    const std::wstring logKeyPath = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\" + logName;
    tamrik::UniqueKey logKey, sourceKey;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, logKeyPath.c_str(), 0, KEY_READ, logKey.Put()) != ERROR_SUCCESS)
        return false;
    if (::RegOpenKeyExW(logKey.Get(), source.c_str(), 0, KEY_READ, sourceKey.Put()) != ERROR_SUCCESS)
        return false;

    const wchar_t* valueName = kind == MessageKind::Category ? L"CategoryMessageFile" : L"EventMessageFile";
    wchar_t value[kValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD bytes = kValueBytes;
    DWORD type = 0;
    if (::RegQueryValueExW(sourceKey.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(value),
                           &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    value[bytes / sizeof(wchar_t)] = L'\0';

    wchar_t expanded[kExpandedChars] = {};
    const DWORD expandedLength = ::ExpandEnvironmentStringsW(value, expanded, kExpandedChars);
    if (expandedLength == 0 || expandedLength > kExpandedChars) return false;

    const std::wstring files(expanded);
    size_t start = 0;
    while (start <= files.size()) {
        size_t stop = files.find(L';', start);
        if (stop == std::wstring::npos) stop = files.size();
        const std::wstring path = Trimmed(files.substr(start, stop - start));
        start = stop + 1;
        if (path.empty()) continue;
        tamrik::UniqueModule module(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        if (module && FormatModuleMessage(module.Get(), id, inserts, text)) return true;
    }
    return false;
}

}  // namespace orbilux
