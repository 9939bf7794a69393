// Entry point of tamrik.exe. The show command is ignored; RunTamrik reads the command line.
#include <windows.h>

#include "app/win32/app_main.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return orbilux::RunTamrik(instance);
}
