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
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "image/resample_kernel.h"
#include "image/ximage.h"

namespace orbilux {

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

namespace {

// Source rows turned into floats (blue, green, red, 0 per pixel), kept for the
// few target rows that read them.
class FloatRowCache {
public:
    FloatRowCache(const CxImage& src) : src_(src), width_(src.GetWidth()) {
        for (int i = 0; i < kSlots; ++i) {
            rows_[i].assign(size_t(width_) * 4 + 4, 0.0f);
            tags_[i] = UINT32_MAX;
        }
    }
    const float* Row(uint32_t y) {
        const int slot = int(y % kSlots);
        float* out = Aligned(rows_[slot]);
        if (tags_[slot] != y) {
            const uint8_t* p = src_.GetBits(y);
            for (uint32_t x = 0; x < width_; ++x, p += 3) {
                out[4 * x] = float(p[0]);
                out[4 * x + 1] = float(p[1]);
                out[4 * x + 2] = float(p[2]);
                out[4 * x + 3] = 0.0f;
            }
            tags_[slot] = y;
        }
        return out;
    }

private:
    static constexpr int kSlots = 8;  // the four rows of one target row never share a slot
    static float* Aligned(std::vector<float>& v) {
        const uintptr_t a = reinterpret_cast<uintptr_t>(v.data());
        return reinterpret_cast<float*>((a + 15) & ~uintptr_t(15));
    }
    const CxImage& src_;
    uint32_t width_;
    std::vector<float> rows_[kSlots];
    uint32_t tags_[kSlots];
};

struct ResampleJob {
    const CxImage* src;
    CxImage* out;
    float yScale;
    const std::vector<uint32_t>* colOffset;  // source columns, 4 per target column
    const std::vector<float>* colWeight;     // K(b - n), 4 per target column
};

// The four source rows of target row y and their weights.
void RowTaps(const ResampleJob& job, uint32_t y, uint32_t rowIndex[4], float rowWeight[4]) {
    const uint32_t h = job.src->GetHeight();
    const Tap t = SourceTap(y, job.yScale);
    for (int m = -1; m <= 2; ++m) {
        rowIndex[m + 1] = Clamp(int64_t(t.first) + m, h);
        rowWeight[m + 1] = BSplineKernel(float(m) - t.frac);
    }
}

#if defined(__SSE2__)
void ResampleRows(const ResampleJob& job, uint32_t firstRow, uint32_t endRow) {
    const uint32_t nw = job.out->GetWidth();
    FloatRowCache cache(*job.src);
    for (uint32_t y = firstRow; y < endRow; ++y) {
        uint32_t rowIndex[4];
        float rowWeight[4];
        RowTaps(job, y, rowIndex, rowWeight);
        uint8_t* dst = job.out->GetBits(y);
        const uint32_t* offsets = job.colOffset->data();
        const float* weights = job.colWeight->data();
        // Each lane does the scalar sum of one channel: the same products and
        // additions in the same order, so the same bits.
        const float* rows[4];
        for (int m = 0; m < 4; ++m) rows[m] = cache.Row(rowIndex[m]);
        for (uint32_t x = 0; x < nw; ++x, dst += 3) {
            const uint32_t* off = offsets + size_t(x) * 4;
            const float* wx = weights + size_t(x) * 4;
            __m128 acc = _mm_setzero_ps();
            for (int m = 0; m < 4; ++m) {
                const float* row = rows[m];
                const float wy = rowWeight[m];
                for (int n = 0; n < 4; ++n) {
                    const __m128 p = _mm_load_ps(row + size_t(off[n]) * 4);
                    acc = _mm_add_ps(acc, _mm_mul_ps(p, _mm_set1_ps(wy * wx[n])));
                }
            }
            alignas(16) float sum[4];
            _mm_store_ps(sum, acc);
            dst[0] = StoreChannel(sum[0]);
            dst[1] = StoreChannel(sum[1]);
            dst[2] = StoreChannel(sum[2]);
        }
    }
}
#else
void ResampleRows(const ResampleJob& job, uint32_t firstRow, uint32_t endRow) {
    const CxImage& src = *job.src;
    const uint32_t nw = job.out->GetWidth();
    for (uint32_t y = firstRow; y < endRow; ++y) {
        uint32_t rowIndex[4];
        float rowWeight[4];
        RowTaps(job, y, rowIndex, rowWeight);
        uint8_t* dst = job.out->GetBits(y);
        const uint32_t* offsets = job.colOffset->data();
        const float* weights = job.colWeight->data();
        const uint8_t* rows[4];
        for (int m = 0; m < 4; ++m) rows[m] = src.GetBits(rowIndex[m]);
        for (uint32_t x = 0; x < nw; ++x, dst += 3) {
            const uint32_t* off = offsets + size_t(x) * 4;
            const float* wx = weights + size_t(x) * 4;
            float sb = 0.0f, sg = 0.0f, sr = 0.0f;
            for (int m = 0; m < 4; ++m) {
                const uint8_t* row = rows[m];
                const float wy = rowWeight[m];
                for (int n = 0; n < 4; ++n) {
                    const float weight = wy * wx[n];
                    const uint8_t* p = row + size_t(off[n]) * 3;
                    sb += float(p[0]) * weight;
                    sg += float(p[1]) * weight;
                    sr += float(p[2]) * weight;
                }
            }
            dst[0] = StoreChannel(sb);
            dst[1] = StoreChannel(sg);
            dst[2] = StoreChannel(sr);
        }
    }
}
#endif

}  // namespace

bool CxImage::Resample(uint32_t newWidth, uint32_t newHeight, const std::function<void()>& onThreadStart) {
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

    std::vector<uint32_t> colOffset(size_t(newWidth) * 4);
    std::vector<float> colWeight(size_t(newWidth) * 4);
    for (uint32_t x = 0; x < newWidth; ++x) {
        const Tap t = SourceTap(x, xScale);
        for (int n = -1; n <= 2; ++n) {
            colOffset[size_t(x) * 4 + size_t(n + 1)] = Clamp(int64_t(t.first) + n, width_);
            colWeight[size_t(x) * 4 + size_t(n + 1)] = BSplineKernel(t.frac - float(n));
        }
    }

    // Large pictures are split into bands of rows, one per processor; every
    // pixel is computed the same way whichever band it falls in.
    const ResampleJob job{src, &out, yScale, &colOffset, &colWeight};
    const uint64_t work = uint64_t(newWidth) * newHeight;
    uint32_t bands = work < 200000 ? 1 : std::min(4u, std::max(1u, std::thread::hardware_concurrency()));
    bands = std::min(bands, newHeight);
    std::vector<std::thread> helpers;
    helpers.reserve(bands);  // before any thread runs: growing it later could throw past them
    const uint32_t step = (newHeight + bands - 1) / bands;
    for (uint32_t b = 1; b < bands; ++b) {
        const uint32_t first = b * step, end = std::min(newHeight, first + step);
        if (first >= end) break;
        try {
            helpers.emplace_back([&job, &onThreadStart, first, end] {
                if (onThreadStart) onThreadStart();
                ResampleRows(job, first, end);
            });
        } catch (...) {
            ResampleRows(job, first, end);  // no thread (or no memory for one): this one does the band
        }
    }
    ResampleRows(job, 0, std::min(newHeight, step));
    for (std::thread& t : helpers) t.join();

    *this = std::move(out);
    return true;
}

}  // namespace orbilux
