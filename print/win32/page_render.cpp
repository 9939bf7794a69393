#include "print/win32/page_render.h"

#include <algorithm>
#include <cstring>

#include "print/colour_mode.h"
#include "print/devmode_bytes.h"
#include "print/header_format.h"
#include "window/helpers.h"
#include "window/raii.h"

namespace orbilux {
namespace {

using tamrik::SelectObjectScope;
using tamrik::UniqueDC;
using tamrik::UniqueFont;

constexpr UINT kTextFlags = DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK;
constexpr wchar_t kTextFontFace[] = L"MS UI Gothic";
constexpr int kTextFontTenths = 105;  // 10.5 points

RECT ToRect(const PageRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

// A font of the given face, `tenths` of a point high on this context.
UniqueFont MakeFont(HDC dc, const std::wstring& face, int tenths) {
    LOGFONTW lf{};
    lf.lfHeight = -std::abs(::MulDiv(::GetDeviceCaps(dc, LOGPIXELSY), tenths, 720));
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return UniqueFont(::CreateFontIndirectW(&lf));
}

// The band font with the block's styles.
UniqueFont StyledFont(HFONT bandFont, const CBlockText& block) {
    LOGFONTW lf{};
    if (::GetObjectW(bandFont, sizeof(lf), &lf) == 0) return UniqueFont();
    lf.lfWeight = block.bold ? FW_BOLD : 0;
    lf.lfItalic = block.italic ? TRUE : FALSE;
    lf.lfUnderline = block.underline ? TRUE : FALSE;
    return UniqueFont(::CreateFontIndirectW(&lf));
}

UINT AlignmentFlag(int alignment) {
    switch (alignment) {
        case kAlignLeft:
            return DT_LEFT;
        case kAlignRight:
            return DT_RIGHT;
        default:
            return DT_CENTER;
    }
}

void DrawRule(HDC dc, const PageRect& rule) {
    if (rule.IsEmpty()) return;
    const COLORREF old = ::SetBkColor(dc, RGB(0, 0, 0));
    if (old == CLR_INVALID) return;
    const RECT r = ToRect(rule);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

void DrawText(HDC dc, const PageRect& body, const PageEntry& entry) {
    const PageRect textRect = TextRect(body, ScalesFor(FiguresOf(dc)));
    if (textRect.IsEmpty()) return;
    std::wstring joined;
    for (const auto& line : entry.lines) joined += line;
    UniqueFont font = MakeFont(dc, kTextFontFace, kTextFontTenths);
    SelectObjectScope select(dc, font.Get());
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    RECT r = ToRect(textRect);
    ::DrawTextW(dc, joined.c_str(), int(joined.size()), &r, kTextFlags);
    if (oldMode) ::SetBkMode(dc, oldMode);
}

void DrawPicture(HDC dc, const PageRect& body, const PageEntry& entry, const PrintStyle& style) {
    const CxImagePtr picture = PreparePicture(entry.image, style.printMode);
    if (!picture || !picture->IsValid()) return;
    const PageRect r = PictureRect(body, picture->GetWidth(), picture->GetHeight(), ScalesFor(FiguresOf(dc)),
                                   style.layout.pictureVerticalAlign);
    if (r.IsEmpty()) return;  // never stretched mirrored
    tamrik::PictureBitmapInfo info = tamrik::BitmapInfoOf(*picture);
    const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchDIBits(dc, r.left, r.top, r.Width(), r.Height(), 0, 0, int(picture->GetWidth()),
                    int(picture->GetHeight()), picture->GetBits(), info.Get(), DIB_RGB_COLORS, SRCCOPY);
    if (oldMode) ::SetStretchBltMode(dc, oldMode);
}

// The band font of the style on this context; a stored size beyond any page
// is taken as the largest one.
UniqueFont BandFont(HDC dc, const PrintStyle& style) {
    constexpr uint32_t kMaxFontPoints = 10000;
    return MakeFont(dc, style.fontFace, int(std::min(style.fontSize, kMaxFontPoints)) * 10);
}

// Lays the band out on this context (the band font's height from its metrics)
// and moves the body edge; false when the band does not exist.
bool PlaceBandOn(HDC dc, PageRect& body, int which, const PrintStyle& style, HFONT font, int* tmHeight,
                 BandGeometry& g) {
    const bool header = which == 0;
    const auto& lines = header ? style.headStrings : style.footStrings;
    const LayoutSettings& layout = style.layout;
    if (!BandExists(layout.simpleMode, header ? layout.enableHead : layout.enableFoot, lines)) return false;
    SelectObjectScope select(dc, font);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    if (tmHeight) *tmHeight = tm.tmHeight;
    const double my = ScalesFor(FiguresOf(dc)).my;
    g = header ? PlaceBand(body, BandSide::Header, int(lines.size()), tm.tmHeight, layout.lineHeightHead,
                           layout.marginHead, my)
               : PlaceBand(body, BandSide::Footer, int(lines.size()), tm.tmHeight, layout.lineHeightFoot,
                           layout.marginFoot, my);
    return true;
}

}  // namespace

DeviceFigures FiguresOf(HDC dc) {
    return DeviceFigures{::GetDeviceCaps(dc, HORZRES), ::GetDeviceCaps(dc, VERTRES),
                         ::GetDeviceCaps(dc, LOGPIXELSX), ::GetDeviceCaps(dc, LOGPIXELSY)};
}

void DrawBand(HDC dc, PageRect& body, int which, const PrintStyle& style, const ComputerInfo& info) {
    UniqueFont font = BandFont(dc, style);
    BandGeometry g;
    int tmHeight = 0;
    if (!PlaceBandOn(dc, body, which, style, font.Get(), &tmHeight, g)) return;
    const auto& lines = which == 0 ? style.headStrings : style.footStrings;
    {
        SelectObjectScope select(dc, font.Get());
        const int oldMode = ::SetBkMode(dc, TRANSPARENT);
        const auto blocks = LayoutBand(lines, g.band.Width(), tmHeight, g.spacing, info);
        for (size_t i = 0; i < blocks.size(); ++i) {
            const CBlockText& b = blocks[i];
            // A band squeezed to nothing draws no text.
            if (b.rect.IsEmpty()) continue;
            RECT r{b.rect.left + g.band.left, b.rect.top + g.band.top, b.rect.right + g.band.left,
                   b.rect.bottom + g.band.top};
            UniqueFont styled;
            if (b.bold || b.italic || b.underline) styled = StyledFont(font.Get(), b);
            SelectObjectScope selectStyled(dc, styled.Get());
            ::DrawTextW(dc, b.text.c_str(), int(b.text.size()), &r,
                        AlignmentFlag(EffectiveAlignment(blocks, i)) | DT_SINGLELINE);
        }
        if (oldMode) ::SetBkMode(dc, oldMode);
    }
    DrawRule(dc, g.rule);
}

void DrawPage(HDC dc, const PageRect& pageRect, const PageEntry& entry, const PrintStyle& style,
              const ComputerInfo& info) {
    if (entry.empty) return;
    PageRect body = BodyRect(pageRect, style.layout.margin, ScalesFor(FiguresOf(dc)));
    DrawBand(dc, body, 0, style, info);
    DrawBand(dc, body, 1, style, info);
    // Margins, bands and gaps that use the page up leave the bands alone on it.
    if (!HasBody(body, ScalesFor(FiguresOf(dc)))) return;
    if (entry.kind == PageKind::Text) {
        DrawText(dc, body, entry);
    } else if (entry.kind == PageKind::Picture) {
        DrawPicture(dc, body, entry, style);
    }
}

namespace {

// A device context for the printer (null when it does not answer).
UniqueDC PrinterContext(const PrinterTarget& printer) {
    if (printer.deviceName.empty()) return UniqueDC();
    const auto* devMode =
        printer.devMode.empty() ? nullptr : reinterpret_cast<const DEVMODEW*>(printer.devMode.data());
    return UniqueDC(::CreateDCW(nullptr, printer.deviceName.c_str(), nullptr, devMode));
}

// Where Text pages are measured: a screen-compatible memory context, and on it
// the rectangle the text may fill on the printer's paper.
struct TextRoom {
    UniqueDC memory;
    UniqueFont font;     // the text font, for the memory context
    PageRect rect;       // empty when nothing is left
    int lineHeight = 0;  // one line of the text font
};

TextRoom MeasureTextRoom(const PrintStyle& style, const ComputerInfo& info, const PrinterTarget& printer) {
    TextRoom room;
    // The printer's paper in millimetres; A4 when no printer answers.
    int horzSize = 0;
    int vertSize = 0;
    if (UniqueDC printerDc = PrinterContext(printer)) {
        horzSize = ::GetDeviceCaps(printerDc.Get(), HORZSIZE);
        vertSize = ::GetDeviceCaps(printerDc.Get(), VERTSIZE);
    }
    if (horzSize <= 0 || vertSize <= 0) {
        horzSize = 210;
        vertSize = 297;
    }
    room.memory.Reset(::CreateCompatibleDC(nullptr));
    if (!room.memory) return room;
    HDC dc = room.memory.Get();
    const int logPixelsX = ::GetDeviceCaps(dc, LOGPIXELSX);
    PageRect r = PaginationBody(horzSize, vertSize, style.layout.margin, logPixelsX);
    DrawBand(dc, r, 0, style, info);
    DrawBand(dc, r, 1, style, info);
    const int inset = PaginationInset(logPixelsX);
    r.left += inset;
    r.top += inset;
    r.right -= inset;
    r.bottom -= inset;
    room.rect = r;
    room.font = MakeFont(dc, kTextFontFace, kTextFontTenths);
    SelectObjectScope select(dc, room.font.Get());
    RECT box{0, 0, 10000, 10000};
    room.lineHeight = ::DrawTextW(dc, L"X", 1, &box, kTextFlags);
    return room;
}

}  // namespace

PrinterTarget TargetFromSettings(const PrinterSettings& printer) {
    PrinterTarget t;
    t.devMode = DevModeFromStored(printer.devModeBlock);
    t.deviceName = printer.printername_;
    if (t.deviceName.empty()) t.deviceName = DevModeDeviceName(t.devMode);
    return t;
}

std::vector<std::vector<std::wstring>> PaginateText(const std::vector<std::wstring>& lines,
                                                    const PrintStyle& style, const ComputerInfo& info,
                                                    const PrinterTarget& printer) {
    TextRoom room = MeasureTextRoom(style, info, printer);
    if (!room.memory) return {lines};
    HDC dc = room.memory.Get();
    const PageRect r = room.rect;
    const int capacity = r.IsEmpty() ? 0 : r.Height();
    SelectObjectScope select(dc, room.font.Get());
    return PaginateLines(lines, capacity, room.lineHeight, [&](const std::wstring& line) {
        RECT box = ToRect(r);
        return ::DrawTextW(dc, line.c_str(), int(line.size()), &box, kTextFlags);
    });
}

PageRoom RoomOnPrinter(const PrintStyle& style, const PrinterTarget& printer) {
    // Band heights depend on the number of lines, not on the token values.
    const ComputerInfo noValues;
    const TextRoom text = MeasureTextRoom(style, noValues, printer);
    const int capacity = text.rect.IsEmpty() ? 0 : text.rect.Height();

    // The printed body, as DrawPage lays it out on that printer; without one,
    // A4 on the memory context.
    UniqueDC printerDc = PrinterContext(printer);
    HDC dc = printerDc ? printerDc.Get() : text.memory.Get();
    if (!dc) return PageRoom{};
    DeviceFigures figures = FiguresOf(dc);
    if (!printerDc) {
        const int f = Trunc(figures.logPixelsX / 25.3 * 1000);
        figures.horzRes = MulDiv(210, f, 1000);
        figures.vertRes = MulDiv(297, f, 1000);
    }
    const PageScales scales = ScalesFor(figures);
    PageRect body = BodyRect(PageRect{0, 0, figures.horzRes, figures.vertRes}, style.layout.margin, scales);
    UniqueFont font = BandFont(dc, style);
    BandGeometry g;
    PlaceBandOn(dc, body, 0, style, font.Get(), nullptr, g);
    PlaceBandOn(dc, body, 1, style, font.Get(), nullptr, g);
    return JudgeRoom(body, scales, capacity, text.lineHeight);
}

int32_t BuildTextPages(ScreenShot& shot, ORBILUXSetting& settings, const PrinterTarget& printer) {
    TextPageServices services;
    services.paginate = [&settings, &printer](const std::vector<std::wstring>& lines) {
        return PaginateText(lines, StyleFrom(settings), settings.format_.computerInfo, printer);
    };
    return BuildTextPages(shot, settings, services);
}

}  // namespace orbilux
