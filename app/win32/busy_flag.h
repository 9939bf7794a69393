// Process-wide busy flags. A flag is taken by an atomic compare-and-exchange
// from 0 to 1 and given back by an atomic exchange with 0; a caller that finds
// it taken never waits.
#pragma once

#include <atomic>
#include <cstdint>

namespace orbilux {

class BusyFlag {
public:
    bool TryTake() {
        int32_t expected = 0;
        return value_.compare_exchange_strong(expected, 1);
    }
    void Release() { value_.exchange(0); }
    bool IsTaken() const { return value_.load() != 0; }

private:
    std::atomic<int32_t> value_{0};
};

// Holds a flag for one scope when it could be taken.
class BusyFlagHold {
public:
    explicit BusyFlagHold(BusyFlag& flag) : flag_(flag), held_(flag.TryTake()) {}
    ~BusyFlagHold() {
        if (held_) flag_.Release();
    }
    BusyFlagHold(const BusyFlagHold&) = delete;
    BusyFlagHold& operator=(const BusyFlagHold&) = delete;
    bool Held() const { return held_; }

private:
    BusyFlag& flag_;
    bool held_;
};

// Guards the capture action and the easy/detail mode switch.
extern BusyFlag captureBusy;
// Guards the settings commands, the printer command, the hotkey toggle and the About box.
extern BusyFlag settingsBusy;

}  // namespace orbilux
