// Wiring of the shell to the other subsystems.
#include "app/win32/subsystem_links.h"

#include <functional>

#include "app/win32/press_worker.h"
#include "capture/screen_shot.h"
#include "capture/win32/screen_shot_capture.h"
#include "output/image_file_saver.h"
#include "output/win32/output_files_win.h"
#include "output/win32/shell_folders.h"
#include "print/win32/page_render.h"
#include "print/win32/print_job.h"
#include "settings/settings.h"
#include "settings/win32/ini_file_storage.h"
#include "settings_ui/win32/settings_sheet.h"
#include "sysinfo/computer_info.h"
#include "sysinfo/win32/system_probes_win.h"

namespace orbilux {

const wchar_t kRootSection[] = L"ORBILUXSettings";
const wchar_t kPrinterSection[] = L"ORBILUXSettings.printer_";

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

int32_t CaptureScreenShot(ScreenShot& shot, const ORBILUXSetting& settings) {
    return CaptureBySettings(shot, settings);
}

SaveOutcome SavePressFiles(OutputPlatform& platform, const ScreenShot& shot, ORBILUXSetting& settings,
                           std::function<void()> reportWait) {
    ImageFileSaver saver(platform, shot.image, shot.monitorShots, settings);
    saver.SetReportWait(std::move(reportWait));
    saver.SetEncodingThreads(0, LowerThreadPriority);
    return saver();
}

int32_t BuildPressTextPages(ScreenShot& shot, ORBILUXSetting& settings, const PrinterTarget& printer) {
    return BuildTextPages(shot, settings, printer);
}

void StartPressPrinting(const ScreenShot& shot, ORBILUXSetting& settings, const PrinterTarget& printer,
                        int32_t pageCount) {
    StartPrintJob(printer, shot, settings, pageCount);
}

struct PrintLink::State {
    PrinterObjects objects;
    PrinterPrompts prompts;
};

PrintLink::PrintLink(const PrinterPrompts& prompts) : state_(std::make_unique<State>()) {
    state_->prompts = prompts;
}
PrintLink::~PrintLink() = default;

void PrintLink::OpenPrinter(PrinterSettings& printer, bool useStored) {
    InitPrinter(useStored, state_->objects, printer, state_->prompts);
}

bool PrintLink::ChoosePrinter(PrinterSettings& printer, HWND owner) {
    return ShowPrintSetup(owner, state_->objects, printer, state_->prompts);
}

bool PrintLink::PageSetup(PrinterSettings& printer, HWND owner) {
    return ShowPageSetup(owner, state_->objects, printer, state_->prompts);
}

PrinterTarget PrintLink::TargetForPress(PrinterSettings& printer) {
    ReopenChosenPrinter(state_->objects, printer, state_->prompts);
    return TargetOf(state_->objects);
}

void FinishPrintJobsAtExit() {
    WaitForPrintJobsAtExit();
}

PrinterObjects& PrintLink::Objects() {
    return state_->objects;
}

const PrinterPrompts& PrintLink::Prompts() const {
    return state_->prompts;
}

bool ShowOptionSheet(HWND owner, const std::wstring& path, PrintLink& print) {
    // The sheet's printer choices go to a copy of the printer in use; Cancel
    // drops the copy, OK makes it the printer in use.
    PrinterObjects& inUse = print.Objects();
    PrinterObjects chosen;
    bool copied = false, changed = false;
    auto copyOfInUse = [&]() -> PrinterObjects& {
        if (!copied) {  // made when first needed: opening a printer may take a while
            if (!inUse.DevModeBytes().empty()) chosen.SetDevMode(inUse.DevModeBytes());
            if (inUse.Printer()) chosen.OpenNamed(inUse.PrinterName());
            copied = true;
        }
        return chosen;
    };
    OptionSheetServices services;
    services.choosePrinter = [&](HWND sheetOwner, PrinterSettings& printer) {
        const bool confirmed = ShowPrintSetup(sheetOwner, copyOfInUse(), printer, print.Prompts());
        changed = changed || confirmed;
        return confirmed;
    };
    services.pageSetup = [&](HWND sheetOwner, PrinterSettings& printer) {
        const bool confirmed = ShowPageSetup(sheetOwner, copyOfInUse(), printer, print.Prompts());
        changed = changed || confirmed;
        return confirmed;
    };
    services.openDefaultPrinter = [&](PrinterSettings& printer) {
        InitPrinter(false, chosen, printer, print.Prompts());
        copied = changed = true;
    };
    bool saved = true;
    services.saveFailed = [&saved] { saved = false; };

    ORBILUXSetting& live = SettingsInstance();
    void* const printerRef = live.printer_.printerRef;
    CSettingsStorageIniFile storage(path, kRootSection);
    const bool ok = RunOptionSheet(owner, live, storage, services);
    if (ok && changed) {
        if (!chosen.DevModeBytes().empty()) inUse.SetDevMode(chosen.DevModeBytes());
        if (chosen.Printer())
            inUse.OpenNamed(chosen.PrinterName());
        else
            inUse.ClosePrinter();  // the confirmed printer did not open: as after the tray's dialog
    }
    // The record keeps referring to the printer in use, never to the copy.
    live.printer_.printerRef = printerRef;
    live.printer_.devModeRef = inUse.Printer() ? const_cast<DEVMODEW*>(inUse.DevMode()) : nullptr;
    return saved;
}

}  // namespace orbilux
