#include <gtest/gtest.h>

#include "image/ximage.h"

using namespace orbilux;

TEST(CxImage, RowsArePaddedToFourBytesForEveryDepth) {
    EXPECT_EQ(CxImage::RowBytes(1, 1), 4u);
    EXPECT_EQ(CxImage::RowBytes(33, 1), 8u);
    EXPECT_EQ(CxImage::RowBytes(9, 4), 8u);
    EXPECT_EQ(CxImage::RowBytes(5, 8), 8u);
    EXPECT_EQ(CxImage::RowBytes(3, 24), 12u);
    CxImage img;
    ASSERT_TRUE(img.Create(5, 3, 24));
    EXPECT_EQ(img.GetSizeImage(), 16u * 3u);
    EXPECT_EQ(img.GetNumColors(), 0u);
    EXPECT_EQ(img.GetXDpi(), 96);
}

TEST(CxImage, RejectsBadDepthAndEmptyOrHugeSizes) {
    CxImage img;
    EXPECT_FALSE(img.Create(10, 10, 16));
    EXPECT_FALSE(img.Create(0, 10, 24));
    EXPECT_FALSE(img.Create(100000, 100000, 24));
    EXPECT_FALSE(img.IsValid());
}

TEST(CxImage, PackedPixelsKeepTheirNeighbours) {
    for (uint32_t bpp : {1u, 4u, 8u}) {
        CxImage img;
        ASSERT_TRUE(img.Create(17, 2, bpp));
        const uint8_t maxIndex = uint8_t((1u << bpp) - 1);
        for (uint32_t x = 0; x < 17; ++x) img.SetPixelIndex(x, 1, uint8_t(x % (maxIndex + 1)));
        for (uint32_t x = 0; x < 17; ++x) EXPECT_EQ(img.GetPixelIndex(x, 1), x % (maxIndex + 1)) << bpp;
        for (uint32_t x = 0; x < 17; ++x) EXPECT_EQ(img.GetPixelIndex(x, 0), 0) << bpp;
    }
}

TEST(CxImage, NearestIndexPrefersLowerIndexOnTiesAndCopiesAreDeep) {
    CxImage img;
    ASSERT_TRUE(img.Create(2, 2, 4));
    img.SetPaletteColor(1, RGBQuadColor::FromRgb(10, 0, 0));
    img.SetPaletteColor(2, RGBQuadColor::FromRgb(0, 10, 0));
    // (5,5,0) is as far from entry 1 as from entry 2; entry 0 (black) is nearer.
    EXPECT_EQ(img.GetNearestIndex(RGBQuadColor::FromRgb(5, 5, 0)), 0);
    EXPECT_EQ(img.GetNearestIndex(RGBQuadColor::FromRgb(9, 5, 0)), 1);
    EXPECT_EQ(img.GetNearestIndex(RGBQuadColor::FromRgb(0, 10, 0)), 2);
    CxImage copy = img;
    copy.SetPixelIndex(0, 0, 2);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(CxImage::DpiToPixelsPerMetre(96), 3780);
}
