// Geometry of a printed page, as plain arithmetic over the figures a device
// context reports. Distances on paper: margins in hundredths of a millimetre,
// band spacing and gaps in whole millimetres. Every conversion counts 25.3 mm
// to the inch and drops the fraction.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orbilux {

struct PageRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // Nothing can be drawn into an empty or inverted rectangle.
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const PageRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const PageRect& o) const { return !(*this == o); }
};

// What the device context says about itself.
struct DeviceFigures {
    int horzRes = 0;     // HORZRES: printable width in device pixels
    int vertRes = 0;     // VERTRES
    int logPixelsX = 0;  // LOGPIXELSX
    int logPixelsY = 0;  // LOGPIXELSY
};

struct PageScales {
    double sx = 0;  // device pixels per hundredth of a millimetre, across
    double sy = 0;  // the same, down
    double my = 0;  // device pixels per millimetre, for band distances
};

// Thickness of the rule under the header and over the footer, in device pixels.
constexpr int kRuleThickness = 3;
// Inset around the picture and the text: 3 mm in hundredths.
constexpr int kBodyInset = 300;

PageScales ScalesFor(const DeviceFigures& dev);

// Truncation toward zero of a double-precision product.
inline int Trunc(double v) {
    return static_cast<int>(v);
}

// Multiply, then divide rounding to the nearest integer (halves away from
// zero); -1 when the divisor is 0.
int MulDiv(int number, int numerator, int denominator);

// The page minus the margins (hundredths of a millimetre).
PageRect BodyRect(const PageRect& page, const PageRect& margin, const PageScales& scales);

// A band exists when (in easy mode) its enable flag is on and at least one of
// its template lines is non-empty.
bool BandExists(bool simpleMode, bool enabled, const std::vector<std::wstring>& lines);

enum class BandSide { Header = 0, Footer = 1 };

struct BandGeometry {
    PageRect band;  // where the lines go; line k starts at band.top + k * lineStep
    int spacing = 0;
    int lineStep = 0;  // text height plus spacing
    PageRect rule;     // kRuleThickness rows, right and bottom exclusive
};

// Lays a band of lineCount lines (text height tmHeight) along one edge of the
// body and moves that edge past the band and its gap.
BandGeometry PlaceBand(PageRect& body, BandSide side, int lineCount, int tmHeight, int spacingMm, int gapMm,
                       double my);

// Rectangle (right and bottom exclusive) that receives a picture of the given
// size: fitted to the width less 3 mm each side, or to the height when that
// would overflow the body. verticalAlign 1 centres it, anything else places it
// 3 mm below the body top. Empty when the body leaves the picture no room.
PageRect PictureRect(const PageRect& body, uint32_t width, uint32_t height, const PageScales& scales,
                     int verticalAlign);

// The body inset by 3 mm on every side.
PageRect TextRect(const PageRect& body, const PageScales& scales);

// Whether margins, bands and gaps leave a body: something inside its 3 mm
// inset on both axes. A page without one prints its bands only.
bool HasBody(const PageRect& body, const PageScales& scales);

// Whether a text rectangle `capacity` high holds at least one line of
// `lineHeight`. When it does not, no Text page is printed at all.
bool FitsOneLine(int capacity, int lineHeight);

// What a page leaves for the picture and for the text.
struct PageRoom {
    bool body = false;  // the picture has a place
    bool text = false;  // at least one line of the Text pages fits
};

// The verdict for one set of values: `printed` is the body after both bands on
// the printer, `textCapacity` the height Text pages may fill (as measured for
// pagination) and `textLineHeight` the height of one line of their font.
PageRoom JudgeRoom(const PageRect& printed, const PageScales& scales, int textCapacity, int textLineHeight);

// Text pagination measures on a screen-compatible memory context: the body in
// millimetres from the printer's HORZSIZE/VERTSIZE, scaled by that context's
// LOGPIXELSX on both axes.
PageRect PaginationBody(int horzSizeMm, int vertSizeMm, const PageRect& margin, int memLogPixelsX);
int PaginationInset(int memLogPixelsX);

// Everything that decides the shape of a page apart from the device.
struct LayoutSettings {
    PageRect margin{1500, 1000, 1000, 1000};
    int lineHeightHead = 1;
    int marginHead = 10;
    bool enableHead = true;
    int lineHeightFoot = 1;
    int marginFoot = 10;
    bool enableFoot = true;
    int pictureVerticalAlign = 0;
    bool simpleMode = true;
};

struct PageGeometry {
    bool hasHeader = false;
    bool hasFooter = false;
    BandGeometry header;
    BandGeometry footer;
    PageRect body;  // after both bands
};

// The whole page: body, then the header, then the footer. tmHeight is the
// text height of the band font on this device.
PageGeometry LayoutPage(const DeviceFigures& dev, const LayoutSettings& settings,
                        const std::vector<std::wstring>& headLines,
                        const std::vector<std::wstring>& footLines, int tmHeight);

}  // namespace orbilux
