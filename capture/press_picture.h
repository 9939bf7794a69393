// The one picture that stands for a whole press: what goes on the clipboard.
#pragma once

#include "capture/screen_shot.h"

namespace orbilux {

// The monitors' pictures put together at their desktop places, in a 24-bit
// picture spanning them all; what no monitor covers is white, and where
// monitors overlap the later one in list order is on top. Null when no
// monitor has a picture or the whole would not fit in memory.
CxImagePtr ComposeMonitorPictures(const MonitorShotMap& shots);

// The press's picture: the composed monitors after a per-monitor capture,
// else the desktop or window picture. Null when there is none.
CxImagePtr PressPicture(const ScreenShot& shot);

}  // namespace orbilux
