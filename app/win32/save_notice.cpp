#include "app/win32/save_notice.h"

#include <windows.h>

#include "output/output_path.h"
#include "resources/resource.h"
#include "window/helpers.h"

namespace orbilux {

namespace {

UINT ReasonStringId(SaveFailure failure) {
    switch (failure) {
        case SaveFailure::NoFolder:
            return IDS_SAVE_REASON_NO_FOLDER;
        case SaveFailure::FolderNotCreated:
            return IDS_SAVE_REASON_NOT_CREATED;
        case SaveFailure::NotAFolder:
            return IDS_SAVE_REASON_NOT_A_FOLDER;
        case SaveFailure::NoPermission:
            return IDS_SAVE_REASON_NO_PERMISSION;
        case SaveFailure::DiskFull:
            return IDS_SAVE_REASON_DISK_FULL;
        case SaveFailure::PathTooLong:
            return IDS_SAVE_REASON_PATH_TOO_LONG;
        case SaveFailure::None:
        case SaveFailure::WriteFailed:
            break;
    }
    return IDS_SAVE_REASON_WRITE_FAILED;
}

void ReplaceFirst(std::wstring& text, const wchar_t* marker, const std::wstring& with) {
    const size_t at = text.find(marker);
    if (at != std::wstring::npos) text.replace(at, 2, with);
}

}  // namespace

std::wstring SaveFailureReasonText(SaveFailure failure) {
    return tamrik::ResourceString(ReasonStringId(failure));
}

BalloonMessage SaveFailureBalloon(const SaveOutcome& outcome) {
    BalloonMessage message;
    message.title = tamrik::ResourceString(IDS_SAVE_FAILED_TITLE).substr(0, kBalloonTitleChars);
    const std::wstring reason = SaveFailureReasonText(outcome.failure);
    std::wstring folder =
        outcome.folder.empty() ? tamrik::ResourceString(IDS_SAVE_NO_FOLDER_NAME) : outcome.folder;
    // The trailing backslash says nothing a person needs.
    if (folder.size() > 3 && IsPathSeparator(folder.back())) folder.pop_back();

    std::wstring text = tamrik::ResourceString(IDS_SAVE_FAILED_TEXT);
    const size_t fixed = text.size() >= 4 ? text.size() - 4 : 0;  // without "%1" and "%2"
    const size_t room =
        kBalloonTextChars > fixed + reason.size() ? kBalloonTextChars - fixed - reason.size() : 0;
    ReplaceFirst(text, L"%2", reason);
    ReplaceFirst(text, L"%1", ShortenMiddle(folder, room));
    message.text = text.substr(0, kBalloonTextChars);
    return message;
}

}  // namespace orbilux
