#include "app/win32/app_main.h"

#include <commctrl.h>
#include <objbase.h>

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

int Run(int showCommand) {
    tamrik::CMessageLoop loop;
    // Declared before the dialog: the loop is unregistered once the dialog has gone
    // with its printer objects, screen shot and tray icon.
    tamrik::MessageLoopRegistration registration(loop);
    CMainDlg dialog;
    if (!dialog.Create(nullptr)) return 0;
    // Starting leaves the user's active window active.
    HWND foreground = ::GetForegroundWindow();
    ::ShowWindow(dialog.Handle(), showCommand);
    if (foreground) ::SetForegroundWindow(foreground);
    return loop.Run();
}

int RunTamrik(HINSTANCE instance) {
    tamrik::UniqueHandle mutex(::CreateMutexW(nullptr, TRUE, kMutexName));
    if (!mutex) return 0;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return 0;  // another copy runs: end silently

    int result = 0;
    {
        tamrik::ComScope com(COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
        tamrik::Module().Init(instance);
        PrepareSubsystems();

        CSplashWnd::Open(IDB_SPLASH_START, 3000, nullptr);
        SettingsInstance();

        result = Run(SW_HIDE);
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
