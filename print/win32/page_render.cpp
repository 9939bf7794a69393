#include "print/win32/page_render.h"

#include <algorithm>
#include <cstring>

#include "print/colour_mode.h"
#include "print/devmode_bytes.h"
#include "print/header_format.h"
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
    const COLORREF old = ::SetBkColor(dc, RGB(0, 0, 0));
    if (old == CLR_INVALID) return;
    const RECT r = ToRect(rule);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

void DrawText(HDC dc, const PageRect& body, const PageEntry& entry) {
    std::wstring joined;
    for (const auto& line : entry.lines) joined += line;
    UniqueFont font = MakeFont(dc, kTextFontFace, kTextFontTenths);
    SelectObjectScope select(dc, font.Get());
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    RECT r = ToRect(TextRect(body, ScalesFor(FiguresOf(dc))));
    ::DrawTextW(dc, joined.c_str(), int(joined.size()), &r, kTextFlags);
    if (oldMode) ::SetBkMode(dc, oldMode);
}

void DrawPicture(HDC dc, const PageRect& body, const PageEntry& entry, const PrintStyle& style) {
    const CxImagePtr picture = PreparePicture(entry.image, style.printMode);
    if (!picture || !picture->IsValid()) return;
    const PageRect r = PictureRect(body, picture->GetWidth(), picture->GetHeight(), ScalesFor(FiguresOf(dc)),
                                   style.layout.pictureVerticalAlign);
    const uint32_t colours = picture->GetNumColors();
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * (colours ? colours : 1), 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = LONG(picture->GetWidth());
    header->biHeight = LONG(picture->GetHeight());  // bottom-up rows
    header->biPlanes = 1;
    header->biBitCount = WORD(picture->GetBpp());
    header->biCompression = BI_RGB;
    header->biSizeImage = DWORD(picture->GetSizeImage());
    header->biClrUsed = colours;
    if (colours) {
        std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), picture->GetPalette(), sizeof(RGBQUAD) * colours);
    }
    const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchDIBits(dc, r.left, r.top, r.Width(), r.Height(), 0, 0, int(picture->GetWidth()),
                    int(picture->GetHeight()), picture->GetBits(), reinterpret_cast<BITMAPINFO*>(info.data()),
                    DIB_RGB_COLORS, SRCCOPY);
    if (oldMode) ::SetStretchBltMode(dc, oldMode);
}

}  // namespace

DeviceFigures FiguresOf(HDC dc) {
    return DeviceFigures{::GetDeviceCaps(dc, HORZRES), ::GetDeviceCaps(dc, VERTRES),
                         ::GetDeviceCaps(dc, LOGPIXELSX), ::GetDeviceCaps(dc, LOGPIXELSY)};
}

void DrawBand(HDC dc, PageRect& body, int which, const PrintStyle& style, const ComputerInfo& info) {
    const bool header = which == 0;
    const auto& lines = header ? style.headStrings : style.footStrings;
    const LayoutSettings& layout = style.layout;
    if (!BandExists(layout.simpleMode, header ? layout.enableHead : layout.enableFoot, lines)) return;

    // A stored size beyond any page is taken as the largest one.
    constexpr uint32_t kMaxFontPoints = 10000;
    UniqueFont font = MakeFont(dc, style.fontFace, int(std::min(style.fontSize, kMaxFontPoints)) * 10);
    BandGeometry g;
    {
        SelectObjectScope select(dc, font.Get());
        const int oldMode = ::SetBkMode(dc, TRANSPARENT);
        TEXTMETRICW tm{};
        ::GetTextMetricsW(dc, &tm);
        const double my = ScalesFor(FiguresOf(dc)).my;
        g = header ? PlaceBand(body, BandSide::Header, int(lines.size()), tm.tmHeight, layout.lineHeightHead,
                               layout.marginHead, my)
                   : PlaceBand(body, BandSide::Footer, int(lines.size()), tm.tmHeight, layout.lineHeightFoot,
                               layout.marginFoot, my);
        const auto blocks = LayoutBand(lines, g.band.Width(), tm.tmHeight, g.spacing, info);
        for (size_t i = 0; i < blocks.size(); ++i) {
            const CBlockText& b = blocks[i];
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
    if (entry.kind == PageKind::Text) {
        DrawText(dc, body, entry);
    } else if (entry.kind == PageKind::Picture) {
        DrawPicture(dc, body, entry, style);
    }
}

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
    // The printer's paper in millimetres; A4 when no printer answers.
    int horzSize = 0;
    int vertSize = 0;
    if (!printer.deviceName.empty()) {
        const auto* devMode =
            printer.devMode.empty() ? nullptr : reinterpret_cast<const DEVMODEW*>(printer.devMode.data());
        UniqueDC printerDc(::CreateDCW(nullptr, printer.deviceName.c_str(), nullptr, devMode));
        if (printerDc) {
            horzSize = ::GetDeviceCaps(printerDc.Get(), HORZSIZE);
            vertSize = ::GetDeviceCaps(printerDc.Get(), VERTSIZE);
        }
    }
    if (horzSize <= 0 || vertSize <= 0) {
        horzSize = 210;
        vertSize = 297;
    }

    UniqueDC memory(::CreateCompatibleDC(nullptr));
    if (!memory) return {lines};
    HDC dc = memory.Get();
    const int logPixelsX = ::GetDeviceCaps(dc, LOGPIXELSX);
    PageRect r = PaginationBody(horzSize, vertSize, style.layout.margin, logPixelsX);
    DrawBand(dc, r, 0, style, info);
    DrawBand(dc, r, 1, style, info);
    const int inset = PaginationInset(logPixelsX);
    r.left += inset;
    r.top += inset;
    r.right -= inset;
    r.bottom -= inset;

    UniqueFont font = MakeFont(dc, kTextFontFace, kTextFontTenths);
    SelectObjectScope select(dc, font.Get());
    return PaginateLines(lines, r.Height(), [&](const std::wstring& line) {
        RECT box = ToRect(r);
        return ::DrawTextW(dc, line.c_str(), int(line.size()), &box, kTextFlags);
    });
}

int32_t BuildTextPages(ScreenShot& shot, ORBILUXSetting& settings,
                       const std::function<void(ComputerInfo&, const GatherNeeds&)>& gather) {
    TextPageServices services;
    services.gather = gather;
    services.paginate = [&settings](const std::vector<std::wstring>& lines) {
        return PaginateText(lines, StyleFrom(settings), settings.format_.computerInfo,
                            TargetFromSettings(settings.printer_));
    };
    return BuildTextPages(shot, settings, services);
}

}  // namespace orbilux
