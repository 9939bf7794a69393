#include "output/win32/shell_folders.h"

#include <windows.h>
#include <shlobj.h>

#include "output/output_naming.h"
#include "output/win32/output_files_win.h"

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

std::wstring ShellLocalAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                   SHGFP_TYPE_CURRENT, path)) &&
        path[0])
        return path;
    // The environment names it too, even when the shell cannot.
    const DWORD size = ::GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (size == 0) return std::wstring();
    std::wstring value(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), size);
    if (length == 0 || length >= size) return std::wstring();
    value.resize(length);
    return value;
}

}  // namespace orbilux
