// Process samples and names from the running system.
#pragma once

#include "sysinfo/process_list.h"

namespace orbilux {

// Walks a process snapshot for kernel plus user times and adds the idle time
// of all processors under id 0.
class Win32ProcessSource : public ProcessSource {
public:
    std::vector<ProcessTime> SampleTimes() override;
    void Pause(std::chrono::milliseconds duration) override;
    ProcessInfo Describe(uint32_t processId) override { return ProcessInfo::ForProcess(processId); }
};

}  // namespace orbilux
