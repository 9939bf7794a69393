#include "output/text_report.h"

#include <cstdio>

#include "base/platform.h"
#include "output/output_naming.h"
#include "output/output_path.h"
#include "settings/settings.h"

namespace orbilux {

namespace {

const wchar_t kLogRule[] = L"------------\n";

}  // namespace

bool WriteReportFile(OutputFileSystem& files, const std::wstring& path, const std::wstring& text,
                     SaveFailure* failure) {
    std::wstring lines;
    lines.reserve(text.size() + text.size() / 16);
    for (wchar_t c : text) {
        if (c == L'\n') lines += L'\r';
        lines += c;
    }
    std::string bytes;
    if (path.empty() || !tamrik::EncodeCodePage932(lines, bytes)) {
        if (failure) *failure = SaveFailure::WriteFailed;
        return false;
    }
    SaveFailure why = SaveFailure::None;
    const bool written = WriteFileReplacing(
        files, path,
        [&bytes](std::FILE* file) {
            return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        },
        &why);
    if (!written && why == SaveFailure::None) why = SaveFailure::WriteFailed;
    if (failure) *failure = why;
    return written;
}

std::wstring BuildReportText(const ComputerInfo& info, int logType) {
    std::wstring text = L"+----------+\n| 一般情報 |\n+----------+\n";
    for (const std::wstring& line : info.infoLines) text += line;
    if (logType == kLogBasic) return text;

    text += L"\n+--------------+\n| システムログ |\n+--------------+\n";
    for (const std::wstring& entry : info.systemLogLines) text += entry + kLogRule;
    text += L"\n+----------------------+\n| アプリケーションログ |\n+----------------------+\n";
    for (const std::wstring& entry : info.applicationLogLines) text += entry + kLogRule;
    return text;
}

std::wstring ExpandTabs(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    size_t column = 0;
    for (wchar_t c : text) {
        if (c == L'\t') {
            const size_t spaces = 8 - column % 8;
            out.append(spaces, L' ');
            column += spaces;
        } else {
            out += c;
            column = c == L'\n' ? 0 : column + 1;
        }
    }
    return out;
}

bool WriteTextReport(OutputFileSystem& files, const ComputerInfo& info, int logType, const std::wstring& path,
                     SaveFailure* failure) {
    if (failure) *failure = SaveFailure::None;
    if (logType == kLogNone || path.empty()) return false;
    return WriteReportFile(files, path, ExpandTabs(BuildReportText(info, logType)), failure);
}

}  // namespace orbilux
