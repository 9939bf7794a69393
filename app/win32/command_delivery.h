// The command line on Windows: the arguments, the usage text on the caller's
// console, and handing a command to the copy that already runs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace orbilux {

// The arguments after the program's name, split as the C runtime would.
std::vector<std::wstring> CommandLineArguments();

// Writes text where the caller can read it: the standard output (or error)
// when it is redirected, else the console of the process that started this
// one, when it has one. Nothing otherwise.
void WriteToCaller(const std::wstring& text, bool error);

// The message a starting copy sends to the running copy's main dialog
// ("Tamrik Command"): wParam the command (CommandLineCommand), lParam 0.
UINT CommandLineMessage();
// The answer of a main dialog that took the command.
constexpr LRESULT kCommandTaken = 0x54616D;  // "Tam"
// The answer of one that is busy (the settings sheet is open) and did not.
constexpr LRESULT kCommandRefused = 0x52656A;

// Marks the main dialog as the window commands are handed to.
void MarkCommandWindow(HWND window);
// Takes the mark away again (before the window goes).
void UnmarkCommandWindow(HWND window);
// The running copy's main dialog, waiting up to waitMs for one to appear
// (a copy that has just started creates it after loading its settings).
HWND FindCommandWindow(DWORD waitMs);

// Hands command to the running copy; true when it took it.
bool DeliverCommand(CommandLineCommand command, DWORD waitMs = 10000);

}  // namespace orbilux
