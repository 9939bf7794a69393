#include "app/win32/capture_action.h"

#include "app/win32/hotkeys.h"
#include "capture/screen_shot.h"
#include "output/output_naming.h"
#include "sysinfo/info_gathering.h"

namespace orbilux {

Press::Press() : shot(std::make_shared<ScreenShot>()) {}
Press::~Press() = default;

bool Press::WritesFiles() const {
    const int32_t action = settings.key_.keyAction;
    return action == kActionFiles || action == kActionPrintAndFiles;
}

bool Press::Prints() const {
    const int32_t action = settings.key_.keyAction;
    return action == kActionPrint || action == kActionPrintAndFiles;
}

bool Press::NeedsInformation() const {
    return Prints() || (WritesFiles() && settings.key_.logType != kLogNone);
}

void Press::TakeGatheredInfo() {
    if (!gathering) return;
    ComputerInfo& info = settings.format_.computerInfo;
    const int pageCount = info.pageCount;
    info = gathering->Wait();
    info.pageCount = pageCount;
    gathering.reset();  // taken once, though the report and the printout both ask
}

void ApplyShotKey(ORBILUXSetting& pressSettings) {
    pressSettings.general_.screenTarget = kTargetDesktop;
    pressSettings.key_.logType = kLogWithEvents;
    pressSettings.key_.keyAction = kActionFiles;
}

namespace {

// Puts the indicators back on every way out of the key's part.
struct BusyIndicators {
    explicit BusyIndicators(CaptureSteps& steps) : steps(steps) { steps.SetBusyIndicators(true); }
    ~BusyIndicators() { steps.SetBusyIndicators(false); }
    CaptureSteps& steps;
};

}  // namespace

void RunCaptureAction(int hotkeyId, ORBILUXSetting& settings, CaptureSteps& steps, BusyFlag& busy) {
    BusyIndicators indicators(steps);
    BusyFlagHold hold(busy);
    if (!hold.Held()) return;  // dropped, not queued
    if (hotkeyId != kPrintHotkeyId && hotkeyId != kShotHotkeyId) return;

    // Every capture's files go into a per-date folder, and the first press
    // that writes files fixes the default folder in the live settings, as the
    // settings file has always recorded it.
    settings.output_.bDateDir = true;
    auto press = std::make_shared<Press>();
    press->settings = settings;
    if (hotkeyId == kShotHotkeyId) ApplyShotKey(press->settings);
    if (press->WritesFiles() && settings.output_.baseDirName.empty()) {
        settings.output_.baseDirName = DefaultPicturesFolder(steps.Output());
        press->settings.output_.baseDirName = settings.output_.baseDirName;
    }

    // The moment of the press (its time, the window in front) is read first:
    // the grab may wait for the program's own balloon to leave the screen.
    steps.ReadMoment(*press);
    // A failed capture has been reported; there is nothing to write or print.
    if (steps.CaptureScreen(*press) <= 0) return;
    if (press->NeedsInformation()) steps.StartGathering(*press);
    if (press->Prints()) steps.TakePrinter(*press);

    if (press->settings.general_.bDisplaySplash_) steps.ShowPrintingSplash();
    if (!steps.QueuePress(press)) steps.NotifyPressDropped();
}

void FinishPress(Press& press, PressSteps& steps) {
    if (press.settings.extras_.copyToClipboard) steps.CopyToClipboard(press);
    if (press.WritesFiles()) {
        const SaveOutcome saved = steps.SaveFiles(press);
        if (!saved.Ok())
            steps.NotifySaveFailure(saved);
        else if (press.settings.extras_.notifyAfterSave)
            steps.NotifySaved(saved);
    }
    if (press.Prints()) steps.StartPrinting(press, steps.BuildTextPages(press));
}

}  // namespace orbilux
