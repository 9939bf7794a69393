// The computer's state at a press: names, network, up time, foreground
// window, processes, power, memory and event-log excerpts. The moment is read
// at the key (ReadMoment) and the rest gathered beside the press's encoding
// (InfoGathering); read by the header and footer tokens, the printed Text
// pages and the text report.
#pragma once

#include <string>
#include <vector>

#include "base/calendar_time.h"

namespace orbilux {

class SystemProbes;

struct AdapterInfo {
    std::wstring description;
    std::wstring ipAddress;
    std::wstring ipMask;
    std::wstring gateway;
    bool dhcpEnabled = false;
};

// What one press needs gathered beyond names, network, up time, power and
// memory: the process list costs two samples 200 ms apart, the event logs a
// read of both logs, so each is taken only when the press prints or writes it.
struct GatherNeeds {
    bool processes = true;
    bool eventLogs = false;

    // A press with this report setting (0 none, 1 basic, 2 and 3 with the event logs).
    static GatherNeeds ForLogType(int logType) {
        GatherNeeds needs;
        needs.processes = logType != 0;
        needs.eventLogs = logType >= 2;
        return needs;
    }
};

struct ComputerInfo {
    std::vector<AdapterInfo> adapters;
    std::vector<std::wstring> ipAddresses;
    std::vector<std::wstring> dnsServers;
    std::wstring userName;
    std::wstring computerName;
    std::wstring shotDate;
    std::wstring shotTime;
    tamrik::CalendarTime localTime;
    int page = 0;       // current page, written by printing
    int pageCount = 0;  // pages of the current run, written by the capture action
    std::wstring windowText;
    std::wstring application;
    std::vector<std::wstring> processLines;
    std::vector<std::wstring> systemLogLines;
    std::vector<std::wstring> applicationLogLines;
    std::vector<std::wstring> infoLines;
    std::wstring upTimeText;
    bool isWorkgroup = false;
    std::wstring domainName;
    std::wstring battery;
    std::wstring memoryLoad;
    std::wstring physicalTotal;
    std::wstring physicalFree;
    std::wstring pageFileTotal;
    std::wstring pageFileFree;
    std::wstring virtualTotal;
    std::wstring virtualFree;

    // Fills every member except page and pageCount from what the probes
    // answer, then composes infoLines. The event-log lists are filled only
    // when asked. (With the Windows layer's Win32SystemProbes it asks the
    // running system.)
    void gatherComputerInfo(bool withEventLogs, orbilux::SystemProbes& probes);
    // The same, with the process list and the event logs only when needed
    // (left empty otherwise).
    void gatherComputerInfo(const GatherNeeds& needs, orbilux::SystemProbes& probes);
    // The two halves of that. What describes the moment of a press (its local
    // time, "Shot Date", "Shot Time", the foreground window's title and
    // program) is read at the press; the rest may be gathered later, on another
    // thread, and leaves the moment as it was read.
    void ReadMoment(orbilux::SystemProbes& probes);
    void GatherRest(const GatherNeeds& needs, orbilux::SystemProbes& probes);

    // Replaces infoLines from the other members.
    void composeInfoLines();
};

}  // namespace orbilux
