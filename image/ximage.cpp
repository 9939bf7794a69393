#include "image/ximage.h"

#include <limits>

namespace orbilux {

namespace {
// A picture never takes more than 2 GiB of pixel bytes: 3 monitors of 7680x4320
// at 24 bits stay well below it, a corrupt size does not allocate gigabytes.
constexpr uint64_t kMaxPixelBytes = uint64_t(1) << 31;
}  // namespace

bool CxImage::Create(uint32_t width, uint32_t height, uint32_t bpp) {
    Destroy();
    if (width == 0 || height == 0) return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) return false;
    const uint64_t rowBytes = ((uint64_t(width) * bpp + 31) / 32) * 4;
    const uint64_t total = rowBytes * height;
    if (total > kMaxPixelBytes) return false;
    width_ = width;
    height_ = height;
    bpp_ = bpp;
    effWidth_ = uint32_t(rowBytes);
    bits_.assign(size_t(total), 0);
    if (bpp <= 8) palette_.assign(size_t(1) << bpp, RGBQuadColor{});
    return true;
}

void CxImage::Destroy() {
    width_ = height_ = bpp_ = effWidth_ = 0;
    bits_.clear();
    bits_.shrink_to_fit();
    palette_.clear();
}

void CxImage::SetPalette(const RGBQuadColor* colors, uint32_t count) {
    for (uint32_t i = 0; i < palette_.size(); ++i)
        palette_[i] = (colors && i < count) ? colors[i] : RGBQuadColor{};
}

RGBQuadColor CxImage::GetPaletteColor(uint32_t index) const {
    return index < palette_.size() ? palette_[index] : RGBQuadColor{};
}

void CxImage::SetPaletteColor(uint32_t index, RGBQuadColor c) {
    if (index < palette_.size()) palette_[index] = c;
}

uint8_t CxImage::GetPixelIndex(uint32_t x, uint32_t y) const {
    if (x >= width_ || y >= height_ || bpp_ > 8) return 0;
    const uint8_t* row = GetBits(y);
    switch (bpp_) {
        case 8:
            return row[x];
        case 4:
            return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        default:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
}

void CxImage::SetPixelIndex(uint32_t x, uint32_t y, uint8_t index) {
    if (x >= width_ || y >= height_ || bpp_ > 8) return;
    uint8_t* row = GetBits(y);
    switch (bpp_) {
        case 8:
            row[x] = index;
            break;
        case 4: {
            uint8_t& b = row[x >> 1];
            b = (x & 1) ? uint8_t((b & 0xF0) | (index & 0x0F)) : uint8_t((b & 0x0F) | (index << 4));
            break;
        }
        default: {
            const uint8_t mask = uint8_t(0x80 >> (x & 7));
            uint8_t& b = row[x >> 3];
            b = (index & 1) ? uint8_t(b | mask) : uint8_t(b & ~mask);
            break;
        }
    }
}

RGBQuadColor CxImage::GetPixelColor(uint32_t x, uint32_t y) const {
    if (x >= width_ || y >= height_) return RGBQuadColor{};
    if (bpp_ == 24) {
        const uint8_t* p = GetBits(y) + size_t(x) * 3;
        return RGBQuadColor{p[0], p[1], p[2], 0};
    }
    return GetPaletteColor(GetPixelIndex(x, y));
}

void CxImage::SetPixelColor(uint32_t x, uint32_t y, RGBQuadColor c) {
    if (x >= width_ || y >= height_) return;
    if (bpp_ == 24) {
        uint8_t* p = GetBits(y) + size_t(x) * 3;
        p[0] = c.blue;
        p[1] = c.green;
        p[2] = c.red;
        return;
    }
    SetPixelIndex(x, y, GetNearestIndex(c));
}

uint8_t CxImage::GetNearestIndex(RGBQuadColor c) const {
    uint32_t best = 0;
    uint32_t bestDistance = std::numeric_limits<uint32_t>::max();
    for (uint32_t i = 0; i < palette_.size(); ++i) {
        const int dr = int(palette_[i].red) - c.red;
        const int dg = int(palette_[i].green) - c.green;
        const int db = int(palette_[i].blue) - c.blue;
        const uint32_t d = uint32_t(dr * dr + dg * dg + db * db);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
            if (d == 0) break;
        }
    }
    return uint8_t(best);
}

}  // namespace orbilux
