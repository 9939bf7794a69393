#include "sysinfo/computer_info.h"

#include <boost/format.hpp>

#include "sysinfo/event_log.h"
#include "sysinfo/system_probes.h"

namespace orbilux {

std::wstring FormatUpTime(uint32_t seconds) {
    return (boost::wformat(L"%d days %02d:%02d:%02d") % (seconds / 86400) % ((seconds / 3600) % 24) %
            ((seconds / 60) % 60) % (seconds % 60))
        .str();
}

std::wstring FormatPowerStatus(const PowerStatus& power) {
    if (power.acLineStatus == 1) return L"AC Power";
    return L"Battery: " + std::to_wstring(unsigned(power.batteryLifePercent)) + L"%";
}

std::wstring ShortAdapterDescription(const std::wstring& description) {
    const size_t cut = description.find(L" - ");
    if (cut == std::wstring::npos || cut == 0) return description;
    return description.substr(0, cut);
}

namespace {

const wchar_t kRule[] = L"----------------------------------------\n";

std::wstring TwoDigits(unsigned value) {
    return (boost::wformat(L"%02d") % value).str();
}

}  // namespace

void ComputerInfo::gatherComputerInfo(bool withEventLogs, orbilux::SystemProbes& probes) {
    GatherNeeds needs;
    needs.eventLogs = withEventLogs;
    gatherComputerInfo(needs, probes);
}

void ComputerInfo::gatherComputerInfo(const GatherNeeds& needs, orbilux::SystemProbes& probes) {
    ReadMoment(probes);
    GatherRest(needs, probes);
}

void ComputerInfo::ReadMoment(orbilux::SystemProbes& probes) {
    localTime = probes.LocalTime();
    shotDate = (boost::wformat(L"%04d/%02d/%02d") % localTime.year % localTime.month % localTime.day).str();
    shotTime =
        TwoDigits(localTime.hour) + L":" + TwoDigits(localTime.minute) + L":" + TwoDigits(localTime.second);

    windowText.clear();
    application.clear();
    const orbilux::ForegroundWindow foreground = probes.ReadForegroundWindow();
    if (foreground.found && !foreground.ownProcess) {
        windowText = foreground.title;
        application = probes.ProcessName(foreground.processId);
    }
}

void ComputerInfo::GatherRest(const GatherNeeds& needs, orbilux::SystemProbes& probes) {
    adapters.clear();
    ipAddresses.clear();
    std::vector<AdapterRecord> records;
    if (probes.Adapters(records)) {
        for (const AdapterRecord& record : records) {
            if (record.adapterName.empty()) continue;
            AdapterInfo adapter;
            adapter.description = ShortAdapterDescription(record.description);
            adapter.ipAddress = record.ipAddress;
            adapter.ipMask = record.ipMask;
            adapter.gateway = record.gateway;
            adapter.dhcpEnabled = record.dhcpEnabled;
            adapters.push_back(adapter);
            ipAddresses.push_back(record.ipAddress);
        }
    }

    dnsServers = probes.DnsServers();
    computerName = probes.ComputerName();
    userName = probes.UserName();

    MemoryStatus memory;
    if (probes.ReadMemoryStatus(memory)) {
        memoryLoad = std::to_wstring(memory.memoryLoad);
        physicalTotal = std::to_wstring(memory.physicalTotal / 1024);
        physicalFree = std::to_wstring(memory.physicalFree / 1024);
        pageFileTotal = std::to_wstring(memory.pageFileTotal / 1024);
        pageFileFree = std::to_wstring(memory.pageFileFree / 1024);
        virtualTotal = std::to_wstring(memory.virtualTotal / 1048576);
        virtualFree = std::to_wstring(memory.virtualFree / 1048576);
    } else {
        for (std::wstring* text : {&memoryLoad, &physicalTotal, &physicalFree, &pageFileTotal, &pageFileFree,
                                   &virtualTotal, &virtualFree}) {
            text->clear();
        }
    }

    processLines.clear();
    if (needs.processes) processLines = probes.ProcessLines();

    uint32_t upSeconds = 0;
    if (!probes.UpTimeCounter(upSeconds)) upSeconds = uint32_t(probes.MillisecondsSinceStart() / 1000);
    upTimeText = FormatUpTime(upSeconds);

    PowerStatus power;
    battery = probes.ReadPowerStatus(power) ? FormatPowerStatus(power) : std::wstring();

    // Without an answer from the security policy the name stays empty and the
    // row shows the workgroup label, the usual case for a stand-alone computer.
    PrimaryDomain domain;
    if (probes.ReadPrimaryDomain(domain)) {
        isWorkgroup = !domain.hasSid;
        domainName = domain.name;
    } else {
        isWorkgroup = true;
        domainName.clear();
    }

    systemLogLines.clear();
    applicationLogLines.clear();
    if (needs.eventLogs) {
        EventLogReader reader(probes.EventRecords(), probes.MessageFileSource());
        reader.typeFilter = 1;
        reader.Read(0);
        for (const EventLogEntry& entry : reader.entries) systemLogLines.push_back(entry.Text());
        reader.entries.clear();
        reader.Read(1);
        for (const EventLogEntry& entry : reader.entries) applicationLogLines.push_back(entry.Text());
    }

    composeInfoLines();
}

// Every value below is data and is joined by concatenation, so a "%" in a
// name, title or process line appears as it is.
void ComputerInfo::composeInfoLines() {
    infoLines.clear();
    auto add = [this](std::wstring line) { infoLines.push_back(std::move(line)); };

    add(std::wstring(isWorkgroup ? L"Workgroup" : L"Domain   ") + L":\t" + domainName + L"\n");
    add(L"Computer Name:\t" + computerName + L"\n");
    add(L"User Name:\t" + userName + L"\n");
    add(L"---\n");
    for (size_t k = 0; k < adapters.size(); ++k) {
        const AdapterInfo& adapter = adapters[k];
        add(L"Adapter[" + std::to_wstring(k + 1) + L"]: " + adapter.description + L"\n");
        add(L"IP:\t\t" + adapter.ipAddress + L" / " + adapter.ipMask + L"\n");
        if (!adapter.gateway.empty()) add(L"Gateway:  \t" + adapter.gateway + L"\n");
        add(std::wstring(L"DHCP:\t\t") + (adapter.dhcpEnabled ? L"有効" : L"無効") + L"\n");
        add(L"---\n");
    }
    for (size_t i = 0; i < dnsServers.size(); ++i) {
        add(std::wstring(i == 0 ? L"DNS:" : L"") + L"\t\t" + dnsServers[i] + L"\n");
    }
    add(L"---\n");
    add(L"Up Time:  \t" + upTimeText + L"\n");
    add(L"Shot Date:\t" + shotDate + L"\n");
    add(L"Shot Time:\t" + shotTime + L"\n");
    if (!application.empty()) add(L"Application:\t" + application + L"\n");
    if (!windowText.empty()) add(L"Window Text:\t" + windowText + L"\n");
    add(kRule);
    for (const std::wstring& line : processLines) add(line);
    add(kRule);
    if (!battery.empty()) add(L"Battery: \t\t" + battery + L"\n");
    add(L"Memory Usage:\t" + memoryLoad + L" %\n");
    add(L"Phisical Memory:\t" + physicalTotal + L" KBytes (Total)\n");
    add(L"\t\t" + physicalFree + L" KBytes (Free)\n");
    add(L"Page File:\t\t" + pageFileTotal + L" KBytes (Total)\n");
    add(L"\t\t" + pageFileFree + L" KBytes (Free)\n");
    add(L"Virtual Memory:\t" + virtualTotal + L" MBytes (Total)\n");
    add(L"\t\t" + virtualFree + L" MBytes (Free)\n");
    add(kRule);
}

}  // namespace orbilux
