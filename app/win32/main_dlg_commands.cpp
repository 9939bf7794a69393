// The command-line side of the main dialog: commands handed over by a copy
// started with an option, and the option of this copy's own start.
#include "app/command_line.h"
#include "app/win32/busy_flag.h"
#include "app/win32/command_delivery.h"
#include "app/win32/hotkeys.h"
#include "app/win32/main_dlg.h"
#include "resources/resource.h"
#include "settings/settings.h"

namespace orbilux {

extern BusyFlag captureBusy;
extern BusyFlag settingsBusy;

LRESULT CMainDlg::OnCommandLine(WPARAM command, LPARAM) {
    switch (CommandLineCommand(command)) {
        case CommandLineCommand::Print:
        case CommandLineCommand::Shot:
        case CommandLineCommand::Exit:
            // Like the keys, nothing happens while the settings sheet is open.
            if (settingsBusy.IsTaken()) {
                BringToTop();
                return kCommandRefused;
            }
            break;
        case CommandLineCommand::Settings:
            break;
        default:
            return 0;
    }
    // The caller waits for the answer only, not for the action.
    ::PostMessageW(Handle(), kRunCommandLineMessage, command, 0);
    return kCommandTaken;
}

LRESULT CMainDlg::OnRunCommandLine(WPARAM command, LPARAM) {
    switch (CommandLineCommand(command)) {
        case CommandLineCommand::Print:
            RunCommandLineCapture(kPrintHotkeyId);
            break;
        case CommandLineCommand::Shot:
            RunCommandLineCapture(kShotHotkeyId);
            break;
        case CommandLineCommand::Settings:
            // An open sheet comes to the top instead.
            if (settingsBusy.IsTaken())
                BringToTop();
            else
                OnSetting(BN_CLICKED, ID_SETTING, nullptr);
            break;
        case CommandLineCommand::Exit:
            if (!settingsBusy.IsTaken()) OnExit(BN_CLICKED, ID_APP_EXIT, nullptr);
            break;
        default:
            break;
    }
    return 0;
}

void CMainDlg::RunCommandLineCapture(int hotkeyId) {
    RunCaptureAction(hotkeyId, SettingsInstance(), *this, captureBusy);
}

}  // namespace orbilux
