// The platform services on Windows.
#include <windows.h>

#include <cstdlib>

#include "base/platform.h"

namespace tamrik {

bool LocalCalendar(std::time_t moment, std::tm& fields) {
    return localtime_s(&fields, &moment) == 0;
}

bool UtcCalendar(std::time_t moment, std::tm& fields) {
    return gmtime_s(&fields, &moment) == 0;
}

namespace {

std::wstring Environment(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value ? std::wstring(value) : std::wstring();
}

}  // namespace

std::wstring HomePicturesFolder() {
    const std::wstring home = Environment(L"USERPROFILE");
    return home.empty() ? home : home + L"\\Pictures";
}

std::wstring HomeLocalDataFolder() {
    return Environment(L"LOCALAPPDATA");
}

std::filesystem::path NativePath(const std::wstring& path) {
    return std::filesystem::path(path);
}

std::wstring WideFileName(const std::filesystem::path& path) {
    return path.filename().wstring();
}

std::FILE* OpenFileForWriting(const std::filesystem::path& path) {
    return _wfopen(path.c_str(), L"wb");
}

bool EncodeCodePage932(const std::wstring& text, std::string& bytes) {
    constexpr UINT kJapaneseCodePage = 932;
    bytes.clear();
    if (text.empty()) return true;
    // Characters the code page cannot hold become "?", never a look-alike.
    const int size = ::WideCharToMultiByte(kJapaneseCodePage, WC_NO_BEST_FIT_CHARS, text.data(),
                                           int(text.size()), nullptr, 0, "?", nullptr);
    if (size <= 0) return false;
    bytes.resize(size_t(size));
    return ::WideCharToMultiByte(kJapaneseCodePage, WC_NO_BEST_FIT_CHARS, text.data(), int(text.size()),
                                 bytes.data(), size, "?", nullptr) == size;
}

}  // namespace tamrik
