#include <gtest/gtest.h>

#include "print/header_format.h"

using namespace orbilux;

namespace {

ComputerInfo Info() {
    ComputerInfo info;
    info.page = 2;
    info.pageCount = 3;
    info.shotDate = L"2024/02/29";
    info.shotTime = L"07:05:09";
    info.computerName = L"PC-01";
    info.userName = L"hanako";
    info.windowText = L"Untitled - Notepad";
    info.application = L"Notepad";
    info.ipAddresses = {L"192.168.1.7", L"10.0.0.2"};
    return info;
}

std::vector<BlockFormat> Parse(const std::wstring& line) {
    return ParseTemplateLine(line, Info());
}

std::vector<std::wstring> Texts(const std::wstring& line) {
    std::vector<std::wstring> out;
    for (const auto& b : Parse(line)) out.push_back(b.text);
    return out;
}

using Texts_ = std::vector<std::wstring>;

}  // namespace

TEST(PrintTemplate, TokensExpandToTheirValues) {
    EXPECT_EQ(Texts(L"$page / $maxpage"), Texts_{L"2 / 3"});
    EXPECT_EQ(Texts(L"$date $time"), Texts_{L"2024/02/29 07:05:09"});
    EXPECT_EQ(Texts(L"$computer:$user:$ip"), Texts_{L"PC-01:hanako:192.168.1.7"});
    EXPECT_EQ(Texts(L"$program - $window"), Texts_{L"Notepad - Untitled - Notepad"});
    // Names are case-sensitive; a "$" without a name stays as written.
    EXPECT_EQ(Texts(L"$Page"), Texts_{L"$Page"});
    EXPECT_EQ(Texts(L"$"), Texts_{L"$"});
    EXPECT_EQ(Texts(L"$$page"), Texts_{L"$2"});
    EXPECT_EQ(Texts(L"$pages"), Texts_{L"2s"});
    EXPECT_EQ(Texts(L"$maxpages"), Texts_{L"3s"});
    // No address at all: the ip token is empty.
    ComputerInfo bare;
    EXPECT_EQ(ParseTemplateLine(L"[$ip]", bare).at(0).text, L"[]");
}

TEST(PrintTemplate, SeparatorsMakeBlocksAndTrailingBarIsIgnored) {
    EXPECT_EQ(Texts(L"a|b|c"), (Texts_{L"a", L"b", L"c"}));
    EXPECT_EQ(Texts(L"abc"), Texts_{L"abc"});
    EXPECT_EQ(Texts(L"abc|"), Texts_{L"abc"});
    EXPECT_EQ(Texts(L"|abc"), (Texts_{L"", L"abc"}));
    EXPECT_EQ(Texts(L"a||b"), (Texts_{L"a", L"", L"b"}));
    EXPECT_EQ(Texts(L"|"), Texts_{L""});
    EXPECT_EQ(Texts(L"||"), (Texts_{L"", L""}));
    EXPECT_TRUE(Texts(L"").empty());
}

TEST(PrintTemplate, EscapesSetStylesAndAlignmentForTheWholeBlock) {
    auto b = Parse(L"\\Rabc");
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0].text, L"abc");
    EXPECT_EQ(b[0].alignment, kAlignRight);

    b = Parse(L"x\\Bbold|\\I\\Uy\\L\\C");
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[0].text, L"xbold");
    EXPECT_TRUE(b[0].bold);
    EXPECT_FALSE(b[0].italic);
    EXPECT_EQ(b[0].alignment, kAlignAuto);
    // Styles do not leak into the next block; the last alignment wins.
    EXPECT_EQ(b[1].text, L"y");
    EXPECT_FALSE(b[1].bold);
    EXPECT_TRUE(b[1].italic);
    EXPECT_TRUE(b[1].underline);
    EXPECT_EQ(b[1].alignment, kAlignCentre);

    EXPECT_EQ(Texts(L"\\\\"), Texts_{L"\\"});
    EXPECT_EQ(Texts(L"a\\|b"), Texts_{L"a|b"});
    EXPECT_EQ(Texts(L"\\n\\$page"), Texts_{L"n$page"});
    EXPECT_EQ(Texts(L"end\\"), Texts_{L"end\\"});
}

TEST(PrintTemplate, TwoUnitPairSwallowsTheFollowingUnit) {
    // U+00E9 opens a pair, so the bar after it is text.
    EXPECT_EQ(Texts(L"\u00e9|x"), Texts_{L"\u00e9|x"});
    EXPECT_EQ(Texts(L"\u00e9 x"), Texts_{L"\u00e9 x"});
    EXPECT_EQ(Texts(L"\u0081\\B"), Texts_{L"\u0081\\B"});
    EXPECT_FALSE(Parse(L"\u0081\\B")[0].bold);
    // A lead unit at the end, or before a unit that cannot follow it, is one character.
    EXPECT_EQ(Texts(L"a\u009f"), Texts_{L"a\u009f"});
    EXPECT_EQ(Texts(L"\u00ef\u00fd|b"), (Texts_{L"\u00ef\u00fd", L"b"}));
    EXPECT_EQ(Texts(L"\u00f0|b"), (Texts_{L"\u00f0", L"b"}));
    // Japanese text is ordinary text.
    EXPECT_EQ(Texts(L"\u65e5\u4ed8|\u6642\u523b"), (Texts_{L"\u65e5\u4ed8", L"\u6642\u523b"}));
}

TEST(PrintTemplate, BandLayoutSplitsTheWidthPerLine) {
    const std::vector<std::wstring> lines{L"a|b|c", L"", L"abc|", L"|abc"};
    const auto blocks = LayoutBand(lines, 300, 40, 5, Info());
    ASSERT_EQ(blocks.size(), 6u);
    EXPECT_EQ(blocks[0].rect, (PageRect{0, 0, 99, 40}));
    EXPECT_EQ(blocks[1].rect, (PageRect{100, 0, 199, 40}));
    EXPECT_EQ(blocks[2].rect, (PageRect{200, 0, 299, 40}));
    // The empty line still takes one step.
    EXPECT_EQ(blocks[3].rect, (PageRect{0, 90, 299, 130}));
    EXPECT_EQ(blocks[4].rect, (PageRect{0, 135, 149, 175}));
    EXPECT_EQ(blocks[5].rect, (PageRect{150, 135, 299, 175}));

    EXPECT_EQ(EffectiveAlignment(blocks, 0), kAlignLeft);
    EXPECT_EQ(EffectiveAlignment(blocks, 1), kAlignCentre);
    EXPECT_EQ(EffectiveAlignment(blocks, 2), kAlignRight);
    EXPECT_EQ(EffectiveAlignment(blocks, 3), kAlignCentre);  // a single block is centred
    EXPECT_EQ(EffectiveAlignment(blocks, 4), kAlignLeft);    // the empty left half
    EXPECT_EQ(EffectiveAlignment(blocks, 5), kAlignRight);
    EXPECT_EQ(blocks[5].text, L"abc");
}

TEST(PrintTemplate, ExplicitAlignmentOverridesThePosition) {
    const auto blocks = LayoutBand({L"\\Ra|\\Lb", L"x|\\Cy"}, 100, 10, 0, Info());
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(EffectiveAlignment(blocks, 0), kAlignRight);
    EXPECT_EQ(EffectiveAlignment(blocks, 1), kAlignLeft);
    EXPECT_EQ(EffectiveAlignment(blocks, 2), kAlignLeft);
    EXPECT_EQ(EffectiveAlignment(blocks, 3), kAlignCentre);
    // CBlockText copies are independent values.
    CBlockText copy = blocks[0];
    copy.text = L"changed";
    EXPECT_EQ(blocks[0].text, L"a");
}

// Blocks are drawn with "&" as a prefix: the template's own "&" keeps that
// rule, a token value's "&" arrives doubled and prints as itself.
TEST(PrintTemplate, TokenValuesKeepTheirAmpersands) {
    ComputerInfo info = Info();
    info.windowText = L"Q&A - Notepad";
    info.application = L"R&&D.exe";
    info.computerName = L"&";
    EXPECT_EQ(ParseTemplateLine(L"$window", info).at(0).text, L"Q&&A - Notepad");
    EXPECT_EQ(ParseTemplateLine(L"$program", info).at(0).text, L"R&&&&D.exe");
    EXPECT_EQ(ParseTemplateLine(L"[$computer]", info).at(0).text, L"[&&]");
    // The template's text is left to the drawing rule: "&&" prints one, "&x" underlines x.
    EXPECT_EQ(ParseTemplateLine(L"Total && count &x|$window", info).at(0).text, L"Total && count &x");
    EXPECT_EQ(ParseTemplateLine(L"Total && count &x|$window", info).at(1).text, L"Q&&A - Notepad");
    EXPECT_EQ(LiteralForPrefixDrawing(L"a&b&&c"), L"a&&b&&&&c");
    EXPECT_EQ(LiteralForPrefixDrawing(L""), L"");
}
