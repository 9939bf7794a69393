#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/text.h"
#include "output/text_report.h"

using namespace orbilux;

namespace {

const std::wstring kGeneral = L"+----------+\n| 一般情報 |\n+----------+\n";
const std::wstring kSystem = L"\n+--------------+\n| システムログ |\n+--------------+\n";
const std::wstring kApplication =
    L"\n+----------------------+\n| アプリケーションログ |\n+----------------------+\n";
const std::wstring kRule40 = L"----------------------------------------\n";

ComputerInfo SampleInfo() {
    ComputerInfo info;
    info.isWorkgroup = true;
    info.domainName = L"WORKGROUP";
    info.computerName = L"100% done %s";
    info.adapters = {{L"Intel(R) Ethernet", L"192.168.0.10", L"255.255.255.0", L"", true}};
    info.composeInfoLines();
    return info;
}

}  // namespace

TEST(ReportText, BasicReportEndsWithTheRule) {
    const ComputerInfo info = SampleInfo();
    const std::wstring text = BuildReportText(info, 1);
    EXPECT_EQ(text.substr(0, kGeneral.size()), kGeneral);
    EXPECT_EQ(text.substr(text.size() - kRule40.size()), kRule40);
    EXPECT_EQ(text.find(L"システムログ"), std::wstring::npos);
    EXPECT_NE(text.find(L"Computer Name:\t100% done %s\n"), std::wstring::npos);
}

TEST(ReportText, LogSectionsForEveryOtherLogType) {
    ComputerInfo info = SampleInfo();
    std::wstring body;
    for (const auto& line : info.infoLines) body += line;

    for (int logType : {2, 3, -1}) {
        EXPECT_EQ(BuildReportText(info, logType), kGeneral + body + kSystem + kApplication);
    }
    info.applicationLogLines = {L"エラー a\nb\n", L"警告 c\n%s\n"};
    EXPECT_EQ(BuildReportText(info, 2), kGeneral + body + kSystem + kApplication +
                                            L"エラー a\nb\n------------\n" + L"警告 c\n%s\n------------\n");
    info.systemLogLines = {L"s\n"};
    const std::wstring both = BuildReportText(info, 2);
    EXPECT_NE(both.find(kSystem + L"s\n------------\n" + kApplication), std::wstring::npos);
}

TEST(ReportText, TabsAdvanceToTheNextMultipleOfEight) {
    EXPECT_EQ(ExpandTabs(L"abcdefghijklm\tx"), L"abcdefghijklm   x");  // column 13: 3 spaces
    EXPECT_EQ(ExpandTabs(L"IP:\t\t192.168.0.10 / 255.255.255.0\n"),
              L"IP:" + std::wstring(13, L' ') + L"192.168.0.10 / 255.255.255.0\n");
    EXPECT_EQ(ExpandTabs(L"\tA\n12345678\tB"), L"        A\n12345678        B");
    EXPECT_EQ(ExpandTabs(L"一般\t|"), L"一般      |");  // a Japanese character counts as one
    EXPECT_EQ(ExpandTabs(L""), L"");
}

TEST(ReportText, NativeFileIsCodePage932WithCrLf) {
    const auto dir = std::filesystem::temp_directory_path() / "tamrik_report_test";
    std::filesystem::create_directories(dir);
    const std::wstring path = tamrik::Utf8ToWide((dir / "MN20240305_00_6bf1.txt").string());
    ASSERT_TRUE(WriteTextReport(PortableFileSystem(), SampleInfo(), 1, path));
    std::ifstream in(tamrik::WideToUtf8(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string heading = "+----------+\r\n| \x88\xea\x94\xca\x8f\xee\x95\xf1 |\r\n";
    EXPECT_EQ(bytes.substr(0, heading.size()), heading);
    EXPECT_EQ(bytes.find('\t'), std::string::npos);
    EXPECT_NE(bytes.find("DHCP:           \x97\x4c\x8c\xf8\r\n"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()),
              1);
    EXPECT_FALSE(WriteTextReport(PortableFileSystem(), SampleInfo(), 0, path + L".none"));
    std::filesystem::remove_all(dir);
}
