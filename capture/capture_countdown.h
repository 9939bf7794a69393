// The wait before the print key's capture: when it ends, what it shows, and
// what a second press during it does. Times are milliseconds of a monotonic
// clock the caller reads.
#pragma once

#include <cstdint>

namespace orbilux {

class CaptureCountdown {
public:
    // The longest wait, in seconds; longer requests wait this long.
    static constexpr uint32_t kMaxSeconds = 10;

    enum class Press { CaptureNow, Wait };

    // A press of the print key. With no countdown running and a delay above 0
    // a countdown starts and the press waits; a press during a countdown ends
    // it and captures at once, as does a press with no delay.
    Press OnPress(uint32_t delaySeconds, uint64_t nowMs);
    // Calls a running countdown off: nothing is captured.
    void Cancel() { running_ = false; }
    bool Running() const { return running_; }

    // The whole seconds still to wait, rounded up: what the countdown shows.
    uint32_t SecondsLeft(uint64_t nowMs) const;
    // How long until the shown number changes or the countdown ends (at least 1).
    uint32_t MsToNextChange(uint64_t nowMs) const;
    // True once the wait is over; the countdown has then ended and the
    // capture is due.
    bool Expire(uint64_t nowMs);

private:
    bool running_ = false;
    uint64_t endMs_ = 0;
};

}  // namespace orbilux
