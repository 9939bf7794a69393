#include "capture/win32/own_windows.h"

#include <algorithm>

namespace orbilux {

namespace {

// Time that other programs are given to repaint what the hidden windows
// uncovered. They repaint on their own threads and nothing tells when they are
// done; without desktop composition the screen shows the hidden windows'
// pixels until they have.
constexpr DWORD kUncoverSettleMs = 100;

struct ThreadWindows {
    HWND keep;
    std::vector<HWND> shown;
};

BOOL CALLBACK CollectShown(HWND window, LPARAM data) {
    auto& windows = *reinterpret_cast<ThreadWindows*>(data);
    if (window != windows.keep && ::IsWindowVisible(window)) windows.shown.push_back(window);
    return TRUE;
}

// With desktop composition, waits for the next frame the window manager shows.
void WaitForComposedFrame() {
    using IsEnabledFn = HRESULT(WINAPI*)(BOOL*);
    using FlushFn = HRESULT(WINAPI*)();
    // From the system folder only, never from beside the program.
    static HMODULE dwm = ::LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!dwm) return;
    const auto isEnabled = reinterpret_cast<IsEnabledFn>(::GetProcAddress(dwm, "DwmIsCompositionEnabled"));
    const auto flush = reinterpret_cast<FlushFn>(::GetProcAddress(dwm, "DwmFlush"));
    BOOL enabled = FALSE;
    if (isEnabled && flush && SUCCEEDED(isEnabled(&enabled)) && enabled) flush();
}

}  // namespace

void WaitForUncoveredScreen() {
    ::Sleep(kUncoverSettleMs);
    ::GdiFlush();
    WaitForComposedFrame();
}

namespace {

constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE;

}  // namespace

void HiddenOwnWindows::Hide(WindowHandle subject) {
    hidden_.clear();
    foreground_ = ::GetForegroundWindow();
    HWND subjectWindow = reinterpret_cast<HWND>(subject);
    ThreadWindows windows{subjectWindow ? ::GetAncestor(subjectWindow, GA_ROOT) : nullptr, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectShown, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows.shown) {
        if (::SetWindowPos(window, nullptr, 0, 0, 0, 0, kKeepPlace | SWP_HIDEWINDOW))
            hidden_.push_back(window);
    }
    if (hidden_.empty()) return;

    ::Sleep(kUncoverSettleMs);
    // A window of the program that is itself captured repaints at once what
    // was uncovered: this thread would not get to it before the grab.
    if (windows.keep && ::GetWindowThreadProcessId(windows.keep, nullptr) == ::GetCurrentThreadId()) {
        ::RedrawWindow(windows.keep, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        // Lets the system take in what was drawn (only messages sent by
        // other threads are handled here, no posted ones).
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    ::GdiFlush();
    WaitForComposedFrame();
}

void HiddenOwnWindows::Restore() {
    for (HWND window : hidden_) {
        if (!::IsWindow(window)) continue;
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0, kKeepPlace | SWP_SHOWWINDOW);
        // Painted now: the thread may stay busy for a while before its loop runs.
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    // Hiding the active window moves the activation elsewhere; it comes back.
    if (foreground_ && std::find(hidden_.begin(), hidden_.end(), foreground_) != hidden_.end() &&
        ::GetForegroundWindow() != foreground_)
        ::SetForegroundWindow(foreground_);
    hidden_.clear();
    foreground_ = nullptr;
}

}  // namespace orbilux
