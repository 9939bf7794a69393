#include <gtest/gtest.h>

#include "print/colour_mode.h"
#include "print/devmode_bytes.h"
#include "print/print_run.h"

using namespace orbilux;

namespace {

CxImagePtr Picture24(RGBQuadColor c, uint32_t w = 3, uint32_t h = 2) {
    auto img = std::make_shared<CxImage>();
    img->Create(w, h, 24);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) img->SetPixelColor(x, y, c);
    return img;
}

// Measures every line as ten units per line feed it holds, at least ten.
int Measure(const std::wstring& line) {
    int feeds = 0;
    for (wchar_t c : line) feeds += c == L'\n';
    return 10 * std::max(feeds, 1);
}

std::vector<uint8_t> DevMode(uint16_t publicSize, uint16_t extra, size_t given) {
    std::vector<uint8_t> d(given, 0);
    const wchar_t name[] = L"PDF";
    for (size_t i = 0; i < 3; ++i) d[2 * i] = uint8_t(name[i]);
    d[68] = uint8_t(publicSize);
    d[69] = uint8_t(publicSize >> 8);
    d[70] = uint8_t(extra);
    d[71] = uint8_t(extra >> 8);
    for (size_t i = 72; i < given; ++i) d[i] = uint8_t(i);
    return d;
}

}  // namespace

TEST(PrintColour, ModesTreatACopyAndLeaveTheSharedPictureAlone) {
    const CxImagePtr white = Picture24(RGBQuadColor::FromRgb(255, 255, 255));
    EXPECT_EQ(PreparePicture(white, kPrintColour), white);
    EXPECT_EQ(PreparePicture(white, 9), white);  // unknown modes draw as colour

    const CxImagePtr neg = PreparePicture(white, kPrintNegative);
    EXPECT_NE(neg, white);
    EXPECT_TRUE(neg->GetPixelColor(1, 1).SameRgb(RGBQuadColor::FromRgb(0, 0, 0)));
    EXPECT_EQ(neg->GetBpp(), 24u);

    // Monochrome negative: white prints black, from an 8-bit grey picture.
    const CxImagePtr monoNeg = PreparePicture(white, kPrintMonochromeNegative);
    EXPECT_EQ(monoNeg->GetBpp(), 8u);
    EXPECT_TRUE(monoNeg->GetPixelColor(0, 0).SameRgb(RGBQuadColor::FromRgb(0, 0, 0)));

    // The shared picture is untouched.
    EXPECT_TRUE(white->GetPixelColor(0, 0).SameRgb(RGBQuadColor::FromRgb(255, 255, 255)));
}

TEST(PrintColour, GreyLevelsUseTheTenBitWeights) {
    const CxImagePtr red = Picture24(RGBQuadColor::FromRgb(255, 0, 0));
    const CxImagePtr grey = PreparePicture(red, kPrintMonochrome);
    const uint8_t g = uint8_t((306 * 255) >> 10);  // 76
    EXPECT_TRUE(grey->GetPixelColor(2, 1).SameRgb(RGBQuadColor::FromRgb(g, g, g)));
    EXPECT_EQ(GreyLevel(RGBQuadColor::FromRgb(255, 255, 255)), 255);
    EXPECT_EQ(GreyLevel(RGBQuadColor::FromRgb(10, 200, 30)), (306 * 10 + 601 * 200 + 117 * 30) >> 10);

    // A palette picture keeps its depth and has its palette treated.
    CxImage pal;
    pal.Create(2, 2, 1);
    pal.SetPaletteColor(1, RGBQuadColor::FromRgb(0, 0, 255));
    ToGreyscale(pal);
    EXPECT_EQ(pal.GetBpp(), 1u);
    EXPECT_TRUE(pal.GetPaletteColor(1).SameRgb(RGBQuadColor::FromRgb(29, 29, 29)));
    ToNegative(pal);
    EXPECT_TRUE(pal.GetPaletteColor(0).SameRgb(RGBQuadColor::FromRgb(255, 255, 255)));
    EXPECT_TRUE(pal.GetPaletteColor(1).SameRgb(RGBQuadColor::FromRgb(226, 226, 226)));
}

TEST(PrintRunCopy, RunOwnsItsPicturesPagesAndTokenValues) {
    ScreenShot shot;
    *shot.image = *Picture24(RGBQuadColor::FromRgb(1, 2, 3));
    PageEntry pic;
    pic.pageNumber = 0;
    pic.image = shot.image;
    shot.InsertPage(pic);
    pic.pageNumber = 1;  // a second page sharing the same picture
    shot.InsertPage(pic);
    PageEntry text;
    text.pageNumber = 2;
    text.kind = PageKind::Text;
    text.lines = {L"line"};
    shot.InsertPage(text);

    ORBILUXSetting settings;
    settings.format_.computerInfo.computerName = L"PC-01";
    settings.format_.headStrings = {L"$page / $maxpage"};
    settings.output_.printMode = 3;
    settings.printer_.rtMargin = SettingsRect{1, 2, 3, 4};
    settings.simpleMode = false;

    const auto run = MakePrintRun(shot, settings, 3);
    ASSERT_EQ(run->pages.size(), 3u);
    EXPECT_EQ(run->info.pageCount, 3);
    EXPECT_EQ(run->style.printMode, 3);
    EXPECT_EQ(run->style.layout.margin, (PageRect{1, 2, 3, 4}));
    EXPECT_FALSE(run->style.layout.simpleMode);
    EXPECT_NE(run->pages[0].image, shot.image);
    EXPECT_EQ(run->pages[0].image, run->pages[1].image);  // copied once

    // The next capture refills the same picture and page list in place.
    *shot.image = *Picture24(RGBQuadColor::FromRgb(9, 9, 9), 5, 5);
    shot.pages.clear();
    settings.format_.computerInfo.computerName = L"changed";
    settings.format_.headStrings.clear();
    EXPECT_EQ(run->pages[0].image->GetWidth(), 3u);
    EXPECT_TRUE(run->pages[0].image->GetPixelColor(0, 0).SameRgb(RGBQuadColor::FromRgb(1, 2, 3)));
    EXPECT_EQ(run->pages[2].lines, std::vector<std::wstring>{L"line"});
    EXPECT_EQ(run->info.computerName, L"PC-01");
    EXPECT_EQ(run->style.headStrings.size(), 1u);

    EXPECT_TRUE(run->Page(3).empty);
    EXPECT_TRUE(run->Page(-1).empty);
    EXPECT_EQ(run->Page(2).kind, PageKind::Text);
}

TEST(PrintTextPages, LinesFollowTheReportLevel) {
    ComputerInfo info;
    info.infoLines = {L"a\n", L"b\n"};
    info.systemLogLines = {L"s\n"};
    info.applicationLogLines = {L"p\n"};
    EXPECT_TRUE(TextPageLines(info, 0).empty());
    EXPECT_TRUE(TextPageLines(info, 4).empty());
    EXPECT_EQ(TextPageLines(info, 1), (std::vector<std::wstring>{kGeneralInfoHeading, L"a\n", L"b\n"}));
    const auto full = TextPageLines(info, 2);
    EXPECT_EQ(full, (std::vector<std::wstring>{kGeneralInfoHeading, L"a\n", L"b\n", kSystemLogHeading, L"s\n",
                                               kApplicationLogHeading, L"p\n"}));
    EXPECT_EQ(TextPageLines(info, 3), full);
    EXPECT_EQ(std::wstring(kGeneralInfoHeading), L"\n\u25c6 \u4e00\u822c\u60c5\u5831 \u25c6\n\n");
}

TEST(PrintTextPages, PaginationFillsPagesAndGivesATallLineItsOwnPage) {
    const std::vector<std::wstring> lines{L"1", L"2", L"3", L"\n\n\n\n\n\n", L"4"};
    const auto pages = PaginateLines(lines, 25, 10, Measure);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0], (std::vector<std::wstring>{L"1", L"2"}));
    EXPECT_EQ(pages[1], (std::vector<std::wstring>{L"3"}));
    EXPECT_EQ(pages[2], (std::vector<std::wstring>{L"\n\n\n\n\n\n"}));  // taller than a page, alone
    EXPECT_EQ(pages[3], (std::vector<std::wstring>{L"4"}));
    // A tall first line does not leave an empty page before it.
    EXPECT_EQ(PaginateLines({L"\n\n\n\n"}, 10, 10, Measure).size(), 1u);
    EXPECT_TRUE(PaginateLines({}, 10, 10, Measure).empty());
}

TEST(PrintTextPages, NoPagesWhenNotOneLineFits) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < 130; ++i) lines.push_back(L"line " + std::to_wstring(i) + L"\n");
    // Less than one line of room, none at all, or an inverted text rectangle.
    EXPECT_TRUE(PaginateLines(lines, 9, 10, Measure).empty());
    EXPECT_TRUE(PaginateLines(lines, 0, 10, Measure).empty());
    EXPECT_TRUE(PaginateLines(lines, -400, 10, Measure).empty());
    // Exactly one line of room: one line a page, all of them.
    const auto pages = PaginateLines(lines, 10, 10, Measure);
    ASSERT_EQ(pages.size(), 130u);
    EXPECT_EQ(pages[129], std::vector<std::wstring>{L"line 129\n"});
}

TEST(PrintTextPages, BuildAppendsTextPagesAfterThePictures) {
    ScreenShot shot;
    PageEntry pic;
    pic.image = Picture24(RGBQuadColor{});
    shot.InsertPage(pic);
    ORBILUXSetting settings;
    settings.format_.computerInfo.shotDate = L"2024/01/02";
    settings.format_.computerInfo.infoLines = {L"x\n"};
    TextPageServices services;
    services.paginate = [](const std::vector<std::wstring>& lines) {
        return std::vector<std::vector<std::wstring>>{lines};
    };

    // No report: no Text page, and the information stays as gathered.
    EXPECT_EQ(BuildTextPages(shot, settings, services), 1);
    EXPECT_EQ(settings.format_.computerInfo.shotDate, L"2024/01/02");

    settings.key_.logType = 1;
    EXPECT_EQ(BuildTextPages(shot, settings, services), 2);
    const PageEntry& page = shot.GetPage(1);
    EXPECT_EQ(page.kind, PageKind::Text);
    EXPECT_EQ(page.lines.front(), kGeneralInfoHeading);
    EXPECT_FALSE(page.image);
}

TEST(PrintDevMode, StoredFormKeepsThe220BytePublicPartAndTheDriverBytes) {
    const auto full = DevMode(220, 8, 228);
    EXPECT_EQ(DevModeClaimedSize(full.data(), full.size()), 228u);
    EXPECT_EQ(DevModeDeviceName(full), L"PDF");
    const auto stored = DevModeToStored(full.data(), full.size());
    EXPECT_EQ(stored, full);
    EXPECT_EQ(DevModeFromStored(stored), full);

    // A smaller public part is padded to 220 in store and comes back at its own size.
    const auto small = DevMode(156, 4, 160);
    const auto storedSmall = DevModeToStored(small.data(), small.size());
    ASSERT_EQ(storedSmall.size(), 224u);
    EXPECT_EQ(storedSmall[220], small[156]);
    EXPECT_EQ(DevModeFromStored(storedSmall), small);
}

TEST(PrintDevMode, BlocksThatCannotProvideTheirClaimAreRefused) {
    // The driver bytes the record claims are missing.
    const auto shortExtra = DevMode(220, 16, 228);
    EXPECT_TRUE(DevModeToStored(shortExtra.data(), shortExtra.size()).empty());
    EXPECT_TRUE(DevModeFromStored(shortExtra).empty());
    // A public part larger than the stored form holds.
    const auto big = DevMode(300, 0, 300);
    EXPECT_TRUE(DevModeFromStored(big).empty());
    EXPECT_TRUE(DevModeToStored(big.data(), big.size()).empty());
    // Nonsense sizes and blanks.
    EXPECT_TRUE(DevModeFromStored(std::vector<uint8_t>(220, 0)).empty());
    EXPECT_TRUE(IsBlankDevMode(std::vector<uint8_t>(220, 0)));
    EXPECT_FALSE(IsBlankDevMode(shortExtra));
    EXPECT_EQ(DevModeClaimedSize(shortExtra.data(), 40), 0u);
    EXPECT_TRUE(DevModeFromStored({}).empty());
}
