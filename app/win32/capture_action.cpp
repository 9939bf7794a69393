#include "app/win32/capture_action.h"

#include <memory>

#include "app/win32/hotkeys.h"
#include "settings/settings.h"

namespace orbilux {

ShotKeyOverride::ShotKeyOverride(KeySettings& keys, GeneralSettings& general)
    : keys_(keys),
      general_(general),
      screenTarget_(general.screenTarget),
      logType_(keys.logType),
      keyAction_(keys.keyAction) {
    general_.screenTarget = 0;  // whole desktop
    keys_.logType = 2;          // basic information and the event-log excerpt
    keys_.keyAction = 1;        // files only
}

ShotKeyOverride::~ShotKeyOverride() {
    general_.screenTarget = screenTarget_;
    keys_.logType = logType_;
    keys_.keyAction = keyAction_;
}

namespace {

// Puts the indicators back on every way out of the action.
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

    std::unique_ptr<ShotKeyOverride> shotOverride;
    if (hotkeyId == kShotHotkeyId)
        shotOverride = std::make_unique<ShotKeyOverride>(settings.key_, settings.general_);

    // A failed capture has been reported; its pictures are stale or empty, so
    // neither the files nor the printout would show this press.
    if (steps.CaptureScreen() <= 0) return;
    if (settings.extras_.copyToClipboard) steps.CopyToClipboard();

    if (settings.general_.bDisplaySplash_) steps.ShowPrintingSplash();
    const int32_t pageCount = steps.BuildTextPages();

    const int32_t keyAction = settings.key_.keyAction;
    if (keyAction == 1 || keyAction == 2) {
        const SaveOutcome saved = steps.SaveFiles();
        if (!saved.ok())
            steps.NotifySaveFailure(saved);
        else if (settings.extras_.notifyAfterSave)
            steps.NotifySaved(saved);
    }
    if (keyAction == 0 || keyAction == 2) steps.StartPrinting(pageCount);
}

}  // namespace orbilux
