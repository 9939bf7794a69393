// The press's one picture: monitor pictures composed at their desktop places.
#include <gtest/gtest.h>

#include "capture/press_picture.h"

namespace {

using namespace orbilux;

const RGBQuadColor kWhite = RGBQuadColor::FromRgb(255, 255, 255);

// A picture of one colour, 24-bit unless bpp says otherwise.
CxImagePtr Solid(uint32_t width, uint32_t height, RGBQuadColor colour, uint32_t bpp = 24) {
    auto picture = std::make_shared<CxImage>();
    picture->Create(width, height, bpp);
    if (bpp <= 8) {
        picture->SetPaletteColor(1, colour);
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) picture->SetPixelIndex(x, y, 1);
    } else {
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) picture->SetPixelColor(x, y, colour);
    }
    return picture;
}

MonitorShot Shot(int32_t sequence, const MonitorRect& rect, const CxImagePtr& picture) {
    MonitorShot shot{sequence, picture};
    shot.rect = rect;
    return shot;
}

// The colour at (x, y) counted from the top-left corner.
RGBQuadColor At(const CxImage& picture, uint32_t x, uint32_t y) {
    return picture.GetPixelColor(x, picture.GetHeight() - 1 - y);
}

TEST(PressPictureCompose, GapsAreWhiteAndMonitorsSitAtTheirPlacesAcrossNegativeCoordinates) {
    const RGBQuadColor red = RGBQuadColor::FromRgb(200, 0, 0);
    const RGBQuadColor blue = RGBQuadColor::FromRgb(0, 0, 200);
    MonitorShotMap shots;
    // Left monitor above the origin, right one lower down: two white corners.
    shots[1] = Shot(0, {-40, -30, 0, 0}, Solid(40, 30, red));
    shots[2] = Shot(1, {0, -10, 50, 20}, Solid(50, 30, blue));
    shots[3] = MonitorShot{2, nullptr};  // never grabbed: not placed
    const CxImagePtr whole = ComposeMonitorPictures(shots);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->GetBpp(), 24u);
    EXPECT_EQ(whole->GetWidth(), 90u);
    EXPECT_EQ(whole->GetHeight(), 50u);
    EXPECT_TRUE(At(*whole, 0, 0).SameRgb(red));
    EXPECT_TRUE(At(*whole, 39, 29).SameRgb(red));
    EXPECT_TRUE(At(*whole, 0, 30).SameRgb(kWhite));  // under the left monitor
    EXPECT_TRUE(At(*whole, 39, 49).SameRgb(kWhite));
    EXPECT_TRUE(At(*whole, 40, 0).SameRgb(kWhite));  // above the right monitor
    EXPECT_TRUE(At(*whole, 89, 19).SameRgb(kWhite));
    EXPECT_TRUE(At(*whole, 40, 20).SameRgb(blue));
    EXPECT_TRUE(At(*whole, 89, 49).SameRgb(blue));
}

TEST(PressPictureCompose, OverlapShowsTheLaterMonitorAndPaletteAndOddWidthsKeepTheirColours) {
    const RGBQuadColor green = RGBQuadColor::FromRgb(0, 180, 0);
    const RGBQuadColor grey = RGBQuadColor::FromRgb(90, 90, 90);
    MonitorShotMap shots;
    // Listed in the map before the first one, but later in list order.
    shots[1] = Shot(1, {5, 0, 12, 7}, Solid(7, 7, grey, 8));
    shots[2] = Shot(0, {0, 0, 9, 5}, Solid(9, 5, green));
    const CxImagePtr whole = ComposeMonitorPictures(shots);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->GetWidth(), 12u);
    EXPECT_EQ(whole->GetHeight(), 7u);
    EXPECT_TRUE(At(*whole, 4, 4).SameRgb(green));
    EXPECT_TRUE(At(*whole, 5, 0).SameRgb(grey));  // overlap: the later one
    EXPECT_TRUE(At(*whole, 8, 4).SameRgb(grey));
    EXPECT_TRUE(At(*whole, 11, 6).SameRgb(grey));
    EXPECT_TRUE(At(*whole, 0, 5).SameRgb(kWhite));
}

TEST(PressPictureCompose, OneMonitorIsItsOwnPictureAndNoneIsNothing) {
    const RGBQuadColor red = RGBQuadColor::FromRgb(255, 10, 10);
    MonitorShotMap shots;
    shots[7] = Shot(0, {1920, 100, 1930, 104}, Solid(10, 4, red));
    const CxImagePtr whole = ComposeMonitorPictures(shots);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->GetWidth(), 10u);
    EXPECT_EQ(whole->GetHeight(), 4u);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 10; ++x) EXPECT_TRUE(At(*whole, x, y).SameRgb(red));

    EXPECT_FALSE(ComposeMonitorPictures(MonitorShotMap{}));
    MonitorShotMap ungrabbed;
    ungrabbed[1] = MonitorShot{0, nullptr};
    EXPECT_FALSE(ComposeMonitorPictures(ungrabbed));
    // Places too far apart for one picture give none rather than a wrapped size.
    MonitorShotMap farApart;
    farApart[1] = Shot(0, {-2147483647, 0, -2147483637, 1}, Solid(10, 1, red));
    farApart[2] = Shot(1, {2147483600, 0, 2147483610, 1}, Solid(10, 1, red));
    EXPECT_FALSE(ComposeMonitorPictures(farApart));
}

TEST(PressPictureChoice, PerMonitorCaptureComposesOtherwiseTheSinglePicture) {
    ScreenShot shot;
    shot.image = Solid(3, 3, kWhite);
    EXPECT_EQ(PressPicture(shot), shot.image);
    shot.image->Destroy();
    EXPECT_FALSE(PressPicture(shot));  // a failed capture has nothing to give

    shot.monitorShots[1] = Shot(0, {0, 0, 2, 2}, Solid(2, 2, kWhite));
    shot.monitorShots[2] = Shot(1, {4, 0, 6, 2}, Solid(2, 2, kWhite));
    const CxImagePtr whole = PressPicture(shot);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->GetWidth(), 6u);
}

}  // namespace
