#include "capture/press_queue.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

namespace orbilux {

PressQueue::PressQueue(uint64_t byteBudget, std::function<void()> onWorkerStart)
    : budget_(byteBudget), worker_([this, onWorkerStart] {
          if (onWorkerStart) onWorkerStart();
          Run();
      }) {}

PressQueue::~PressQueue() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

bool PressQueue::Push(uint64_t bytes, std::function<void()> work) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (stopping_) return false;
        const bool empty = items_.empty() && running_ == 0;
        if (!empty && (bytes > budget_ || bytes_ > budget_ - bytes)) return false;
        bytes_ += bytes;
        items_.push_back(Item{bytes, std::move(work)});
    }
    wake_.notify_one();
    return true;
}

void PressQueue::Run() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        wake_.wait(hold, [this] { return stopping_ || !items_.empty(); });
        if (items_.empty()) return;  // stopping, and every press is done
        Item item = std::move(items_.front());
        items_.pop_front();
        running_ = 1;
        hold.unlock();
        // A press's work reports its own failures; one that throws must not
        // take the queue, and every later press, with it.
        try {
            item.work();
        } catch (...) {
        }
        item.work = nullptr;  // the pictures go before the bytes are given back
        hold.lock();
        running_ = 0;
        bytes_ -= item.bytes;
        if (items_.empty()) idle_.notify_all();
    }
}

void PressQueue::WaitIdle() {
    std::unique_lock<std::mutex> hold(lock_);
    idle_.wait(hold, [this] { return items_.empty() && running_ == 0; });
}

bool PressQueue::WaitIdleFor(uint32_t milliseconds) {
    std::unique_lock<std::mutex> hold(lock_);
    return idle_.wait_for(hold, std::chrono::milliseconds(milliseconds),
                          [this] { return items_.empty() && running_ == 0; });
}

size_t PressQueue::Pending() const {
    std::lock_guard<std::mutex> hold(lock_);
    return items_.size() + running_;
}

uint64_t PressQueue::PendingBytes() const {
    std::lock_guard<std::mutex> hold(lock_);
    return bytes_;
}

void ParallelFor(size_t count, unsigned threads, const std::function<void(size_t)>& fn,
                 const std::function<void()>& onHelperStart) {
    if (count == 0) return;
    if (threads <= 1 || count == 1) {
        for (size_t i = 0; i < count; ++i) fn(i);
        return;
    }
    std::atomic<size_t> next{0};
    auto drain = [&] {
        for (size_t i; (i = next.fetch_add(1)) < count;) fn(i);
    };
    std::vector<std::thread> helpers;
    const size_t extra = std::min<size_t>(threads, count) - 1;
    for (size_t t = 0; t < extra; ++t) {
        try {
            helpers.emplace_back([&] {
                if (onHelperStart) onHelperStart();
                drain();
            });
        } catch (...) {
            break;  // no thread: the calling thread does the rest
        }
    }
    drain();
    for (std::thread& helper : helpers) helper.join();
}

unsigned EncodingThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores ? cores : 1;
}

}  // namespace orbilux
