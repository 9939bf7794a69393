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
    virtual bool Adapters(std::vector<AdapterRecord>& out) = 0;
    virtual std::vector<std::wstring> DnsServers() = 0;
    virtual std::wstring ComputerName() = 0;
    virtual std::wstring UserName() = 0;
    virtual tamrik::CalendarTime LocalTime() = 0;
    virtual bool ReadMemoryStatus(MemoryStatus& out) = 0;
    virtual std::vector<std::wstring> ProcessLines() = 0;
    virtual ForegroundWindow ReadForegroundWindow() = 0;
    virtual std::wstring ProcessName(uint32_t processId) = 0;
    // The performance counter's up time in seconds; false when it cannot be read.
    virtual bool UpTimeCounter(uint32_t& seconds) = 0;
    virtual uint64_t MillisecondsSinceStart() = 0;
    virtual bool ReadPowerStatus(PowerStatus& out) = 0;
    virtual bool ReadPrimaryDomain(PrimaryDomain& out) = 0;
    virtual EventRecordSource& EventRecords() = 0;
    virtual MessageFiles& MessageFileSource() = 0;
};

// "%d days %02d:%02d:%02d" of a number of seconds.
std::wstring FormatUpTime(uint32_t seconds);
// "AC Power" on mains, else "Battery: " and the percentage.
std::wstring FormatPowerStatus(const PowerStatus& power);
// The description cut before the first " - " unless that starts the text.
std::wstring ShortAdapterDescription(const std::wstring& description);

}  // namespace orbilux
