// The picture container shared by capture, file output and printing: a
// device-independent bitmap of 1, 4, 8 or 24 bits per pixel with an optional
// palette, rows stored bottom-up (row 0 is the bottom row on screen), each row
// padded to a multiple of 4 bytes, 24-bit pixels stored blue, green, red.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace orbilux {

struct RGBQuadColor {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;

    static RGBQuadColor FromRgb(uint8_t r, uint8_t g, uint8_t b) { return RGBQuadColor{b, g, r, 0}; }
    bool SameRgb(const RGBQuadColor& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

class CxImage {
public:
    static constexpr int32_t kDefaultDpi = 96;

    CxImage() = default;
    CxImage(const CxImage&) = default;  // deep copy: pixels, palette and resolution
    CxImage& operator=(const CxImage&) = default;
    CxImage(CxImage&&) noexcept = default;
    CxImage& operator=(CxImage&&) noexcept = default;

    // Makes a new picture of the given size and depth (1, 4, 8 or 24), all
    // pixels zero and, for palette depths, a black palette of 2^bpp entries.
    // Returns false (and leaves the picture empty) for a bad depth or a size
    // whose pixel bytes would not fit in memory limits.
    bool Create(uint32_t width, uint32_t height, uint32_t bpp);
    void Destroy();
    bool IsValid() const { return !bits_.empty(); }

    uint32_t GetWidth() const { return width_; }
    uint32_t GetHeight() const { return height_; }
    uint32_t GetBpp() const { return bpp_; }
    // Bytes of one stored row, padded to a multiple of 4.
    uint32_t GetEffWidth() const { return effWidth_; }
    size_t GetSizeImage() const { return bits_.size(); }
    static uint32_t RowBytes(uint32_t width, uint32_t bpp) { return ((width * bpp + 31) / 32) * 4; }

    // Raw rows; row is counted in stored order (0 = bottom row).
    uint8_t* GetBits(uint32_t row = 0) { return bits_.data() + size_t(row) * effWidth_; }
    const uint8_t* GetBits(uint32_t row = 0) const { return bits_.data() + size_t(row) * effWidth_; }

    // Palette: 2^bpp entries for 1/4/8 bits, none for 24 bits.
    uint32_t GetNumColors() const { return uint32_t(palette_.size()); }
    const RGBQuadColor* GetPalette() const { return palette_.empty() ? nullptr : palette_.data(); }
    // Copies up to GetNumColors() entries; the remaining ones become black.
    void SetPalette(const RGBQuadColor* colors, uint32_t count);
    RGBQuadColor GetPaletteColor(uint32_t index) const;
    void SetPaletteColor(uint32_t index, RGBQuadColor c);

    // Pixel access by stored coordinates (y = 0 is the bottom row). Out-of-range
    // reads give black / index 0, out-of-range writes are ignored.
    uint8_t GetPixelIndex(uint32_t x, uint32_t y) const;
    void SetPixelIndex(uint32_t x, uint32_t y, uint8_t index);
    RGBQuadColor GetPixelColor(uint32_t x, uint32_t y) const;
    // On palette pictures the nearest palette entry is stored.
    void SetPixelColor(uint32_t x, uint32_t y, RGBQuadColor c);

    // Index of the palette entry nearest to c (smallest squared distance, the
    // lower index on ties, an exact match ends the search).
    uint8_t GetNearestIndex(RGBQuadColor c) const;

    // Resizes to newWidth x newHeight with the bicubic B-spline kernel, in
    // single precision, each channel sum truncated. The result has 24 bits.
    // A zero width or height leaves the picture unchanged, as does its own size.
    // A large picture is shared out among threads; onThreadStart runs first on
    // each thread started for it (the press lowers their priority there).
    bool Resample(uint32_t newWidth, uint32_t newHeight, const std::function<void()>& onThreadStart = {});

    // Turns the picture into a 1, 4 or 8 bit one with the given palette
    // (missing entries are black; no palette for 1 bit means black, white).
    // Without diffusion each pixel takes its nearest palette index; with
    // diffusion the error of each pixel is spread 7/16 right and 2/16, 4/16,
    // 1/16 over the next stored row. Returns false and keeps the picture for a
    // bad depth or an empty picture.
    bool DecreaseBpp(uint32_t bpp, bool errorDiffusion, const RGBQuadColor* palette = nullptr,
                     uint32_t count = 0);

    int32_t GetXDpi() const { return xDpi_; }
    int32_t GetYDpi() const { return yDpi_; }
    void SetXDpi(int32_t dpi) { xDpi_ = dpi; }
    void SetYDpi(int32_t dpi) { yDpi_ = dpi; }
    // 96 dpi is 3780 pixels per metre (dpi * 10000 / 254, rounded half up).
    static int32_t DpiToPixelsPerMetre(int32_t dpi) { return int32_t((int64_t(dpi) * 10000 + 127) / 254); }

private:
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t bpp_ = 0;
    uint32_t effWidth_ = 0;
    int32_t xDpi_ = kDefaultDpi;
    int32_t yDpi_ = kDefaultDpi;
    std::vector<uint8_t> bits_;
    std::vector<RGBQuadColor> palette_;
};

using CxImagePtr = std::shared_ptr<CxImage>;

}  // namespace orbilux
