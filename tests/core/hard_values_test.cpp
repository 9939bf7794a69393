// Stored values the program never writes, and awkward text, through the
// portable code under the sanitizers: the settings record, picture
// preparation and encoding, the band layout and the text report.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "output/image_file_saver.h"
#include "output/text_report.h"
#include "print/header_format.h"
#include "print/page_layout.h"
#include "settings/memory_storage.h"
#include "settings/settings.h"
#include "settings/settings_storage.h"

using namespace orbilux;
namespace fs = std::filesystem;

namespace {

std::shared_ptr<MemoryProfile> Profile(const std::vector<std::vector<std::wstring>>& triples) {
    auto p = std::make_shared<MemoryProfile>();
    for (const auto& t : triples) p->Set(t[0], t[1], t[2]);
    return p;
}

ORBILUXSetting LoadFrom(const std::shared_ptr<MemoryProfile>& profile) {
    ORBILUXSetting s;
    CSettingsStorageMemory storage(profile, L"ORBILUXSettings");
    s.Load(storage);
    return s;
}

CxImage Picture(uint32_t w, uint32_t h) {
    CxImage img;
    img.Create(w, h, 24);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            img.SetPixelColor(x, y, RGBQuadColor::FromRgb(uint8_t(x * 11), 90, 7));
    return img;
}

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(HardValues, DamagedNumbersListsAndStructsLoad) {
    const std::wstring o = L"ORBILUXSettings.output_", k = L"ORBILUXSettings.key_",
                       p = L"ORBILUXSettings.printer_";
    const std::wstring h = L"ORBILUXSettings.format_.headStrings";
    const ORBILUXSetting s = LoadFrom(Profile({
        {o, L"nPictureFormat", L"+1junk"},
        {o, L"bpp", L"--2"},
        {o, L"scale", L"-1"},
        {o, L"printMode", L"99999999999999999999999"},
        {k, L"keyAction", L" -7"},
        {k, L"logType", L"x"},
        {h, L"Count", L"4294967295"},
        {h, L"Item.0", std::wstring(100000, L'w')},
        {p, L"devmode_", L"0G1"},
        {p, L"devmode_Extra", std::wstring(100001, L'F')},
        {p, L"rtMargin", L"DC0500"},
        {p, L"ptPaperSize", std::wstring(50, L'Z')},
    }));
    EXPECT_EQ(s.output_.nPictureFormat, 1);
    EXPECT_EQ(s.output_.bpp, 3);  // no number: the default
    EXPECT_EQ(EffectiveScale(s.output_.scale), 150u);
    EXPECT_EQ(s.key_.keyAction, -7);
    EXPECT_EQ(s.key_.logType, 0);
    EXPECT_LE(s.format_.headStrings.size(), kMaxListCount);
    EXPECT_FALSE(s.printer_.HasDevMode());
    const PrinterSettings defaults;
    EXPECT_EQ(s.printer_.rtMargin, defaults.rtMargin);
}

TEST(HardValues, OutOfRangePictureSettingsGiveWholeFiles) {
    const fs::path dir = fs::temp_directory_path() / ("tamrik-hard-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const CxImage source = Picture(33, 21);
    int n = 0;
    for (const int32_t bpp : {-1, 0, 1, 2, 3, 17, 2147483647}) {
        for (const uint32_t scale : {0u, 1u, 150u, 100000u, 4294967295u}) {
            for (const int32_t format : {0, 1, 2}) {
                OutputSettings out;
                out.nPictureFormat = format;
                out.scale = scale;
                std::wstring ext;
                ImageEncoder encoder = ImageEncoder::Jpeg;
                ASSERT_TRUE(PictureFormat(format, ext, encoder));
                const CxImage prepared = preparePicture(out, bpp, source);
                const uint32_t used = EffectiveScale(scale);
                // A size that rounds to nothing keeps the picture as it is.
                const uint32_t w = 33 * used / 100, h = 21 * used / 100;
                EXPECT_EQ(prepared.GetWidth(), w && h ? w : 33u);
                const fs::path file = dir / ("p" + std::to_string(++n));
                ASSERT_TRUE(savePicture(PortableFileSystem(), prepared, file.wstring(), encoder));
                const std::string b = ReadAll(file);
                ASSERT_GT(b.size(), 8u);
                const bool whole = format == 0   ? b.substr(0, 2) == "BM"
                                   : format == 1 ? b.substr(b.size() - 8, 4) == "IEND"
                                                 : uint8_t(b[b.size() - 1]) == 0xD9;
                EXPECT_TRUE(whole) << "format " << format << " bpp " << bpp << " scale " << scale;
            }
        }
    }
    fs::remove_all(dir);
}

TEST(HardValues, AwkwardTemplatesLayOutUnderTheSanitizers) {
    ComputerInfo info;
    info.windowText = L"100% & \t \xD800 \U0001F600";
    info.application = L"&%s\xDFFF.exe";
    const std::vector<std::wstring> pieces = {
        L"\\B",      L"\\I",       L"\\U",      L"\\L",   L"\\R",    L"\\C",    L"\\\\",  L"\\|",
        L"\\",       L"$page",     L"$maxpage", L"$date", L"$time",  L"$ip",    L"$user", L"$window",
        L"$program", L"$computer", L"$",        L"|",     L"\xD800", L"\xDC00", L"\x81",  L"\xE0\\"};
    for (const auto& p : pieces) {
        for (const auto& q : pieces) {
            for (const std::wstring& line : {p + q, q + p + q, L"a" + p + L"b" + q}) {
                const auto blocks = LayoutBand({line}, 1000, 10, 1, info);
                for (size_t i = 0; i < blocks.size(); ++i) EffectiveAlignment(blocks, i);
            }
        }
    }
    std::wstring mixed;
    while (mixed.size() < 10000)
        for (const auto& p : pieces) mixed += p;
    for (const std::wstring& line :
         {mixed, std::wstring(10000, L'|'), std::wstring(10000, L'\\'), std::wstring(10001, L'\xD800')})
        EXPECT_FALSE(LayoutBand({line}, 3000, 10, 1, info).empty());
}

TEST(HardValues, AwkwardInformationReachesTheReportFile) {
    ComputerInfo info;
    info.windowText = L"50% & co\t\x7A93\xD800\U0001F600";
    info.application = L"C:\\a&b\\%1.exe";
    info.computerName = L"PC\t%n";
    info.processLines = {L"\t&\t%s", std::wstring(10000, L'\t')};
    info.composeInfoLines();
    const std::wstring text = ExpandTabs(BuildReportText(info, 2));
    EXPECT_NE(text.find(L"50% & co"), std::wstring::npos);
    EXPECT_NE(text.find(L"C:\\a&b\\%1.exe"), std::wstring::npos);
    const fs::path file = fs::temp_directory_path() / ("tamrik-hard-report-" + std::to_string(::getpid()));
    ASSERT_TRUE(WriteReportFile(PortableFileSystem(), file.wstring(), text));
    const std::string bytes = ReadAll(file);
    fs::remove(file);
    EXPECT_NE(bytes.find("50% & co"), std::string::npos);
    EXPECT_NE(bytes.find("\x91\x8B??"), std::string::npos);  // the kanji, then "?" for what cp932 lacks
}

TEST(HardValues, ExtremeBandAndMarginSettingsLayOut) {
    const DeviceFigures dev{2479, 3508, 300, 300};
    const std::vector<std::wstring> many(kMaxListCount, L"$page");
    for (const int v :
         {std::numeric_limits<int>::min(), -1000, -1, 0, 100000, std::numeric_limits<int>::max()}) {
        LayoutSettings s;
        s.simpleMode = false;
        s.lineHeightHead = s.marginHead = s.lineHeightFoot = s.marginFoot = v;
        s.margin = PageRect{v, v, v, v};
        for (const int tmHeight : {0, 40, 100000}) {
            const PageGeometry g = LayoutPage(dev, s, many, {L"x"}, tmHeight);
            EXPECT_TRUE(g.hasHeader && g.hasFooter);
        }
    }
}

TEST(HardValues, DamagedExtrasLoadAsDefaultsOrTheLongestDelay) {
    const std::wstring e = L"ORBILUXSettings.extras_";
    // Wrong types: a flag is on only for "TRUE", as in every group; a number
    // that is none is its default; the good values around them stay.
    ORBILUXSetting s = LoadFrom(Profile({
        {e, L"copyToClipboard", L"yes"},
        {e, L"notifyAfterSave", L"1"},
        {e, L"captureDelay", L"three"},
        {e, L"drawPointer", L"TRUE"},
    }));
    EXPECT_FALSE(s.extras_.copyToClipboard);
    EXPECT_FALSE(s.extras_.notifyAfterSave);
    EXPECT_EQ(s.extras_.captureDelay, 0u);
    EXPECT_TRUE(s.extras_.drawPointer);
    s = LoadFrom(Profile({{e, L"captureDelay", L"7"}, {e, L"drawPointer", L"1"}}));
    EXPECT_EQ(s.extras_.captureDelay, 7u);
    EXPECT_FALSE(s.extras_.drawPointer);
    // Out of range: the longest delay, whatever the text (a negative number
    // reads as a huge one, as every unsigned value of the file does).
    for (const wchar_t* delay : {L"11", L"-1", L"4294967295", L"99999999999999999999", L"+10"}) {
        s = LoadFrom(Profile({{e, L"captureDelay", delay}}));
        EXPECT_EQ(s.extras_.captureDelay, ExtrasSettings::kMaxCaptureDelay) << delay;
    }
    // A flag's damaged text is read the same way for every flag of the group.
    const std::wstring flags[] = {L"2", L"-1", L"", L"true", std::wstring(100000, L'1')};
    for (const std::wstring& flag : flags) {
        s = LoadFrom(Profile({{e, L"copyToClipboard", flag}, {e, L"drawPointer", flag}}));
        EXPECT_EQ(s.extras_.copyToClipboard, s.extras_.drawPointer) << flag.size();
    }
    // Missing: a file of an earlier version has no such group at all.
    s = LoadFrom(Profile({{L"ORBILUXSettings.key_", L"keyAction", L"2"}}));
    const ExtrasSettings defaults;
    EXPECT_EQ(s.extras_.copyToClipboard, defaults.copyToClipboard);
    EXPECT_EQ(s.extras_.notifyAfterSave, defaults.notifyAfterSave);
    EXPECT_EQ(s.extras_.captureDelay, defaults.captureDelay);
    EXPECT_EQ(s.extras_.drawPointer, defaults.drawPointer);
    EXPECT_EQ(s.key_.keyAction, 2);
}
