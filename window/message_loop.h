// The message loop with message filters and idle handlers, and the module
// object that keeps one loop per thread.
#pragma once

#include <windows.h>

#include <map>
#include <mutex>
#include <vector>

#include "window/helpers.h"  // ResourceInstance

namespace tamrik {

class CMessageFilter {
public:
    virtual ~CMessageFilter() = default;
    // True when the message has been handled and must not be dispatched.
    virtual bool PreTranslateMessage(MSG* msg) = 0;
};

class CIdleHandler {
public:
    virtual ~CIdleHandler() = default;
    // True to be called again at the next idle moment without a new message.
    virtual bool OnIdle() = 0;
};

class CMessageLoop {
public:
    void AddMessageFilter(CMessageFilter* filter);
    void RemoveMessageFilter(CMessageFilter* filter);
    void AddIdleHandler(CIdleHandler* handler);
    void RemoveIdleHandler(CIdleHandler* handler);

    // Runs until WM_QUIT and returns its exit code.
    int Run();

    // Filters are asked newest first; true means the message was taken.
    bool PreTranslateMessage(MSG* msg);
    // Calls every idle handler; true when one of them wants more idle calls.
    bool OnIdle();

private:
    static bool IsIdleMessage(const MSG& msg);

    std::vector<CMessageFilter*> filters_;
    std::vector<CIdleHandler*> idleHandlers_;
};

// The per-process module: the instance handle that resources come from and
// the table of message loops by thread.
class CAppModule {
public:
    void Init(HINSTANCE instance);
    void Term();
    HINSTANCE Instance() const { return instance_; }

    bool AddMessageLoop(CMessageLoop* loop);  // for the calling thread; false if it has one
    bool RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

private:
    HINSTANCE instance_ = nullptr;
    mutable std::mutex mutex_;
    std::map<DWORD, CMessageLoop*> loops_;
};

// The module of this process.
CAppModule& Module();

// Registers a message loop for the calling thread for as long as it lives.
class MessageLoopRegistration {
public:
    explicit MessageLoopRegistration(CMessageLoop& loop) : registered_(Module().AddMessageLoop(&loop)) {}
    ~MessageLoopRegistration() {
        if (registered_) Module().RemoveMessageLoop();
    }
    MessageLoopRegistration(const MessageLoopRegistration&) = delete;
    MessageLoopRegistration& operator=(const MessageLoopRegistration&) = delete;

private:
    bool registered_;
};

}  // namespace tamrik
