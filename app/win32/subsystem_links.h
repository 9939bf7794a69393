// The shell's calls into the other subsystems: the settings file, the screen
// capture, the text pages, file output, printing and the option sheet. Each
// call site is one function here.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "output/save_outcome.h"
#include "print/win32/page_render.h"
#include "print/win32/print_job.h"

namespace orbilux {

struct ComputerInfo;
struct GatherNeeds;

class ORBILUXSetting;
class OutputPlatform;
class PrinterObjects;
class PrinterSettings;
class ScreenShot;

extern const wchar_t kRootSection[];     // "ORBILUXSettings"
extern const wchar_t kPrinterSection[];  // "ORBILUXSettings.printer_"

// Settings file (INI storage).
bool LoadSettingsFile(ORBILUXSetting& settings, const std::wstring& path);
bool SaveSettingsFile(ORBILUXSetting& settings, const std::wstring& path);
bool SavePrinterSection(PrinterSettings& printer, const std::wstring& path);

// Screen capture into a press's screen shot by its settings: the number of
// Picture pages, 0 after a failure already shown to the user.
int32_t CaptureScreenShot(ScreenShot& shot, const ORBILUXSetting& settings);

// A press's files on the press worker: its pictures encoded side by side, then
// its report once `reportWait` has returned (the press waits there for its
// computer information); what could not be written and why.
SaveOutcome SavePressFiles(OutputPlatform& platform, const ScreenShot& shot, ORBILUXSetting& settings,
                           std::function<void()> reportWait);
// Appends a press's Text pages, laid out for the printer it took; the page count.
int32_t BuildPressTextPages(ScreenShot& shot, ORBILUXSetting& settings, const PrinterTarget& printer);
// Hands a press to printing on the printer it took: pages 0 .. pageCount-1,
// nothing when pageCount is 0.
void StartPressPrinting(const ScreenShot& shot, ORBILUXSetting& settings, const PrinterTarget& printer,
                        int32_t pageCount);

// The open printer with its device mode, and the print runs on it.
class PrintLink {
public:
    // prompts: what the printer functions show the user (by default the
    // message box and the common dialogs).
    explicit PrintLink(const PrinterPrompts& prompts = PrinterPrompts());
    ~PrintLink();
    PrintLink(const PrintLink&) = delete;
    PrintLink& operator=(const PrintLink&) = delete;

    // The stored printer when useStored is set and it opens, else the default printer.
    void OpenPrinter(PrinterSettings& printer, bool useStored);
    // The print set-up dialog; true when the user confirmed it.
    bool ChoosePrinter(PrinterSettings& printer, HWND owner);
    bool PageSetup(PrinterSettings& printer, HWND owner);
    // The printer a press started now prints on, as a value: the chosen
    // printer when it opens again while the default printer stands in for it.
    PrinterTarget TargetForPress(PrinterSettings& printer);
    // The printer in use and its device mode.
    PrinterObjects& Objects();
    const PrinterPrompts& Prompts() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Lets running print jobs finish their documents for a bounded time, then
// cancels them; called at the very end, once nothing of the program shows.
void FinishPrintJobsAtExit();

// The option sheet, modal, owned by `owner`; saves to the settings file on OK.
// Its printer buttons choose on a copy of the printer in use, which becomes
// the printer in use only with OK. False when OK could not save the file.
bool ShowOptionSheet(HWND owner, const std::wstring& path, PrintLink& print);

}  // namespace orbilux
