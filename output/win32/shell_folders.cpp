#include "output/win32/shell_folders.h"

#include <windows.h>
#include <shlobj.h>

#include "output/image_file_saver.h"
#include "output/output_naming.h"

namespace orbilux {

std::wstring ShellPicturesFolder() {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, path)) && path[0])
        return path;
    path[0] = L'\0';
    if (SUCCEEDED(
            SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)))
        return path;
    return std::wstring();
}

void InstallShellFolderLookup() {
    SetPicturesFolderLookup(ShellPicturesFolder);
}

SaveOutcome SaveScreenShotFilesWithShell(const ScreenShot& shot) {
    InstallShellFolderLookup();
    return saveScreenShotFiles(shot);
}

}  // namespace orbilux
