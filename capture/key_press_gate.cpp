#include "capture/key_press_gate.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace orbilux {

// Keyboards keep their repeat delay only roughly: a quarter of it is left for
// that, so only a message clearly sooner than any repeat counts as a press.
KeyPressGate::KeyPressGate(IsKeyDown isDown, TellReleased tellReleased, std::chrono::milliseconds lookEvery,
                           std::chrono::milliseconds repeatDelay)
    : isDown_(std::move(isDown)),
      tellReleased_(std::move(tellReleased)),
      lookEvery_(lookEvery),
      soonestRepeatMs_(uint32_t(std::max<int64_t>(0, repeatDelay.count()) * 3 / 4)) {}

KeyPressGate::~KeyPressGate() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    if (watcher_.joinable()) watcher_.join();
}

bool KeyPressGate::StartsPress(uint32_t key, uint32_t messageTime) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto held = held_.find(key);
    if (held != held_.end() && uint32_t(messageTime - held->second.time) >= soonestRepeatMs_) return false;
    const uint64_t press = ++presses_;
    held_[key] = Held{press, messageTime};
    watching_[key] = press;
    if (!running_ && !stopping_) {
        // A watcher that ran out of keys has ended or is about to.
        if (watcher_.joinable()) watcher_.join();
        running_ = true;
        watcher_ = std::thread([this] { Watch(); });
    }
    return true;
}

void KeyPressGate::Released(uint32_t key, uint64_t press) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto held = held_.find(key);
    if (held != held_.end() && held->second.press == press) held_.erase(held);
}

void KeyPressGate::Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_ && !watching_.empty()) {
        stop_.wait_for(lock, lookEvery_, [this] { return stopping_; });
        if (stopping_) break;
        const std::vector<std::pair<uint32_t, uint64_t>> presses(watching_.begin(), watching_.end());
        lock.unlock();
        std::vector<std::pair<uint32_t, uint64_t>> told;
        for (const auto& press : presses) {
            if (!isDown_(press.first) && tellReleased_(press.first, press.second)) told.push_back(press);
        }
        lock.lock();
        for (const auto& press : told) {
            const auto watched = watching_.find(press.first);
            if (watched != watching_.end() && watched->second == press.second) watching_.erase(watched);
        }
    }
    running_ = false;
}

}  // namespace orbilux
