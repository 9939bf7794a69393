#include "app/win32/app_main.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/command_line.h"
#include "app/win32/command_delivery.h"
#include "app/win32/main_dlg.h"
#include "app/win32/press_worker.h"
#include "app/win32/splash_wnd.h"
#include "app/win32/subsystem_links.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "window/message_loop.h"
#include "window/raii.h"

namespace orbilux {

const wchar_t kMutexName[] = L"Tamrik Mutex";

int Run(int showCommand, int command) {
    tamrik::CMessageLoop loop;
    // Declared before the dialog: the loop is unregistered once the dialog has gone
    // with its printer objects and tray icon.
    tamrik::MessageLoopRegistration registration(loop);
    CMainDlg dialog;
    if (!dialog.Create(nullptr)) return 0;
    // Starting leaves the user's active window active.
    HWND foreground = ::GetForegroundWindow();
    ::ShowWindow(dialog.Handle(), showCommand);
    if (foreground) ::SetForegroundWindow(foreground);
    // The start's own option runs once the dialog is ready, from the loop.
    if (command != 0) ::PostMessageW(dialog.Handle(), kRunCommandLineMessage, WPARAM(command), 0);
    return loop.Run();
}

int RunTamrik(HINSTANCE instance) {
    const CommandLineRequest request = ParseCommandLine(CommandLineArguments());
    if (request.command == CommandLineCommand::Help) {
        WriteToCaller(CommandLineUsage(), false);
        return kExitDelivered;
    }
    if (request.command == CommandLineCommand::Unknown) {
        WriteToCaller(L"tamrik.exe: unknown option \"" + request.offending + L"\"\r\n" + CommandLineUsage(),
                      true);
        return kExitUsage;
    }

    tamrik::UniqueHandle mutex(::CreateMutexW(nullptr, TRUE, kMutexName));
    if (!mutex) return 0;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another copy runs: it takes the command; without one this copy ends silently.
        mutex.Reset();
        if (request.command == CommandLineCommand::None) return 0;
        return DeliverCommand(request.command) ? kExitDelivered : kExitNotDelivered;
    }
    if (request.command == CommandLineCommand::Exit) {
        ::ReleaseMutex(mutex.Get());
        return kExitNotDelivered;  // nothing runs to end
    }

    int result = 0;
    {
        tamrik::ComScope com(COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
        tamrik::Module().Init(instance);

        CSplashWnd::Open(IDB_SPLASH_START, 3000, nullptr);
        SettingsInstance();

        result = Run(SW_HIDE, int(request.command));
        tamrik::Module().Term();
    }
    // A copy started now runs: the lock goes before any print job is waited for.
    ::ReleaseMutex(mutex.Get());
    mutex.Reset();
    // Presses already captured are still written and handed to printing.
    FinishPressesAtExit();
    FinishPrintJobsAtExit();
    return result;
}

}  // namespace orbilux
