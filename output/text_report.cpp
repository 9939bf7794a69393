#include "output/text_report.h"

#include <atomic>

#include "output/output_naming.h"
#include "output/output_path.h"
#include "settings/settings.h"

#ifndef _WIN32
#include <iconv.h>

#include <cstring>
#endif

namespace orbilux {

namespace {

const wchar_t kLogRule[] = L"------------\n";

#ifndef _WIN32
bool writeWithIconv(const std::wstring& path, const std::wstring& text, SaveFailure* failure);
constexpr ReportFileWriter kDefaultWriter = &writeWithIconv;
#else
constexpr ReportFileWriter kDefaultWriter = nullptr;
#endif

std::atomic<ReportFileWriter> g_writer{kDefaultWriter};

}  // namespace

void SetReportFileWriter(ReportFileWriter writer) {
    g_writer.store(writer ? writer : kDefaultWriter);
}

bool writeReportFile(const std::wstring& path, const std::wstring& text, SaveFailure* failure) {
    const ReportFileWriter writer = g_writer.load();
    if (!writer) {
        if (failure) *failure = SaveFailure::WriteFailed;
        return false;
    }
    SaveFailure why = SaveFailure::None;
    const bool written = writer(path, text, &why);
    if (!written && why == SaveFailure::None) why = SaveFailure::WriteFailed;
    if (failure) *failure = why;
    return written;
}

std::wstring buildReportText(const ComputerInfo& info, int logType) {
    std::wstring text = L"+----------+\n| 一般情報 |\n+----------+\n";
    for (const std::wstring& line : info.infoLines) text += line;
    if (logType == 1) return text;

    text += L"\n+--------------+\n| システムログ |\n+--------------+\n";
    for (const std::wstring& entry : info.systemLogLines) text += entry + kLogRule;
    text += L"\n+----------------------+\n| アプリケーションログ |\n+----------------------+\n";
    for (const std::wstring& entry : info.applicationLogLines) text += entry + kLogRule;
    return text;
}

std::wstring expandTabs(const std::wstring& text) {
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

bool writeTextReport(const ComputerInfo& info, int logType, const std::wstring& path, SaveFailure* failure) {
    if (failure) *failure = SaveFailure::None;
    if (logType == 0 || path.empty()) return false;
    return writeReportFile(path, expandTabs(buildReportText(info, logType)), failure);
}

bool writeTextReport() {
    ORBILUXSetting& settings = SettingsInstance();
    const int logType = settings.key_.logType;
    if (logType == 0) return false;
    return writeTextReport(settings.format_.computerInfo, logType, makeOutputPath(0, L".txt"));
}

#ifndef _WIN32
namespace {

// The native build has no Windows code pages; iconv's CP932 table stands in.
bool writeWithIconv(const std::wstring& path, const std::wstring& text, SaveFailure* failure) {
    iconv_t cd = iconv_open("CP932", "WCHAR_T");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string bytes;
    for (wchar_t c : text) {
        if (c == L'\n') {
            bytes += "\r\n";
            continue;
        }
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

    return WriteFileReplacing(
        path,
        [&bytes](std::FILE* file) {
            return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        },
        failure);
}

}  // namespace
#endif

}  // namespace orbilux
