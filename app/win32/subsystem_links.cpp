// Wiring of the shell to the other subsystems.
#include "app/win32/subsystem_links.h"

#include <functional>

#include "capture/screen_shot.h"
#include "output/image_file_saver.h"
#include "output/win32/report_file.h"
#include "output/win32/shell_folders.h"
#include "print/win32/page_render.h"
#include "print/win32/print_job.h"
#include "settings/settings.h"
#include "settings/win32/ini_file_storage.h"
#include "settings_ui/win32/settings_sheet.h"
#include "sysinfo/computer_info.h"

namespace orbilux {

const wchar_t kRootSection[] = L"ORBILUXSettings";
const wchar_t kPrinterSection[] = L"ORBILUXSettings.printer_";

void PrepareSubsystems() {
    InstallDevModeFailureMessageBox();
    InstallReportFileWriter();
}

bool LoadSettingsFile(ORBILUXSetting& settings, const std::wstring& path) {
    CSettingsStorageIniFile storage(path, kRootSection);
    return settings.Load(storage);
}

bool SaveSettingsFile(ORBILUXSetting& settings, const std::wstring& path) {
    CSettingsStorageIniFile storage(path, kRootSection);
    return settings.Save(storage);
}

bool SavePrinterSection(PrinterSettings& printer, const std::wstring& path) {
    CSettingsStorageIniFile storage(path, kPrinterSection);
    return printer.Save(storage);
}

int32_t CaptureScreenShot(ScreenShot& shot) {
    return shot.Capture();
}

void SaveCaptureFiles(ScreenShot& shot) {
    // The default base folder is the shell's pictures folder.
    SaveScreenShotFilesWithShell(shot);
}

struct PrintLink::State {
    PrinterObjects objects;
};

PrintLink::PrintLink() : state_(std::make_unique<State>()) {}
PrintLink::~PrintLink() = default;

void PrintLink::OpenPrinter(PrinterSettings& printer, bool useStored) {
    InitPrinter(useStored, state_->objects, printer);
}

bool PrintLink::ChoosePrinter(PrinterSettings& printer, HWND owner) {
    return ShowPrintSetup(owner, state_->objects, printer);
}

bool PrintLink::PageSetup(PrinterSettings& printer, HWND owner) {
    return ShowPageSetup(owner, state_->objects, printer);
}

int32_t PrintLink::AppendTextPages(ScreenShot& shot, ORBILUXSetting& settings,
                                   const GatherComputerInfo& gather) {
    const int32_t keyAction = settings.key_.keyAction;
    if (keyAction == 0 || keyAction == 2) ReopenChosenPrinter(state_->objects, settings.printer_);
    GatherComputerInfo fromSystem = gather;
    if (!fromSystem) {
        fromSystem = [](ComputerInfo& info, bool withEventLogs) { info.gatherComputerInfo(withEventLogs); };
    }
    return BuildTextPages(shot, settings, fromSystem, TargetOf(state_->objects));
}

void PrintLink::StartRun(const ScreenShot& shot, int32_t pageCount) {
    StartPrintJob(state_->objects, shot, SettingsInstance(), pageCount);
}

void FinishPrintJobsAtExit() {
    WaitForPrintJobsAtExit();
}

void ShowOptionSheet(HWND owner, const std::wstring& path, PrintLink& print) {
    OptionSheetServices services;
    services.choosePrinter = [&print](HWND sheetOwner, PrinterSettings& printer) {
        return print.ChoosePrinter(printer, sheetOwner);
    };
    services.pageSetup = [&print](HWND sheetOwner, PrinterSettings& printer) {
        return print.PageSetup(printer, sheetOwner);
    };
    services.openDefaultPrinter = [&print](PrinterSettings& printer) { print.OpenPrinter(printer, false); };
    CSettingsStorageIniFile storage(path, kRootSection);
    RunOptionSheet(owner, SettingsInstance(), storage, services);
}

}  // namespace orbilux
