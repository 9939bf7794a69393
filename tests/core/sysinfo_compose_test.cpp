#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <memory>

#include "base/text.h"
#include "sysinfo/computer_info.h"
#include "sysinfo/info_gathering.h"
#include "sysinfo/event_log.h"
#include "sysinfo/system_probes.h"
#include "tests/common/fixed_clock.h"

using namespace orbilux;

namespace {

std::wstring Joined(const std::vector<std::wstring>& lines) {
    std::wstring all;
    for (const auto& line : lines) all += line;
    return all;
}

class NoRecords : public EventRecordSource {
public:
    bool Open(const std::wstring& logName) override {
        opened.push_back(logName);
        return true;
    }
    RecordRead ReadPrevious(EventRecord& record) override {
        if (pending.empty()) return RecordRead::End;
        record = pending.front();
        pending.pop_front();
        return RecordRead::Record;
    }
    void Close() override {}
    std::vector<std::wstring> opened;
    std::deque<EventRecord> pending;
};

class NoMessages : public MessageFiles {
public:
    bool Lookup(const std::wstring&, const std::wstring&, MessageKind, uint32_t,
                const std::vector<std::wstring>&, std::wstring&) override {
        return false;
    }
};

// Answers like a computer in a workgroup, on mains power, with one adapter.
class FakeProbes : public SystemProbes {
public:
    bool Adapters(std::vector<AdapterRecord>& out) override {
        out = adapterRecords;
        return adaptersOk;
    }
    std::vector<std::wstring> DnsServers() override { return dns; }
    std::wstring ComputerName() override { return L"PC01"; }
    std::wstring UserName() override { return L"taro"; }
    tamrik::CalendarTime LocalTime() override { return tamrik_test::CalendarAt(2024, 3, 5, 14, 3, 7); }
    bool ReadMemoryStatus(MemoryStatus& out) override {
        out.memoryLoad = 42;
        out.physicalTotal = 8ull << 30;
        out.physicalFree = 1023;
        out.pageFileTotal = 2048;
        out.pageFileFree = 4095;
        out.virtualTotal = 3ull << 20;
        out.virtualFree = (1ull << 20) - 1;
        return true;
    }
    std::vector<std::wstring> ProcessLines() override { return {L"one\n", L"two\n"}; }
    ForegroundWindow ReadForegroundWindow() override { return foreground; }
    std::wstring ProcessName(uint32_t processId) override { return L"App " + std::to_wstring(processId); }
    bool UpTimeCounter(uint32_t& seconds) override {
        seconds = counterSeconds;
        return counterOk;
    }
    uint64_t MillisecondsSinceStart() override { return 61999; }
    bool ReadPowerStatus(PowerStatus& out) override {
        out = power;
        return powerOk;
    }
    bool ReadPrimaryDomain(PrimaryDomain& out) override {
        out = domain;
        return domainOk;
    }
    EventRecordSource& EventRecords() override { return records; }
    MessageFiles& MessageFileSource() override { return messages; }

    std::vector<AdapterRecord> adapterRecords;
    bool adaptersOk = true;
    std::vector<std::wstring> dns;
    ForegroundWindow foreground;
    uint32_t counterSeconds = 93784;
    bool counterOk = true;
    PowerStatus power{1, 255};
    bool powerOk = true;
    PrimaryDomain domain{L"WORKGROUP", false};
    bool domainOk = true;
    NoRecords records;
    NoMessages messages;
};

AdapterRecord MakeAdapterRecord(const std::wstring& name, const std::wstring& description,
                                const std::wstring& gateway) {
    AdapterRecord a;
    a.adapterName = name;
    a.description = description;
    a.ipAddress = L"192.168.0.10";
    a.ipMask = L"255.255.255.0";
    a.gateway = gateway;
    a.dhcpEnabled = true;
    return a;
}

}  // namespace

TEST(SysinfoCompose, FirstRowLabelsWorkgroupAndDomainWithEqualWidth) {
    ComputerInfo info;
    info.isWorkgroup = true;
    info.domainName = L"WORKGROUP";
    info.composeInfoLines();
    EXPECT_EQ(info.infoLines.at(0), L"Workgroup:\tWORKGROUP\n");

    info.isWorkgroup = false;
    info.domainName = L"CORP";
    info.composeInfoLines();
    EXPECT_EQ(info.infoLines.at(0), L"Domain   :\tCORP\n");
}

TEST(SysinfoCompose, WholeTableOfAnEmptyRecord) {
    ComputerInfo info;
    info.isWorkgroup = true;
    info.composeInfoLines();
    const std::wstring rule = L"----------------------------------------\n";
    const std::vector<std::wstring> expected = {L"Workgroup:\t\n",
                                                L"Computer Name:\t\n",
                                                L"User Name:\t\n",
                                                L"---\n",
                                                L"---\n",
                                                L"Up Time:  \t\n",
                                                L"Shot Date:\t\n",
                                                L"Shot Time:\t\n",
                                                rule,
                                                rule,
                                                L"Memory Usage:\t %\n",
                                                L"Phisical Memory:\t KBytes (Total)\n",
                                                L"\t\t KBytes (Free)\n",
                                                L"Page File:\t\t KBytes (Total)\n",
                                                L"\t\t KBytes (Free)\n",
                                                L"Virtual Memory:\t MBytes (Total)\n",
                                                L"\t\t MBytes (Free)\n",
                                                rule};
    EXPECT_EQ(info.infoLines, expected);
}

TEST(SysinfoCompose, AdaptersDnsAndOptionalRows) {
    ComputerInfo info;
    info.adapters = {{L"Intel(R) Ethernet", L"10.0.0.2", L"255.0.0.0", L"10.0.0.1", true},
                     {L"Loop", L"10.1.0.2", L"255.255.0.0", L"", false}};
    info.dnsServers = {L"8.8.8.8", L"1.1.1.1"};
    info.application = L"Editor";
    info.windowText = L"memo.txt";
    info.battery = L"AC Power";
    info.composeInfoLines();
    const std::wstring all = Joined(info.infoLines);
    EXPECT_NE(all.find(L"---\nAdapter[1]: Intel(R) Ethernet\nIP:\t\t10.0.0.2 / 255.0.0.0\n"
                       L"Gateway:  \t10.0.0.1\nDHCP:\t\t有効\n---\n"
                       L"Adapter[2]: Loop\nIP:\t\t10.1.0.2 / 255.255.0.0\nDHCP:\t\t無効\n---\n"
                       L"DNS:\t\t8.8.8.8\n\t\t1.1.1.1\n---\nUp Time:  \t"),
              std::wstring::npos)
        << tamrik::WideToUtf8(all);
    EXPECT_NE(all.find(L"Application:\tEditor\nWindow Text:\tmemo.txt\n-----"), std::wstring::npos);
    EXPECT_NE(all.find(L"----\nBattery: \t\tAC Power\nMemory Usage:"), std::wstring::npos);
}

TEST(SysinfoCompose, NamesAndTitlesAreNeverFormats) {
    ComputerInfo info;
    info.computerName = L"100% done %s";
    info.windowText = L"%d%n%%";
    info.processLines = {L"50%s\t(1)\n"};
    info.composeInfoLines();
    EXPECT_EQ(info.infoLines.at(1), L"Computer Name:\t100% done %s\n");
    const std::wstring all = Joined(info.infoLines);
    EXPECT_NE(all.find(L"Window Text:\t%d%n%%\n"), std::wstring::npos);
    EXPECT_NE(all.find(L"\n50%s\t(1)\n"), std::wstring::npos);
}

TEST(SysinfoCompose, UpTimePowerAndDescriptionHelpers) {
    EXPECT_EQ(FormatUpTime(93784), L"1 days 02:03:04");
    EXPECT_EQ(FormatUpTime(0), L"0 days 00:00:00");
    EXPECT_EQ(FormatUpTime(4294967295u), L"49710 days 06:28:15");
    EXPECT_EQ(FormatPowerStatus({1, 85}), L"AC Power");
    EXPECT_EQ(FormatPowerStatus({0, 85}), L"Battery: 85%");
    EXPECT_EQ(FormatPowerStatus({255, 255}), L"Battery: 255%");
    EXPECT_EQ(ShortAdapterDescription(L"Intel(R) Ethernet - Packet Scheduler Miniport"),
              L"Intel(R) Ethernet");
    EXPECT_EQ(ShortAdapterDescription(L" - Miniport - x"), L" - Miniport - x");
    EXPECT_EQ(ShortAdapterDescription(L"Plain-Name"), L"Plain-Name");
}

TEST(SysinfoGatherFake, FillsEveryMemberFromTheProbes) {
    FakeProbes probes;
    probes.adapterRecords = {MakeAdapterRecord(L"{A}", L"Intel(R) Ethernet - Packet Scheduler Miniport", L""),
                             MakeAdapterRecord(L"", L"nameless", L"1.2.3.4"),
                             MakeAdapterRecord(L"{B}", L" - Odd", L"10.0.0.1")};
    ComputerInfo info;
    info.systemLogLines = {L"old"};
    info.applicationLogLines = {L"old"};
    info.page = 3;
    info.gatherComputerInfo(false, probes);

    ASSERT_EQ(info.adapters.size(), 2u);
    EXPECT_EQ(info.adapters[0].description, L"Intel(R) Ethernet");
    EXPECT_EQ(info.adapters[1].description, L" - Odd");
    EXPECT_EQ(info.ipAddresses, std::vector<std::wstring>({L"192.168.0.10", L"192.168.0.10"}));
    EXPECT_EQ(info.computerName, L"PC01");
    EXPECT_EQ(info.userName, L"taro");
    EXPECT_EQ(info.shotDate, L"2024/03/05");
    EXPECT_EQ(info.shotTime, L"14:03:07");
    EXPECT_EQ(info.localTime.minute, 3);
    EXPECT_EQ(info.memoryLoad, L"42");
    EXPECT_EQ(info.physicalTotal, L"8388608");
    EXPECT_EQ(info.physicalFree, L"0");
    EXPECT_EQ(info.pageFileTotal, L"2");
    EXPECT_EQ(info.pageFileFree, L"3");
    EXPECT_EQ(info.virtualTotal, L"3");
    EXPECT_EQ(info.virtualFree, L"0");
    EXPECT_EQ(info.upTimeText, L"1 days 02:03:04");
    EXPECT_EQ(info.battery, L"AC Power");
    EXPECT_TRUE(info.isWorkgroup);
    EXPECT_EQ(info.domainName, L"WORKGROUP");
    EXPECT_TRUE(info.systemLogLines.empty());
    EXPECT_TRUE(info.applicationLogLines.empty());
    EXPECT_TRUE(probes.records.opened.empty());
    EXPECT_EQ(info.page, 3);

    const std::wstring all = Joined(info.infoLines);
    EXPECT_EQ(all.find(L"Gateway"), all.rfind(L"Gateway"));  // only the second adapter has one
    EXPECT_NE(all.find(L"DHCP:\t\t有効\n---\n---\nUp Time:"), std::wstring::npos);  // no DNS rows
    EXPECT_NE(all.find(L"-\none\ntwo\n-"), std::wstring::npos);
}

TEST(SysinfoGatherFake, OwnWindowInFrontLeavesApplicationAndTitleOut) {
    FakeProbes probes;
    probes.foreground = {true, 77, true, L"Tamrik"};
    ComputerInfo info;
    info.application = L"stale";
    info.windowText = L"stale";
    info.gatherComputerInfo(false, probes);
    EXPECT_TRUE(info.application.empty());
    EXPECT_TRUE(info.windowText.empty());
    const std::wstring all = Joined(info.infoLines);
    EXPECT_EQ(all.find(L"Application"), std::wstring::npos);
    EXPECT_EQ(all.find(L"Window Text"), std::wstring::npos);

    probes.foreground = {true, 77, false, L"memo - Notepad"};
    info.gatherComputerInfo(false, probes);
    EXPECT_EQ(info.application, L"App 77");
    EXPECT_EQ(info.windowText, L"memo - Notepad");
}

TEST(SysinfoGatherFake, FallBacksWhenProbesFail) {
    FakeProbes probes;
    probes.adaptersOk = false;
    probes.adapterRecords = {MakeAdapterRecord(L"{A}", L"x", L"")};
    probes.counterOk = false;
    probes.powerOk = false;
    probes.domainOk = false;
    probes.power = {0, 50};
    ComputerInfo info;
    info.gatherComputerInfo(false, probes);
    EXPECT_TRUE(info.adapters.empty());
    EXPECT_EQ(info.upTimeText, L"0 days 00:01:01");  // 61999 ms
    EXPECT_TRUE(info.battery.empty());
    EXPECT_EQ(Joined(info.infoLines).find(L"Battery"), std::wstring::npos);
    EXPECT_TRUE(info.isWorkgroup);
    EXPECT_TRUE(info.domainName.empty());

    probes.domainOk = true;
    probes.domain = {L"CORP", true};
    probes.powerOk = true;
    info.gatherComputerInfo(false, probes);
    EXPECT_EQ(info.infoLines.at(0), L"Domain   :\tCORP\n");
    EXPECT_EQ(info.battery, L"Battery: 50%");
}

TEST(SysinfoGatherFake, EventLogsAreReadSystemFirstOnlyWhenAsked) {
    FakeProbes probes;
    EventRecord error;
    error.eventType = 1;
    error.eventId = 7;
    error.source = L"Disk";
    error.computer = L"PC01";
    probes.records.pending = {error};
    ComputerInfo info;
    info.gatherComputerInfo(true, probes);
    EXPECT_EQ(probes.records.opened, std::vector<std::wstring>({L"System", L"Application"}));
    ASSERT_EQ(info.systemLogLines.size(), 1u);
    EXPECT_NE(info.systemLogLines[0].find(L" Disk PC01 N/A\n(7)\n"), std::wstring::npos);
    EXPECT_TRUE(info.applicationLogLines.empty());

    info.gatherComputerInfo(false, probes);
    EXPECT_TRUE(info.systemLogLines.empty());
}

TEST(SysinfoGatherFake, APressGathersOnlyWhatItsReportSettingUses) {
    struct CountingProbes : FakeProbes {
        std::vector<std::wstring> ProcessLines() override {
            ++processSamples;
            return FakeProbes::ProcessLines();
        }
        int processSamples = 0;
    } probes;
    ComputerInfo info;
    info.processLines = {L"stale\n"};
    // No report and no Text pages: no process samples, no event logs, but the
    // names and the time the header and footer print are there.
    info.gatherComputerInfo(GatherNeeds::ForLogType(0), probes);
    EXPECT_EQ(probes.processSamples, 0);
    EXPECT_TRUE(info.processLines.empty());
    EXPECT_TRUE(probes.records.opened.empty());
    EXPECT_EQ(info.computerName, L"PC01");
    EXPECT_EQ(info.shotTime, L"14:03:07");

    // The basic report lists the processes but never reads the event logs.
    info.gatherComputerInfo(GatherNeeds::ForLogType(1), probes);
    EXPECT_EQ(probes.processSamples, 1);
    EXPECT_EQ(info.processLines.size(), 2u);
    EXPECT_TRUE(probes.records.opened.empty());

    for (int logType : {2, 3}) {
        probes.records.opened.clear();
        info.gatherComputerInfo(GatherNeeds::ForLogType(logType), probes);
        EXPECT_EQ(probes.records.opened, std::vector<std::wstring>({L"System", L"Application"}));
    }
}

TEST(SysinfoGatherFake, TheMomentIsReadAtThePressAndKeptByTheLaterGathering) {
    // A computer whose clock and foreground window move on after the press.
    struct MovingProbes : FakeProbes {
        tamrik::CalendarTime LocalTime() override {
            tamrik::CalendarTime t = FakeProbes::LocalTime();
            t.second = uint16_t(7 + reads++);
            return t;
        }
        int reads = 0;
    };
    auto probes = std::make_shared<MovingProbes>();
    probes->foreground = {true, 12, false, L"Q&A - Notepad"};
    ComputerInfo moment;
    moment.ReadMoment(*probes);
    probes->foreground = {true, 13, false, L"later window"};

    std::atomic<int> made{0};
    auto gathering =
        InfoGathering::Start(moment, GatherNeeds::ForLogType(1), [&]() -> std::unique_ptr<SystemProbes> {
            ++made;
            auto copy = std::make_unique<MovingProbes>(*probes);
            return copy;
        });
    const ComputerInfo& info = gathering->Wait();
    EXPECT_EQ(made.load(), 1);
    EXPECT_EQ(info.shotTime, L"14:03:07");
    EXPECT_EQ(info.localTime.second, 7);
    EXPECT_EQ(info.windowText, L"Q&A - Notepad");
    EXPECT_EQ(info.application, L"App 12");
    // The rest arrived with the gathering, and the lines show both.
    EXPECT_EQ(info.computerName, L"PC01");
    EXPECT_EQ(info.processLines.size(), 2u);
    const auto has = [&](const std::wstring& line) {
        return std::find(info.infoLines.begin(), info.infoLines.end(), line) != info.infoLines.end();
    };
    EXPECT_TRUE(has(L"Shot Time:\t14:03:07\n"));
    EXPECT_TRUE(has(L"Window Text:\tQ&A - Notepad\n"));
    // Waiting again gives the same information without gathering again.
    EXPECT_EQ(&gathering->Wait(), &info);
    EXPECT_EQ(made.load(), 1);
}

TEST(SysinfoGatherFake, AGatheringNobodyWaitsForEndsWithItsOwner) {
    std::atomic<bool> gathered{false};
    {
        auto gathering = InfoGathering::Start(ComputerInfo{}, GatherNeeds::ForLogType(2), [&] {
            gathered = true;
            return std::unique_ptr<SystemProbes>(new FakeProbes());
        });
    }
    EXPECT_TRUE(gathered.load());
}
