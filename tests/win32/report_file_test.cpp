// The report file on disk: code page 932, CR LF, names from the output folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "output/output_naming.h"
#include "output/text_report.h"
#include "output/win32/output_files_win.h"
#include "settings/settings.h"
#include "tests/common/output_fixtures.h"

using namespace orbilux;

namespace {

std::wstring ScratchFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

void RemoveFolder(const std::wstring& folder) {
    for (const std::wstring& name : FilesIn(folder)) ::DeleteFileW((folder + name).c_str());
    ::RemoveDirectoryW(folder.c_str());
}

ComputerInfo ReportInfo() {
    ComputerInfo info;
    info.isWorkgroup = true;
    info.domainName = L"WORKGROUP";
    info.computerName = L"100% done %s";
    info.windowText = L"caf\u00e9 \u2764 メモ";  // é and the heart are not in code page 932
    info.adapters = {{L"Intel(R) Ethernet", L"192.168.0.10", L"255.255.255.0", L"", true}};
    info.processLines = {L"explorer.exe" + std::wstring(27, L' ') + L"\t(1234)\t12.50%\t(52MB)\n"};
    info.composeInfoLines();
    info.systemLogLines = {L"警告 2024-03-05 14:20:07 Tcpip PC01 N/A\n(4199)\n"};
    return info;
}

void ExpectCrLfOnly(const std::string& bytes) {
    EXPECT_EQ(bytes.find('\t'), std::string::npos);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << i;
        }
        if (bytes[i] == '\r') {
            EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << i;
        }
    }
}

const std::string kGeneralHeading =
    "+----------+\r\n| \x88\xea\x94\xca\x8f\xee\x95\xf1 |\r\n+----------+\r\n";
const std::string kSystemHeading =
    "\r\n+--------------+\r\n| \x83\x56\x83\x58\x83\x65\x83\x80\x83\x8d\x83\x4f |\r\n+--------------+\r\n";
const std::string kApplicationHeading =
    "\r\n+----------------------+\r\n"
    "| \x83\x41\x83\x76\x83\x8a\x83\x50\x81\x5b\x83\x56\x83\x87\x83\x93\x83\x8d\x83\x4f |\r\n"
    "+----------------------+\r\n";

}  // namespace

TEST(ReportFile, BasicReportInCodePage932) {
    const std::wstring folder = ScratchFolder(L"tamrik_report_basic");
    const std::wstring path = folder + L"MN20240305_00_6bf1.txt";
    ASSERT_TRUE(WriteTextReport(Win32FileSystem(), ReportInfo(), 1, path));
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.substr(0, kGeneralHeading.size()), kGeneralHeading);
    ExpectCrLfOnly(bytes);
    EXPECT_NE(bytes.find("Computer Name:  100% done %s\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("IP:             192.168.0.10 / 255.255.255.0\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("DHCP:           \x97\x4c\x8c\xf8\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Window Text:    caf? ? \x83\x81\x83\x82\r\n"), std::string::npos);
    // The tab after the 39-character name is one space, the later ones two.
    EXPECT_NE(bytes.find("explorer.exe" + std::string(28, ' ') + "(1234)  12.50%  (52MB)\r\n"),
              std::string::npos);
    const std::string rule = "----------------------------------------\r\n";
    EXPECT_EQ(bytes.substr(bytes.size() - rule.size()), rule);
    EXPECT_EQ(bytes.find(kSystemHeading), std::string::npos);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>({L"MN20240305_00_6bf1.txt"}));
    RemoveFolder(folder);
}

TEST(ReportFile, EventLogReportAndReplacement) {
    const std::wstring folder = ScratchFolder(L"tamrik_report_logs");
    const std::wstring path = folder + L"MN20240305_00_6bf1.txt";
    ASSERT_TRUE(WriteTextReport(Win32FileSystem(), ReportInfo(), 1, path));
    ASSERT_TRUE(WriteTextReport(Win32FileSystem(), ReportInfo(), 2,
                                path));  // a whole new file replaces the old one
    const std::string bytes = ReadBytes(path);
    ExpectCrLfOnly(bytes);
    EXPECT_EQ(bytes.substr(0, kGeneralHeading.size()), kGeneralHeading);
    const std::string entry =
        "\x8c\x78\x8d\x90 2024-03-05 14:20:07 Tcpip PC01 N/A\r\n(4199)\r\n------------\r\n";
    const size_t system = bytes.find(kSystemHeading + entry + kApplicationHeading);
    ASSERT_NE(system, std::string::npos);
    EXPECT_EQ(system + kSystemHeading.size() + entry.size() + kApplicationHeading.size(), bytes.size());
    EXPECT_EQ(FilesIn(folder).size(), 1u);

    EXPECT_FALSE(WriteTextReport(Win32FileSystem(), ReportInfo(), 0, folder + L"none.txt"));
    EXPECT_FALSE(WriteTextReport(Win32FileSystem(), ReportInfo(), 1, folder + L"no\\such\\folder\\x.txt"));
    EXPECT_EQ(FilesIn(folder).size(), 1u);
    RemoveFolder(folder);
}

TEST(ReportFile, CapturesInTheSameHalfMinuteGetTheirOwnNumbers) {
    const std::wstring folder = ScratchFolder(L"tamrik_report_naming");
    OutputSettings output;
    output.baseDirName = folder.substr(0, folder.size() - 1);
    output.bDateDir = false;
    tamrik_test::FixedPlatform<Win32OutputPlatform> platform;  // the clock at the fixed moment
    // The report step of a saving run: the name pattern is prepared anew for each.
    auto report = [&](int logType) {
        output.baseFileName.clear();
        return WriteTextReport(platform.Files(), ReportInfo(), logType,
                               makeOutputPath(platform, output, 0, L".txt"));
    };

    EXPECT_TRUE(report(1));
    EXPECT_TRUE(report(1));
    EXPECT_FALSE(report(0));

    std::vector<std::wstring> names = FilesIn(folder);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, std::vector<std::wstring>({L"MN20240305_00_6bf1.txt", L"MN20240305_00_6bf2.txt"}));
    RemoveFolder(folder);
}
