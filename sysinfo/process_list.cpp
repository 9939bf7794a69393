#include "sysinfo/process_list.h"

#include <boost/format.hpp>

namespace orbilux {

namespace {
constexpr size_t kNameWidth = 39;
constexpr std::chrono::milliseconds kSampleGap{200};
}  // namespace

std::wstring ProcessInfo::Name() const {
    if (!description.empty()) return description;
    if (!displayName.empty()) return displayName;
    return path;
}

std::wstring ProcessIdName(uint32_t processId) {
    return (boost::wformat(L"ProcessID:%04x") % processId).str();
}

std::wstring FormatProcessLine(const std::wstring& name, uint32_t processId, double cpuPercent,
                               uint64_t workingSet) {
    // The name is data: it is cut and padded by hand, never used as a format.
    std::wstring line = name.substr(0, kNameWidth);
    line.append(kNameWidth - line.size(), L' ');
    line += L"\t(" + std::to_wstring(processId) + L")\t";
    line += (boost::wformat(L"%3.2f") % cpuPercent).str();
    line += L"%\t(" + std::to_wstring(workingSet / 1048576) + L"MB)\n";
    return line;
}

void ProcessList::Record(const std::vector<ProcessTime>& times, bool second) {
    if (!second) {
        samples.clear();
        for (const ProcessTime& t : times) samples.emplace(t.processId, t.time);
        return;
    }
    // Only processes seen in both samples are kept: one that started or ended
    // in between has no difference to show, and its whole accumulated time
    // would dwarf the window. A time that went backwards means the id now
    // belongs to another process.
    std::map<uint32_t, uint64_t> differences;
    for (const ProcessTime& t : times) {
        auto first = samples.find(t.processId);
        if (first == samples.end() || differences.count(t.processId) || t.time < first->second) continue;
        const uint64_t used = t.time - first->second;
        differences.emplace(t.processId, used);
        total += used;
    }
    samples.swap(differences);
}

void ProcessList::Sample(ProcessSource& source) {
    total = 0;
    Record(source.SampleTimes(), false);
    source.Pause(kSampleGap);
    total = 0;
    Record(source.SampleTimes(), true);

    lines.clear();
    if (total == 0) return;
    for (const auto& [processId, used] : samples) {
        if (used == 0) continue;
        const ProcessInfo info = source.Describe(processId);
        const double cpu = static_cast<double>(used) / static_cast<double>(total) * 100.0;
        lines.push_back(FormatProcessLine(info.Name(), processId, cpu, info.workingSet));
    }
}

}  // namespace orbilux
