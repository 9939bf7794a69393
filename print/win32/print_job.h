// The printer the program prints on, with its device mode; the print set-up
// and page set-up dialogs; and print runs as background jobs, one spooler
// document "Tamrik prints the DESKTOP." each.
//
// The shell keeps one PrinterObjects for the life of its main window:
//   InitPrinter(settings.printer_.bSetPrinter_, objects, settings.printer_, prompts)   at start-up
//   ShowPrintSetup(owner, objects, settings.printer_, prompts)                          tray command
//   StartPrintJob(target, shot, settings, pageCount)   a press, on the worker, on the printer it took
//   WaitForPrintJobsAtExit()                                                            before objects go
// InitPrinter links the printer settings to the objects (printerRef), so the
// settings pages can call ShowPrintSetup/ShowPageSetup with the settings alone.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "print/print_run.h"
#include "print/win32/page_render.h"
#include "window/raii.h"

namespace orbilux {

extern const wchar_t kPrintDocumentName[];  // "Tamrik prints the DESKTOP."

// What a print job asks of its owner, page by page (on the print thread).
class IPrintJobInfo {
public:
    virtual ~IPrintJobInfo() = default;
    virtual void BeginPrintJob(HDC dc) {}
    virtual void EndPrintJob(HDC dc, bool aborted) {}
    virtual void PrePrintPage(UINT page, HDC dc) {}
    // False cancels the job.
    virtual bool PrintPage(UINT page, HDC dc) = 0;
    virtual void PostPrintPage(UINT page, HDC dc) {}
    // A device mode to reset the context with before this page, or null.
    virtual const DEVMODEW* GetNewDevModeForPage(UINT lastPage, UINT page) { return nullptr; }
    virtual bool IsValidPage(UINT page) { return true; }
};

// Draws the pages of one print run.
class PrintRunCallbacks : public IPrintJobInfo {
public:
    explicit PrintRunCallbacks(std::shared_ptr<PrintRun> run) : run_(std::move(run)) {}
    void PrePrintPage(UINT page, HDC dc) override;
    bool PrintPage(UINT page, HDC dc) override;
    void PostPrintPage(UINT page, HDC dc) override;

private:
    std::shared_ptr<PrintRun> run_;
    int savedState_ = 0;
};

// One job: everything it needs is its own, nothing points back into the
// main window or the screen shot.
struct PrintJob {
    std::wstring deviceName;
    std::vector<uint8_t> devMode;  // dmSize + dmDriverExtra bytes, or empty for the driver's own
    std::shared_ptr<IPrintJobInfo> callbacks;
    std::wstring documentName = kPrintDocumentName;
    int jobId = 0;  // while the document is open
    std::atomic<bool> cancel{false};
    std::atomic<bool> complete{false};
    UINT firstPage = 0;
    UINT lastPage = 0;
};

// Prints the job on the calling thread.
void RunPrintJob(PrintJob& job);

// The open printer and the device-mode holder (a movable global block, kept
// locked, of exactly dmSize + dmDriverExtra bytes).
// Owner of a spooler printer handle.
void ClosePrinterHandle(HANDLE printer);
using UniquePrinter = tamrik::UniqueResource<HANDLE, &ClosePrinterHandle>;

class PrinterObjects {
public:
    PrinterObjects() = default;
    ~PrinterObjects() { Close(); }
    PrinterObjects(const PrinterObjects&) = delete;
    PrinterObjects& operator=(const PrinterObjects&) = delete;

    HANDLE Printer() const { return printer_.Get(); }
    const DEVMODEW* DevMode() const { return devMode_; }
    std::vector<uint8_t> DevModeBytes() const;
    // The printer's name (printer information level 5, else 2); empty without a printer.
    std::wstring PrinterName() const;

    // Takes a device mode of exactly its claimed size; false (holder unchanged)
    // when the bytes do not hold what they claim.
    bool SetDevMode(const std::vector<uint8_t>& bytes);
    // Opens the named printer for use, with the held device mode as its default.
    bool OpenNamed(const std::wstring& name);
    void ClosePrinter();
    void ClearDevMode();
    void Close() {
        ClosePrinter();
        ClearDevMode();
        standingIn_ = false;
    }
    // Takes the other's printer and device mode (and its stand-in mark); the
    // other is left empty.
    void TakeFrom(PrinterObjects& other);

    // Set while the default printer stands in for a chosen printer that could
    // not be opened; the choice itself stays in the settings.
    bool StandingIn() const { return standingIn_; }
    void SetStandingIn(bool standingIn) { standingIn_ = standingIn; }

private:
    UniquePrinter printer_;
    tamrik::UniqueGlobal devModeBlock_;  // locked while held: devMode_ points into it
    DEVMODEW* devMode_ = nullptr;
    bool standingIn_ = false;
};

// The printer a run started now prints on: the open printer's name and the
// held device mode (empty without an open printer).
PrinterTarget TargetOf(const PrinterObjects& objects);

// What the printer functions show the user, passed in by their caller: the
// warning that stored printer settings cannot be used (nothing when message is
// null) and the two common dialogs.
using PrinterMessageSink = void (*)(const wchar_t* text, const wchar_t* caption);
using PrintDialogRunner = BOOL (*)(PRINTDLGW*);
using PageSetupDialogRunner = BOOL (*)(PAGESETUPDLGW*);
// The warning as a message box over the active window.
void PrinterWarningBox(const wchar_t* text, const wchar_t* caption);
struct PrinterPrompts {
    PrinterMessageSink message = PrinterWarningBox;
    PrintDialogRunner printDialog = ::PrintDlgW;
    PageSetupDialogRunner pageSetupDialog = ::PageSetupDlgW;
};

// Opens the stored printer (when useStoredPrinter and it opens) or the
// system's default printer, fills the device-mode holder and links the
// settings to the objects. No default printer: nothing opens, silently.
// When the stored printer does not open, the default printer stands in for it
// and the settings keep the choice (name and device mode) as they were;
// otherwise the default printer's name and device mode are recorded.
void InitPrinter(bool useStoredPrinter, PrinterObjects& objects, PrinterSettings& printer,
                 const PrinterPrompts& prompts);

// While the default printer stands in for the chosen one, tries the chosen
// printer again and takes it when it opens now. True when it was taken.
bool ReopenChosenPrinter(PrinterObjects& objects, PrinterSettings& printer, const PrinterPrompts& prompts);

// The printer the settings print on: the objects they are linked to, or the
// stored choice when they are not linked to an open printer.
PrinterTarget PrinterInUse(const PrinterSettings& printer);

// What the settings leave of a page on the printer in use: a body for the
// picture, and room for one line of the Text pages.
PageRoom RoomForSettings(const ORBILUXSetting& settings);

// The standard dialogs; true when the user confirmed. A confirmed dialog
// records the printer (bSetPrinter_, printername_, the device mode) and
// reopens it; page set-up also records paper size and margins (hundredths of
// a millimetre) and sets bSetPage_. Saving is the caller's business.
bool ShowPrintSetup(HWND owner, PrinterObjects& objects, PrinterSettings& printer,
                    const PrinterPrompts& prompts);
bool ShowPageSetup(HWND owner, PrinterObjects& objects, PrinterSettings& printer,
                   const PrinterPrompts& prompts);
// The same through the objects InitPrinter linked to the settings; false
// when the settings were never linked.
bool ShowPrintSetup(HWND owner, PrinterSettings& printer, const PrinterPrompts& prompts);
bool ShowPageSetup(HWND owner, PrinterSettings& printer, const PrinterPrompts& prompts);

// Starts printing pages 0 .. pageCount-1 of the screen shot on a detached
// thread, after storing the page count for "$maxpage". The job works on its
// own copy of the pages, pictures, settings and token values. False when
// nothing was started (no page, no printer, no thread).
bool StartPrintJob(const PrinterTarget& printer, const ScreenShot& shot, ORBILUXSetting& settings,
                   int32_t pageCount);
// Starts a prepared run on the printer a press took as its own (its name and
// device mode); false without a printer or a page.
bool StartPrintJob(const PrinterTarget& printer, std::shared_ptr<PrintRun> run);
// Starts a prepared job on a detached thread; it counts as running until its
// document is finished or aborted.
bool StartPrintJob(std::shared_ptr<PrintJob> job);

// Lets running jobs finish their documents for up to finishMs, then cancels
// them (each aborts its document after the current page) and waits up to
// cancelMs more. True when no job is left running. Call before the printer
// objects are released at exit.
bool WaitForPrintJobsAtExit(DWORD finishMs = 15000, DWORD cancelMs = 5000);
size_t RunningPrintJobs();

// The printer name of the profile's "device" entry; empty when none is set.
std::wstring DefaultPrinterName();

}  // namespace orbilux
