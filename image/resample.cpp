// Bicubic B-spline resampling of CxImage.
//
// Every target pixel is the sum of 4 x 4 source pixels weighted by
// K(m - a) * K(b - n), accumulated in single precision rows-outer, columns-inner.
// The row weights depend on the target row only and the column weights on the
// target column only, so both are computed once; the products and the sums are
// then formed in exactly the order of the plain per-pixel formula, which keeps
// the result identical to it bit for bit.
#include <algorithm>
#include <cmath>
#include <vector>

#include "image/resample_kernel.h"
#include "image/ximage.h"

namespace {

struct Tap {
    int32_t first;  // floor of the source position
    float frac;     // source position minus first
};

Tap SourceTap(uint32_t target, float scale) {
    const float f = float(target) * scale - 0.5f;
    const float fl = std::floor(f);
    return Tap{int32_t(fl), f - fl};
}

inline uint32_t Clamp(int64_t v, uint32_t size) {
    return v < 0 ? 0u : (v >= int64_t(size) ? size - 1 : uint32_t(v));
}

inline uint8_t StoreChannel(float sum) {
    if (!(sum > 0.0f)) return 0;
    if (sum >= 255.0f) return 255;
    return uint8_t(sum);  // truncation, no rounding
}

}  // namespace

bool CxImage::Resample(uint32_t newWidth, uint32_t newHeight) {
    if (!IsValid()) return false;
    if (newWidth == 0 || newHeight == 0) return true;
    if (newWidth == width_ && newHeight == height_) return true;

    // Palette pictures are read as colours first.
    const CxImage* src = this;
    CxImage expanded;
    if (bpp_ != 24) {
        if (!expanded.Create(width_, height_, 24)) return false;
        for (uint32_t y = 0; y < height_; ++y)
            for (uint32_t x = 0; x < width_; ++x) expanded.SetPixelColor(x, y, GetPixelColor(x, y));
        src = &expanded;
    }

    CxImage out;
    if (!out.Create(newWidth, newHeight, 24)) return false;
    out.SetXDpi(xDpi_);
    out.SetYDpi(yDpi_);

    const float xScale = float(width_) / float(newWidth);
    const float yScale = float(height_) / float(newHeight);

    // Per column: the four source byte offsets and the weights K(b - n).
    std::vector<uint32_t> colOffset(size_t(newWidth) * 4);
    std::vector<float> colWeight(size_t(newWidth) * 4);
    for (uint32_t x = 0; x < newWidth; ++x) {
        const Tap t = SourceTap(x, xScale);
        for (int n = -1; n <= 2; ++n) {
            colOffset[size_t(x) * 4 + size_t(n + 1)] = Clamp(int64_t(t.first) + n, width_) * 3;
            colWeight[size_t(x) * 4 + size_t(n + 1)] = tamrik::BSplineKernel(t.frac - float(n));
        }
    }

    for (uint32_t y = 0; y < newHeight; ++y) {
        const Tap t = SourceTap(y, yScale);
        const uint8_t* rows[4];
        float rowWeight[4];
        for (int m = -1; m <= 2; ++m) {
            rows[m + 1] = src->GetBits(Clamp(int64_t(t.first) + m, height_));
            rowWeight[m + 1] = tamrik::BSplineKernel(float(m) - t.frac);
        }
        uint8_t* dst = out.GetBits(y);
        for (uint32_t x = 0; x < newWidth; ++x) {
            const uint32_t* off = &colOffset[size_t(x) * 4];
            const float* wx = &colWeight[size_t(x) * 4];
            float sb = 0.0f, sg = 0.0f, sr = 0.0f;
            for (int m = 0; m < 4; ++m) {
                const uint8_t* row = rows[m];
                const float wy = rowWeight[m];
                for (int n = 0; n < 4; ++n) {
                    const float w = wy * wx[n];
                    const uint8_t* p = row + off[n];
                    sb += float(p[0]) * w;
                    sg += float(p[1]) * w;
                    sr += float(p[2]) * w;
                }
            }
            dst[0] = StoreChannel(sb);
            dst[1] = StoreChannel(sg);
            dst[2] = StoreChannel(sr);
            dst += 3;
        }
    }
    *this = std::move(out);
    return true;
}
