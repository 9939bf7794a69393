// gatherComputerInfo against the running system.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cwctype>
#include <thread>

#include "sysinfo/computer_info.h"
#include "sysinfo/process_list.h"
#include "sysinfo/win32/process_win.h"
#include "sysinfo/win32/system_probes_win.h"

using namespace orbilux;

namespace {

bool AllDigits(const std::wstring& text) {
    if (text.empty()) return false;
    for (wchar_t c : text) {
        if (!std::iswdigit(c)) return false;
    }
    return true;
}

// Keeps a processor busy so that this process has time to show in the window.
class BusyThread {
public:
    BusyThread()
        : worker_([this] {
              volatile uint64_t sink = 0;
              while (!stop_) sink = sink + 1;
          }) {}
    ~BusyThread() {
        stop_ = true;
        worker_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

}  // namespace

TEST(SysinfoGather, FillsTheRecordFromTheRunningSystem) {
    ComputerInfo info;
    info.page = 2;
    info.systemLogLines = {L"stale"};
    {
        BusyThread busy;
        GatherNeeds needs;
        needs.eventLogs = true;
        GatherSystemInfo(info, needs);
    }
    EXPECT_FALSE(info.computerName.empty());
    EXPECT_FALSE(info.userName.empty());
    EXPECT_EQ(info.shotDate.size(), 10u);
    EXPECT_EQ(info.shotDate[4], L'/');
    EXPECT_EQ(info.shotTime.size(), 8u);
    EXPECT_EQ(info.shotTime[2], L':');
    EXPECT_GE(info.localTime.year, 2024);
    for (const std::wstring* number :
         {&info.memoryLoad, &info.physicalTotal, &info.physicalFree, &info.pageFileTotal, &info.pageFileFree,
          &info.virtualTotal, &info.virtualFree}) {
        EXPECT_TRUE(AllDigits(*number)) << *number;
    }
    EXPECT_GT(std::stoull(info.physicalTotal), 0u);
    EXPECT_NE(info.upTimeText.find(L" days "), std::wstring::npos);
    EXPECT_EQ(info.page, 2);

    const std::wstring ownId = L"\t(" + std::to_wstring(::GetCurrentProcessId()) + L")\t";
    bool listed = false;
    for (const std::wstring& line : info.processLines) {
        EXPECT_EQ(line.back(), L'\n');
        EXPECT_EQ(line[39], L'\t');
        if (line.find(ownId) != std::wstring::npos) listed = true;
    }
    EXPECT_TRUE(listed);
    EXPECT_FALSE(info.infoLines.empty());
    EXPECT_EQ(info.infoLines.back(), L"----------------------------------------\n");
    for (const std::wstring& line : info.systemLogLines) EXPECT_NE(line, L"stale");
}

TEST(SysinfoGather, ProbesAnswerOrFailQuietly) {
    Win32SystemProbes probes;
    uint32_t seconds = 0;
    const bool counter = probes.UpTimeCounter(seconds);
    const uint64_t ticks = probes.MillisecondsSinceStart() / 1000;
    if (counter) {
        EXPECT_LT(seconds, ticks + 3600 * 24 * 365u);
    }
    std::vector<AdapterRecord> adapters;
    if (probes.Adapters(adapters)) {
        for (const AdapterRecord& adapter : adapters) EXPECT_NE(adapter.gateway, L"0.0.0.0");
    }
    for (const std::wstring& server : probes.DnsServers()) EXPECT_FALSE(server.empty());
    PrimaryDomain domain;
    if (probes.ReadPrimaryDomain(domain)) {
        EXPECT_FALSE(domain.name.empty());
    }
    PowerStatus power;
    EXPECT_TRUE(probes.ReadPowerStatus(power));
    const ForegroundWindow foreground = probes.ReadForegroundWindow();
    if (foreground.found && !foreground.ownProcess) {
        EXPECT_FALSE(probes.ProcessName(foreground.processId).empty());
    }
}

TEST(SysinfoGather, ProcessNamesAndSamples) {
    const ProcessInfo own = ProcessInfo::ForProcess(::GetCurrentProcessId());
    EXPECT_FALSE(own.Name().empty());
    EXPECT_EQ(own.Name().find(L"ProcessID:"), std::wstring::npos);
    EXPECT_GT(own.workingSet, 0u);

    const ProcessInfo idle = ProcessInfo::ForProcess(0);
    EXPECT_EQ(idle.Name(), L"ProcessID:0000");
    EXPECT_EQ(idle.workingSet, 0u);

    Win32ProcessSource source;
    bool sawOwn = false;
    bool sawIdle = false;
    for (const ProcessTime& t : source.SampleTimes()) {
        if (t.processId == ::GetCurrentProcessId()) sawOwn = true;
        if (t.processId == 0) sawIdle = true;
    }
    EXPECT_TRUE(sawOwn);
    EXPECT_TRUE(sawIdle);
}
