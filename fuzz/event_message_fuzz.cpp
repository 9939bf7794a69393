// libFuzzer target for filling in event-log message texts, which come from
// other programs' message files. The input is read as little-endian 16-bit
// units: the message text, then the record's strings, each piece ended by the
// unit 0. Whatever the text asks for, the expansion reads only the strings it
// is given and stays within its limit:
// - a text without "%" comes out as it is;
// - with every string empty, no escape makes the text longer;
// - the result is never longer than kMaxMessageChars;
// - the report's line form of it has no empty line and ends in a line feed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "sysinfo/event_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::wstring> pieces(1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t unit = wchar_t(data[i] | (data[i + 1] << 8));
        if (unit == 0) {
            pieces.emplace_back();
        } else {
            pieces.back().push_back(unit);
        }
    }
    const std::wstring text = pieces.front();
    const std::vector<std::wstring> inserts(pieces.begin() + 1, pieces.end());

    const std::wstring expanded = orbilux::ExpandMessageInserts(text, inserts);
    if (expanded.size() > orbilux::kMaxMessageChars) std::abort();
    if (text.find(L'%') == std::wstring::npos && expanded != text.substr(0, orbilux::kMaxMessageChars))
        std::abort();

    const std::vector<std::wstring> empty(inserts.size());
    if (orbilux::ExpandMessageInserts(text, empty).size() > text.size()) std::abort();

    const std::wstring lines = orbilux::NormaliseMessageText(expanded);
    if (!lines.empty() && lines.back() != L'\n') std::abort();
    if (lines.find(L'\r') != std::wstring::npos || lines.find(L"\n\n") != std::wstring::npos ||
        (!lines.empty() && lines.front() == L'\n'))
        std::abort();
    return 0;
}
