// One action per physical press: the key gate over a scripted keyboard and a
// scripted queue of the user-interface thread.
#include <gtest/gtest.h>

#include <thread>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "capture/key_press_gate.h"

namespace {

using namespace orbilux;
using namespace std::chrono_literals;

constexpr uint32_t kPrintScreen = 0x2C;
constexpr uint32_t kF5 = 0x74;

// The keys' states as the watcher sees them, and the news it queues for the
// user-interface thread.
class Keyboard {
public:
    void Set(uint32_t key, bool down) {
        std::lock_guard<std::mutex> lock(mutex_);
        down_[key] = down;
    }
    bool IsDown(uint32_t key) {
        std::lock_guard<std::mutex> lock(mutex_);
        return down_[key];
    }
    bool Tell(uint32_t key) {
        std::function<void(uint32_t)> afterTell;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (refusals_ > 0) {
                --refusals_;
                return false;
            }
            queued_.push_back(key);
            changed_.notify_all();
            afterTell.swap(afterTell_);
        }
        if (afterTell) afterTell(key);
        return true;
    }
    // Runs once, on the watcher, right after the next news is queued: the
    // user-interface thread handling it before the watcher looks again.
    void AfterNextTell(std::function<void(uint32_t)> afterTell) {
        std::lock_guard<std::mutex> lock(mutex_);
        afterTell_ = std::move(afterTell);
    }
    void RefuseNext(int count) {
        std::lock_guard<std::mutex> lock(mutex_);
        refusals_ = count;
    }
    // Waits (at most 10 s) for the next queued release and returns its key.
    uint32_t NextRelease() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!changed_.wait_for(lock, 10s, [this] { return !queued_.empty(); })) return 0;
        const uint32_t key = queued_.front();
        queued_.pop_front();
        return key;
    }
    size_t Queued() {
        std::lock_guard<std::mutex> lock(mutex_);
        return queued_.size();
    }

    KeyPressGate::IsKeyDown IsDownFn() {
        return [this](uint32_t key) { return IsDown(key); };
    }
    KeyPressGate::TellReleased TellFn() {
        return [this](uint32_t key) { return Tell(key); };
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<uint32_t, bool> down_;
    std::deque<uint32_t> queued_;
    int refusals_ = 0;
    std::function<void(uint32_t)> afterTell_;
};

TEST(CaptureKeyPress, HeldKeyStartsOnePressUntilItsReleaseIsHandled) {
    Keyboard keys;
    KeyPressGate gate(keys.IsDownFn(), keys.TellFn(), 2ms);
    keys.Set(kPrintScreen, true);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen));
    std::this_thread::sleep_for(30ms);  // the watcher looks many times
    for (int repeat = 0; repeat < 20; ++repeat) EXPECT_FALSE(gate.StartsPress(kPrintScreen));
    EXPECT_EQ(keys.Queued(), 0u);

    keys.Set(kPrintScreen, false);
    ASSERT_EQ(keys.NextRelease(), kPrintScreen);
    // Repeats queued before the news of the release are still repeats.
    EXPECT_FALSE(gate.StartsPress(kPrintScreen));
    gate.Released(kPrintScreen);
    // The next press, quick as a tap: the key is already up at the first look.
    EXPECT_TRUE(gate.StartsPress(kPrintScreen));
    ASSERT_EQ(keys.NextRelease(), kPrintScreen);
    gate.Released(kPrintScreen);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen));
}

TEST(CaptureKeyPress, PressStartedWhileTheWatcherTellsTheLastReleaseIsWatched) {
    Keyboard keys;
    KeyPressGate gate(keys.IsDownFn(), keys.TellFn(), 2ms);
    // The release is handled and the key pressed again, quick as a tap, before
    // the watcher has finished its look: that press must still be seen up.
    bool startedAgain = false;
    keys.AfterNextTell([&](uint32_t key) {
        gate.Released(key);
        startedAgain = gate.StartsPress(key);
    });
    EXPECT_TRUE(gate.StartsPress(kPrintScreen));
    ASSERT_EQ(keys.NextRelease(), kPrintScreen);
    ASSERT_EQ(keys.NextRelease(), kPrintScreen);
    EXPECT_TRUE(startedAgain);
    EXPECT_FALSE(gate.StartsPress(kPrintScreen));
    gate.Released(kPrintScreen);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen));
}

TEST(CaptureKeyPress, KeysAreHeldApart) {
    Keyboard keys;
    KeyPressGate gate(keys.IsDownFn(), keys.TellFn(), 2ms);
    keys.Set(kPrintScreen, true);
    keys.Set(kF5, true);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen));
    EXPECT_TRUE(gate.StartsPress(kF5));
    keys.Set(kF5, false);
    ASSERT_EQ(keys.NextRelease(), kF5);
    gate.Released(kF5);
    EXPECT_TRUE(gate.StartsPress(kF5));
    // Print Screen is still held: the print key and the shot key share it.
    EXPECT_FALSE(gate.StartsPress(kPrintScreen));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(keys.NextRelease(), kF5);  // the second F5 press, up at once
    EXPECT_EQ(keys.Queued(), 0u);
}

TEST(CaptureKeyPress, NewsThatCannotBeQueuedIsQueuedLater) {
    Keyboard keys;
    KeyPressGate gate(keys.IsDownFn(), keys.TellFn(), 2ms);
    keys.RefuseNext(3);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen));
    ASSERT_EQ(keys.NextRelease(), kPrintScreen);
    EXPECT_FALSE(gate.StartsPress(kPrintScreen));
    gate.Released(kPrintScreen);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen));
}

TEST(CaptureKeyPress, GateEndsWhileAKeyIsStillHeld) {
    Keyboard keys;
    keys.Set(kPrintScreen, true);
    {
        KeyPressGate gate(keys.IsDownFn(), keys.TellFn(), 2ms);
        EXPECT_TRUE(gate.StartsPress(kPrintScreen));
        std::this_thread::sleep_for(10ms);
    }  // the watcher stops and is joined
    EXPECT_EQ(keys.Queued(), 0u);
}

}  // namespace
