#include "print/page_layout.h"

#include <algorithm>
#include <cstdlib>

namespace orbilux {

PageScales ScalesFor(const DeviceFigures& dev) {
    PageScales s;
    s.sx = dev.logPixelsX / 2530.0;
    s.sy = dev.logPixelsY / 2530.0;
    if (s.sy == 0.0) s.sy = s.sx;
    s.my = dev.logPixelsY / 25.3;
    return s;
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const int64_t product = int64_t(number) * numerator;
    const int64_t half = std::llabs(int64_t(denominator)) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const int64_t magnitude = (std::llabs(product) + half) / std::llabs(int64_t(denominator));
    return int(negative ? -magnitude : magnitude);
}

namespace {

// Stored distances beyond a metre fit no page; they are taken as a metre so
// that the sums below stay in range.
constexpr int kMaxMarginHundredths = 100000;
constexpr int kMaxBandMm = 1000;
constexpr int kMaxTextHeight = 1 << 20;
constexpr int kMaxBandLines = 1000;  // no stored list holds more

int Bounded(int v, int limit) {
    return std::clamp(v, -limit, limit);
}

}  // namespace

PageRect BodyRect(const PageRect& page, const PageRect& margin, const PageScales& scales) {
    PageRect body = page;
    body.left += Trunc(Bounded(margin.left, kMaxMarginHundredths) * scales.sx);
    body.top += Trunc(Bounded(margin.top, kMaxMarginHundredths) * scales.sy);
    body.right -= Trunc(Bounded(margin.right, kMaxMarginHundredths) * scales.sx);
    body.bottom -= Trunc(Bounded(margin.bottom, kMaxMarginHundredths) * scales.sy);
    return body;
}

bool BandExists(bool simpleMode, bool enabled, const std::vector<std::wstring>& lines) {
    if (simpleMode && !enabled) return false;
    for (const auto& line : lines) {
        if (!line.empty()) return true;
    }
    return false;
}

BandGeometry PlaceBand(PageRect& body, BandSide side, int lineCount, int tmHeight, int spacingMm, int gapMm,
                       double my) {
    BandGeometry g;
    lineCount = std::clamp(lineCount, 0, kMaxBandLines);
    tmHeight = std::clamp(tmHeight, 0, kMaxTextHeight);
    g.spacing = Trunc(Bounded(spacingMm, kMaxBandMm) * my);
    const int gap = Trunc(Bounded(gapMm, kMaxBandMm) * my);
    g.lineStep = tmHeight + g.spacing;
    const int height = lineCount * g.lineStep - g.spacing;
    g.band.left = body.left;
    g.band.right = body.right;
    g.rule.left = body.left;
    g.rule.right = body.right;
    if (side == BandSide::Header) {
        g.band.top = body.top;
        g.band.bottom = body.top + height;
        body.top += height + gap;
        g.rule.top = body.top;
    } else {
        g.band.top = body.bottom - height;
        g.band.bottom = body.bottom;
        body.bottom -= height + gap;
        g.rule.top = body.bottom;
    }
    g.rule.bottom = g.rule.top + kRuleThickness;
    return g;
}

PageRect PictureRect(const PageRect& body, uint32_t width, uint32_t height, const PageScales& scales,
                     int verticalAlign) {
    PageRect r;
    if (width == 0 || height == 0) return r;
    const double ratio = double(height) / double(width);
    int w = Trunc((body.right - body.left) - scales.sx * kBodyInset * 2);
    int h = Trunc(w * ratio);
    if (h > body.bottom - body.top) {
        h = Trunc((body.bottom - body.top) - scales.sy * kBodyInset * 2);
        w = Trunc(h / ratio);
    }
    if (w <= 0 || h <= 0) return r;  // a body turned inside out holds no picture
    const int x = (body.left + body.right) / 2 - w / 2;
    const int y =
        verticalAlign == 1 ? (body.top + body.bottom) / 2 - h / 2 : body.top + Trunc(kBodyInset * scales.sy);
    r.left = x;
    r.top = y;
    r.right = x + w;
    r.bottom = y + h;
    return r;
}

PageRect TextRect(const PageRect& body, const PageScales& scales) {
    PageRect r = body;
    r.left += Trunc(kBodyInset * scales.sx);
    r.top += Trunc(kBodyInset * scales.sy);
    r.right -= Trunc(kBodyInset * scales.sx);
    r.bottom -= Trunc(kBodyInset * scales.sy);
    return r;
}

bool HasBody(const PageRect& body, const PageScales& scales) {
    return !TextRect(body, scales).IsEmpty();
}

bool FitsOneLine(int capacity, int lineHeight) {
    return lineHeight > 0 && capacity >= lineHeight;
}

PageRoom JudgeRoom(const PageRect& printed, const PageScales& scales, int textCapacity, int textLineHeight) {
    PageRoom room;
    room.body = HasBody(printed, scales);
    room.text = room.body && FitsOneLine(textCapacity, textLineHeight);
    return room;
}

PageRect PaginationBody(int horzSizeMm, int vertSizeMm, const PageRect& margin, int memLogPixelsX) {
    PageRect mm;
    mm.left = Trunc(margin.left * 0.01);
    mm.top = Trunc(margin.top * 0.01);
    mm.right = horzSizeMm - Trunc(margin.right * 0.01);
    mm.bottom = vertSizeMm - Trunc(margin.bottom * 0.01);
    const int f = Trunc(memLogPixelsX / 25.3 * 1000);
    return PageRect{MulDiv(mm.left, f, 1000), MulDiv(mm.top, f, 1000), MulDiv(mm.right, f, 1000),
                    MulDiv(mm.bottom, f, 1000)};
}

int PaginationInset(int memLogPixelsX) {
    return Trunc(memLogPixelsX / 2530.0 * kBodyInset);
}

PageGeometry LayoutPage(const DeviceFigures& dev, const LayoutSettings& settings,
                        const std::vector<std::wstring>& headLines,
                        const std::vector<std::wstring>& footLines, int tmHeight) {
    const PageScales scales = ScalesFor(dev);
    PageGeometry g;
    g.body = BodyRect(PageRect{0, 0, dev.horzRes, dev.vertRes}, settings.margin, scales);
    g.hasHeader = BandExists(settings.simpleMode, settings.enableHead, headLines);
    if (g.hasHeader) {
        g.header = PlaceBand(g.body, BandSide::Header, int(headLines.size()), tmHeight,
                             settings.lineHeightHead, settings.marginHead, scales.my);
    }
    g.hasFooter = BandExists(settings.simpleMode, settings.enableFoot, footLines);
    if (g.hasFooter) {
        g.footer = PlaceBand(g.body, BandSide::Footer, int(footLines.size()), tmHeight,
                             settings.lineHeightFoot, settings.marginFoot, scales.my);
    }
    return g;
}

}  // namespace orbilux
