// Bad input from outside: settings files that are damaged or hold values the
// program never writes, output folders that cannot be used, templates and
// computer information with awkward characters. Each case must load or run to
// its end and leave either complete files or none.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/text.h"
#include "output/image_file_saver.h"
#include "output/output_naming.h"
#include "output/text_report.h"
#include "output/win32/output_files_win.h"
#include "print/header_format.h"
#include "print/print_run.h"
#include "print/win32/page_render.h"
#include "settings/settings.h"
#include "settings/settings_storage.h"
#include "settings/win32/ini_file_storage.h"
#include "window/raii.h"

using namespace orbilux;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::wstring ScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int serial = 0;
    return std::wstring(temp) + L"tamrik-hard-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++serial);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// INI text as the program's users might leave it: UTF-8 bytes, CR LF ends.
std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

CxImagePtr Picture(uint32_t w, uint32_t h) {
    auto img = std::make_shared<CxImage>();
    img->Create(w, h, 24);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            img->SetPixelColor(x, y, RGBQuadColor::FromRgb(uint8_t(x * 7), uint8_t(y * 5), 160));
    return img;
}

uint32_t Le32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

// Whether the bytes are one whole picture file of the kind its extension says.
::testing::AssertionResult CompletePicture(const fs::path& path) {
    const std::string b = ReadAll(path);
    const std::wstring ext = path.extension().wstring();
    if (ext == L".bmp") {
        if (b.size() < 54 || b.compare(0, 2, "BM") != 0)
            return ::testing::AssertionFailure() << "no BMP header";
        if (Le32(b, 2) != b.size())
            return ::testing::AssertionFailure()
                   << "BMP says " << Le32(b, 2) << " bytes, file has " << b.size();
        return ::testing::AssertionSuccess();
    }
    if (ext == L".png") {
        static const char kSignature[] = "\x89PNG\r\n\x1a\n";
        if (b.size() < 8 + 25 + 12 || b.compare(0, 8, kSignature, 8) != 0)
            return ::testing::AssertionFailure() << "no PNG signature";
        if (b.compare(b.size() - 8, 4, "IEND") != 0)
            return ::testing::AssertionFailure() << "PNG without IEND";
        return ::testing::AssertionSuccess();
    }
    if (ext == L".jpg") {
        if (b.size() < 4 || uint8_t(b[0]) != 0xFF || uint8_t(b[1]) != 0xD8)
            return ::testing::AssertionFailure() << "no JPEG start";
        if (uint8_t(b[b.size() - 2]) != 0xFF || uint8_t(b[b.size() - 1]) != 0xD9)
            return ::testing::AssertionFailure() << "JPEG without its end marker";
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "unexpected file " << path.string();
}

std::vector<fs::path> FilesUnder(const std::wstring& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(fs::path(folder), ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file()) files.push_back(it->path());
    return files;
}

struct HardSettingsTest : ::testing::Test {
    void SetUp() override {
        folder = ScratchFolder();
        fs::create_directories(fs::path(folder));
        iniPath = folder + L"\\PrintSettings.ini";
        outDir = folder + L"\\out";
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(fs::path(folder), ec);
    }

    // Loads the file as the program does at start; the load must come back.
    bool Load(ORBILUXSetting& settings) {
        const auto start = Clock::now();
        CSettingsStorageIniFile storage(iniPath, L"ORBILUXSettings");
        const bool ok = settings.Load(storage);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(10)) << "loading took too long";
        return ok;
    }
    bool LoadText(const std::string& text, ORBILUXSetting& settings) {
        WriteAll(iniPath, Crlf(text));
        return Load(settings);
    }

    // The saving run of one 40x30 capture; the base folder is the scratch
    // folder's "out" unless the case set one.
    void Save(ORBILUXSetting& settings, bool keepBase = false) {
        if (!keepBase) settings.output_.baseDirName = outDir;
        const auto start = Clock::now();
        Win32OutputPlatform platform;
        ImageFileSaver saver(platform, Picture(40, 30), MonitorShotMap{}, settings);
        saver();
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(20)) << "the saving run took too long";
        EXPECT_TRUE(settings.output_.baseFileName.empty());
    }

    // Every file under the output folder is complete; returns the pictures.
    size_t CheckOutput() {
        size_t pictures = 0;
        for (const fs::path& p : FilesUnder(outDir)) {
            const std::wstring name = p.filename().wstring();
            EXPECT_NE(name[0], L'~') << "a temporary file was left: " << p.string();
            if (p.extension() == L".txt") {
                EXPECT_GT(fs::file_size(p), 0u);
                continue;
            }
            EXPECT_TRUE(CompletePicture(p)) << p.string();
            ++pictures;
        }
        return pictures;
    }

    std::wstring folder, iniPath, outDir;
};

// The usual writing of the file, from which the damaged ones are made.
const char kFullIni[] =
    "[ORBILUXSettings.general_]\n"
    "bDisplaySplash_=FALSE\n"
    "screenTarget=0\n"
    "[ORBILUXSettings.general_.disabledMonitors_]\n"
    "Count=2\nItem.0=1\nItem.1=3\n"
    "[ORBILUXSettings.printer_]\n"
    "printername_=PDF\n"
    "rtMargin=DC050000E8030000E8030000E8030000A2\n"
    "[ORBILUXSettings.format_.headStrings]\n"
    "Count=2\nItem.0=$date $time\nItem.1=\\B$page|$maxpage\n"
    "[ORBILUXSettings.key_]\n"
    "keyAction=1\nlogType=1\n"
    "[ORBILUXSettings.output_]\n"
    "nPictureFormat=1\nbpp=2\nscale=100\n"
    "[ORBILUXSettings]\nsimpleMode=FALSE\n";

}  // namespace

TEST_F(HardSettingsTest, TruncatedFileLoadsWhatItHasAndSaves) {
    const std::string full = Crlf(kFullIni);
    // Cut inside the margin's hex, inside a section name, and after one byte.
    for (const size_t cut :
         {full.find("E8030000A2") + 3, full.find("[ORBILUXSettings.key_]") + 9, size_t(1)}) {
        WriteAll(iniPath, full.substr(0, cut));
        ORBILUXSetting settings;
        Load(settings);
        EXPECT_EQ(settings.output_.nPictureFormat, 2) << "the output group was never reached";
        EXPECT_LE(settings.format_.headStrings.size(), 2u);
        Save(settings);
        EXPECT_EQ(CheckOutput(), 1u) << "cut at " << cut;
        fs::remove_all(fs::path(outDir));
    }
}

TEST_F(HardSettingsTest, RandomBytesLoadAndSave) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 4; ++round) {
        std::string bytes(size_t(16384) << round, '\0');
        for (char& c : bytes) c = char(random());
        if (round == 3)
            bytes.replace(100, 26, "\n[ORBILUXSettings.output_]\n");  // a real section among noise
        WriteAll(iniPath, bytes);
        ORBILUXSetting settings;
        Load(settings);
        EXPECT_LE(settings.format_.headStrings.size(), kMaxListCount);
        EXPECT_LE(settings.general_.disabledMonitors_.size(), kMaxListCount);
        settings.output_.nPictureFormat = 0;
        Save(settings);
        EXPECT_EQ(CheckOutput(), 1u) << "round " << round;
        fs::remove_all(fs::path(outDir));
    }
}

TEST_F(HardSettingsTest, Utf16WithoutByteOrderMark) {
    const std::wstring wide = tamrik::Utf8ToWide(
        Crlf(std::string(kFullIni) + "[ORBILUXSettings.format_]\nfontFace=ＭＳ ゴシック\n"));
    std::string bytes;
    for (wchar_t c : wide) {
        bytes += char(c & 0xFF);
        bytes += char((c >> 8) & 0xFF);
    }
    WriteAll(iniPath, bytes);
    ORBILUXSetting settings;
    Load(settings);
    // Read either as the text it is or as nothing useful; both are sound.
    EXPECT_TRUE(settings.output_.nPictureFormat == 1 || settings.output_.nPictureFormat == 2);
    Save(settings);
    EXPECT_EQ(CheckOutput(), 1u);
}

TEST_F(HardSettingsTest, HugeCountsStopAtTheListLimit) {
    for (const char* count : {"4294967295", "99999999999999999999", "-1", "2147483648"}) {
        std::string text = std::string("[ORBILUXSettings.general_.disabledMonitors_]\nCount=") + count +
                           "\nItem.0=1\n[ORBILUXSettings.format_.headStrings]\nCount=" + count +
                           "\nItem.0=top\n[ORBILUXSettings.format_.footStrings]\nCount=" + count +
                           "\n[ORBILUXSettings.output_]\nnPictureFormat=2\n";
        ORBILUXSetting settings;
        LoadText(text, settings);
        EXPECT_LE(settings.general_.disabledMonitors_.size(), kMaxListCount) << count;
        EXPECT_LE(settings.format_.headStrings.size(), kMaxListCount) << count;
        EXPECT_LE(settings.format_.footStrings.size(), kMaxListCount) << count;
        Save(settings);
        EXPECT_EQ(CheckOutput(), 1u) << count;
        fs::remove_all(fs::path(outDir));
    }
}

TEST_F(HardSettingsTest, HundredThousandCharacterStrings) {
    const std::string longText(100000, 'W');
    const std::string text = "[ORBILUXSettings.printer_]\nprintername_=" + longText +
                             "\n[ORBILUXSettings.format_]\nfontFace=" + longText +
                             "\n[ORBILUXSettings.format_.headStrings]\nCount=1\nItem.0=$page|" + longText +
                             "\n[ORBILUXSettings.output_]\nnPictureFormat=1\nbaseDirName=C:\\" + longText +
                             "\n[ORBILUXSettings.key_]\nlogType=1\n";
    ORBILUXSetting settings;
    LoadText(text, settings);
    EXPECT_LE(settings.printer_.printername_.size(), 100000u);
    EXPECT_LE(settings.format_.fontFace.size(), 100000u);
    ASSERT_LE(settings.format_.headStrings.size(), 1u);
    if (!settings.format_.headStrings.empty()) {
        const auto blocks = LayoutBand(settings.format_.headStrings, 4000, 20, 2, ComputerInfo());
        EXPECT_FALSE(blocks.empty());
    }
    // The stored folder cannot exist (a name over 255 characters): nothing is
    // written there, and the run still ends.
    const std::wstring stored = settings.output_.baseDirName;
    Save(settings, true);
    if (stored.size() > 3) {
        EXPECT_FALSE(fs::exists(fs::path(stored)));
    }
    Save(settings);
    EXPECT_EQ(CheckOutput(), 1u);
}

TEST_F(HardSettingsTest, NumbersWithSignsOverflowAndLetters) {
    const std::string text =
        "[ORBILUXSettings.general_]\nscreenTarget=+0\nnumberOfMonitors_=-2147483649\n"
        "[ORBILUXSettings.key_]\nkeyAction= -1\nlogType=1e9\nprintVirtualKeyCode_=0x2C\nkeyKind=abc\n"
        "[ORBILUXSettings.format_]\nfontSize=99999999999999999999999\n"
        "[ORBILUXSettings.output_]\nnPictureFormat=+1junk\nbpp=--2\nscale=-1\nprintMode=4294967296\n";
    ORBILUXSetting settings;
    LoadText(text, settings);
    EXPECT_EQ(settings.general_.screenTarget, 0);
    EXPECT_EQ(settings.output_.nPictureFormat, 1);  // the digits before the letters
    EXPECT_EQ(settings.key_.keyKind, 0);            // no number: the default
    EXPECT_EQ(EffectiveScale(settings.output_.scale), 150u);
    Save(settings);
    EXPECT_EQ(CheckOutput(), 1u);
}

TEST_F(HardSettingsTest, EveryEnumerationOutOfRange) {
    // screenTarget, keyKind, keyAction, logType, printMode, bpp out of range;
    // the format is a real one so that a picture is due.
    for (const char* scale : {"0", "100000", "-1"}) {
        const std::string text = std::string(
                                     "[ORBILUXSettings.general_]\nscreenTarget=7\n"
                                     "[ORBILUXSettings.key_]\nkeyAction=9\nkeyKind=5\nlogType=9\n"
                                     "[ORBILUXSettings.output_]\nprintMode=12\nnPictureFormat=1\nbpp=17\n"
                                     "scale=") +
                                 scale + "\n";
        ORBILUXSetting settings;
        LoadText(text, settings);
        EXPECT_EQ(settings.general_.screenTarget, 7);
        EXPECT_EQ(settings.key_.keyAction, 9);
        EXPECT_EQ(settings.key_.logType, 9);
        const uint32_t used = EffectiveScale(settings.output_.scale);
        EXPECT_GE(used, 1u);
        EXPECT_LE(used, 150u);
        // An unknown report level prints no text pages.
        EXPECT_TRUE(TextPageLines(ComputerInfo(), settings.key_.logType).empty());
        Save(settings);
        EXPECT_EQ(CheckOutput(), 1u) << "scale " << scale;
        bool report = false;
        for (const fs::path& p : FilesUnder(outDir)) report = report || p.extension() == L".txt";
        EXPECT_TRUE(report) << "logType 9 still writes the report beside the picture";
        fs::remove_all(fs::path(outDir));
    }
    // A format the program does not know writes nothing, not even an empty file.
    for (const char* format : {"3", "9", "-1"}) {
        ORBILUXSetting settings;
        LoadText(std::string("[ORBILUXSettings.output_]\nnPictureFormat=") + format + "\n", settings);
        Save(settings);
        EXPECT_EQ(CheckOutput(), 0u) << "format " << format;
        fs::remove_all(fs::path(outDir));
    }
}

TEST_F(HardSettingsTest, BaseFolderThatIsAFileWritesNothingAndKeepsTheFile) {
    const std::wstring file = folder + L"\\plain-file";
    WriteAll(file, "keep me");
    ORBILUXSetting settings;
    LoadText("[ORBILUXSettings.output_]\nnPictureFormat=1\nbDateDir=TRUE\nbaseDirName=" +
                 tamrik::WideToUtf8(file) + "\n[ORBILUXSettings.key_]\nlogType=1\n",
             settings);
    ASSERT_EQ(settings.output_.baseDirName, file);
    Save(settings, true);
    EXPECT_EQ(ReadAll(fs::path(file)), "keep me");
    for (const fs::path& p : FilesUnder(folder))
        EXPECT_TRUE(p.filename() == L"plain-file" || p.filename() == L"PrintSettings.ini") << p.string();
    // Mended, the next run writes.
    Save(settings);
    EXPECT_EQ(CheckOutput(), 1u);
}

TEST_F(HardSettingsTest, UncFolderThatDoesNotExist) {
    ORBILUXSetting settings;
    LoadText("[ORBILUXSettings.output_]\nnPictureFormat=0\nbaseDirName=\\\\tamrik-no-host\\no-share\\shots\n",
             settings);
    Save(settings, true);
    EXPECT_FALSE(fs::exists(fs::path(L"\\\\tamrik-no-host\\no-share\\shots")));
}

TEST_F(HardSettingsTest, RelativeFolderIsTakenFromTheCurrentFolder) {
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    ORBILUXSetting settings;
    LoadText("[ORBILUXSettings.output_]\nnPictureFormat=2\nbaseDirName=out\\relative\n", settings);
    Save(settings, true);
    SetCurrentDirectoryW(before);
    const auto files = FilesUnder(outDir + L"\\relative");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(CompletePicture(files[0]));
}

TEST_F(HardSettingsTest, FolderOfThreeHundredCharacters) {
    std::wstring deep = outDir;
    while (deep.size() < 300) deep += L"\\" + std::wstring(40, L'd');
    deep.resize(300);
    ORBILUXSetting settings;
    LoadText("[ORBILUXSettings.output_]\nnPictureFormat=1\nbaseDirName=" + tamrik::WideToUtf8(deep) + "\n",
             settings);
    ASSERT_EQ(settings.output_.baseDirName, deep);
    Save(settings, true);
    // Whether such a path can be written depends on the system; what is there
    // is whole.
    EXPECT_LE(CheckOutput(), 1u);
}

// ---- Templates and computer information -------------------------------------

namespace {

ComputerInfo AwkwardInfo() {
    ComputerInfo info;
    info.page = 3;
    info.pageCount = 7;
    info.shotDate = L"2026/12/08";
    info.shotTime = L"01:30:00";
    info.computerName = L"PC%s%n&&";
    info.userName = L"us\ter&";
    info.windowText = L"100% & \t tab \u20AC \U0001F600 \xD800 lone \xDC00 \u00E9 \u7A93 %d%s%%";
    info.application = L"C:\\Program Files\\&%1\\\u00FC\U00020BB7.exe";
    info.ipAddresses = {L"192.0.2.1"};
    return info;
}

std::vector<std::wstring> AwkwardTemplates() {
    const std::vector<std::wstring> pieces = {
        L"\\B",      L"\\I",    L"\\U",      L"\\L",      L"\\R",   L"\\C",       L"\\\\",  L"\\|",
        L"\\",       L"$page",  L"$maxpage", L"$date",    L"$time", L"$computer", L"$user", L"$window",
        L"$program", L"$ip",    L"$",        L"$nothing", L"|",     L"||",        L"&",     L"%",
        L"\t",       L"\xD800", L"\xDC00",   L"\x81",     L"\x9F|", L"\xE0\\"};
    std::vector<std::wstring> lines;
    // Each piece alone, first, last, and between every other piece.
    for (const auto& p : pieces) {
        lines.push_back(p);
        lines.push_back(p + L"text");
        lines.push_back(L"text" + p);
        std::wstring mixed;
        for (const auto& q : pieces) mixed += q + p;
        lines.push_back(mixed);
    }
    std::wstring all;
    for (const auto& p : pieces) all += p;
    lines.push_back(all);
    lines.push_back(std::wstring(10000, L'x'));
    std::wstring longMixed;
    while (longMixed.size() < 10000) longMixed += L"$window|\\B$page\\";
    lines.push_back(longMixed);
    lines.push_back(std::wstring(10000, L'|'));
    lines.push_back(std::wstring(10000, L'\\'));
    lines.push_back(std::wstring(10000, L'\xD800'));
    return lines;
}

void DrawIntoMetafile(const PageEntry& picture, const PageEntry& text, const PrintStyle& style,
                      const ComputerInfo& info) {
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    const PageRect page{0, 0, 2400, 3400};
    DrawPage(dc, page, picture, style, info);
    DrawPage(dc, page, text, style, info);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    ASSERT_NE(emf, nullptr);
    EXPECT_GT(GetEnhMetaFileBits(emf, 0, nullptr), 0u);
    DeleteEnhMetaFile(emf);
}

}  // namespace

TEST(HardTemplates, EveryEscapeAndTokenAtEveryPositionLaysOut) {
    const ComputerInfo info = AwkwardInfo();
    const auto lines = AwkwardTemplates();
    for (const auto& line : lines) {
        const auto blocks = LayoutBand({line}, 3000, 20, 2, info);
        for (size_t i = 0; i < blocks.size(); ++i) {
            const int a = EffectiveAlignment(blocks, i);
            EXPECT_TRUE(a == kAlignLeft || a == kAlignRight || a == kAlignCentre);
        }
    }
    // The whole set as one band: rows keep their order.
    const auto band = LayoutBand(lines, 3000, 20, 2, info);
    for (size_t i = 1; i < band.size(); ++i) EXPECT_GE(band[i].rect.top, band[i - 1].rect.top);
    // Tokens keep their values as they are, "%" and "&" included: every "&" of
    // the value reaches the prefix drawing doubled, so it prints as one "&".
    const auto window = ParseTemplateLine(L"$window", info);
    ASSERT_EQ(window.size(), 1u);
    EXPECT_EQ(window[0].text, LiteralForPrefixDrawing(info.windowText));
}

TEST(HardTemplates, PagesWithAwkwardBandsDrawIntoAMetafile) {
    const ComputerInfo info = AwkwardInfo();
    const auto lines = AwkwardTemplates();
    PrintStyle style;
    style.layout.lineHeightHead = 2;
    style.layout.lineHeightFoot = 2;
    PageEntry picture;
    picture.pageNumber = 0;
    picture.image = Picture(64, 48);
    PageEntry text;
    text.pageNumber = 1;
    text.kind = PageKind::Text;
    text.lines = {info.windowText, std::wstring(10000, L'y'), L"\t&%\xD800"};
    // Some lines at a time, so that every one is drawn as a band.
    for (size_t i = 0; i < lines.size(); i += 12) {
        const size_t n = std::min<size_t>(12, lines.size() - i);
        style.headStrings.assign(lines.begin() + i, lines.begin() + i + n);
        style.footStrings.assign(lines.rbegin(), lines.rbegin() + n);
        DrawIntoMetafile(picture, text, style, info);
    }
    // Font sizes and faces a settings file may hold.
    style.headStrings = {L"$page|$window|\\B$date"};
    style.footStrings = {L"$program"};
    for (const uint32_t size : {0u, 1u, 100000u, 214748365u, 4000000000u}) {
        style.fontSize = size;
        style.fontFace = std::wstring(100000, L'F');
        DrawIntoMetafile(picture, text, style, info);
    }
}

TEST(HardReport, AwkwardTitlesAndProgramsReachTheReport) {
    ComputerInfo info = AwkwardInfo();
    info.processLines = {L"\t%s.exe\t&\t\U0001F600", L"\xD800\t?"};
    info.composeInfoLines();
    bool sawWindow = false, sawProgram = false;
    for (const auto& line : info.infoLines) {
        sawWindow = sawWindow || line.find(info.windowText) != std::wstring::npos;
        sawProgram = sawProgram || line.find(info.application) != std::wstring::npos;
    }
    EXPECT_TRUE(sawWindow);
    EXPECT_TRUE(sawProgram);
    const std::wstring text = BuildReportText(info, 2);
    EXPECT_NE(text.find(L"100% & "), std::wstring::npos);
    const std::wstring expanded = ExpandTabs(text);
    EXPECT_EQ(expanded.find(L'\t'), std::wstring::npos);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path =
        std::wstring(temp) + L"tamrik-hard-report-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    ASSERT_TRUE(WriteReportFile(Win32FileSystem(), path, expanded));
    const std::string bytes = ReadAll(fs::path(path));
    DeleteFileW(path.c_str());
    // "%" and "&" stay; the euro sign, the emoji, the lone surrogates and the
    // extension-B ideograph are "?" in code page 932; the kanji is its two bytes.
    EXPECT_NE(bytes.find("100% & "), std::string::npos);
    EXPECT_NE(bytes.find("%d%s%%"), std::string::npos);
    EXPECT_NE(bytes.find("\x91\x8B"), std::string::npos);  // 窓
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);
    EXPECT_NE(bytes.find(" ? "), std::string::npos);
}
