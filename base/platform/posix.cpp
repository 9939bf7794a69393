// The platform services on POSIX systems (the native build of the core).
#include <iconv.h>

#include <cstdlib>
#include <cstring>

#include "base/platform.h"
#include "base/text.h"

namespace tamrik {

bool LocalCalendar(std::time_t moment, std::tm& fields) {
    return localtime_r(&moment, &fields) != nullptr;
}

bool UtcCalendar(std::time_t moment, std::tm& fields) {
    return gmtime_r(&moment, &fields) != nullptr;
}

namespace {

std::wstring Environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? Utf8ToWide(value) : std::wstring();
}

}  // namespace

std::wstring HomePicturesFolder() {
    const std::wstring home = Environment("HOME");
    return home.empty() ? home : home + L"/Pictures";
}

std::wstring HomeLocalDataFolder() {
    const std::wstring data = Environment("XDG_DATA_HOME");
    if (!data.empty()) return data;
    const std::wstring home = Environment("HOME");
    return home.empty() ? home : home + L"/.local/share";
}

std::filesystem::path NativePath(const std::wstring& path) {
    std::wstring slashes = path;
    for (wchar_t& c : slashes)
        if (c == L'\\') c = L'/';
    return std::filesystem::path(WideToUtf8(slashes));
}

std::wstring WideFileName(const std::filesystem::path& path) {
    return Utf8ToWide(path.filename().string());
}

std::FILE* OpenFileForWriting(const std::filesystem::path& path) {
    return std::fopen(path.c_str(), "wb");
}

// iconv's CP932 table, one character at a time so that one it cannot hold
// becomes "?" and the rest still converts.
bool EncodeCodePage932(const std::wstring& text, std::string& bytes) {
    bytes.clear();
    iconv_t cd = iconv_open("CP932", "WCHAR_T");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    for (wchar_t c : text) {
        char in[sizeof(wchar_t)];
        std::memcpy(in, &c, sizeof c);
        char out[8];
        char* inPtr = in;
        char* outPtr = out;
        size_t inLeft = sizeof in;
        size_t outLeft = sizeof out;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            bytes += '?';
        } else {
            bytes.append(out, outPtr);
        }
    }
    iconv_close(cd);
    return true;
}

}  // namespace tamrik
