// Resampling, octree quantisation and bit-depth reduction, checked against
// plain per-pixel implementations written straight from their definitions:
// the fast code must not change a single byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "image/nearest_index.h"
#include "image/quantizer.h"
#include "image/resample_kernel.h"
#include "image/ximage.h"
#include "tests/core/image_test_pictures.h"

using namespace orbilux;

namespace {

// ---- plain B-spline resampler ----
CxImage PlainResample(const CxImage& src, uint32_t nw, uint32_t nh) {
    CxImage out;
    out.Create(nw, nh, 24);
    const uint32_t w = src.GetWidth(), h = src.GetHeight();
    const float xScale = float(w) / float(nw);
    const float yScale = float(h) / float(nh);
    for (uint32_t y = 0; y < nh; ++y) {
        for (uint32_t x = 0; x < nw; ++x) {
            const float fy = float(y) * yScale - 0.5f;
            const int iy = int(std::floor(fy));
            const float a = fy - float(iy);
            const float fx = float(x) * xScale - 0.5f;
            const int ix = int(std::floor(fx));
            const float b = fx - float(ix);
            float r = 0, g = 0, bl = 0;
            for (int m = -1; m <= 2; ++m) {
                for (int n = -1; n <= 2; ++n) {
                    const uint32_t sx = uint32_t(std::clamp(ix + n, 0, int(w) - 1));
                    const uint32_t sy = uint32_t(std::clamp(iy + m, 0, int(h) - 1));
                    const RGBQuadColor c = src.GetPixelColor(sx, sy);
                    const float weight =
                        orbilux::BSplineKernel(float(m) - a) * orbilux::BSplineKernel(b - float(n));
                    r += float(c.red) * weight;
                    g += float(c.green) * weight;
                    bl += float(c.blue) * weight;
                }
            }
            auto store = [](float v) { return uint8_t(std::clamp(v, 0.0f, 255.0f)); };
            out.SetPixelColor(x, y, RGBQuadColor::FromRgb(store(r), store(g), store(bl)));
        }
    }
    return out;
}

// ---- plain octree: pointer nodes, no memory of the last colour ----
struct PlainNode {
    bool leaf = false;
    uint64_t count = 0, r = 0, g = 0, b = 0;
    std::unique_ptr<PlainNode> child[8];
    PlainNode* next = nullptr;
};

struct PlainOctree {
    explicit PlainOctree(uint32_t c) : maxColors(c) {}
    uint32_t maxColors;
    uint32_t leaves = 0;
    std::unique_ptr<PlainNode> root;
    PlainNode* reducible[8] = {};

    std::unique_ptr<PlainNode> Make(int level) {
        auto n = std::make_unique<PlainNode>();
        if (level == 8) {
            n->leaf = true;
            ++leaves;
        } else {
            n->next = reducible[level];
            reducible[level] = n.get();
        }
        return n;
    }
    void Add(uint8_t r, uint8_t g, uint8_t b) {
        std::unique_ptr<PlainNode>* slot = &root;
        for (int level = 0;; ++level) {
            if (!*slot) *slot = Make(level);
            PlainNode* n = slot->get();
            if (n->leaf) {
                n->count++;
                n->r += r;
                n->g += g;
                n->b += b;
                break;
            }
            const int s = 7 - level;
            slot = &n->child[((r >> s) & 1) * 4 + ((g >> s) & 1) * 2 + ((b >> s) & 1)];
        }
        while (leaves > maxColors) {
            int level = 7;
            while (level > 0 && !reducible[level]) --level;
            PlainNode* n = reducible[level];
            reducible[level] = n->next;
            uint32_t k = 0;
            for (auto& c : n->child) {
                if (!c) continue;
                n->count += c->count;
                n->r += c->r;
                n->g += c->g;
                n->b += c->b;
                c.reset();
                ++k;
            }
            n->leaf = true;
            leaves -= k - 1;
        }
    }
    void Collect(const PlainNode* n, std::vector<RGBQuadColor>& out) const {
        if (n->leaf) {
            out.push_back(RGBQuadColor::FromRgb(uint8_t(n->r / n->count), uint8_t(n->g / n->count),
                                                uint8_t(n->b / n->count)));
            return;
        }
        for (auto& c : n->child)
            if (c) Collect(c.get(), out);
    }
    std::vector<RGBQuadColor> Palette() const {
        std::vector<RGBQuadColor> out;
        if (root) Collect(root.get(), out);
        out.resize(maxColors);
        return out;
    }
};

std::vector<RGBQuadColor> PlainPalette(const CxImage& img, uint32_t colors) {
    PlainOctree tree(colors);
    for (uint32_t y = 0; y < img.GetHeight(); ++y)
        for (uint32_t x = 0; x < img.GetWidth(); ++x) {
            const RGBQuadColor c = img.GetPixelColor(x, y);
            tree.Add(c.red, c.green, c.blue);
        }
    return tree.Palette();
}

// ---- plain reduction and diffusion ----
CxImage PlainReduce(const CxImage& src, uint32_t bpp, const std::vector<RGBQuadColor>& palette) {
    CxImage out;
    out.Create(src.GetWidth(), src.GetHeight(), bpp);
    out.SetPalette(palette.data(), uint32_t(palette.size()));
    for (uint32_t y = 0; y < src.GetHeight(); ++y)
        for (uint32_t x = 0; x < src.GetWidth(); ++x)
            out.SetPixelIndex(x, y, out.GetNearestIndex(src.GetPixelColor(x, y)));
    return out;
}

CxImage PlainDiffuse(CxImage src) {
    CxImage out;
    out.Create(src.GetWidth(), src.GetHeight(), 1);
    const RGBQuadColor bw[2] = {RGBQuadColor::FromRgb(0, 0, 0), RGBQuadColor::FromRgb(255, 255, 255)};
    out.SetPalette(bw, 2);
    const int w = int(src.GetWidth()), h = int(src.GetHeight());
    auto spread = [&](int x, int y, const int e[3], int weight) {
        if (x < 0 || x >= w || y >= h) return;
        RGBQuadColor c = src.GetPixelColor(uint32_t(x), uint32_t(y));
        c.red = uint8_t(std::clamp(c.red + e[0] * weight / 16, 0, 255));
        c.green = uint8_t(std::clamp(c.green + e[1] * weight / 16, 0, 255));
        c.blue = uint8_t(std::clamp(c.blue + e[2] * weight / 16, 0, 255));
        src.SetPixelColor(uint32_t(x), uint32_t(y), c);
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const RGBQuadColor c = src.GetPixelColor(uint32_t(x), uint32_t(y));
            const uint8_t i = out.GetNearestIndex(c);
            out.SetPixelIndex(uint32_t(x), uint32_t(y), i);
            const int e[3] = {c.red - bw[i].red, c.green - bw[i].green, c.blue - bw[i].blue};
            spread(x + 1, y, e, 7);
            spread(x - 1, y + 1, e, 2);
            spread(x, y + 1, e, 4);
            spread(x + 1, y + 1, e, 1);
        }
    return out;
}

}  // namespace

TEST(ImageResample, MatchesThePlainFormulaBitForBit) {
    const CxImage pictures[] = {testpics::Noise(67, 41), testpics::Screen(120, 90)};
    const std::pair<uint32_t, uint32_t> sizes[] = {{33, 20}, {60, 45}, {101, 77}, {7, 150}, {1, 1}, {200, 3}};
    for (const CxImage& pic : pictures) {
        for (auto [w, h] : sizes) {
            CxImage fast = pic;
            ASSERT_TRUE(fast.Resample(w, h));
            EXPECT_TRUE(testpics::SamePixels(fast, PlainResample(pic, w, h))) << w << "x" << h;
        }
    }
}

TEST(ImageResample, BandsOfALargePictureMatchThePlainFormula) {
    const CxImage pic = testpics::Screen(700, 420);
    CxImage fast = pic;
    ASSERT_TRUE(fast.Resample(650, 390));  // enough pixels to be split into bands
    EXPECT_TRUE(testpics::SamePixels(fast, PlainResample(pic, 650, 390)));

    // The hook runs first on every thread the bands start, never on the caller's.
    CxImage hooked = pic;
    std::mutex lock;
    std::vector<std::thread::id> started;
    ASSERT_TRUE(hooked.Resample(650, 390, [&] {
        std::lock_guard<std::mutex> hold(lock);
        started.push_back(std::this_thread::get_id());
    }));
    EXPECT_TRUE(testpics::SamePixels(hooked, fast));
    if (std::thread::hardware_concurrency() > 1) EXPECT_FALSE(started.empty());
    for (const std::thread::id& id : started) EXPECT_NE(id, std::this_thread::get_id());
    std::sort(started.begin(), started.end());
    EXPECT_EQ(std::adjacent_find(started.begin(), started.end()), started.end())
        << "a thread's hook ran twice";
}

TEST(ImageResample, KeepsSizeForZeroOrSameSizeAndHalvesFullHd) {
    CxImage pic = testpics::Screen(50, 20);
    const CxImage before = pic;
    EXPECT_TRUE(pic.Resample(0, 10));  // scale 1 % of 50 pixels
    EXPECT_TRUE(pic.Resample(50, 20));
    EXPECT_TRUE(testpics::SamePixels(pic, before));

    CxImage hd;
    ASSERT_TRUE(hd.Create(1920, 1080, 24));
    ASSERT_TRUE(hd.Resample(1920 * 50 / 100, 1080 * 50 / 100));
    EXPECT_EQ(hd.GetWidth(), 960u);
    EXPECT_EQ(hd.GetHeight(), 540u);
    EXPECT_EQ(hd.GetXDpi(), 96);
}

TEST(ImageResample, KernelIsTheCubicBSpline) {
    EXPECT_FLOAT_EQ(orbilux::BSplineKernel(0.0f), 4.0f / 6.0f);
    EXPECT_FLOAT_EQ(orbilux::BSplineKernel(1.0f), 1.0f / 6.0f);
    EXPECT_FLOAT_EQ(orbilux::BSplineKernel(-1.0f), 1.0f / 6.0f);
    EXPECT_EQ(orbilux::BSplineKernel(2.5f), 0.0f);
    EXPECT_EQ(orbilux::BSplineKernel(-2.0f), 0.0f);
    // A flat picture stays flat except for truncation of the sum.
    CxImage flat = testpics::Stripes(40, 40, {RGBQuadColor::FromRgb(200, 100, 50)});
    ASSERT_TRUE(flat.Resample(17, 23));
    for (uint32_t y = 0; y < 23; ++y)
        for (uint32_t x = 0; x < 17; ++x) {
            const RGBQuadColor c = flat.GetPixelColor(x, y);
            EXPECT_GE(c.red, 199);
            EXPECT_LE(c.red, 200);
            EXPECT_GE(c.blue, 49);
        }
}

TEST(ImageQuantizer, PaletteMatchesThePlainOctree) {
    const CxImage pictures[] = {testpics::Noise(64, 48, 3), testpics::Screen(160, 100),
                                testpics::Stripes(30, 10, {RGBQuadColor::FromRgb(1, 2, 3)})};
    for (const CxImage& pic : pictures) {
        for (uint32_t colors : {16u, 256u}) {
            CQuantizer q(colors, 8);
            ASSERT_TRUE(q.ProcessImage(pic));
            EXPECT_LE(q.GetColorCount(), colors);
            const std::vector<RGBQuadColor> fast = q.GetPalette();
            const std::vector<RGBQuadColor> plain = PlainPalette(pic, colors);
            ASSERT_EQ(fast.size(), plain.size());
            for (size_t i = 0; i < fast.size(); ++i)
                EXPECT_TRUE(fast[i].SameRgb(plain[i])) << colors << " " << i;
        }
    }
}

TEST(ImageQuantizer, FewColoursGetOneEntryEachAndTheRestBlack) {
    const CxImage pic = testpics::Stripes(100, 100,
                                          {RGBQuadColor::FromRgb(255, 0, 0), RGBQuadColor::FromRgb(0, 0, 255),
                                           RGBQuadColor::FromRgb(0, 255, 0)});
    CQuantizer q(16, 8);
    q.ProcessImage(pic);
    EXPECT_EQ(q.GetColorCount(), 3u);
    const std::vector<RGBQuadColor> pal = q.GetPalette();
    // Depth-first, children in order: green (child 2), blue (child 1)... by bit 7 of r, g, b.
    EXPECT_TRUE(pal[0].SameRgb(RGBQuadColor::FromRgb(0, 0, 255)));
    EXPECT_TRUE(pal[1].SameRgb(RGBQuadColor::FromRgb(0, 255, 0)));
    EXPECT_TRUE(pal[2].SameRgb(RGBQuadColor::FromRgb(255, 0, 0)));
    for (size_t i = 3; i < 16; ++i) EXPECT_TRUE(pal[i].SameRgb(RGBQuadColor{}));
}

TEST(ImageQuantizer, SumsDoNotOverflowOnHugeFlatPictures) {
    // 17 million white pixels overflow a 32-bit red sum (17e6 * 255 > 2^32).
    CQuantizer q(16, 8);
    for (uint32_t i = 0; i < 17000000; ++i) q.AddColor(255, 255, 255);
    q.AddColor(0, 0, 0);
    const std::vector<RGBQuadColor> pal = q.GetPalette();
    EXPECT_TRUE(pal[0].SameRgb(RGBQuadColor::FromRgb(0, 0, 0)));
    EXPECT_TRUE(pal[1].SameRgb(RGBQuadColor::FromRgb(255, 255, 255)));
}

TEST(ImageReduce, NearestIndexMatchesThePlainSearchAndRemembersNothingWrong) {
    const CxImage pic = testpics::Noise(40, 40, 11);
    CQuantizer q(16, 8);
    q.ProcessImage(pic);
    const std::vector<RGBQuadColor> pal = q.GetPalette();
    CxImage holder;
    holder.Create(1, 1, 4);
    holder.SetPalette(pal.data(), 16);
    CNearestIndex nearest(pal.data(), 16);
    std::mt19937 rng(5);
    for (int i = 0; i < 20000; ++i) {
        const RGBQuadColor c =
            RGBQuadColor::FromRgb(uint8_t(rng() % 64), uint8_t(rng() % 64), uint8_t(rng() % 64));
        ASSERT_EQ(nearest.Find(c.red, c.green, c.blue), holder.GetNearestIndex(c));
    }
}

TEST(ImageReduce, NearestIndexSettlesEqualDistancesByTheLowerIndex) {
    // Duplicates and mirror-image entries around the asked colours.
    const RGBQuadColor pal[8] = {RGBQuadColor::FromRgb(50, 60, 70), RGBQuadColor::FromRgb(0, 0, 0),
                                 RGBQuadColor::FromRgb(50, 60, 70), RGBQuadColor::FromRgb(60, 50, 70),
                                 RGBQuadColor::FromRgb(40, 70, 70), RGBQuadColor::FromRgb(60, 70, 70),
                                 RGBQuadColor::FromRgb(0, 0, 0),    RGBQuadColor::FromRgb(50, 80, 70)};
    CxImage holder;
    holder.Create(1, 1, 8);
    holder.SetPalette(pal, 8);
    CNearestIndex nearest(holder.GetPalette(), 256);  // 248 black slots after the eight
    for (int r = 30; r <= 70; r += 5)
        for (int g = 40; g <= 90; g += 5)
            for (int b : {0, 35, 70}) {
                const RGBQuadColor c = RGBQuadColor::FromRgb(uint8_t(r), uint8_t(g), uint8_t(b));
                ASSERT_EQ(nearest.Find(c.red, c.green, c.blue), holder.GetNearestIndex(c))
                    << r << " " << g << " " << b;
            }
    EXPECT_EQ(nearest.Find(0, 0, 0), 1);
    EXPECT_EQ(nearest.Find(50, 60, 70), 0);
}

TEST(ImageReduce, PaletteReductionMatchesThePlainMapping) {
    const CxImage pictures[] = {testpics::Noise(53, 31, 9), testpics::Screen(97, 64)};
    for (const CxImage& pic : pictures) {
        for (uint32_t bpp : {4u, 8u}) {
            CQuantizer q(1u << bpp, 8);
            q.ProcessImage(pic);
            const std::vector<RGBQuadColor> pal = q.GetPalette();
            CxImage fast = pic;
            ASSERT_TRUE(fast.DecreaseBpp(bpp, false, pal.data(), uint32_t(pal.size())));
            EXPECT_EQ(fast.GetBpp(), bpp);
            EXPECT_TRUE(testpics::SamePixels(fast, PlainReduce(pic, bpp, pal))) << bpp;
        }
    }
}

TEST(ImageReduce, OneBitDiffusionUsesSevenTwoFourOneSixteenths) {
    const CxImage pictures[] = {testpics::Noise(45, 29, 2), testpics::Screen(64, 40),
                                testpics::Stripes(33, 17, {RGBQuadColor::FromRgb(128, 128, 128)})};
    for (const CxImage& pic : pictures) {
        CxImage fast = pic;
        ASSERT_TRUE(fast.DecreaseBpp(1, true));
        EXPECT_TRUE(testpics::SamePixels(fast, PlainDiffuse(pic)));
        EXPECT_TRUE(fast.GetPaletteColor(0).SameRgb(RGBQuadColor::FromRgb(0, 0, 0)));
        EXPECT_TRUE(fast.GetPaletteColor(1).SameRgb(RGBQuadColor::FromRgb(255, 255, 255)));
    }
    // Mid grey: the first pixel is white (ties go to black only at exact equal
    // distance), and the error keeps the row alternating.
    CxImage grey = testpics::Stripes(8, 1, {RGBQuadColor::FromRgb(128, 128, 128)});
    grey.DecreaseBpp(1, true);
    EXPECT_EQ(grey.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(grey.GetPixelIndex(1, 0), 0);
}

TEST(ImageReduce, RejectsBadDepths) {
    CxImage pic = testpics::Noise(4, 4);
    EXPECT_FALSE(pic.DecreaseBpp(24, false));
    EXPECT_FALSE(pic.DecreaseBpp(2, false));
    EXPECT_EQ(pic.GetBpp(), 24u);
}
