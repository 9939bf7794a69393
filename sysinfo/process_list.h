// The processes that used the processor around a capture: two samples of all
// processes' processor times 200 ms apart, turned into one text line each.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace orbilux {

// A readable name for one process. Filled on Windows by ForProcess.
struct ProcessInfo {
    std::wstring description;  // "FileDescription" of the main module's version resource
    std::wstring path;         // main module path, or "ProcessID:%04x"; only when displayName is empty
    std::wstring displayName;  // shell display name of the main module file
    uint64_t workingSet = 0;   // bytes; 0 when the process cannot be opened

    // Description if not empty, else display name if not empty, else path.
    std::wstring Name() const;

    // Looks the process up on the running system (Windows only).
    static ProcessInfo ForProcess(uint32_t processId);
};

// "ProcessID:%04x": the name of a process whose module cannot be read.
std::wstring ProcessIdName(uint32_t processId);

// One process's kernel plus user time (100 ns units) in one sample.
struct ProcessTime {
    uint32_t processId = 0;
    uint64_t time = 0;
};

// Where the process list takes its samples and names from.
class ProcessSource {
public:
    virtual ~ProcessSource() = default;
    // Every process that could be opened, plus the idle time under id 0 when known.
    virtual std::vector<ProcessTime> SampleTimes() = 0;
    virtual void Pause(std::chrono::milliseconds duration) = 0;
    virtual ProcessInfo Describe(uint32_t processId) = 0;
};

class ProcessList {
public:
    // Takes both samples and fills lines.
    void Sample(ProcessSource& source);

    // Per process id: the first sample's time, then the difference of the two.
    std::map<uint32_t, uint64_t> samples;
    uint64_t total = 0;
    std::vector<std::wstring> lines;

private:
    void Record(const std::vector<ProcessTime>& times, bool second);
};

// One process line: the name cut or padded to 39 characters, the id, the
// share with two decimals and the working set in megabytes, tab-separated.
std::wstring FormatProcessLine(const std::wstring& name, uint32_t processId, double cpuPercent,
                               uint64_t workingSet);

}  // namespace orbilux
