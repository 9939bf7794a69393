// File output's use of the Windows shell: the default picture folder.
#pragma once

#include <string>

#include "capture/screen_shot.h"
#include "output/save_outcome.h"

namespace orbilux {

// The user's pictures folder as the shell knows it (not created); when the
// shell has none, the documents folder (created if missing). Empty when
// neither can be found.
std::wstring ShellPicturesFolder();

// The user's local application-data folder (created if missing), or failing
// that the LOCALAPPDATA environment variable; empty when neither names one.
std::wstring ShellLocalAppDataFolder();

}  // namespace orbilux
