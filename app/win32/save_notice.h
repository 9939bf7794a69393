// What the user is told when a press's files could not be written: a balloon
// at the tray icon naming the folder and the reason.
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

}  // namespace orbilux
