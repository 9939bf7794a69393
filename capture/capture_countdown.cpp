#include "capture/capture_countdown.h"

#include <algorithm>

namespace orbilux {

CaptureCountdown::Press CaptureCountdown::OnPress(uint32_t delaySeconds, uint64_t nowMs) {
    if (running_ || delaySeconds == 0) {
        running_ = false;
        return Press::CaptureNow;
    }
    running_ = true;
    endMs_ = nowMs + uint64_t(std::min(delaySeconds, kMaxSeconds)) * 1000;
    return Press::Wait;
}

uint32_t CaptureCountdown::SecondsLeft(uint64_t nowMs) const {
    if (!running_ || nowMs >= endMs_) return 0;
    return uint32_t((endMs_ - nowMs + 999) / 1000);
}

uint32_t CaptureCountdown::MsToNextChange(uint64_t nowMs) const {
    if (!running_ || nowMs >= endMs_) return 1;
    const uint64_t left = endMs_ - nowMs;
    const uint64_t intoSecond = left % 1000;
    return uint32_t(intoSecond == 0 ? 1000 : intoSecond);
}

bool CaptureCountdown::Expire(uint64_t nowMs) {
    if (!running_ || nowMs < endMs_) return false;
    running_ = false;
    return true;
}

}  // namespace orbilux
