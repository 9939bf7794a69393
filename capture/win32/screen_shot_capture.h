// The capture as the capture action calls it: the live settings and the
// system's screen.
#pragma once

#include <cstdint>

#include "capture/screen_shot.h"

namespace orbilux {

// Captures into shot by the live settings and turns on their per-date output
// folder. Returns the number of pages, 0 after a failure the user has been
// shown.
int32_t CaptureByLiveSettings(ScreenShot& shot);

}  // namespace orbilux
