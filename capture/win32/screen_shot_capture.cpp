#include "capture/win32/screen_shot_capture.h"

#include "capture/win32/gdi_capture.h"
#include "settings/settings.h"

namespace orbilux {

int32_t CaptureBySettings(ScreenShot& shot, const ORBILUXSetting& settings) {
    const CaptureSettings request{settings.general_.screenTarget, settings.general_.disabledMonitors_,
                                  settings.extras_.drawPointer};
    return shot.Capture(request, SystemCaptureSeams());
}

}  // namespace orbilux
