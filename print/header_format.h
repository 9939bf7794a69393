// Header and footer template lines. A line is split into blocks by "|"; each
// block has an alignment and styles set by backslash escapes and may hold
// tokens ("$page", "$date", ...) replaced by values of the computer
// information record.
#pragma once

#include <string>
#include <vector>

#include "print/page_layout.h"
#include "sysinfo/computer_info.h"

namespace orbilux {

enum BlockAlignment { kAlignAuto = -1, kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2 };

struct BlockFormat {
    // The text as it is drawn, with "&" working as a prefix: the template's own
    // "&" underlines the next character ("&&" prints one), while every "&" of a
    // token value arrives doubled, so window titles and program names print as
    // they are.
    std::wstring text;
    int alignment = kAlignAuto;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool HasStyle() const { return bold || italic || underline; }
};

// One laid-out block: its rectangle is relative to the band's top-left corner.
class CBlockText {
public:
    CBlockText() = default;
    CBlockText(const PageRect& r, const BlockFormat& f)
        : rect(r),
          alignment(f.alignment),
          text(f.text),
          bold(f.bold),
          italic(f.italic),
          underline(f.underline) {}
    CBlockText(const CBlockText&) = default;
    CBlockText& operator=(const CBlockText&) = default;
    virtual ~CBlockText() = default;

    PageRect rect;
    int alignment = kAlignAuto;
    std::wstring text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// The value of one token name (without the "$"); empty for an unknown name.
std::wstring TokenValue(const std::wstring& name, const ComputerInfo& info);

// Text that prints as itself where "&" is a prefix: every "&" doubled.
std::wstring LiteralForPrefixDrawing(const std::wstring& text);

// Parses one template line into its blocks (none for an empty line).
std::vector<BlockFormat> ParseTemplateLine(const std::wstring& line, const ComputerInfo& info);

// Lays the lines of a band out: line i at i * (lineHeight + spacing), its m
// blocks each bandWidth / m wide. Blocks come line by line, left to right.
std::vector<CBlockText> LayoutBand(const std::vector<std::wstring>& lines, int bandWidth, int lineHeight,
                                   int spacing, const ComputerInfo& info);

// How block i of a laid-out band is drawn: kAlignLeft, kAlignRight or
// kAlignCentre. An automatic block is left when it opens a line of several,
// right when it closes one, centred otherwise.
int EffectiveAlignment(const std::vector<CBlockText>& blocks, size_t i);

}  // namespace orbilux
