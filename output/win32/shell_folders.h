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

// Makes file output take its default base folder from the shell.
void InstallShellFolderLookup();

// File output of one capture action on Windows: the shell's folder look-up,
// then the saving run on a worker thread, joined before this returns; what
// became of the files.
SaveOutcome SaveScreenShotFilesWithShell(const ScreenShot& shot);

}  // namespace orbilux
