// The small window layer: message maps, window and dialog bases, the message
// loop with filters and idle handlers, data exchange and the resource owners.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>
#include <type_traits>

#include "window/ddx.h"
#include "window/helpers.h"
#include "window/message_loop.h"
#include "window/raii.h"
#include "window/window_impl.h"

using namespace tamrik;

namespace {

struct Recorder : CMessageTarget {
    int lastCommand = -1;
    int lastNotify = -1;
    int timerCalls = 0;
    LRESULT OnCommand(WORD code, WORD id, HWND) {
        lastCommand = id;
        lastNotify = code;
        return 7;
    }
    LRESULT OnTimer(WPARAM, LPARAM) { return ++timerCalls; }
    LRESULT OnAnyCommand(WPARAM wParam, LPARAM) { return 99; }
    LRESULT OnRange(WORD, WORD id, HWND) { return id; }
    LRESULT OnDeclined(WPARAM, LPARAM) {
        DeclineMessage();
        return 5;
    }
};

LRESULT DispatchTo(const MessageMap<Recorder>& map, Recorder& r, UINT message, WPARAM wParam, bool& handled) {
    LRESULT result = -1;
    handled = map.Dispatch(r, {nullptr, message, wParam, 0, nullptr}, result);
    return result;
}

TEST(AppWindowMessageMap, CommandsMatchLowWordWhateverTheNotificationAndBeforeTheMessageEntry) {
    const MessageMap<Recorder> map{
        {Command(57665), &Recorder::OnCommand}, {WM_TIMER, &Recorder::OnTimer},
        {WM_COMMAND, &Recorder::OnAnyCommand},  {Commands(200, 202), &Recorder::OnRange},
        {WM_USER, &Recorder::OnDeclined},
    };
    Recorder r;
    bool handled = false;
    EXPECT_EQ(DispatchTo(map, r, WM_COMMAND, MAKEWPARAM(57665, BN_CLICKED), handled), 7);
    EXPECT_TRUE(handled);
    EXPECT_EQ(r.lastCommand, 57665);
    DispatchTo(map, r, WM_COMMAND, MAKEWPARAM(57665, 1), handled);  // accelerator
    EXPECT_EQ(r.lastNotify, 1);
    // A range takes its first and last identifier, not the ones beside it.
    EXPECT_EQ(DispatchTo(map, r, WM_COMMAND, MAKEWPARAM(200, 0), handled), 200);
    EXPECT_EQ(DispatchTo(map, r, WM_COMMAND, MAKEWPARAM(202, 0), handled), 202);
    // The WM_COMMAND entry catches the commands that have no entry of their own.
    EXPECT_EQ(DispatchTo(map, r, WM_COMMAND, MAKEWPARAM(199, 0), handled), 99);
    EXPECT_EQ(DispatchTo(map, r, WM_COMMAND, MAKEWPARAM(203, 0), handled), 99);
    // Without one, such a command is left alone.
    const MessageMap<Recorder> commandsOnly{{Command(57665), &Recorder::OnCommand},
                                            {Commands(200, 202), &Recorder::OnRange}};
    EXPECT_EQ(DispatchTo(commandsOnly, r, WM_COMMAND, MAKEWPARAM(57664, 0), handled), -1);
    EXPECT_FALSE(handled);
    EXPECT_EQ(DispatchTo(commandsOnly, r, WM_COMMAND, MAKEWPARAM(199, 0), handled), -1);
    EXPECT_FALSE(handled);
    EXPECT_EQ(DispatchTo(map, r, WM_TIMER, 1, handled), 1);
    // A message without an entry, or one its handler declines, is left alone, result untouched.
    EXPECT_EQ(DispatchTo(map, r, WM_PAINT, 0, handled), -1);
    EXPECT_FALSE(handled);
    EXPECT_EQ(DispatchTo(map, r, WM_USER, 0, handled), -1);
    EXPECT_FALSE(handled);
}

TEST(AppWindowMessageMap, TargetsAndWindowsAreNotCopyable) {
    // The window procedures hold the object's address: a copy would leave it dangling.
    EXPECT_FALSE(std::is_copy_constructible<CMessageTarget>::value);
    EXPECT_FALSE(std::is_copy_constructible<CWindowBase>::value);
    EXPECT_FALSE(std::is_copy_assignable<CWindowBase>::value);
    EXPECT_FALSE(std::is_copy_constructible<CSubclassBase>::value);
}

class TestWindow : public CWindowImpl<TestWindow> {
public:
    static const MessageMap<TestWindow>& GetMessageMap() {
        static const MessageMap<TestWindow> map{
            {WM_USER + 1, &TestWindow::OnUser},
            {WM_USER + 2, &TestWindow::OnDeclined},
            {WM_GETTEXTLENGTH, &TestWindow::OnTextLength},
            {Command(42), &TestWindow::OnCommand42},
        };
        return map;
    }
    LRESULT OnUser(WPARAM wParam, LPARAM) { return LRESULT(wParam * 2); }
    LRESULT OnDeclined(WPARAM, LPARAM) {
        DeclineMessage();
        return 77;
    }
    // The default processing first, then something of its own on top.
    LRESULT OnTextLength(WPARAM, LPARAM) { return DefaultProcessing() + 1000; }
    LRESULT OnCommand42(WORD, WORD, HWND) {
        ++commands;
        return 0;
    }
    int commands = 0;
    bool* finalFlag = nullptr;

protected:
    WindowTraits Traits() const override { return {L"TamrikTestWindow", WS_POPUP, 0}; }
    void OnFinalMessage(HWND) override {
        if (finalFlag) *finalFlag = true;
    }
};

TEST(AppWindowImpl, RoutesThroughTheMapAndDefaultsTheRest) {
    TestWindow w;
    bool finalSeen = false;
    w.finalFlag = &finalSeen;
    RECT rc{10, 20, 110, 70};
    HWND hwnd = w.Create(nullptr, rc, L"caption");
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(w.Handle(), hwnd);
    EXPECT_EQ(::SendMessageW(hwnd, WM_USER + 1, 21, 0), 42);
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(42, 0), 0);
    EXPECT_EQ(w.commands, 1);
    EXPECT_EQ(w.GetText(), L"caption");                     // WM_GETTEXT went to DefWindowProc
    EXPECT_EQ(::SendMessageW(hwnd, WM_USER + 2, 0, 0), 0);  // declined: DefWindowProc's answer
    EXPECT_EQ(::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0), 1007);
    EXPECT_TRUE(w.DestroyWindow());
    EXPECT_TRUE(finalSeen);
    EXPECT_EQ(w.Handle(), nullptr);
}

// Turns typed letters into capitals, swallows Escape and leaves 'x' to the control.
class UpperEdit : public CSubclassImpl<UpperEdit> {
public:
    bool Attach(HWND edit) { return SubclassControl(edit, Map()); }
    LRESULT LengthPastTheMap(HWND edit) const { return SendUnfiltered(edit, WM_GETTEXTLENGTH); }

private:
    static const MessageMap<UpperEdit>& Map() {
        static const MessageMap<UpperEdit> map{
            {WM_CHAR, &UpperEdit::OnChar},
            {WM_GETTEXTLENGTH, &UpperEdit::OnLength},
        };
        return map;
    }
    LRESULT OnChar(WPARAM ch, LPARAM lParam) {
        if (ch == kCharEscape) return 0;
        if (ch == L'x') {
            DeclineMessage();
            return 0;
        }
        return DefaultProcessing(WPARAM(::CharUpperW(reinterpret_cast<LPWSTR>(ch))), lParam);
    }
    LRESULT OnLength(WPARAM, LPARAM) { return DefaultProcessing() + 1000; }
};

TEST(AppWindowSubclass, RoutesControlMessagesThroughTheMapUntilEitherGoes) {
    HWND edit =
        ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    {
        UpperEdit upper;
        ASSERT_TRUE(upper.Attach(edit));
        for (wchar_t ch : {L'a', L'x', wchar_t(kCharEscape), L'b'}) ::SendMessageW(edit, WM_CHAR, ch, 0);
        EXPECT_EQ(WindowText(edit), L"AxB");
        EXPECT_EQ(::SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), 1003);
        EXPECT_EQ(upper.LengthPastTheMap(edit), 3);
    }
    // The object went first: the control is its own again.
    EXPECT_EQ(::SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), 3);
    {
        UpperEdit upper;
        ASSERT_TRUE(upper.Attach(edit));
        EXPECT_TRUE(::DestroyWindow(edit));  // the control goes first: nothing left to undo
    }
}

TEST(AppWindowHelpers, WindowTextOfAnyLength) {
    const std::wstring longTitle(1000, L'\u3042');
    HWND w = ::CreateWindowExW(0, L"STATIC", longTitle.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(WindowText(w), longTitle);
    ::SetWindowTextW(w, L"");
    EXPECT_EQ(WindowText(w), L"");
    ::DestroyWindow(w);
    EXPECT_EQ(WindowText(nullptr), L"");
}

TEST(AppWindowImpl, CentresInsideTheWorkAreaWithoutParent) {
    TestWindow w;
    RECT rc{0, 0, 200, 100};
    ASSERT_NE(w.Create(nullptr, rc), nullptr);
    ASSERT_TRUE(w.CenterWindow(nullptr));
    RECT after{};
    ::GetWindowRect(w.Handle(), &after);
    MONITORINFO info{sizeof(info)};
    ::GetMonitorInfoW(::MonitorFromWindow(w.Handle(), MONITOR_DEFAULTTONEAREST), &info);
    EXPECT_EQ(after.right - after.left, 200);
    EXPECT_NEAR((after.left + after.right) / 2, (info.rcWork.left + info.rcWork.right) / 2, 1);
    EXPECT_NEAR((after.top + after.bottom) / 2, (info.rcWork.top + info.rcWork.bottom) / 2, 1);
    w.DestroyWindow();
}

struct CountingFilter : CMessageFilter {
    UINT swallow;
    int seen = 0;
    explicit CountingFilter(UINT m) : swallow(m) {}
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message != swallow) return false;
        ++seen;
        return true;
    }
};

struct QuitOnIdle : CIdleHandler {
    int calls = 0;
    bool OnIdle() override {
        if (++calls == 1) ::PostQuitMessage(5);
        return false;
    }
};

TEST(AppWindowMessageLoop, FiltersIdleHandlersAndExitCode) {
    CMessageLoop loop;
    CountingFilter filter(WM_APP + 3);
    QuitOnIdle idle;
    loop.AddMessageFilter(&filter);
    loop.AddIdleHandler(&idle);
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 3, 0, 0);
    EXPECT_EQ(loop.Run(), 5);
    EXPECT_EQ(filter.seen, 1);
    EXPECT_GE(idle.calls, 1);
    loop.RemoveMessageFilter(&filter);
    MSG msg{};
    msg.message = WM_APP + 3;
    EXPECT_FALSE(loop.PreTranslateMessage(&msg));
}

TEST(AppWindowMessageLoop, ModuleKeepsOneLoopPerThread) {
    CAppModule module;
    CMessageLoop a, b;
    EXPECT_TRUE(module.AddMessageLoop(&a));
    EXPECT_FALSE(module.AddMessageLoop(&b));
    EXPECT_EQ(module.GetMessageLoop(), &a);
    CMessageLoop* fromOther = &a;
    std::thread([&] { fromOther = module.GetMessageLoop(); }).join();
    EXPECT_EQ(fromOther, nullptr);
    EXPECT_TRUE(module.RemoveMessageLoop());
    EXPECT_EQ(module.GetMessageLoop(), nullptr);
}

class DdxHost {
public:
    DdxHost() {
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                                   nullptr);
        ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 100, 20, parent, HMENU(10), nullptr, nullptr);
        ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 30, 100, 20, parent, HMENU(11), nullptr, nullptr);
        for (int i = 0; i < 3; ++i)
            ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_AUTORADIOBUTTON, 0, 60 + 20 * i, 100, 20,
                              parent, HMENU(INT_PTR(20 + i)), nullptr, nullptr);
        ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_AUTOCHECKBOX, 0, 130, 100, 20, parent, HMENU(30),
                          nullptr, nullptr);
    }
    ~DdxHost() { ::DestroyWindow(parent); }
    HWND parent;
};

TEST(AppWindowDdx, RoundTripsAndRangeChecks) {
    DdxHost host;
    int scale = 150;
    std::wstring folder = L"C:\\写真";
    int radio = 2;
    bool check = true;
    {
        CDataExchange load(host.parent, false);
        load.Int(10, scale, 1, 150);
        load.Text(11, folder);
        load.Radio(20, 3, radio);
        load.Check(30, check);
    }
    int scaleBack = 0, radioBack = -5;
    std::wstring folderBack;
    bool checkBack = false;
    CDataExchange save(host.parent, true);
    save.Int(10, scaleBack, 1, 150);
    save.Text(11, folderBack);
    save.Radio(20, 3, radioBack);
    save.Check(30, checkBack);
    EXPECT_TRUE(save.Ok());
    EXPECT_EQ(scaleBack, 150);
    EXPECT_EQ(folderBack, folder);
    EXPECT_EQ(radioBack, 2);
    EXPECT_TRUE(checkBack);

    for (const wchar_t* bad : {L"151", L"0", L"", L"12a", L"-3"}) {
        ::SetDlgItemTextW(host.parent, 10, bad);
        int value = 77;
        CDataExchange again(host.parent, true);
        again.Int(10, value, 1, 150);
        EXPECT_FALSE(again.Ok()) << bad;
        EXPECT_EQ(value, 77) << "a refused value leaves the variable alone";
    }
    ::SetDlgItemTextW(host.parent, 10, L" 1 ");
    unsigned u = 0;
    CDataExchange edge(host.parent, true);
    edge.UInt(10, u, 1, 150);
    EXPECT_TRUE(edge.Ok());
    EXPECT_EQ(u, 1u);
}

TEST(AppWindowRaii, OwnersReleaseAndRestore) {
    HANDLE raw = nullptr;
    {
        UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        raw = event.Get();
        DWORD flags = 0;
        EXPECT_TRUE(::GetHandleInformation(raw, &flags));
        UniqueHandle moved(std::move(event));
        EXPECT_FALSE(event);
        EXPECT_EQ(moved.Get(), raw);
    }
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(raw, &flags));

    UniqueDC dc(::CreateCompatibleDC(nullptr));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(dc.Get(), 4, 4));
    HGDIOBJ before = ::GetCurrentObject(dc.Get(), OBJ_BITMAP);
    {
        SelectObjectScope select(dc.Get(), bitmap.Get());
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BITMAP), bitmap.Get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BITMAP), before);

    const char bytes[] = "devmode";
    UniqueGlobal block = GlobalCopyOf(bytes, sizeof(bytes));
    ASSERT_TRUE(block);
    GlobalLockScope<char> lock(block.Get());
    EXPECT_STREQ(lock.Get(), "devmode");
}

TEST(AppWindowRaii, PutGivesBackTheHeldResourceAndReceivesANewOne) {
    UniqueKey key;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.Put()), ERROR_SUCCESS);
    HKEY first = key.Get();
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel", 0, KEY_READ, key.Put()), ERROR_SUCCESS);
    // The first key was closed before the second was opened into the owner.
    DWORD subkeys = 0;
    EXPECT_NE(::RegQueryInfoKeyW(first == key.Get() ? nullptr : first, nullptr, nullptr, nullptr, &subkeys,
                                 nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);

    UniqueFileHandle file;
    EXPECT_FALSE(file);  // empty is INVALID_HANDLE_VALUE for files
    EXPECT_EQ(file.Get(), INVALID_HANDLE_VALUE);
}

}  // namespace
