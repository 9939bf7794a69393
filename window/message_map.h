// A message map: one handler per window message or per command identifier.
// Commands (WM_COMMAND) are matched on the low word of wParam whatever their
// notification code; a message that no entry takes is left to the default
// processing of the window or dialog.
#pragma once

#include <windows.h>

#include <vector>

namespace tamrik {

template <class T>
class MessageMap {
public:
    using MessageHandler = LRESULT (T::*)(WPARAM wParam, LPARAM lParam);
    using CommandHandler = LRESULT (T::*)(WORD notifyCode, WORD id, HWND control);

    MessageMap& On(UINT message, MessageHandler handler) {
        messages_.push_back({message, handler});
        return *this;
    }
    MessageMap& OnCommand(WORD id, CommandHandler handler) {
        commands_.push_back({id, handler});
        return *this;
    }

    // Runs the handler for the message, if there is one, and stores its result.
    bool Dispatch(T& target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const {
        if (message == WM_COMMAND) {
            for (const auto& entry : commands_) {
                if (entry.id == LOWORD(wParam)) {
                    result = (target.*entry.handler)(HIWORD(wParam), LOWORD(wParam),
                                                     reinterpret_cast<HWND>(lParam));
                    return true;
                }
            }
        }
        for (const auto& entry : messages_) {
            if (entry.message == message) {
                result = (target.*entry.handler)(wParam, lParam);
                return true;
            }
        }
        return false;
    }

    bool Handles(UINT message) const {
        for (const auto& entry : messages_)
            if (entry.message == message) return true;
        return message == WM_COMMAND && !commands_.empty();
    }

private:
    struct MessageEntry {
        UINT message;
        MessageHandler handler;
    };
    struct CommandEntry {
        WORD id;
        CommandHandler handler;
    };
    std::vector<MessageEntry> messages_;
    std::vector<CommandEntry> commands_;
};

}  // namespace tamrik
