#include "app/win32/save_notice.h"

#include <windows.h>
#include <shellapi.h>

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

// Puts first and second in place of "%1" and "%2" in one pass, so that a
// marker inside a name or folder stays as it is.
std::wstring FillIn(const std::wstring& text, const std::wstring& first, const std::wstring& second) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 1 < text.size() && (text[i + 1] == L'1' || text[i + 1] == L'2')) {
            out += text[i + 1] == L'1' ? first : second;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
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

std::wstring FirstSavedFile(const SaveOutcome& outcome) {
    return outcome.pictureFiles.empty() ? outcome.reportFile : outcome.pictureFiles.front();
}

BalloonMessage SavedFilesBalloon(const SaveOutcome& outcome) {
    BalloonMessage message;
    message.title = tamrik::ResourceString(IDS_SAVED_TITLE).substr(0, kBalloonTitleChars);
    const std::wstring first = FirstSavedFile(outcome);
    size_t cut = first.size();
    while (cut > 0 && !IsPathSeparator(first[cut - 1])) --cut;
    std::wstring name = first.substr(cut);
    std::wstring folder = first.substr(0, cut);
    if (folder.size() > 3 && IsPathSeparator(folder.back())) folder.pop_back();
    if (outcome.pictureFiles.size() > 1)
        name = FillIn(tamrik::ResourceString(IDS_SAVED_MORE), name,
                      std::to_wstring(outcome.pictureFiles.size() - 1));
    const std::wstring text = tamrik::ResourceString(IDS_SAVED_TEXT);
    const size_t fixed = text.size() >= 4 ? text.size() - 4 : 0;  // without "%1" and "%2"
    const size_t room = kBalloonTextChars > fixed + name.size() ? kBalloonTextChars - fixed - name.size() : 0;
    message.text = FillIn(text, name, ShortenMiddle(folder, room)).substr(0, kBalloonTextChars);
    return message;
}

std::wstring ExplorerSelectArguments(const std::wstring& path) {
    return L"/select,\"" + path + L"\"";
}

bool ShowFileInExplorer(const std::wstring& path) {
    if (path.empty()) return false;
    const std::wstring arguments = ExplorerSelectArguments(path);
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL));
    return result > 32;
}

}  // namespace orbilux
