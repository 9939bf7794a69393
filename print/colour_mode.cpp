#include "print/colour_mode.h"

namespace orbilux {

void ToGreyscale(CxImage& image) {
    if (!image.IsValid()) return;
    if (image.GetBpp() <= 8) {
        for (uint32_t i = 0; i < image.GetNumColors(); ++i) {
            const uint8_t g = GreyLevel(image.GetPaletteColor(i));
            image.SetPaletteColor(i, RGBQuadColor::FromRgb(g, g, g));
        }
        return;
    }
    CxImage grey;
    if (!grey.Create(image.GetWidth(), image.GetHeight(), 8)) return;
    for (uint32_t i = 0; i < 256; ++i)
        grey.SetPaletteColor(i, RGBQuadColor::FromRgb(uint8_t(i), uint8_t(i), uint8_t(i)));
    const uint32_t step = image.GetBpp() / 8;
    for (uint32_t y = 0; y < image.GetHeight(); ++y) {
        const uint8_t* src = image.GetBits(y);
        uint8_t* dst = grey.GetBits(y);
        for (uint32_t x = 0; x < image.GetWidth(); ++x, src += step) {
            dst[x] = GreyLevel(RGBQuadColor{src[0], src[1], src[2], 0});
        }
    }
    grey.SetXDpi(image.GetXDpi());
    grey.SetYDpi(image.GetYDpi());
    image = std::move(grey);
}

void ToNegative(CxImage& image) {
    if (!image.IsValid()) return;
    if (image.GetBpp() <= 8) {
        for (uint32_t i = 0; i < image.GetNumColors(); ++i) {
            const RGBQuadColor c = image.GetPaletteColor(i);
            image.SetPaletteColor(i, RGBQuadColor::FromRgb(255 - c.red, 255 - c.green, 255 - c.blue));
        }
        return;
    }
    const uint32_t used = image.GetWidth() * (image.GetBpp() / 8);
    for (uint32_t y = 0; y < image.GetHeight(); ++y) {
        uint8_t* row = image.GetBits(y);
        for (uint32_t i = 0; i < used; ++i) row[i] = uint8_t(~row[i]);
    }
}

CxImagePtr PreparePicture(const CxImagePtr& source, int printMode) {
    if (!source || !source->IsValid()) return source;
    if (printMode != kPrintNegative && printMode != kPrintMonochrome &&
        printMode != kPrintMonochromeNegative) {
        return source;
    }
    auto copy = std::make_shared<CxImage>(*source);
    if (printMode == kPrintMonochrome || printMode == kPrintMonochromeNegative) ToGreyscale(*copy);
    if (printMode == kPrintNegative || printMode == kPrintMonochromeNegative) ToNegative(*copy);
    return copy;
}

}  // namespace orbilux
