// libFuzzer target for the settings file's values: the input is read as an INI
// text ("[section]" and "key=value" lines, UTF-8), loaded into a whole settings
// record, saved again and loaded back. Nothing may crash, hang or allocate
// without bound, and a saved record must load back to the same stored text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/text.h"
#include "settings/memory_storage.h"
#include "settings/settings.h"

namespace {

std::shared_ptr<orbilux::MemoryProfile> ParseProfile(const std::wstring& text) {
    auto profile = std::make_shared<orbilux::MemoryProfile>();
    std::wstring section;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty() && line.front() == L'[' && line.back() == L']') {
            section = line.substr(1, line.size() - 2);
        } else {
            const size_t eq = line.find(L'=');
            if (eq != std::wstring::npos && !section.empty())
                profile->Set(section, line.substr(0, eq), line.substr(eq + 1));
        }
        start = end + 1;
    }
    return profile;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = tamrik::Utf8ToWide(std::string(reinterpret_cast<const char*>(data), size));

    // The numeric and block encodings on their own.
    int32_t l = 0;
    uint32_t u = 0;
    double d = 0;
    orbilux::ParseLong(text, l);
    orbilux::ParseULong(text, u);
    orbilux::ParseDouble(text, d);
    orbilux::ParseBool(text);
    unsigned char block[220] = {};
    orbilux::DecodeStructBlock(text, block, sizeof block);

    // A whole record from the text.
    auto profile = ParseProfile(text);
    orbilux::ORBILUXSetting record;
    {
        orbilux::CSettingsStorageMemory storage(profile, L"ORBILUXSettings");
        record.Load(storage);
    }
    // Whatever the file says, the capture delay stays within its range.
    if (record.extras_.captureDelay > orbilux::ExtrasSettings::kMaxCaptureDelay) std::abort();
    auto saved = std::make_shared<orbilux::MemoryProfile>();
    {
        orbilux::CSettingsStorageMemory storage(saved, L"ORBILUXSettings");
        record.Save(storage);
    }
    orbilux::ORBILUXSetting again;
    {
        orbilux::CSettingsStorageMemory storage(saved, L"ORBILUXSettings");
        again.Load(storage);
    }
    auto savedAgain = std::make_shared<orbilux::MemoryProfile>();
    {
        orbilux::CSettingsStorageMemory storage(savedAgain, L"ORBILUXSettings");
        again.Save(storage);
    }
    if (saved->ToText() != savedAgain->ToText()) std::abort();
    return 0;
}
