// The computer information of one press, gathered on a thread of its own while
// the press's pictures are encoded. The moment of the press (its time and the
// foreground window) has already been read into the information it starts
// from; the gathering fills in the rest and leaves the moment as it was.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "sysinfo/computer_info.h"
#include "sysinfo/system_probes.h"

namespace orbilux {

class InfoGathering {
public:
    using ProbeFactory = std::function<std::unique_ptr<SystemProbes>()>;

    // Starts gathering what `needs` asks for beyond `moment`. The probes are
    // made and asked on the gathering thread; onThreadStart runs first there.
    // When no thread can be started, the gathering runs in the first Wait.
    static std::shared_ptr<InfoGathering> Start(ComputerInfo moment, GatherNeeds needs, ProbeFactory probes,
                                                std::function<void()> onThreadStart = {});

    // Waits until the gathering is done; the whole information. Any thread may
    // wait, any number of times.
    const ComputerInfo& Wait();

    // Waits for the thread, so nothing outlives the information it fills.
    ~InfoGathering();
    InfoGathering(const InfoGathering&) = delete;
    InfoGathering& operator=(const InfoGathering&) = delete;

private:
    InfoGathering(ComputerInfo moment, GatherNeeds needs, ProbeFactory probes);
    void Gather();

    ComputerInfo info_;
    GatherNeeds needs_;
    ProbeFactory probes_;
    std::once_flag waited_;
    std::thread thread_;
};

}  // namespace orbilux
