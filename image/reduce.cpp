// Bit-depth reduction of CxImage: nearest palette index, and 1-bit error
// diffusion with the weights 7, 2, 4 and 1 sixteenths.
#include <algorithm>
#include <climits>
#include <vector>

#include "image/nearest_index.h"
#include "image/ximage.h"

namespace orbilux {

CNearestIndex::CNearestIndex(const RGBQuadColor* palette, uint32_t count)
    : count_(std::min<uint32_t>(count, 256)),
      cacheKey_(new uint32_t[size_t(1) << kCacheBits]()),
      cacheIndex_(new uint8_t[size_t(1) << kCacheBits]()) {
    if (count_ == 0) count_ = 1;  // an empty palette answers index 0
    for (uint32_t i = 0; i < count_; ++i) {
        const RGBQuadColor c = (palette && i < count) ? palette[i] : RGBQuadColor{};
        byGreen_[i] = Entry{c.red, c.green, c.blue, int32_t(i)};
    }
    std::sort(byGreen_, byGreen_ + count_, [](const Entry& a, const Entry& b) {
        return a.green != b.green ? a.green < b.green : a.index < b.index;
    });
}

uint8_t CNearestIndex::Search(int32_t r, int32_t g, int32_t b) const {
    // Same answer as a scan of every entry that keeps the first smallest
    // distance: an entry is skipped only when its green difference alone
    // exceeds the best distance, so no nearer or equally near entry is missed,
    // and equal distances are settled by index.
    const Entry* begin = byGreen_;
    const Entry* end = byGreen_ + count_;
    const Entry* start =
        std::lower_bound(begin, end, g, [](const Entry& e, int32_t v) { return e.green < v; });
    int32_t best = -1;
    int32_t bestDistance = INT32_MAX;
    auto consider = [&](const Entry& e) {
        const int32_t dr = e.red - r, dg = e.green - g, db = e.blue - b;
        const int32_t d = dr * dr + dg * dg + db * db;
        if (d < bestDistance || (d == bestDistance && e.index < best)) {
            bestDistance = d;
            best = e.index;
        }
    };
    const Entry* up = start;
    const Entry* down = start;
    bool upOpen = up != end, downOpen = down != begin;
    while (upOpen || downOpen) {
        if (upOpen) {
            const int32_t dg = up->green - g;
            if (dg * dg > bestDistance) {
                upOpen = false;
            } else {
                consider(*up);
                upOpen = ++up != end;
            }
        }
        if (downOpen) {
            const Entry& e = *(down - 1);
            const int32_t dg = g - e.green;
            if (dg * dg > bestDistance) {
                downOpen = false;
            } else {
                consider(e);
                downOpen = --down != begin;
            }
        }
    }
    return uint8_t(best < 0 ? 0 : best);
}

namespace {

inline void PutIndex(uint8_t* row, uint32_t x, uint32_t bpp, uint8_t index) {
    switch (bpp) {
        case 8:
            row[x] = index;
            break;
        case 4:
            row[x >> 1] = (x & 1) ? uint8_t((row[x >> 1] & 0xF0) | (index & 0x0F))
                                  : uint8_t((row[x >> 1] & 0x0F) | (index << 4));
            break;
        default:
            if (index & 1) row[x >> 3] |= uint8_t(0x80 >> (x & 7));
            break;
    }
}

inline uint8_t AddClamped(uint8_t value, int32_t amount) {
    return uint8_t(std::clamp(int32_t(value) + amount, 0, 255));
}

}  // namespace

bool CxImage::DecreaseBpp(uint32_t bpp, bool errorDiffusion, const RGBQuadColor* palette, uint32_t count) {
    if (!IsValid() || (bpp != 1 && bpp != 4 && bpp != 8)) return false;

    static const RGBQuadColor kBlackWhite[2] = {RGBQuadColor::FromRgb(0, 0, 0),
                                                RGBQuadColor::FromRgb(255, 255, 255)};
    if (!palette && bpp == 1) {
        palette = kBlackWhite;
        count = 2;
    }

    CxImage out;
    if (!out.Create(width_, height_, bpp)) return false;
    out.SetXDpi(xDpi_);
    out.SetYDpi(yDpi_);
    out.SetPalette(palette, count);

    // The search runs over every slot of the target palette.
    CNearestIndex nearest(out.GetPalette(), out.GetNumColors());

    // Pixels are read as 24-bit colours; diffusion writes its error into them.
    CxImage expanded;
    CxImage* src = this;
    if (bpp_ != 24) {
        if (!expanded.Create(width_, height_, 24)) return false;
        for (uint32_t y = 0; y < height_; ++y)
            for (uint32_t x = 0; x < width_; ++x) expanded.SetPixelColor(x, y, GetPixelColor(x, y));
        src = &expanded;
    }

    if (!errorDiffusion) {
        for (uint32_t y = 0; y < height_; ++y) {
            const uint8_t* p = src->GetBits(y);
            uint8_t* row = out.GetBits(y);
            for (uint32_t x = 0; x < width_; ++x, p += 3)
                PutIndex(row, x, bpp, nearest.Find(p[2], p[1], p[0]));
        }
    } else {
        const RGBQuadColor* pal = out.GetPalette();
        for (uint32_t y = 0; y < height_; ++y) {
            uint8_t* p = src->GetBits(y);
            uint8_t* above = (y + 1 < height_) ? src->GetBits(y + 1) : nullptr;
            uint8_t* row = out.GetBits(y);
            for (uint32_t x = 0; x < width_; ++x) {
                uint8_t* c = p + size_t(x) * 3;
                const uint8_t index = nearest.Find(c[2], c[1], c[0]);
                PutIndex(row, x, bpp, index);
                const int32_t e[3] = {int32_t(c[0]) - pal[index].blue, int32_t(c[1]) - pal[index].green,
                                      int32_t(c[2]) - pal[index].red};
                if (e[0] == 0 && e[1] == 0 && e[2] == 0) continue;
                for (int k = 0; k < 3; ++k) {
                    if (x + 1 < width_) c[3 + k] = AddClamped(c[3 + k], e[k] * 7 / 16);
                    if (above) {
                        uint8_t* a = above + size_t(x) * 3;
                        if (x > 0) a[k - 3] = AddClamped(a[k - 3], e[k] * 2 / 16);
                        a[k] = AddClamped(a[k], e[k] * 4 / 16);
                        if (x + 1 < width_) a[3 + k] = AddClamped(a[3 + k], e[k] * 1 / 16);
                    }
                }
            }
        }
    }
    *this = std::move(out);
    return true;
}

}  // namespace orbilux
