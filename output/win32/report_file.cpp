// Writing the report file: code page 932, CR LF, whole-file replacement.
#include <windows.h>

#include "output/win32/report_file.h"

#include <cstdio>

#include "output/output_path.h"
#include "output/text_report.h"

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

}  // namespace

bool writeReportFileWin32(const std::wstring& path, const std::wstring& text, SaveFailure* failure) {
    std::string bytes;
    if (path.empty() || !encode(text, bytes)) {
        if (failure) *failure = SaveFailure::WriteFailed;
        return false;
    }
    return WriteFileReplacing(
        path,
        [&bytes](std::FILE* file) {
            return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        },
        failure);
}

void InstallReportFileWriter() {
    SetReportFileWriter(&writeReportFileWin32);
}

}  // namespace orbilux
