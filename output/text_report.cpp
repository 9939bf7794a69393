#include "output/text_report.h"

#include <atomic>

#include "output/output_naming.h"
#include "output/output_path.h"
#include "settings/settings.h"

#ifndef _WIN32
#include <iconv.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#endif

namespace orbilux {

namespace {

const wchar_t kLogRule[] = L"------------\n";

#ifndef _WIN32
bool writeWithIconv(const std::wstring& path, const std::wstring& text);
constexpr ReportFileWriter kDefaultWriter = &writeWithIconv;
#else
constexpr ReportFileWriter kDefaultWriter = nullptr;
#endif

std::atomic<ReportFileWriter> g_writer{kDefaultWriter};

}  // namespace

void SetReportFileWriter(ReportFileWriter writer) {
    g_writer.store(writer ? writer : kDefaultWriter);
}

bool writeReportFile(const std::wstring& path, const std::wstring& text) {
    const ReportFileWriter writer = g_writer.load();
    return writer && writer(path, text);
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

bool writeTextReport(const ComputerInfo& info, int logType, const std::wstring& path) {
    if (logType == 0 || path.empty()) return false;
    return writeReportFile(path, expandTabs(buildReportText(info, logType)));
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
bool writeWithIconv(const std::wstring& path, const std::wstring& text) {
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

    const std::filesystem::path target = ToFsPath(path);
    std::filesystem::path temporary = target;
    temporary.replace_filename("~" + target.filename().string() + ".tmp");
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), std::streamsize(bytes.size()));
        file.close();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (!error) return true;
    std::filesystem::remove(temporary, error);
    return false;
}

}  // namespace
#endif

}  // namespace orbilux
