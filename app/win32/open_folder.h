// The tray menu's "open the capture folder".
#pragma once

#include <windows.h>

#include "output/output_naming.h"
#include "settings/settings.h"

namespace orbilux {

// Opens the folder the captures go to in Explorer: today's dated folder when
// there is one, else the base folder. Tells the user when there is no folder
// or Explorer could not open it. True when Explorer took it.
bool OpenCaptureFolder(HWND owner, OutputPlatform& platform, const OutputSettings& output);

}  // namespace orbilux
