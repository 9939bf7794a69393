#include <gtest/gtest.h>

#include "print/page_layout.h"

using namespace orbilux;

namespace {

// A 600 dpi printer with a printable area of 4800 x 6800 pixels.
DeviceFigures Printer600() {
    return DeviceFigures{4800, 6800, 600, 600};
}

constexpr int kTextHeight = 50;

}  // namespace

TEST(PrintLayout, DefaultsAt600DpiGiveTheDocumentedPixelDistances) {
    const PageScales s = ScalesFor(Printer600());
    const PageRect body = BodyRect(PageRect{0, 0, 4800, 6800}, LayoutSettings{}.margin, s);
    EXPECT_EQ(body, (PageRect{355, 237, 4800 - 237, 6800 - 237}));

    PageRect b = body;
    const BandGeometry head = PlaceBand(b, BandSide::Header, 1, kTextHeight, 1, 10, s.my);
    EXPECT_EQ(head.spacing, 23);
    EXPECT_EQ(b.top, 237 + kTextHeight + 237);  // band then the 237 px gap
    const BandGeometry foot = PlaceBand(b, BandSide::Footer, 1, kTextHeight, 1, 10, s.my);
    EXPECT_EQ(foot.spacing, 23);
    EXPECT_EQ(b.bottom, 6563 - kTextHeight - 237);
}

TEST(PrintLayout, ScalesCountTwentyFivePointThreeMillimetresToTheInch) {
    const PageScales s = ScalesFor(DeviceFigures{0, 0, 300, 0});
    // No vertical resolution: the horizontal scale serves both axes.
    EXPECT_DOUBLE_EQ(s.sy, s.sx);
    EXPECT_DOUBLE_EQ(s.sx, 300 / 2530.0);
    // 10 mm at 300 dpi: 118.577... truncated, where 25.4 mm would give 118.
    PageRect b{0, 0, 1000, 1000};
    PlaceBand(b, BandSide::Header, 1, 10, 0, 10, ScalesFor(DeviceFigures{0, 0, 300, 300}).my);
    EXPECT_EQ(b.top, 10 + 118);
    EXPECT_EQ(MulDiv(15, 3794, 1000), 57);
    EXPECT_EQ(MulDiv(-15, 3794, 1000), -57);
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(PrintLayout, BandsStackLinesAndDrawTheRuleAtTheMovedEdge) {
    LayoutSettings set;
    const std::vector<std::wstring> head{L"a", L"", L"b"};  // the empty line still takes a line
    const std::vector<std::wstring> foot{L"$page"};
    const PageGeometry g = LayoutPage(Printer600(), set, head, foot, kTextHeight);
    ASSERT_TRUE(g.hasHeader);
    ASSERT_TRUE(g.hasFooter);
    EXPECT_EQ(g.header.lineStep, kTextHeight + 23);
    EXPECT_EQ(g.header.band, (PageRect{355, 237, 4563, 237 + 3 * 73 - 23}));
    const int top = 237 + 3 * 73 - 23 + 237;
    EXPECT_EQ(g.header.rule, (PageRect{355, top, 4563, top + 3}));  // overlaps the body's first rows
    EXPECT_EQ(g.footer.band, (PageRect{355, 6563 - kTextHeight, 4563, 6563}));
    const int bottom = 6563 - kTextHeight - 237;
    EXPECT_EQ(g.footer.rule, (PageRect{355, bottom, 4563, bottom + 3}));  // just outside the body
    EXPECT_EQ(g.body, (PageRect{355, top, 4563, bottom}));
}

TEST(PrintLayout, BandExistenceFollowsModeFlagAndText) {
    const std::vector<std::wstring> blank{L"", L""};
    const std::vector<std::wstring> text{L"", L"|"};
    // Detail mode: the flag is ignored, only the text counts.
    EXPECT_FALSE(BandExists(false, true, blank));
    EXPECT_TRUE(BandExists(false, false, text));
    EXPECT_FALSE(BandExists(false, true, {}));
    // Easy mode: the flag must be on as well.
    EXPECT_FALSE(BandExists(true, false, text));
    EXPECT_TRUE(BandExists(true, true, text));

    LayoutSettings set;
    set.simpleMode = false;
    const PageGeometry g = LayoutPage(Printer600(), set, blank, blank, kTextHeight);
    EXPECT_FALSE(g.hasHeader);
    EXPECT_FALSE(g.hasFooter);
    EXPECT_EQ(g.body, (PageRect{355, 237, 4563, 6563}));

    set.simpleMode = true;
    set.enableHead = false;
    const PageGeometry e = LayoutPage(Printer600(), set, {L"title"}, {}, kTextHeight);
    EXPECT_FALSE(e.hasHeader);
    EXPECT_EQ(e.body.top, 237);
}

TEST(PrintLayout, PictureKeepsTheWidthFitUpToTheFullBodyHeight) {
    const PageScales s = ScalesFor(Printer600());
    const PageRect body{355, 597, 4563, 6276};  // 4208 x 5679
    const int inset = Trunc(300 * s.sy);        // 71
    // Width fit: 4208 less 2 x 3 mm = 4065 px wide.
    const PageRect r = PictureRect(body, 4065, 5650, s, 0);
    EXPECT_EQ(r.left, (355 + 4563) / 2 - 4065 / 2);
    EXPECT_EQ(r.Width(), 4065);
    EXPECT_NEAR(r.Height(), 5650, 1);
    EXPECT_EQ(r.top, body.top + inset);
    // It keeps the width fit although it runs past the body bottom into the gap.
    EXPECT_GT(r.bottom, body.bottom);
    EXPECT_LE(r.bottom, body.bottom + inset);

    // Taller than the body: fitted to the height less the insets.
    const PageRect t = PictureRect(body, 1000, 2000, s, 0);
    EXPECT_EQ(t.Height(), Trunc(5679 - s.sy * 600));
    EXPECT_EQ(t.Width(), Trunc(t.Height() / 2.0));
    EXPECT_EQ(t.top, body.top + inset);
}

TEST(PrintLayout, WidePictureStartsBelowTheTopOrSitsOnTheCentre) {
    const PageScales s = ScalesFor(Printer600());
    const PageRect body{355, 597, 4563, 6276};
    const PageRect top = PictureRect(body, 4000, 100, s, 0);
    EXPECT_EQ(top.Width(), 4065);
    EXPECT_EQ(top.Height(), 101);  // 4065 x 0.025 truncated
    EXPECT_EQ(top.top, 597 + 71);
    const PageRect mid = PictureRect(body, 4000, 100, s, 1);
    EXPECT_EQ(mid.top, (597 + 6276) / 2 - 101 / 2);
    EXPECT_NEAR((mid.top + mid.bottom) / 2.0, (body.top + body.bottom) / 2.0, 1.0);
    // Any other alignment value means top.
    EXPECT_EQ(PictureRect(body, 4000, 100, s, 7).top, top.top);
    // A picture with no pixels gets no rectangle.
    EXPECT_EQ(PictureRect(body, 0, 100, s, 0), PageRect{});
}

TEST(PrintLayout, TextAndPaginationRectangles) {
    const PageScales s = ScalesFor(Printer600());
    EXPECT_EQ(TextRect(PageRect{355, 237, 4563, 6563}, s),
              (PageRect{355 + 71, 237 + 71, 4563 - 71, 6563 - 71}));
    // A4 (209 x 296 mm) measured on a 96 dpi screen context: f = 3794.
    EXPECT_EQ(PaginationBody(209, 296, PageRect{1500, 1000, 1000, 1000}, 96), (PageRect{57, 38, 755, 1085}));
    EXPECT_EQ(PaginationInset(96), 11);
    EXPECT_EQ(PaginationInset(600), 71);
}

TEST(PrintLayout, OversizedMarginsGiveAnInvertedBodyWithoutComplaint) {
    LayoutSettings set;
    set.margin = PageRect{300000, 300000, 300000, 300000};
    const PageGeometry g = LayoutPage(Printer600(), set, {L"x"}, {}, kTextHeight);
    EXPECT_LT(g.body.Width(), 0);
    EXPECT_LT(g.body.Height(), 0);
}

TEST(PrintLayout, NoBodyMeansNoPictureRectangleAndNeverAnInvertedOne) {
    const PageScales s = ScalesFor(Printer600());
    // Header gap and footer gap of 300 mm each: the body turns inside out.
    LayoutSettings set;
    set.marginHead = 300;
    set.marginFoot = 300;
    const PageGeometry g = LayoutPage(Printer600(), set, {L"HEAD"}, {L"FOOT"}, kTextHeight);
    ASSERT_LT(g.body.Height(), 0);
    EXPECT_FALSE(HasBody(g.body, s));
    EXPECT_EQ(PictureRect(g.body, 1280, 1024, s, 0), PageRect{});
    EXPECT_EQ(PictureRect(g.body, 1280, 1024, s, 1), PageRect{});

    // Every body from inverted through the 6 mm of insets to a small one: the
    // picture rectangle is either empty or the right way round, and a body
    // with room beyond its insets always has a place for a screen picture.
    for (int w = -300; w <= 300; w += 7) {
        for (int h = -300; h <= 300; h += 7) {
            const PageRect body{1000, 1000, 1000 + w, 1000 + h};
            for (const auto& size : {std::pair<uint32_t, uint32_t>{1280, 1024}, {100, 2000}, {3000, 40}}) {
                for (int align : {0, 1}) {
                    const PageRect r = PictureRect(body, size.first, size.second, s, align);
                    // Nothing placed is the zero rectangle, never an inverted one.
                    EXPECT_TRUE(r == PageRect{} || (r.Width() > 0 && r.Height() > 0)) << w << " x " << h;
                }
            }
            // 71 px of inset on every side at 600 dpi.
            EXPECT_EQ(HasBody(body, s), w > 142 && h > 142) << w << " x " << h;
            if (HasBody(body, s))
                EXPECT_FALSE(PictureRect(body, 1280, 1024, s, 0).IsEmpty()) << w << " x " << h;
        }
    }
}

TEST(PrintLayout, RoomVerdictForPictureAndText) {
    const PageScales s = ScalesFor(Printer600());
    const PageGeometry defaults =
        LayoutPage(Printer600(), LayoutSettings{}, {L"HEAD"}, {L"FOOT"}, kTextHeight);
    PageRoom room = JudgeRoom(defaults.body, s, 1000, 17);
    EXPECT_TRUE(room.body);
    EXPECT_TRUE(room.text);
    // A body with a picture's place but less than one line for the text.
    room = JudgeRoom(defaults.body, s, 16, 17);
    EXPECT_TRUE(room.body);
    EXPECT_FALSE(room.text);
    EXPECT_TRUE(JudgeRoom(defaults.body, s, 17, 17).text);
    // No body: no text either, whatever the pagination measured.
    room = JudgeRoom(PageRect{0, 0, 100, 4000}, s, 1000, 17);
    EXPECT_FALSE(room.body);
    EXPECT_FALSE(room.text);
    EXPECT_FALSE(FitsOneLine(0, 0));
    EXPECT_FALSE(FitsOneLine(-5, 10));
}
