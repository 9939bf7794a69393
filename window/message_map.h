// A message map: one handler per window message or per command identifier,
// built once from a list:
//
//     static const tamrik::MessageMap<CMyDlg> map{
//         {WM_INITDIALOG, &CMyDlg::OnInitDialog},
//         {tamrik::Command(IDOK), &CMyDlg::OnOK},
//         {tamrik::Commands(IDC_FIRST, IDC_LAST), &CMyDlg::OnAnyOfThem},
//     };
//
// Commands (WM_COMMAND) are matched on the low word of wParam whatever their
// notification code, before any WM_COMMAND message entry. A message that no
// entry takes, or that its handler declines, is left to the default processing
// of the window, dialog or control.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

namespace tamrik {

// The default processing of a kind of window: DefWindowProc, DefSubclassProc...
using DefaultProc = LRESULT (*)(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// One message as it reaches a window, with the default processing it would get.
struct WindowMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DefaultProc defaultProc;
};

// What every message handler can do besides returning a result: decline the
// message, or run its default processing first and work on the result.
class CMessageTarget {
public:
    CMessageTarget() = default;
    CMessageTarget(const CMessageTarget&) = delete;
    CMessageTarget& operator=(const CMessageTarget&) = delete;
    virtual ~CMessageTarget() = default;

protected:
    // Inside a handler: the message goes on to the default processing after the
    // handler returns, and the handler's result is dropped.
    void DeclineMessage() {
        if (current_) current_->handled = false;
    }
    // Inside a handler: runs the default processing of the message being handled,
    // with its own parameters or with others, and returns its result. A handler
    // does this or declines, never both.
    LRESULT DefaultProcessing() {
        return current_ ? DefaultProcessing(current_->message.wParam, current_->message.lParam) : 0;
    }
    LRESULT DefaultProcessing(WPARAM wParam, LPARAM lParam) {
        if (!current_ || !current_->message.defaultProc) return 0;
        const WindowMessage& m = current_->message;
        return m.defaultProc(m.hwnd, m.message, wParam, lParam);
    }

private:
    template <class T>
    friend class MessageMap;

    // The message being handled; handlers may nest (a handler sends a message).
    struct Current {
        WindowMessage message;
        bool handled;
        Current* outer;
    };
    Current* current_ = nullptr;
};

// Marks a command entry in a map's list: one identifier or a range of them.
struct CommandIds {
    WORD first;
    WORD last;
};
constexpr CommandIds Command(WORD id) {
    return {id, id};
}
constexpr CommandIds Commands(WORD first, WORD last) {
    return {first, last};
}

template <class T>
class MessageMap {
public:
    using MessageHandler = LRESULT (T::*)(WPARAM wParam, LPARAM lParam);
    using CommandHandler = LRESULT (T::*)(WORD notifyCode, WORD id, HWND control);

    struct Entry {
        Entry(UINT message, MessageHandler handler) : message(message), onMessage(handler) {}
        Entry(CommandIds ids, CommandHandler handler) : message(WM_COMMAND), ids(ids), onCommand(handler) {}

        UINT message;
        CommandIds ids{0, 0};
        MessageHandler onMessage = nullptr;
        CommandHandler onCommand = nullptr;
    };

    MessageMap(std::initializer_list<Entry> entries) {
        for (const Entry& entry : entries) (entry.onCommand ? commands_ : messages_).push_back(entry);
    }

    // Runs the handler for the message, if there is one that does not decline
    // it, and stores its result. False leaves the message to default processing.
    bool Dispatch(T& target, const WindowMessage& m, LRESULT& result) const {
        if (m.message == WM_COMMAND) {
            const WORD id = LOWORD(m.wParam);
            for (const auto& entry : commands_) {
                if (id < entry.ids.first || id > entry.ids.last) continue;
                return Run(target, m, result, [&] {
                    return (target.*entry.onCommand)(HIWORD(m.wParam), id, reinterpret_cast<HWND>(m.lParam));
                });
            }
        }
        for (const auto& entry : messages_) {
            if (entry.message != m.message) continue;
            return Run(target, m, result, [&] { return (target.*entry.onMessage)(m.wParam, m.lParam); });
        }
        return false;
    }

private:
    template <class Call>
    static bool Run(T& target, const WindowMessage& m, LRESULT& result, Call call) {
        CMessageTarget& base = target;
        CMessageTarget::Current current{m, true, base.current_};
        base.current_ = &current;
        const LRESULT value = call();
        base.current_ = current.outer;
        if (current.handled) result = value;
        return current.handled;
    }

    std::vector<Entry> messages_;
    std::vector<Entry> commands_;
};

}  // namespace tamrik
