// The program's start: single instance, platform services, start-up splash,
// the live settings record, the hidden main dialog and the message loop.
#pragma once

#include <windows.h>

namespace orbilux {

extern const wchar_t kMutexName[];  // "Tamrik Mutex"

// The whole run; returns the process exit code (0 at once for a second copy,
// otherwise the quit code, 1 after Exit).
int RunTamrik(HINSTANCE instance);

// Creates the hidden main dialog and runs the message loop until WM_QUIT.
int Run(int showCommand);

}  // namespace orbilux
