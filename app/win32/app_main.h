// The program's start: single instance, platform services, start-up splash,
// the live settings record, the hidden main dialog and the message loop.
#pragma once

#include <windows.h>

namespace orbilux {

extern const wchar_t kMutexName[];  // "Tamrik Mutex"

// The whole run; returns the process exit code: for a start with an option the
// command line's code (app/command_line.h), 0 at once for a second copy
// without one, otherwise the quit code, 1 after Exit.
int RunTamrik(HINSTANCE instance);

// Creates the hidden main dialog and runs the message loop until WM_QUIT;
// a command-line command other than 0 (CommandLineCommand) is carried out
// once the dialog is ready.
int Run(int showCommand, int command = 0);

}  // namespace orbilux
