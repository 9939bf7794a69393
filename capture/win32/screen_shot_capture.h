// The capture as a press calls it: the press's settings and the system's screen.
#pragma once

#include <cstdint>

#include "capture/screen_shot.h"

namespace orbilux {

class ORBILUXSetting;

// Captures into shot as the settings say (whole desktop, each monitor or the
// active window; the mouse pointer when asked). Returns the number of pages,
// 0 after a failure the user has been shown.
int32_t CaptureBySettings(ScreenShot& shot, const ORBILUXSetting& settings);

}  // namespace orbilux
