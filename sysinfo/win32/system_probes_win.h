// The probes of the running system behind gatherComputerInfo.
#pragma once

#include "sysinfo/computer_info.h"
#include "sysinfo/system_probes.h"
#include "sysinfo/win32/event_log_win.h"

namespace orbilux {

class Win32SystemProbes : public SystemProbes {
public:
    bool Adapters(std::vector<AdapterRecord>& out) override;
    std::vector<std::wstring> DnsServers() override;
    std::wstring ComputerName() override;
    std::wstring UserName() override;
    tamrik::CalendarTime LocalTime() override;
    bool ReadMemoryStatus(MemoryStatus& out) override;
    std::vector<std::wstring> ProcessLines() override;
    ForegroundWindow ReadForegroundWindow() override;
    std::wstring ProcessName(uint32_t processId) override;
    bool UpTimeCounter(uint32_t& seconds) override;
    uint64_t MillisecondsSinceStart() override;
    bool ReadPowerStatus(PowerStatus& out) override;
    bool ReadPrimaryDomain(PrimaryDomain& out) override;
    EventRecordSource& EventRecords() override { return records_; }
    MessageFiles& MessageFileSource() override { return messages_; }

private:
    Win32EventRecordSource records_;
    RegistryMessageFiles messages_;
};

// Fills info from the running system (ComputerInfo::gatherComputerInfo with
// these probes).
void GatherSystemInfo(ComputerInfo& info, const GatherNeeds& needs);

// Text in the ANSI code page as wide text.
std::wstring AnsiToWide(const char* text);

}  // namespace orbilux
