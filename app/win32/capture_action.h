// What one hotkey press does. At the key, on the user-interface thread, the
// press takes its own copy of the settings (with the shot key's three values),
// reads the screen into its own screen shot and the moment into its computer
// information, starts gathering the rest of that information, takes the
// printer it will print on, shows the printing splash and queues itself; the
// thread is then back in its message loop. The press worker then writes the
// press's files, builds its Text pages and hands it to printing, one press
// after another in press order.
#pragma once

#include <cstdint>
#include <memory>

#include "app/win32/busy_flag.h"
#include "output/output_naming.h"
#include "output/save_outcome.h"
#include "print/win32/page_render.h"
#include "settings/settings.h"

namespace orbilux {

class InfoGathering;
class ScreenShot;

struct Press {
    Press();
    ~Press();
    Press(const Press&) = delete;
    Press& operator=(const Press&) = delete;

    bool WritesFiles() const;
    bool Prints() const;
    // Whether anything the press makes shows the computer information beyond
    // its moment: a report, or a printout (its bands and Text pages).
    bool NeedsInformation() const;
    // Waits for the information gathered since the press and puts it into the
    // press's settings, once; nothing when none is being gathered or it has
    // been taken already.
    void TakeGatheredInfo();

    ORBILUXSetting settings;  // the live settings at the press, the shot key's values applied
    std::shared_ptr<ScreenShot> shot;
    std::shared_ptr<InfoGathering> gathering;
    PrinterTarget printer;  // the printer and device mode in use at the press
};

// The shot key always saves the whole desktop as files, with the event-log
// report; it changes the press's own settings, never the live ones.
void ApplyShotKey(ORBILUXSetting& pressSettings);

// The steps at the key, on the user-interface thread, in the order they run.
class CaptureSteps {
public:
    virtual ~CaptureSteps() = default;
    // Busy icon and wait cursor on (true); the key's part is over (false): the
    // cursor returns, the icon stays busy while presses are waiting.
    virtual void SetBusyIndicators(bool busy) = 0;
    // Returns the number of Picture pages; 0 after a failure already shown to the user.
    virtual int32_t CaptureScreen(Press& press) = 0;
    // Reads the moment of the press into its computer information.
    virtual void ReadMoment(Press& press) = 0;
    // Starts gathering the rest of the computer information.
    virtual void StartGathering(Press& press) = 0;
    // Takes the printer in use (trying the chosen one again while the default
    // printer stands in for it).
    virtual void TakePrinter(Press& press) = 0;
    virtual void ShowPrintingSplash() = 0;
    // Hands the press to the press worker; false when the queue has no room.
    virtual bool QueuePress(std::shared_ptr<Press> press) = 0;
    // Tells the user that a captured press could not be kept.
    virtual void NotifyPressDropped() = 0;
    // Where the default folder for files comes from.
    virtual OutputPlatform& Output() = 0;
};

// The steps on the press worker.
class PressSteps {
public:
    virtual ~PressSteps() = default;
    // Puts the press's picture on the clipboard, waiting a bounded time.
    virtual void CopyToClipboard(Press& press) = 0;
    // Writes the image files and the report; what could not be written and why.
    virtual SaveOutcome SaveFiles(Press& press) = 0;
    // Tells the user that this press's files could not be written.
    virtual void NotifySaveFailure(const SaveOutcome& outcome) = 0;
    // Tells the user which files this press wrote and where.
    virtual void NotifySaved(const SaveOutcome& outcome) = 0;
    // Appends the Text pages; the page count.
    virtual int32_t BuildTextPages(Press& press) = 0;
    // Stores the page count for "$maxpage" and starts printing when it is above 0.
    virtual void StartPrinting(Press& press, int32_t pageCount) = 0;
};

// The key's part of a press for hotkey `hotkeyId` (0 print key, 1 shot key).
// A press that finds `busy` taken only flashes the busy indicators. After a
// failed capture (no Picture page) nothing is queued.
void RunCaptureAction(int hotkeyId, ORBILUXSetting& settings, CaptureSteps& steps, BusyFlag& busy);

// The worker's part: the clipboard when asked, files, then the Text pages and
// printing. Files that cannot be written are told once, and the press still
// prints when its key action says so; files written are named when the
// settings ask for the word after saving.
void FinishPress(Press& press, PressSteps& steps);

}  // namespace orbilux
