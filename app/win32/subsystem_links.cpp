// Wiring of the shell to the other subsystems. Where a subsystem has not been
// wired yet, its call is a clearly marked stand-in that does nothing harmful.
#include "app/win32/subsystem_links.h"

#include "capture/screen_shot.h"
#include "settings/settings.h"

namespace orbilux {

const wchar_t kRootSection[] = L"ORBILUXSettings";
const wchar_t kPrinterSection[] = L"ORBILUXSettings.printer_";

bool LoadSettingsFile(ORBILUXSetting& settings, const std::wstring& path) {
    // TODO(wire settings/win32): CSettingsStorageIniFile storage(path, kRootSection); return settings.Load(storage);
    return true;
}

bool SaveSettingsFile(ORBILUXSetting& settings, const std::wstring& path) {
    // TODO(wire settings/win32): CSettingsStorageIniFile storage(path, kRootSection); return settings.Save(storage);
    return false;
}

bool SavePrinterSection(PrinterSettings& printer, const std::wstring& path) {
    // TODO(wire settings/win32): CSettingsStorageIniFile storage(path, kPrinterSection); return printer.Save(storage);
    return false;
}

int32_t CaptureScreen(ScreenShot& shot) {
    // TODO(wire capture/win32): return shot.Capture();
    return 0;
}

int32_t BuildTextPages(ScreenShot& shot) {
    // TODO(wire print): return shot.BuildTextPages(...);
    return int32_t(shot.pages.size());
}

void SaveCaptureFiles(ScreenShot& shot) {
    // TODO(wire output): ImageFileSaver on a worker thread, joined.
}

struct PrintLink::State {};

PrintLink::PrintLink() : state_(std::make_unique<State>()) {}
PrintLink::~PrintLink() = default;

void PrintLink::OpenPrinter(PrinterSettings& printer, bool useStored) {
    // TODO(wire print): initialise the printer objects.
}

bool PrintLink::ChoosePrinter(PrinterSettings& printer, HWND owner) {
    // TODO(wire print): the print set-up dialog.
    return false;
}

void PrintLink::StartRun(const std::shared_ptr<ScreenShot>& shot, int32_t pageCount) {
    // TODO(wire print): start the background print job.
}

void PrintLink::FinishAtExit() {
    // TODO(wire print): the print helper's wait-at-exit call.
}

void ShowOptionSheet(HWND owner, const std::wstring& path) {
    // TODO(wire settings_ui): the option sheet of the settings dialogs.
}

}  // namespace orbilux
