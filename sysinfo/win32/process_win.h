// Process samples and names from the running system.
#pragma once

#include "sysinfo/process_list.h"

namespace orbilux {

// Walks a process snapshot for kernel plus user times and adds the idle time
// of all processors under id 0.
class Win32ProcessSource : public ProcessSource {
public:
    std::vector<ProcessTime> sampleTimes() override;
    void pause(std::chrono::milliseconds duration) override;
    ProcessInfo describe(uint32_t processId) override { return ProcessInfo::forProcess(processId); }
};

}  // namespace orbilux
