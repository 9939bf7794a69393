// The capture as the capture action calls it: the live settings and the
// system's screen.
#include "capture/screen_shot.h"
#include "capture/win32/gdi_capture.h"
#include "settings/settings.h"

namespace orbilux {

int32_t ScreenShot::Capture() {
    ORBILUXSetting& settings = SettingsInstance();
    // Every capture's files go into a per-date folder.
    settings.output_.bDateDir = true;
    const CaptureSettings request{settings.general_.screenTarget, settings.general_.disabledMonitors_,
                                  settings.extras_.drawPointer};
    return Capture(request, SystemCaptureSeams());
}

}  // namespace orbilux
