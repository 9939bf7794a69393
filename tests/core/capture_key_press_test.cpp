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
// A keyboard that repeats a held key after half a second.
constexpr auto kRepeatDelay = 500ms;

// The news of a release as the watcher queues it.
struct News {
    uint32_t key = 0;  // 0: no news came
    uint64_t press = 0;
};

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
    bool Tell(uint32_t key, uint64_t press) {
        std::function<void(News)> afterTell;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (refusals_ > 0) {
                --refusals_;
                return false;
            }
            queued_.push_back(News{key, press});
            changed_.notify_all();
            afterTell.swap(afterTell_);
        }
        if (afterTell) afterTell(News{key, press});
        return true;
    }
    void RefuseNext(int count) {
        std::lock_guard<std::mutex> lock(mutex_);
        refusals_ = count;
    }
    // Runs once, on the watcher, right after the next news is queued: the
    // user-interface thread handling it before the watcher looks again.
    void AfterNextTell(std::function<void(News)> afterTell) {
        std::lock_guard<std::mutex> lock(mutex_);
        afterTell_ = std::move(afterTell);
    }
    // Waits (at most 10 s) for the next queued release.
    News NextRelease() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!changed_.wait_for(lock, 10s, [this] { return !queued_.empty(); })) return News{};
        const News news = queued_.front();
        queued_.pop_front();
        return news;
    }
    size_t Queued() {
        std::lock_guard<std::mutex> lock(mutex_);
        return queued_.size();
    }

    KeyPressGate::IsKeyDown IsDownFn() {
        return [this](uint32_t key) { return IsDown(key); };
    }
    KeyPressGate::TellReleased TellFn() {
        return [this](uint32_t key, uint64_t press) { return Tell(key, press); };
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<uint32_t, bool> down_;
    std::deque<News> queued_;
    int refusals_ = 0;
    std::function<void(News)> afterTell_;
};

TEST(CaptureKeyPress, HeldKeyStartsOnePressUntilItsReleaseIsHandled) {
    Keyboard keys;
    KeyPressGate gate(keys.IsDownFn(), keys.TellFn(), 2ms, kRepeatDelay);
    keys.Set(kPrintScreen, true);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 1000));
    std::this_thread::sleep_for(30ms);  // the watcher looks many times
    // The keyboard's repeats: the first after its delay, then quicker ones.
    for (uint32_t repeat = 0; repeat < 20; ++repeat)
        EXPECT_FALSE(gate.StartsPress(kPrintScreen, 1500 + 33 * repeat));
    EXPECT_EQ(keys.Queued(), 0u);

    keys.Set(kPrintScreen, false);
    const News news = keys.NextRelease();
    ASSERT_EQ(news.key, kPrintScreen);
    // Repeats queued before the news of the release are still repeats.
    EXPECT_FALSE(gate.StartsPress(kPrintScreen, 2200));
    gate.Released(kPrintScreen, news.press);
    // The next press, quick as a tap: the key is already up at the first look.
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 3000));
    const News next = keys.NextRelease();
    ASSERT_EQ(next.key, kPrintScreen);
    gate.Released(kPrintScreen, next.press);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 4000));
}

TEST(CaptureKeyPress, TapsSoonerThanTheKeyboardRepeatsArePressesOfTheirOwn) {
    Keyboard keys;
    KeyPressGate gate(keys.IsDownFn(), keys.TellFn(), 2ms, kRepeatDelay);
    keys.Set(kPrintScreen, true);  // the watcher has not seen any of them up
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 1000));
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 1120));
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 1240));
    // The last tap held on: from its repeat delay (with a quarter to spare)
    // on, its messages are repeats.
    EXPECT_FALSE(gate.StartsPress(kPrintScreen, 1240 + 375));
    EXPECT_FALSE(gate.StartsPress(kPrintScreen, 1240 + 500));
    // The message clock wraps.
    EXPECT_TRUE(gate.StartsPress(kF5, 0xFFFFFF00u));
    EXPECT_TRUE(gate.StartsPress(kF5, 0x00000010u));
    EXPECT_FALSE(gate.StartsPress(kF5, 0x00000010u + 400));
}

TEST(CaptureKeyPress, NewsOfAnEarlierPressDoesNotFreeALaterOne) {
    Keyboard keys;
    KeyPressGate gate(keys.IsDownFn(), keys.TellFn(), 2ms, kRepeatDelay);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 1000));
    const News first = keys.NextRelease();
    ASSERT_EQ(first.key, kPrintScreen);
    // A quick second tap, held down, reached before the first one's news.
    keys.Set(kPrintScreen, true);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 1100));
    gate.Released(kPrintScreen, first.press);
    EXPECT_FALSE(gate.StartsPress(kPrintScreen, 1600)) << "a repeat of the held tap started a press";
    keys.Set(kPrintScreen, false);
    const News second = keys.NextRelease();
    ASSERT_EQ(second.key, kPrintScreen);
    EXPECT_NE(second.press, first.press);
    gate.Released(kPrintScreen, second.press);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 2500));
}

TEST(CaptureKeyPress, PressStartedWhileTheWatcherTellsTheLastReleaseIsWatched) {
    Keyboard keys;
    KeyPressGate gate(keys.IsDownFn(), keys.TellFn(), 2ms, kRepeatDelay);
    // The release is handled and the key pressed again before the watcher has
    // finished its look: that press must still be seen up.
    bool startedAgain = false;
    keys.AfterNextTell([&](News news) {
        gate.Released(news.key, news.press);
        startedAgain = gate.StartsPress(news.key, 2000);
    });
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 1000));
    ASSERT_EQ(keys.NextRelease().key, kPrintScreen);
    const News again = keys.NextRelease();
    ASSERT_EQ(again.key, kPrintScreen);
    EXPECT_TRUE(startedAgain);
    EXPECT_FALSE(gate.StartsPress(kPrintScreen, 3000));
    gate.Released(kPrintScreen, again.press);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 4000));
}

TEST(CaptureKeyPress, KeysAreHeldApart) {
    Keyboard keys;
    KeyPressGate gate(keys.IsDownFn(), keys.TellFn(), 2ms, kRepeatDelay);
    keys.Set(kPrintScreen, true);
    keys.Set(kF5, true);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 1000));
    EXPECT_TRUE(gate.StartsPress(kF5, 1000));
    keys.Set(kF5, false);
    const News f5 = keys.NextRelease();
    ASSERT_EQ(f5.key, kF5);
    gate.Released(kF5, f5.press);
    EXPECT_TRUE(gate.StartsPress(kF5, 2000));
    // Print Screen is still held: the print key and the shot key share it.
    EXPECT_FALSE(gate.StartsPress(kPrintScreen, 2000));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(keys.NextRelease().key, kF5);  // the second F5 press, up at once
    EXPECT_EQ(keys.Queued(), 0u);
}

TEST(CaptureKeyPress, NewsThatCannotBeQueuedIsQueuedLater) {
    Keyboard keys;
    KeyPressGate gate(keys.IsDownFn(), keys.TellFn(), 2ms, kRepeatDelay);
    keys.RefuseNext(3);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 1000));
    const News news = keys.NextRelease();
    ASSERT_EQ(news.key, kPrintScreen);
    EXPECT_FALSE(gate.StartsPress(kPrintScreen, 2000));
    gate.Released(kPrintScreen, news.press);
    EXPECT_TRUE(gate.StartsPress(kPrintScreen, 3000));
}

TEST(CaptureKeyPress, GateEndsWhileAKeyIsStillHeld) {
    Keyboard keys;
    keys.Set(kPrintScreen, true);
    {
        KeyPressGate gate(keys.IsDownFn(), keys.TellFn(), 2ms, kRepeatDelay);
        EXPECT_TRUE(gate.StartsPress(kPrintScreen, 1000));
        std::this_thread::sleep_for(10ms);
    }  // the watcher stops and is joined
    EXPECT_EQ(keys.Queued(), 0u);
}

}  // namespace
