// The work a press leaves after its grab (pictures prepared and encoded, the
// computer information, the report, the hand-off to printing) runs here, on a
// worker thread of its own, one press after another in the order of the
// presses, so the user-interface thread is back in its message loop as soon as
// the screen has been read.
//
// The queue is bounded by the pixels it holds: a press is taken while the
// pictures already waiting stay within the budget; a press that would go past
// it is refused (its caller tells the user). The first press is always taken,
// however large, when nothing is waiting.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace orbilux {

class PressQueue {
public:
    // The budget the program runs with: 1 GiB of raw pixels, seven presses of
    // three 4K monitors or about 170 of one full-HD screen.
    static constexpr uint64_t kDefaultByteBudget = uint64_t(1) << 30;

    // onWorkerStart runs first on the worker thread (the program lowers the
    // thread's priority there, so a grab on the user-interface thread comes first).
    explicit PressQueue(uint64_t byteBudget = kDefaultByteBudget, std::function<void()> onWorkerStart = {});
    // Lets the queued presses finish, then ends the worker.
    ~PressQueue();
    PressQueue(const PressQueue&) = delete;
    PressQueue& operator=(const PressQueue&) = delete;

    // Queues one press's work, which holds `bytes` of pictures until it
    // returns. False (work dropped, nothing run) when it does not fit.
    bool Push(uint64_t bytes, std::function<void()> work);

    // Waits until every queued press has finished.
    void WaitIdle();
    // Waits at most `milliseconds` for that; true when idle.
    bool WaitIdleFor(uint32_t milliseconds);

    // Presses queued or running, and the bytes they hold.
    size_t Pending() const;
    uint64_t PendingBytes() const;

private:
    struct Item {
        uint64_t bytes;
        std::function<void()> work;
    };
    void Run();

    const uint64_t budget_;
    mutable std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Item> items_;
    uint64_t bytes_ = 0;  // held by queued and running presses
    size_t running_ = 0;  // 0 or 1
    bool stopping_ = false;
    std::thread worker_;
};

// Runs fn(0) .. fn(count - 1) on up to `threads` threads (the calling thread
// is one of them) and returns when all have returned; fn must not throw. With
// one thread, or one item, everything runs on the calling thread in order.
// onHelperStart runs first on each thread started for it.
void ParallelFor(size_t count, unsigned threads, const std::function<void(size_t)>& fn,
                 const std::function<void()>& onHelperStart = {});

// The number of worker threads for picture encoding: the processor count,
// at least 1.
unsigned EncodingThreads();

}  // namespace orbilux
