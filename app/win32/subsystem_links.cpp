// Wiring of the shell to the other subsystems. Where a subsystem has not been
// wired yet, its call is a clearly marked stand-in that does nothing harmful.
#include "app/win32/subsystem_links.h"

#include "capture/screen_shot.h"
#include "settings/settings.h"

namespace orbilux {

const wchar_t kRootSection[] = L"ORBILUXSettings";
const wchar_t kPrinterSection[] = L"ORBILUXSettings.printer_";

void PrepareSubsystems() {}  // TODO(wire settings/win32): InstallDevModeFailureMessageBox();

bool LoadSettingsFile(ORBILUXSetting& settings, const std::wstring& path) {
    return true;  // TODO(wire settings/win32): CSettingsStorageIniFile(path, kRootSection) and Load
}

bool SaveSettingsFile(ORBILUXSetting& settings, const std::wstring& path) {
    return false;  // TODO(wire settings/win32): CSettingsStorageIniFile(path, kRootSection) and Save
}

bool SavePrinterSection(PrinterSettings& printer, const std::wstring& path) {
    return false;  // TODO(wire settings/win32): CSettingsStorageIniFile(path, kPrinterSection) and Save
}

int32_t CaptureScreenShot(ScreenShot& shot) {
    return 0;  // TODO(wire capture/win32): shot.Capture()
}

int32_t AppendTextPages(ScreenShot& shot) {
    return int32_t(shot.pages.size());  // TODO(wire print/win32): BuildTextPages with gatherComputerInfo
}

void SaveCaptureFiles(ScreenShot& shot) {}  // TODO(wire output): saveScreenShotFiles(shot)

struct PrintLink::State {};  // TODO(wire print/win32): PrinterObjects

PrintLink::PrintLink() : state_(std::make_unique<State>()) {}
PrintLink::~PrintLink() = default;
void PrintLink::OpenPrinter(PrinterSettings& printer, bool useStored) {}  // TODO(wire print/win32): InitPrinter
bool PrintLink::ChoosePrinter(PrinterSettings& printer, HWND owner) { return false; }  // TODO: ShowPrintSetup
bool PrintLink::PageSetup(PrinterSettings& printer, HWND owner) { return false; }      // TODO: ShowPageSetup
void PrintLink::StartRun(const ScreenShot& shot, int32_t pageCount) {}  // TODO(wire print/win32): StartPrintJob
void PrintLink::FinishAtExit() {}  // TODO(wire print/win32): WaitForPrintJobsAtExit

void ShowOptionSheet(HWND owner, const std::wstring& path, PrintLink& print) {}  // TODO(wire settings_ui)

}  // namespace orbilux
