// What gatherComputerInfo asks the system. The Windows build answers with the
// real probes; tests answer with their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/calendar_time.h"

namespace orbilux {

class EventRecordSource;
class MessageFiles;

// One adapter record as the platform lists it (texts already wide).
struct AdapterRecord {
    std::wstring adapterName;
    std::wstring description;
    std::wstring ipAddress;
    std::wstring ipMask;
    std::wstring gateway;
    bool dhcpEnabled = false;
};

struct MemoryStatus {
    uint32_t memoryLoad = 0;                       // percent
    uint64_t physicalTotal = 0, physicalFree = 0;  // bytes
    uint64_t pageFileTotal = 0, pageFileFree = 0;
    uint64_t virtualTotal = 0, virtualFree = 0;
};

struct PowerStatus {
    uint8_t acLineStatus = 255;        // 0 off line, 1 on line, 255 unknown
    uint8_t batteryLifePercent = 255;  // 255 unknown
};

struct PrimaryDomain {
    std::wstring name;
    bool hasSid = false;  // a domain has a security identifier, a workgroup has none
};

struct ForegroundWindow {
    bool found = false;
    uint32_t processId = 0;
    bool ownProcess = false;
    std::wstring title;
};

class SystemProbes {
public:
    virtual ~SystemProbes() = default;

    // False when the computer has no route to the limited broadcast address
    // or the adapters cannot be listed.
    virtual bool adapters(std::vector<AdapterRecord>& out) = 0;
    virtual std::vector<std::wstring> dnsServers() = 0;
    virtual std::wstring computerName() = 0;
    virtual std::wstring userName() = 0;
    virtual tamrik::CalendarTime localTime() = 0;
    virtual bool memoryStatus(MemoryStatus& out) = 0;
    virtual std::vector<std::wstring> processLines() = 0;
    virtual ForegroundWindow foregroundWindow() = 0;
    virtual std::wstring processName(uint32_t processId) = 0;
    // The performance counter's up time in seconds; false when it cannot be read.
    virtual bool upTimeCounter(uint32_t& seconds) = 0;
    virtual uint64_t millisecondsSinceStart() = 0;
    virtual bool powerStatus(PowerStatus& out) = 0;
    virtual bool primaryDomain(PrimaryDomain& out) = 0;
    virtual EventRecordSource& eventRecords() = 0;
    virtual MessageFiles& messageFiles() = 0;
};

// "%d days %02d:%02d:%02d" of a number of seconds.
std::wstring formatUpTime(uint32_t seconds);
// "AC Power" on mains, else "Battery: " and the percentage.
std::wstring formatPowerStatus(const PowerStatus& power);
// The description cut before the first " - " unless that starts the text.
std::wstring shortAdapterDescription(const std::wstring& description);

}  // namespace orbilux
