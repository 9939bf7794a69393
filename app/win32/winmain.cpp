// Entry point of tamrik.exe. The command line and the show command are ignored.
#include <windows.h>

#include "app/win32/app_main.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return orbilux::RunTamrik(instance);
}
