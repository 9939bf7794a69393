// Text helpers shared by the portable core. Text is held in wide strings; on
// Windows wchar_t is one UTF-16 unit, natively it is one UTF-32 code point.
#pragma once

#include <string>

namespace tamrik {

// UTF-8 to wide text; invalid bytes become U+FFFD.
std::wstring Utf8ToWide(const std::string& utf8);
// Wide text to UTF-8; lone surrogates become U+FFFD.
std::string WideToUtf8(const std::wstring& wide);

}  // namespace tamrik
