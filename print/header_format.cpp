#include "print/header_format.h"

#include <mutex>

// Spirit's optional match values and shared rule counts trip false
// uninitialised-use and use-after-free warnings in GCC.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpragmas"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuse-after-free"
#endif
#include <boost/spirit/include/classic.hpp>

namespace orbilux {
namespace {

namespace sc = boost::spirit::classic;

// What the semantic actions build while one line is parsed.
struct ParseState {
    explicit ParseState(const ComputerInfo& i) : info(i) {}
    const ComputerInfo& info;
    BlockFormat current;
    std::vector<BlockFormat> blocks;
};

// Appends a matched run of characters (the two-unit pair) literally.
struct ParamAction {
    ParseState& state;
    void operator()(const wchar_t* first, const wchar_t* last) const {
        state.current.text.append(first, last);
    }
};

// Appends one literal character.
struct ParamAction1 {
    ParseState& state;
    void operator()(wchar_t c) const { state.current.text.push_back(c); }
};

// The character after a backslash: a style, an alignment, or itself.
struct EscapeAction1 {
    ParseState& state;
    void operator()(wchar_t c) const {
        BlockFormat& b = state.current;
        switch (c) {
            case L'B':
                b.bold = true;
                break;
            case L'I':
                b.italic = true;
                break;
            case L'U':
                b.underline = true;
                break;
            case L'L':
                b.alignment = kAlignLeft;
                break;
            case L'R':
                b.alignment = kAlignRight;
                break;
            case L'C':
                b.alignment = kAlignCentre;
                break;
            default:
                b.text.push_back(c);
                break;
        }
    }
};

// Appends the value of a token name; its text prints as it is.
struct Substitution_Action {
    ParseState& state;
    void operator()(const wchar_t* first, const wchar_t* last) const {
        state.current.text += LiteralForPrefixDrawing(TokenValue(std::wstring(first, last), state.info));
    }
};

// Closes the current block and starts a fresh one.
struct DivideAction {
    ParseState& state;
    void operator()(const wchar_t*, const wchar_t*) const {
        state.blocks.push_back(state.current);
        state.current = BlockFormat();
    }
};

struct HeaderFormatRule : public sc::grammar<HeaderFormatRule> {
    explicit HeaderFormatRule(ParseState& s) : state(s) {}
    ParseState& state;

    template <typename ScannerT>
    struct definition {
        explicit definition(const HeaderFormatRule& self) {
            ParseState& s = self.state;
            // A lead unit of a two-unit character swallows whatever trail unit
            // follows it, "|" and "\" included.
            lead = sc::range_p(wchar_t(0x81), wchar_t(0x9F)) | sc::range_p(wchar_t(0xE0), wchar_t(0xEF));
            trail = sc::range_p(wchar_t(0x40), wchar_t(0x7E)) | sc::range_p(wchar_t(0x80), wchar_t(0xFC));
            pair = (lead >> trail)[ParamAction{s}];
            escape = sc::ch_p(L'\\') >> sc::anychar_p[EscapeAction1{s}];
            name = sc::str_p(L"ip") | sc::str_p(L"user") | sc::str_p(L"computer") | sc::str_p(L"maxpage") |
                   sc::str_p(L"page") | sc::str_p(L"date") | sc::str_p(L"time") | sc::str_p(L"window") |
                   sc::str_p(L"program");
            token = sc::ch_p(L'$') >> name[Substitution_Action{s}];
            literal = (~sc::ch_p(L'|'))[ParamAction1{s}];
            item = pair | escape | token | literal;
            // An empty block only stands before a separator, so a trailing "|"
            // adds nothing.
            block = (+item)[DivideAction{s}] | sc::eps_p(sc::ch_p(L'|'))[DivideAction{s}];
            line = block >> *(sc::ch_p(L'|') >> block);
        }
        sc::rule<ScannerT> lead, trail, pair, escape, name, token, literal, item, block, line;
        const sc::rule<ScannerT>& start() const { return line; }
    };
};

// Spirit classic keeps its grammar definitions in shared static helpers that
// are not thread-safe; the print thread and the user-interface thread may
// parse at the same time.
std::mutex& GrammarMutex() {
    static std::mutex m;
    return m;
}

}  // namespace

std::wstring TokenValue(const std::wstring& name, const ComputerInfo& info) {
    if (name == L"page") return std::to_wstring(info.page);
    if (name == L"maxpage") return std::to_wstring(info.pageCount);
    if (name == L"date") return info.shotDate;
    if (name == L"time") return info.shotTime;
    if (name == L"computer") return info.computerName;
    if (name == L"user") return info.userName;
    if (name == L"window") return info.windowText;
    if (name == L"program") return info.application;
    if (name == L"ip") return info.ipAddresses.empty() ? std::wstring() : info.ipAddresses.front();
    return std::wstring();
}

std::wstring LiteralForPrefixDrawing(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        out.push_back(c);
        if (c == L'&') out.push_back(L'&');
    }
    return out;
}

std::vector<BlockFormat> ParseTemplateLine(const std::wstring& line, const ComputerInfo& info) {
    ParseState state(info);
    if (line.empty()) return state.blocks;
    std::lock_guard<std::mutex> lock(GrammarMutex());
    HeaderFormatRule rule(state);
    const wchar_t* first = line.data();
    sc::parse(first, first + line.size(), rule);
    return state.blocks;
}

std::vector<CBlockText> LayoutBand(const std::vector<std::wstring>& lines, int bandWidth, int lineHeight,
                                   int spacing, const ComputerInfo& info) {
    std::vector<CBlockText> out;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::vector<BlockFormat> blocks = ParseTemplateLine(lines[i], info);
        if (blocks.empty()) continue;
        const int w = bandWidth / int(blocks.size());
        const int top = int(i) * (lineHeight + spacing);
        for (size_t j = 0; j < blocks.size(); ++j) {
            const int left = int(j) * w;
            out.emplace_back(PageRect{left, top, left + w - 1, top + lineHeight}, blocks[j]);
        }
    }
    return out;
}

int EffectiveAlignment(const std::vector<CBlockText>& blocks, size_t i) {
    const CBlockText& b = blocks.at(i);
    if (b.alignment == kAlignLeft || b.alignment == kAlignRight || b.alignment == kAlignCentre)
        return b.alignment;
    const bool first = b.rect.left == 0;
    bool last = i + 1 == blocks.size();
    if (!last) {
        const CBlockText& next = blocks[i + 1];
        last = next.rect.top != b.rect.top || next.rect.left <= b.rect.left;
    }
    if (first && !last) return kAlignLeft;
    if (last && !first) return kAlignRight;
    return kAlignCentre;
}

}  // namespace orbilux
