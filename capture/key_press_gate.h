// One action per physical press of a hotkey's key. While a key is held the
// keyboard repeats it, and a system may pass each repeat on as another hotkey
// message (Windows does not for a hotkey registered without repeat, but not
// every system that runs the program honours that). A key whose press started
// an action therefore counts as held until it has been seen up; the hotkey
// messages for it until then are repeats of that press and are dropped.
//
// The key is looked at by a watcher thread, so a release is seen even while
// the user-interface thread is busy with the action. The watcher does not
// re-arm the key itself: it tells the user-interface thread through the same
// queue that brings the hotkey messages, so every repeat queued before the
// release still meets a held key, and every press queued after it a free one.
//
// A press whose message the user-interface thread only reaches late is
// watched late, and the news of its release can come after the next tap. So
// the time of each hotkey message counts too: a keyboard repeats a held key
// only once its repeat delay has passed, and a message sooner than that after
// the press holding the key is a press of its own.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace orbilux {

class KeyPressGate {
public:
    // Whether the key (a virtual-key code) is down now; called on the watcher.
    using IsKeyDown = std::function<bool(uint32_t key)>;
    // Queues the news that the key of press number `press` is up for the
    // user-interface thread, which then calls Released; called on the
    // watcher. False when it could not be queued: the watcher tries again at
    // its next look.
    using TellReleased = std::function<bool(uint32_t key, uint64_t press)>;

    // `repeatDelay` is the keyboard's delay before it repeats a held key.
    KeyPressGate(IsKeyDown isDown, TellReleased tellReleased, std::chrono::milliseconds lookEvery,
                 std::chrono::milliseconds repeatDelay);
    // Stops the watcher.
    ~KeyPressGate();
    KeyPressGate(const KeyPressGate&) = delete;
    KeyPressGate& operator=(const KeyPressGate&) = delete;

    // A hotkey message for `key`, posted at `messageTime` (milliseconds of a
    // clock that may wrap): true when it starts a new press (the key is then
    // held and watched), false for a repeat of the press that is held.
    bool StartsPress(uint32_t key, uint32_t messageTime);
    // The queued news that the key of press number `press` is up: its next
    // hotkey message is a new press. News of an earlier press changes nothing.
    void Released(uint32_t key, uint64_t press);

private:
    void Watch();

    IsKeyDown isDown_;
    TellReleased tellReleased_;
    std::chrono::milliseconds lookEvery_;
    uint32_t soonestRepeatMs_;

    std::mutex mutex_;
    std::condition_variable stop_;
    struct Held {
        uint64_t press;
        uint32_t time;
    };
    std::map<uint32_t, Held> held_;  // pressed, and the release not yet handled
    // Pressed, and the release not yet queued; each press with its own number,
    // so a press started while the watcher tells the last one's release stays.
    std::map<uint32_t, uint64_t> watching_;
    uint64_t presses_ = 0;
    bool running_ = false;
    bool stopping_ = false;
    std::thread watcher_;
};

}  // namespace orbilux
