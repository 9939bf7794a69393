// Colour treatment of a printed picture (printMode): 0 colour, 1 negative,
// 2 greyscale, 3 greyscale then negative. The treatment works on a copy, so
// the captured picture shared with file output and later pages stays as it was.
#pragma once

#include "image/ximage.h"

namespace orbilux {

enum PrintMode { kPrintColour = 0, kPrintNegative = 1, kPrintMonochrome = 2, kPrintMonochromeNegative = 3 };

// Grey level of a colour: (306 R + 601 G + 117 B) >> 10.
inline uint8_t GreyLevel(const RGBQuadColor& c) {
    return uint8_t((306u * c.red + 601u * c.green + 117u * c.blue) >> 10);
}

// A 24-bit picture becomes an 8-bit one with a grey palette; a palette picture
// has its palette made grey.
void ToGreyscale(CxImage& image);
// Every colour component c becomes 255 - c (the palette of a palette picture).
void ToNegative(CxImage& image);

// The picture to draw for a print mode: the source itself for colour (or an
// unknown mode), otherwise a treated copy.
CxImagePtr PreparePicture(const CxImagePtr& source, int printMode);

}  // namespace orbilux
