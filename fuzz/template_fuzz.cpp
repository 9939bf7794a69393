// libFuzzer target for the header and footer template grammar.
//   clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -I. fuzz/template_fuzz.cpp \
//       print/header_format.cpp print/page_layout.cpp -o template_fuzz
// The input is read as little-endian 16-bit units, as template lines are on
// Windows; several lines are separated by the unit 0x000A.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "print/header_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::wstring> lines(1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t unit = wchar_t(data[i] | (data[i + 1] << 8));
        if (unit == L'\n') {
            lines.emplace_back();
        } else {
            lines.back().push_back(unit);
        }
    }

    orbilux::ComputerInfo info;
    info.page = 1;
    info.pageCount = 12;
    info.shotDate = L"2024/01/02";
    info.userName = L"user";
    info.ipAddresses = {L"10.0.0.1"};

    const size_t width = size % 2 ? data[size - 1] : 640;
    const auto blocks = orbilux::LayoutBand(lines, int(width), 20, 3, info);
    for (size_t i = 0; i < blocks.size(); ++i) {
        const int a = orbilux::EffectiveAlignment(blocks, i);
        if (a != orbilux::kAlignLeft && a != orbilux::kAlignRight && a != orbilux::kAlignCentre) std::abort();
    }

    // No token value above is longer than ten units, so a block can never
    // outgrow ten times its line.
    for (const auto& line : lines) {
        for (const auto& b : orbilux::ParseTemplateLine(line, info)) {
            if (b.text.size() > line.size() * 10 + 10) std::abort();
        }
    }
    return 0;
}
