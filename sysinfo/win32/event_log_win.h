// The event logs and message files of the running system.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "sysinfo/event_log.h"
#include "window/raii.h"

namespace orbilux {

// Decodes one EVENTLOGRECORD; false when its offsets leave the buffer.
bool ParseEventRecord(const void* data, size_t size, EventRecord& record);

// The text of message id in module's message table, neutral language with the
// user's default sublanguage, with its inserts filled in by
// ExpandMessageInserts: %1, %2, ... take the given strings, whatever format
// they ask for; inserts the record does not supply show as empty text.
bool FormatModuleMessage(HMODULE module, uint32_t id, const std::vector<std::wstring>& inserts,
                         std::wstring& text);

// Reads a log backwards with ReadEventLogW.
class Win32EventRecordSource : public EventRecordSource {
public:
    bool Open(const std::wstring& logName) override;
    RecordRead ReadPrevious(EventRecord& record) override;
    void Close() override;

private:
    static void CloseLog(HANDLE log) { ::CloseEventLog(log); }
    tamrik::UniqueResource<HANDLE, &CloseLog> log_;  // one owner: the source is not copyable
};

// Message files named under HKLM "SYSTEM\CurrentControlSet\Services\EventLog\<log>\<source>".
class RegistryMessageFiles : public MessageFiles {
public:
    bool Lookup(const std::wstring& logName, const std::wstring& source, MessageKind kind, uint32_t id,
                const std::vector<std::wstring>& inserts, std::wstring& text) override;
};

}  // namespace orbilux
