// libFuzzer target for the sequence numbers read from file names: a file-name
// tail is accepted only as an optional sign and decimal digits that fit in
// 64 bits, and whatever the tails are, the next sequence number is larger
// than every number read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/text.h"
#include "output/output_path.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring tail = tamrik::Utf8ToWide(std::string(reinterpret_cast<const char*>(data), size));
    int64_t value = 0;
    if (!orbilux::ParseDecimalInteger(tail, value)) return 0;
    // An accepted tail is digits with at most a leading sign.
    for (size_t i = 0; i < tail.size(); ++i) {
        const wchar_t c = tail[i];
        const bool sign = i == 0 && (c == L'+' || c == L'-');
        if (!sign && (c < L'0' || c > L'9')) std::abort();
    }
    // Reading it back from its decimal form gives the same number.
    int64_t again = 0;
    if (!orbilux::ParseDecimalInteger(std::to_wstring(value), again) || again != value) std::abort();
    return 0;
}
