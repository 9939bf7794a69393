#include "sysinfo/info_gathering.h"

namespace orbilux {

InfoGathering::InfoGathering(ComputerInfo moment, GatherNeeds needs, ProbeFactory probes)
    : info_(std::move(moment)), needs_(needs), probes_(std::move(probes)) {}

std::shared_ptr<InfoGathering> InfoGathering::Start(ComputerInfo moment, GatherNeeds needs,
                                                    ProbeFactory probes,
                                                    std::function<void()> onThreadStart) {
    std::shared_ptr<InfoGathering> gathering(new InfoGathering(std::move(moment), needs, std::move(probes)));
    InfoGathering* self = gathering.get();
    try {
        // The thread only ever sees the object, never the owner: the owner's
        // destructor waits for it.
        self->thread_ = std::thread([self, onThreadStart] {
            if (onThreadStart) onThreadStart();
            self->Gather();
        });
    } catch (...) {
        // No thread: Wait gathers on its caller's thread.
    }
    return gathering;
}

void InfoGathering::Gather() {
    try {
        std::unique_ptr<SystemProbes> probes = probes_ ? probes_() : nullptr;
        if (probes) info_.GatherRest(needs_, *probes);
    } catch (...) {
        // What was read stays; a probe that fails leaves its values empty.
    }
}

const ComputerInfo& InfoGathering::Wait() {
    // The first waiter joins the thread (or gathers, when there is none);
    // every other waiter waits for that.
    std::call_once(waited_, [this] {
        if (thread_.joinable())
            thread_.join();
        else
            Gather();
    });
    return info_;
}

InfoGathering::~InfoGathering() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace orbilux
