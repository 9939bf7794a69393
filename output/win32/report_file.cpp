// Writing the report file: code page 932, CR LF, whole-file replacement.
#include <windows.h>

#include "output/win32/report_file.h"

#include "output/text_report.h"
#include <algorithm>

#include "window/raii.h"

namespace orbilux {

namespace {

constexpr UINT kJapaneseCodePage = 932;

bool encode(const std::wstring& text, std::string& bytes) {
    std::wstring lines;
    lines.reserve(text.size() + text.size() / 16);
    for (wchar_t c : text) {
        if (c == L'\n') lines += L'\r';
        lines += c;
    }
    bytes.clear();
    if (lines.empty()) return true;
    // Characters the code page cannot hold become "?", never a look-alike.
    const int size = ::WideCharToMultiByte(kJapaneseCodePage, WC_NO_BEST_FIT_CHARS, lines.data(),
                                           int(lines.size()), nullptr, 0, "?", nullptr);
    if (size <= 0) return false;
    bytes.resize(size_t(size));
    return ::WideCharToMultiByte(kJapaneseCodePage, WC_NO_BEST_FIT_CHARS, lines.data(), int(lines.size()),
                                 bytes.data(), size, "?", nullptr) == size;
}

// "~" + name + ".tmp" beside path: never taken for a file of a capture.
std::wstring temporaryPathFor(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    const size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + L"~" + path.substr(nameStart) + L".tmp";
}

bool writeAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

}  // namespace

bool writeReportFileWin32(const std::wstring& path, const std::wstring& text) {
    std::string bytes;
    if (path.empty() || !encode(text, bytes)) return false;
    const std::wstring temporary = temporaryPathFor(path);
    {
        tamrik::UniqueFileHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        if (!writeAll(file.Get(), bytes)) {
            file.Reset();
            ::DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    ::DeleteFileW(temporary.c_str());
    return false;
}

void InstallReportFileWriter() {
    SetReportFileWriter(&writeReportFileWin32);
}

}  // namespace orbilux
