#include "settings/win32/sign_in_start.h"

#include <windows.h>

#include <vector>

#include "window/raii.h"

namespace orbilux {

const wchar_t kSignInValueName[] = L"Tamrik Screen Print";
const wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring QuotedProgramPath() {
    // The buffer grows until the whole path fits (long paths exceed MAX_PATH).
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return L"\"" + std::wstring(buffer.data(), length) + L"\"";
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

bool StartsAtSignIn(const wchar_t* valueName) {
    tamrik::UniqueKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    const LONG status = ::RegQueryValueExW(key.Get(), valueName, nullptr, &type, nullptr, nullptr);
    return status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
}

bool SetStartAtSignIn(bool start, const wchar_t* valueName) {
    tamrik::UniqueKey key;
    if (start) {
        const std::wstring command = QuotedProgramPath();
        if (command.empty()) return false;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              key.Put(), nullptr) != ERROR_SUCCESS)
            return false;
        const LONG status =
            ::RegSetValueExW(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                             DWORD((command.size() + 1) * sizeof(wchar_t)));
        return status == ERROR_SUCCESS;
    }
    const LONG opened = ::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, key.Put());
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    const LONG status = ::RegDeleteValueW(key.Get(), valueName);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace orbilux
