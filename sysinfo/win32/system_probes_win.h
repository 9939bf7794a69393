// The probes of the running system behind gatherComputerInfo.
#pragma once

#include "sysinfo/computer_info.h"
#include "sysinfo/system_probes.h"
#include "sysinfo/win32/event_log_win.h"

namespace orbilux {

class Win32SystemProbes : public SystemProbes {
public:
    bool adapters(std::vector<AdapterRecord>& out) override;
    std::vector<std::wstring> dnsServers() override;
    std::wstring computerName() override;
    std::wstring userName() override;
    tamrik::CalendarTime localTime() override;
    bool memoryStatus(MemoryStatus& out) override;
    std::vector<std::wstring> processLines() override;
    ForegroundWindow foregroundWindow() override;
    std::wstring processName(uint32_t processId) override;
    bool upTimeCounter(uint32_t& seconds) override;
    uint64_t millisecondsSinceStart() override;
    bool powerStatus(PowerStatus& out) override;
    bool primaryDomain(PrimaryDomain& out) override;
    EventRecordSource& eventRecords() override { return records_; }
    MessageFiles& messageFiles() override { return messages_; }

private:
    Win32EventRecordSource records_;
    RegistryMessageFiles messages_;
};

// Fills info from the running system (ComputerInfo::gatherComputerInfo with
// these probes).
void GatherSystemInfo(ComputerInfo& info, const GatherNeeds& needs);

// Text in the ANSI code page as wide text.
std::wstring ansiToWide(const char* text);

}  // namespace orbilux
