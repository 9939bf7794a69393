#include "capture/key_press_gate.h"

#include <utility>
#include <vector>

namespace orbilux {

KeyPressGate::KeyPressGate(IsKeyDown isDown, TellReleased tellReleased, std::chrono::milliseconds lookEvery)
    : isDown_(std::move(isDown)), tellReleased_(std::move(tellReleased)), lookEvery_(lookEvery) {}

KeyPressGate::~KeyPressGate() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    if (watcher_.joinable()) watcher_.join();
}

bool KeyPressGate::StartsPress(uint32_t key) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (held_.count(key)) return false;
    held_.insert(key);
    watching_[key] = ++presses_;
    if (!running_ && !stopping_) {
        // A watcher that ran out of keys has ended or is about to.
        if (watcher_.joinable()) watcher_.join();
        running_ = true;
        watcher_ = std::thread([this] { Watch(); });
    }
    return true;
}

void KeyPressGate::Released(uint32_t key) {
    std::lock_guard<std::mutex> lock(mutex_);
    held_.erase(key);
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
            if (!isDown_(press.first) && tellReleased_(press.first)) told.push_back(press);
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
