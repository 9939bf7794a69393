// What one hotkey press does: capture, printing splash, text pages, file
// output, print job, in that order, guarded by captureBusy; the shot key
// overrides three settings for the one action.
#pragma once

#include <cstdint>

#include "app/win32/busy_flag.h"
#include "output/save_outcome.h"

namespace orbilux {

class ORBILUXSetting;
class KeySettings;
class GeneralSettings;

// The steps the action calls, in the order it calls them.
class CaptureSteps {
public:
    virtual ~CaptureSteps() = default;
    // Busy icon and wait cursor on (true) or back to normal (false).
    virtual void SetBusyIndicators(bool busy) = 0;
    // Returns the number of Picture pages; 0 after a failure already shown to the user.
    virtual int32_t CaptureScreen() = 0;
    virtual void ShowPrintingSplash() = 0;
    // Gathers the computer information and appends the Text pages; returns the page count.
    virtual int32_t BuildTextPages() = 0;
    // Writes the image files and the report; returns when they are written,
    // with what could not be written and why.
    virtual SaveOutcome SaveFiles() = 0;
    // Tells the user that this press's files could not be written.
    virtual void NotifySaveFailure(const SaveOutcome& outcome) = 0;
    // Stores the page count for "$maxpage" and starts printing when it is above 0.
    virtual void StartPrinting(int32_t pageCount) = 0;
    // Puts the captured picture on the clipboard without waiting on it.
    virtual void CopyToClipboard() {}
    // Tells the user which files this press wrote and where.
    virtual void NotifySaved(const SaveOutcome& outcome) {}
};

// Exists only during an action of the shot key: whole desktop, files only and
// the event-log report; the saved values come back when it is destroyed.
class ShotKeyOverride {
public:
    ShotKeyOverride(KeySettings& keys, GeneralSettings& general);
    ~ShotKeyOverride();
    ShotKeyOverride(const ShotKeyOverride&) = delete;
    ShotKeyOverride& operator=(const ShotKeyOverride&) = delete;

private:
    KeySettings& keys_;
    GeneralSettings& general_;
    int32_t screenTarget_;
    int32_t logType_;
    int32_t keyAction_;
};

// Runs the action for hotkey `hotkeyId` (0 print key, 1 shot key). A press
// that finds `busy` taken only flashes the busy indicators. After a failed
// capture (no Picture page) nothing is saved and nothing is printed. Files
// that cannot be written are told once, and the press still prints when its
// key action says so. With copyToClipboard the picture goes on the clipboard
// right after the capture; with notifyAfterSave a run that wrote its files
// says so.
void RunCaptureAction(int hotkeyId, ORBILUXSetting& settings, CaptureSteps& steps, BusyFlag& busy);

}  // namespace orbilux
