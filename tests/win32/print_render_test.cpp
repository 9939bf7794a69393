#include <gtest/gtest.h>

#include <windows.h>

#include "print/colour_mode.h"
#include "print/header_format.h"
#include "print/win32/page_render.h"
#include "window/raii.h"

using namespace orbilux;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 1000;

// A white 24-bit page in a memory context (96 dpi).
class Canvas {
public:
    Canvas() : dc_(::CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = kWidth;
        bi.bmiHeader.biHeight = -kHeight;  // top-down
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bitmap_.Reset(
            ::CreateDIBSection(dc_.Get(), &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
        old_ = ::SelectObject(dc_.Get(), bitmap_.Get());
        for (int i = 0; i < kWidth * kHeight; ++i) bits_[i] = 0xFFFFFF;
    }
    ~Canvas() { ::SelectObject(dc_.Get(), old_); }
    HDC Dc() const { return dc_.Get(); }
    uint32_t At(int x, int y) const {
        ::GdiFlush();
        return bits_[y * kWidth + x] & 0xFFFFFF;
    }
    bool RowBlack(int y, int left, int right) const {
        for (int x = left; x < right; ++x)
            if (At(x, y) != 0) return false;
        return true;
    }
    bool AnyInk(int left, int top, int right, int bottom) const {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (At(x, y) != 0xFFFFFF) return true;
        return false;
    }
    // Rows that are black across the whole span.
    std::vector<int> BlackRows(int left, int right) const {
        std::vector<int> rows;
        for (int y = 0; y < kHeight; ++y)
            if (RowBlack(y, left, right)) rows.push_back(y);
        return rows;
    }

private:
    tamrik::UniqueDC dc_;
    tamrik::UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

CxImagePtr WhitePicture(uint32_t w, uint32_t h) {
    auto img = std::make_shared<CxImage>();
    img->Create(w, h, 24);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) img->SetPixelColor(x, y, RGBQuadColor::FromRgb(255, 255, 255));
    return img;
}

PrintStyle Style() {
    PrintStyle s;
    s.headStrings = {L"HEAD|$page / $maxpage"};
    s.footStrings = {L"FOOT"};
    return s;
}

ComputerInfo Info() {
    ComputerInfo info;
    info.page = 1;
    info.pageCount = 3;
    return info;
}

// The default margins at 96 dpi: 56 px left, 37 px on the other sides.
const PageRect kPage{0, 0, kWidth, kHeight};
const PageRect kBody{56, 37, kWidth - 37, kHeight - 37};

}  // namespace

TEST(PrintRender, PicturePageHasBandsRulesAndTheNegativeGreyPicture) {
    Canvas canvas;
    PageEntry entry;
    entry.image = WhitePicture(200, 100);
    PrintStyle style = Style();
    style.printMode = kPrintMonochromeNegative;
    DrawPage(canvas.Dc(), kPage, entry, style, Info());

    // Two rules, three rows each, across the body width.
    const std::vector<int> rows = canvas.BlackRows(kBody.left, kBody.right);
    ASSERT_GE(rows.size(), 6u);
    const int headRule = rows.front();
    EXPECT_EQ(rows[1], headRule + 1);
    EXPECT_EQ(rows[2], headRule + 2);
    const int footRule = rows.back() - 2;
    EXPECT_EQ(rows[rows.size() - 3], footRule);
    EXPECT_EQ(canvas.At(kBody.left - 1, headRule), 0xFFFFFFu);  // the rule stops at the body

    // Header text above its rule, footer text below its rule, inside the body's columns.
    EXPECT_TRUE(canvas.AnyInk(kBody.left, kBody.top, kBody.right, headRule));
    EXPECT_TRUE(canvas.AnyInk(kBody.left, footRule + 3, kBody.right, kBody.bottom));
    EXPECT_FALSE(canvas.AnyInk(0, 0, kWidth, kBody.top));

    // The white picture prints black: 3 mm below the header rule, width-fitted
    // with 3 mm each side (11 px at 96 dpi), centred across the body.
    const int inset = 11;
    const int w = Trunc(kBody.Width() - 96 / 2530.0 * 600);
    const int x = (kBody.left + kBody.right) / 2 - w / 2;
    const int y = headRule + inset;
    EXPECT_EQ(canvas.At(x + 1, y + 1), 0u);
    EXPECT_EQ(canvas.At(x + w - 2, y + w / 2 - 2), 0u);
    EXPECT_EQ(canvas.At(x - 2, y + 5), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(x + w + 1, y + 5), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(x + 5, y - 2), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(x + 5, y + w / 2 + 2), 0xFFFFFFu);

    // The shared picture itself is still white.
    EXPECT_TRUE(entry.image->GetPixelColor(0, 0).SameRgb(RGBQuadColor::FromRgb(255, 255, 255)));
}

TEST(PrintRender, ColourPageDrawsThePictureAsItIs) {
    Canvas canvas;
    PageEntry entry;
    entry.image = WhitePicture(100, 50);
    entry.image->SetPixelColor(0, 0, RGBQuadColor::FromRgb(255, 0, 0));
    PrintStyle style = Style();
    style.headStrings.clear();
    style.footStrings.clear();
    style.layout.pictureVerticalAlign = 1;
    DrawPage(canvas.Dc(), kPage, entry, style, Info());
    // No bands: no rule and the body keeps its edges. Centred vertically, the
    // bottom-left pixel of the picture is red.
    EXPECT_TRUE(canvas.BlackRows(kBody.left, kBody.right).empty());
    const int w = Trunc(kBody.Width() - 96 / 2530.0 * 600);
    const int h = Trunc(w * 0.5);
    const int x = (kBody.left + kBody.right) / 2 - w / 2;
    const int y = (kBody.top + kBody.bottom) / 2 - h / 2;
    EXPECT_EQ(canvas.At(x + 1, y + h - 2), 0xFF0000u);
    EXPECT_EQ(canvas.At(x + w / 2, y + h / 2), 0xFFFFFFu);
}

TEST(PrintRender, BandsFollowModeAndFlags) {
    PrintStyle style = Style();
    style.layout.simpleMode = true;
    style.layout.enableHead = false;
    PageRect body = kBody;
    Canvas canvas;
    DrawBand(canvas.Dc(), body, 0, style, Info());
    EXPECT_EQ(body, kBody);
    EXPECT_FALSE(canvas.AnyInk(0, 0, kWidth, kHeight));

    style.layout.simpleMode = false;  // detail mode: the flag no longer counts
    DrawBand(canvas.Dc(), body, 0, style, Info());
    EXPECT_GT(body.top, kBody.top);
    EXPECT_TRUE(canvas.RowBlack(body.top, body.left, body.right));

    style.footStrings = {L"", L""};  // all empty: no footer band
    PageRect b2 = kBody;
    DrawBand(canvas.Dc(), b2, 1, style, Info());
    EXPECT_EQ(b2.bottom, kBody.bottom);
}

TEST(PrintRender, PlaceholderAndTextPages) {
    Canvas blank;
    DrawPage(blank.Dc(), kPage, ScreenShot::Placeholder(), Style(), Info());
    EXPECT_FALSE(blank.AnyInk(0, 0, kWidth, kHeight));

    Canvas text;
    PageEntry entry;
    entry.kind = PageKind::Text;
    entry.lines = {L"\n\u25c6 general \u25c6\n\n", L"Computer Name:\tPC-01\n", L"Total && count\n"};
    PrintStyle style = Style();
    style.headStrings.clear();
    style.footStrings.clear();
    DrawPage(text.Dc(), kPage, entry, style, Info());
    const PageRect r = TextRect(kBody, ScalesFor(FiguresOf(text.Dc())));
    EXPECT_TRUE(text.AnyInk(r.left, r.top, r.right, r.bottom));
    EXPECT_FALSE(text.AnyInk(0, 0, r.left, kHeight));
    EXPECT_FALSE(text.AnyInk(0, 0, kWidth, r.top));
}

TEST(PrintRender, PaginationKeepsEveryLineInOrder) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < 400; ++i) lines.push_back(L"line " + std::to_wstring(i) + L"\n");
    lines.insert(lines.begin() + 100, std::wstring(400, L'\n'));  // taller than a page
    PrintStyle style = Style();
    const auto pages = PaginateText(lines, style, Info(), PrinterTarget{});
    ASSERT_GT(pages.size(), 3u);
    std::vector<std::wstring> joined;
    for (const auto& p : pages) {
        ASSERT_FALSE(p.empty());
        joined.insert(joined.end(), p.begin(), p.end());
    }
    EXPECT_EQ(joined, lines);
    // The tall line sits alone on its page.
    for (const auto& p : pages) {
        if (p.front().size() == 400) {
            EXPECT_EQ(p.size(), 1u);
        }
    }
}

// Template lines are UTF-16 here: a two-unit pair and a surrogate pair both
// reach the grammar as two units.
TEST(PrintTemplateUtf16, PairsAndSurrogatesOnSixteenBitUnits) {
    static_assert(sizeof(wchar_t) == 2, "Windows text is UTF-16");
    ComputerInfo info;
    auto blocks = ParseTemplateLine(L"\u00e9|x", info);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].text, L"\u00e9|x");
    // U+1F600 is the surrogates D83D DE00: ordinary text, so the bar still separates.
    blocks = ParseTemplateLine(L"\U0001F600|\\B\u65e5", info);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].text, L"\U0001F600");
    EXPECT_EQ(blocks[0].text.size(), 2u);
    EXPECT_EQ(blocks[1].text, L"\u65e5");
    EXPECT_TRUE(blocks[1].bold);
}

// A header gap of 300 mm turns the body inside out. The page prints its bands
// and nothing else: no picture stretched mirrored over the footer band.
TEST(PrintRender, PageWithoutBodyPrintsItsBandsOnly) {
    Canvas canvas;
    PageEntry entry;
    entry.image = WhitePicture(200, 100);
    PrintStyle style = Style();
    style.headStrings = {L"HEAD"};
    style.footStrings = {L"FOOT"};
    style.layout.marginHead = 300;
    style.printMode = kPrintMonochromeNegative;  // the white picture would print black
    for (int align : {0, 1}) {
        Canvas page;
        style.layout.pictureVerticalAlign = align;
        DrawPage(page.Dc(), kPage, entry, style, Info());
        // Away from the centred band texts only the footer rule is black: three rows.
        int black = 0;
        for (int y = 0; y < kHeight; ++y) black += page.At(kBody.left + 60, y) == 0;
        EXPECT_EQ(black, 3) << "alignment " << align;
        EXPECT_EQ(page.BlackRows(kBody.left, kBody.right).size(), 3u);
        // Both band texts are there.
        EXPECT_TRUE(page.AnyInk(kBody.left, kBody.top, kBody.right, kBody.top + 20));
        EXPECT_TRUE(page.AnyInk(kBody.left, kBody.bottom - 20, kBody.right, kBody.bottom));
    }

    // Margins wider than the page: the bands have no width either, and nothing
    // at all is drawn (no rule filled from an inverted rectangle).
    style.layout.marginHead = 10;
    style.layout.margin = PageRect{60000, 1000, 60000, 1000};
    DrawPage(canvas.Dc(), kPage, entry, style, Info());
    EXPECT_FALSE(canvas.AnyInk(0, 0, kWidth, kHeight));
}

// When the text rectangle cannot hold one line, there are no Text pages at
// all, rather than one page for every line.
TEST(PrintRender, NoTextPagesWhenNotOneLineFits) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < 130; ++i) lines.push_back(L"line " + std::to_wstring(i) + L"\n");
    PrintStyle style = Style();
    // Top margins from 230 mm to 290 mm in half millimetres: the text room
    // shrinks below one line, then the body goes. Pagination and the verdict
    // the settings page shows agree all the way.
    int bodyWithoutText = 0;
    int noBody = 0;
    for (int top = 23000; top <= 29000; top += 50) {
        style.layout.margin.top = top;
        const PageRoom room = RoomOnPrinter(style, PrinterTarget{});
        const auto pages = PaginateText(lines, style, Info(), PrinterTarget{});
        if (room.text) {
            EXPECT_FALSE(pages.empty()) << top;
        } else {
            EXPECT_TRUE(pages.empty()) << top << ": " << pages.size() << " pages";
            (room.body ? bodyWithoutText : noBody)++;
        }
    }
    EXPECT_GE(bodyWithoutText, 1);
    EXPECT_GE(noBody, 1);

    // The same run with the default margins: pages, every line once, in order.
    style.layout = LayoutSettings{};
    EXPECT_TRUE(RoomOnPrinter(style, PrinterTarget{}).text);
    const auto pages = PaginateText(lines, style, Info(), PrinterTarget{});
    ASSERT_GE(pages.size(), 2u);
    std::vector<std::wstring> joined;
    for (const auto& p : pages) joined.insert(joined.end(), p.begin(), p.end());
    EXPECT_EQ(joined, lines);
}
