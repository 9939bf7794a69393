// What the user is told about a press's files: a balloon at the tray icon
// naming the folder and the reason when they could not be written, or the
// first file written and its folder when they were.
#pragma once

#include <string>

#include "output/save_outcome.h"

namespace orbilux {

// What a balloon holds at most (the shell's limits, without the terminator).
constexpr size_t kBalloonTitleChars = 63;
constexpr size_t kBalloonTextChars = 255;

struct BalloonMessage {
    std::wstring title;
    std::wstring text;
};

// The string-table text of a reason.
std::wstring SaveFailureReasonText(SaveFailure failure);

// The balloon for a failed saving run: title IDS_SAVE_FAILED_TITLE, text
// IDS_SAVE_FAILED_TEXT with the folder (its middle cut out when the text would
// not fit the balloon) and the reason.
BalloonMessage SaveFailureBalloon(const SaveOutcome& outcome);

// The file the after-saving balloon names: the first picture written, else
// the report; empty when the run wrote nothing.
std::wstring FirstSavedFile(const SaveOutcome& outcome);

// The balloon after a saving run that wrote files: title IDS_SAVED_TITLE, text
// IDS_SAVED_TEXT with the first file's name (IDS_SAVED_MORE adds how many
// more pictures there are) and its folder, the folder's middle cut out when
// the text would not fit.
BalloonMessage SavedFilesBalloon(const SaveOutcome& outcome);

// The command line that has Explorer open the folder of path with that file
// selected: /select,"path".
std::wstring ExplorerSelectArguments(const std::wstring& path);
// Opens Explorer with path selected; false when it could not be started.
bool ShowFileInExplorer(const std::wstring& path);

}  // namespace orbilux
