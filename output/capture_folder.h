// The folder the tray menu's "open the capture folder" shows.
#pragma once

#include <string>

#include "base/calendar_time.h"
#include "output/output_naming.h"
#include "settings/settings.h"

namespace orbilux {

// With dated folders, today's dated folder when it exists; otherwise the base
// folder (the default folder when none is set), created when missing, as a
// capture would. Ends in a backslash. Empty when there is no base folder or it
// cannot be created.
std::wstring CaptureFolderToOpen(OutputPlatform& platform, const OutputSettings& output,
                                 const tamrik::CalendarTime& today);

}  // namespace orbilux
