#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "capture/press_queue.h"

using namespace orbilux;

namespace {

// Holds the worker inside a press until released.
struct Gate {
    std::promise<void> open;
    std::shared_future<void> opened = open.get_future().share();
    void Wait() const { opened.wait(); }
};

}  // namespace

TEST(PressQueue, PressesRunInPressOrderAfterTheirCallerHasReturned) {
    PressQueue queue(1000);
    Gate gate;
    std::vector<int> order;
    std::mutex orderLock;
    ASSERT_TRUE(queue.Push(10, [&] { gate.Wait(); }));
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(queue.Push(10, [&, i] {
            std::lock_guard<std::mutex> hold(orderLock);
            order.push_back(i);
        }));
    }
    // Nothing has run yet: the pushes did not wait for the work.
    EXPECT_EQ(queue.Pending(), 21u);
    EXPECT_EQ(queue.PendingBytes(), 210u);
    gate.open.set_value();
    queue.WaitIdle();
    ASSERT_EQ(order.size(), 20u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(order[size_t(i)], i);
    EXPECT_EQ(queue.Pending(), 0u);
    EXPECT_EQ(queue.PendingBytes(), 0u);
}

TEST(PressQueue, ThePixelBudgetRefusesAPressUntilTheQueueHasRoomAgain) {
    PressQueue queue(100);
    Gate gate;
    std::atomic<int> ran{0};
    // The first press is taken even when it alone is over the budget.
    ASSERT_TRUE(queue.Push(150, [&] {
        gate.Wait();
        ++ran;
    }));
    EXPECT_FALSE(queue.Push(1, [&] { ++ran; }));
    gate.open.set_value();
    queue.WaitIdle();
    EXPECT_EQ(ran.load(), 1);

    Gate second;
    ASSERT_TRUE(queue.Push(60, [&] {
        second.Wait();
        ++ran;
    }));
    EXPECT_TRUE(queue.Push(40, [&] { ++ran; }));  // exactly the budget
    EXPECT_FALSE(queue.Push(1, [&] { ++ran; }));  // one byte past it
    EXPECT_FALSE(queue.Push(UINT64_MAX, [] {}));  // no overflow of the sum
    second.open.set_value();
    queue.WaitIdle();
    EXPECT_EQ(ran.load(), 3);
    EXPECT_TRUE(queue.Push(100, [&] { ++ran; }));
    queue.WaitIdle();
    EXPECT_EQ(ran.load(), 4);
}

TEST(PressQueue, AFailingPressDoesNotStopTheLaterOnesAndDestructionFinishesTheQueue) {
    std::atomic<int> ran{0};
    {
        PressQueue queue(1000);
        queue.Push(1, [] { throw std::runtime_error("disk gone"); });
        for (int i = 0; i < 5; ++i)
            queue.Push(1, [&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                ++ran;
            });
    }
    EXPECT_EQ(ran.load(), 5);
}

TEST(PressQueue, WaitIdleForGivesUpAfterItsTime) {
    PressQueue queue(1000);
    Gate gate;
    queue.Push(1, [&] { gate.Wait(); });
    EXPECT_FALSE(queue.WaitIdleFor(20));
    gate.open.set_value();
    EXPECT_TRUE(queue.WaitIdleFor(10000));
}

TEST(ParallelFor, EveryIndexRunsOnceWhateverTheThreadCount) {
    for (unsigned threads : {0u, 1u, 2u, 3u, 16u}) {
        for (size_t count : {0u, 1u, 2u, 7u, 100u}) {
            std::vector<std::atomic<int>> hits(count);
            for (auto& h : hits) h = 0;
            ParallelFor(count, threads, [&](size_t i) { ++hits[i]; });
            for (size_t i = 0; i < count; ++i) EXPECT_EQ(hits[i].load(), 1) << threads << " " << count;
        }
    }
}

TEST(ParallelFor, ItemsRunAtTheSameTimeWhenThreadsAreAsked) {
    // Two items that each wait for the other finish only when both run at once.
    // Run one after the other, the first gives up after a while instead of
    // waiting for ever, and says so.
    std::promise<void> a, b;
    std::shared_future<void> fa = a.get_future().share(), fb = b.get_future().share();
    std::atomic<bool> together{true};
    ParallelFor(2, 2, [&](size_t i) {
        if (i == 0) {
            a.set_value();
            if (fb.wait_for(std::chrono::seconds(10)) != std::future_status::ready) together = false;
        } else {
            b.set_value();
            if (fa.wait_for(std::chrono::seconds(10)) != std::future_status::ready) together = false;
        }
    });
    EXPECT_TRUE(together);
}
