#include "window/message_loop.h"

#include <algorithm>

#include "window/helpers.h"

namespace tamrik {

void CMessageLoop::AddMessageFilter(CMessageFilter* filter) {
    filters_.push_back(filter);
}

void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
    filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

void CMessageLoop::AddIdleHandler(CIdleHandler* handler) {
    idleHandlers_.push_back(handler);
}

void CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) {
    idleHandlers_.erase(std::remove(idleHandlers_.begin(), idleHandlers_.end(), handler),
                        idleHandlers_.end());
}

bool CMessageLoop::PreTranslateMessage(MSG* msg) {
    // A filter may remove itself while running: walk a copy.
    const std::vector<CMessageFilter*> filters(filters_.rbegin(), filters_.rend());
    for (CMessageFilter* filter : filters)
        if (filter && filter->PreTranslateMessage(msg)) return true;
    return false;
}

bool CMessageLoop::OnIdle() {
    const std::vector<CIdleHandler*> handlers(idleHandlers_);
    bool more = false;
    for (CIdleHandler* handler : handlers)
        if (handler && handler->OnIdle()) more = true;
    return more;
}

bool CMessageLoop::IsIdleMessage(const MSG& msg) {
    // Mouse moves, paints and the caret timer arrive all the time and do not end idleness.
    switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
        case WM_PAINT:
        case kSystemTimerMessage:  // caret blink
            return false;
        default:
            return true;
    }
}

int CMessageLoop::Run() {
    bool idle = true;
    MSG msg{};
    for (;;) {
        while (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle()) idle = false;
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) continue;  // bad arguments only; keep running
        if (!got) break;          // WM_QUIT
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (IsIdleMessage(msg)) idle = true;
    }
    return static_cast<int>(msg.wParam);
}

void CAppModule::Init(HINSTANCE instance) {
    instance_ = instance;
}

void CAppModule::Term() {
    std::lock_guard<std::mutex> lock(mutex_);
    loops_.clear();
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop) {
    std::lock_guard<std::mutex> lock(mutex_);
    return loops_.emplace(::GetCurrentThreadId(), loop).second;
}

bool CAppModule::RemoveMessageLoop() {
    std::lock_guard<std::mutex> lock(mutex_);
    return loops_.erase(::GetCurrentThreadId()) > 0;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = loops_.find(threadId);
    return it == loops_.end() ? nullptr : it->second;
}

CAppModule& Module() {
    static CAppModule module;
    return module;
}

}  // namespace tamrik
