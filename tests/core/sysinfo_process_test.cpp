#include <gtest/gtest.h>

#include <map>

#include "sysinfo/process_list.h"

using namespace orbilux;

namespace {

class FakeProcesses : public ProcessSource {
public:
    std::vector<ProcessTime> SampleTimes() override { return passes.at(pass++); }
    void Pause(std::chrono::milliseconds duration) override { paused += duration; }
    ProcessInfo Describe(uint32_t processId) override {
        auto found = infos.find(processId);
        if (found != infos.end()) return found->second;
        ProcessInfo unnamed;
        unnamed.path = ProcessIdName(processId);
        return unnamed;
    }

    std::vector<std::vector<ProcessTime>> passes;
    size_t pass = 0;
    std::chrono::milliseconds paused{0};
    std::map<uint32_t, ProcessInfo> infos;
};

ProcessInfo Named(const std::wstring& description, uint64_t workingSet) {
    ProcessInfo info;
    info.description = description;
    info.workingSet = workingSet;
    return info;
}

}  // namespace

TEST(SysinfoProcess, ExplorerLineOfAnEighthOfTheWindow) {
    FakeProcesses source;
    // explorer.exe uses 1,250,000 of 10,000,000 units; the idle entry the rest.
    source.passes = {{{0, 1000}, {1234, 500}}, {{0, 8751000}, {1234, 1250500}}};
    source.infos[1234] = Named(L"explorer.exe", 52ull * 1048576 + 1048575);
    ProcessList list;
    list.Sample(source);

    EXPECT_EQ(source.paused, std::chrono::milliseconds(200));
    EXPECT_EQ(list.total, 10000000u);
    ASSERT_EQ(list.lines.size(), 2u);
    EXPECT_EQ(list.lines[0], L"ProcessID:0000" + std::wstring(25, L' ') + L"\t(0)\t87.50%\t(0MB)\n");
    EXPECT_EQ(list.lines[1], L"explorer.exe" + std::wstring(27, L' ') + L"\t(1234)\t12.50%\t(52MB)\n");
}

TEST(SysinfoProcess, OrderIdlenessAndSingleSampleProcesses) {
    FakeProcesses source;
    source.passes = {{{900, 10}, {5, 100}, {77, 50}, {31, 1000}},
                     {{31, 1000}, {5, 400}, {900, 110}, {600, 99999999}}};
    ProcessList list;
    list.Sample(source);
    // 77 ended and 600 started between the samples: neither has a difference.
    // 31 used nothing in the window.
    EXPECT_EQ(list.total, 400u);
    ASSERT_EQ(list.lines.size(), 2u);
    EXPECT_EQ(list.lines[0].substr(0, 14), L"ProcessID:0005");
    EXPECT_NE(list.lines[0].find(L"\t(5)\t75.00%\t"), std::wstring::npos);
    EXPECT_EQ(list.lines[1].substr(0, 14), L"ProcessID:0384");
    EXPECT_NE(list.lines[1].find(L"\t25.00%\t"), std::wstring::npos);
}

TEST(SysinfoProcess, ReusedIdAndSilentWindowGiveNoLines) {
    FakeProcesses source;
    source.passes = {{{8, 5000}}, {{8, 20}}};  // the id now belongs to a younger process
    ProcessList list;
    list.Sample(source);
    EXPECT_EQ(list.total, 0u);
    EXPECT_TRUE(list.lines.empty());

    FakeProcesses quiet;
    quiet.passes = {{{1, 7}, {2, 9}}, {{1, 7}, {2, 9}}};
    list.Sample(quiet);
    EXPECT_TRUE(list.lines.empty());
}

TEST(SysinfoProcess, NamesAreCutPaddedAndNeverFormats) {
    const std::wstring long45(45, L'x');
    std::wstring line = FormatProcessLine(long45, 9, 100.0, 0);
    EXPECT_EQ(line, std::wstring(39, L'x') + L"\t(9)\t100.00%\t(0MB)\n");
    line = FormatProcessLine(L"a.exe", 9, 0.5, 1048576);
    EXPECT_EQ(line, L"a.exe" + std::wstring(34, L' ') + L"\t(9)\t0.50%\t(1MB)\n");
    line = FormatProcessLine(L"100% done %s", 4294967295u, 1.0, 0);
    EXPECT_EQ(line.substr(0, 12), L"100% done %s");
    EXPECT_NE(line.find(L"\t(4294967295)\t1.00%\t"), std::wstring::npos);
}

TEST(SysinfoProcess, NamePreference) {
    ProcessInfo info;
    info.path = L"C:\\a.exe";
    EXPECT_EQ(info.Name(), L"C:\\a.exe");
    info.displayName = L"a";
    EXPECT_EQ(info.Name(), L"a");
    info.description = L"Alpha";
    EXPECT_EQ(info.Name(), L"Alpha");
    EXPECT_EQ(ProcessIdName(0), L"ProcessID:0000");
    EXPECT_EQ(ProcessIdName(0x1abcd), L"ProcessID:1abcd");
}
