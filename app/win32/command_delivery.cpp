#include "app/win32/command_delivery.h"

#include <shellapi.h>

#include "base/text.h"
#include "window/raii.h"

namespace orbilux {

namespace {

const wchar_t kCommandWindowProperty[] = L"Tamrik.CommandWindow";

BOOL CALLBACK FindMarked(HWND window, LPARAM found) {
    if (!::GetPropW(window, kCommandWindowProperty)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void Write(HANDLE out, const std::wstring& text) {
    DWORD mode = 0, written = 0;
    if (::GetConsoleMode(out, &mode)) {
        ::WriteConsoleW(out, text.c_str(), DWORD(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = tamrik::WideToUtf8(text);
    ::WriteFile(out, bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

}  // namespace

std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    const tamrik::UniqueLocal held(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::wstring> result;
    if (!held) return result;
    const auto* arguments = static_cast<const LPWSTR*>(held.Get());
    for (int i = 1; i < count; ++i) result.emplace_back(arguments[i]);
    return result;
}

void WriteToCaller(const std::wstring& text, bool error) {
    HANDLE out = ::GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (out && out != INVALID_HANDLE_VALUE) {
        Write(out, text);
        return;
    }
    // A program of the windows subsystem has no console of its own: the
    // caller's, when it has one, takes the text.
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    const tamrik::UniqueFileHandle console(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                         OPEN_EXISTING, 0, nullptr));
    // the caller's prompt may already stand on the line
    if (console) Write(console.Get(), L"\r\n" + text);
    ::FreeConsole();
}

UINT CommandLineMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Tamrik Command");
    return message;
}

void MarkCommandWindow(HWND window) {
    ::SetPropW(window, kCommandWindowProperty, reinterpret_cast<HANDLE>(1));
}

void UnmarkCommandWindow(HWND window) {
    ::RemovePropW(window, kCommandWindowProperty);
}

HWND FindCommandWindow(DWORD waitMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        HWND found = nullptr;
        ::EnumWindows(&FindMarked, reinterpret_cast<LPARAM>(&found));
        if (found) return found;
        if (::GetTickCount() - start >= waitMs) return nullptr;
        ::Sleep(100);
    }
}

bool DeliverCommand(CommandLineCommand command, DWORD waitMs) {
    HWND window = FindCommandWindow(waitMs);
    if (!window) return false;
    // The running copy may bring its settings sheet to the front.
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process) ::AllowSetForegroundWindow(process);
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, CommandLineMessage(), WPARAM(command), 0,
                               SMTO_ABORTIFHUNG | SMTO_BLOCK, waitMs, &answer))
        return false;
    return LRESULT(answer) == kCommandTaken;
}

}  // namespace orbilux
