// Pictures shared by the image and output tests.
#pragma once

#include <cstdint>
#include <random>

#include "image/ximage.h"

namespace testpics {

using orbilux::CxImage;
using orbilux::RGBQuadColor;

// Every pixel an independent random colour.
inline CxImage Noise(uint32_t w, uint32_t h, uint32_t seed = 1) {
    CxImage img;
    img.Create(w, h, 24);
    std::mt19937 rng(seed);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            img.SetPixelColor(x, y, RGBQuadColor::FromRgb(uint8_t(rng()), uint8_t(rng()), uint8_t(rng())));
    return img;
}

// Screen-like: flat panels, a gradient bar and runs of "text" strokes.
inline CxImage Screen(uint32_t w, uint32_t h, uint32_t seed = 7) {
    CxImage img;
    img.Create(w, h, 24);
    std::mt19937 rng(seed);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            RGBQuadColor c = RGBQuadColor::FromRgb(240, 240, 240);
            if (y < h / 8)
                c = RGBQuadColor::FromRgb(uint8_t(x * 255 / w), 90, uint8_t(200 - x * 100 / w));
            else if (x < w / 5)
                c = RGBQuadColor::FromRgb(30, 60, 110);
            else if ((y / 3) % 5 == 0 && (rng() % 4) != 0)
                c = RGBQuadColor::FromRgb(20, 20, 20);
            img.SetPixelColor(x, y, c);
        }
    }
    return img;
}

// Exactly the given colours, in vertical stripes.
inline CxImage Stripes(uint32_t w, uint32_t h, std::initializer_list<RGBQuadColor> colors) {
    CxImage img;
    img.Create(w, h, 24);
    const uint32_t n = uint32_t(colors.size());
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) img.SetPixelColor(x, y, *(colors.begin() + (x * n / w)));
    return img;
}

inline bool SamePixels(const CxImage& a, const CxImage& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetBpp() != b.GetBpp())
        return false;
    for (uint32_t y = 0; y < a.GetHeight(); ++y)
        for (uint32_t x = 0; x < a.GetWidth(); ++x) {
            if (a.GetBpp() <= 8 ? a.GetPixelIndex(x, y) != b.GetPixelIndex(x, y)
                                : !a.GetPixelColor(x, y).SameRgb(b.GetPixelColor(x, y)))
                return false;
        }
    for (uint32_t i = 0; i < a.GetNumColors(); ++i)
        if (!a.GetPaletteColor(i).SameRgb(b.GetPaletteColor(i))) return false;
    return true;
}

}  // namespace testpics
