#include "settings/settings_storage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "settings/settings.h"

namespace orbilux {

namespace {

// Default text of a raw string read: a value the user cannot type, telling
// an absent key from an empty one.
const wchar_t kAbsentMarker[] = {0x7F, 0x7F, 0x08, 0};
// Smallest buffer a raw string read uses.
constexpr size_t kMinRawStringChars = 1024;
static_assert(kMaxLoadedStringChars + 2 == kMinRawStringChars, "a full buffer counts as cut");
// Buffer of a number read.
constexpr size_t kNumberChars = 260;
// First buffer of a string read, and the bool buffer (so a bool text of more
// than 9 characters fails).
constexpr size_t kFirstStringChars = 128;
constexpr size_t kBoolChars = 10;

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

// Leading white space, sign and digits as scanf's integer conversions take
// them; saturates instead of overflowing.
bool ParseInteger(const std::wstring& text, bool& negative, uint64_t& magnitude) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    if (i >= text.size() || text[i] < L'0' || text[i] > L'9') return false;
    magnitude = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        if (magnitude < (uint64_t{1} << 40))
            magnitude = magnitude * 10 + static_cast<uint64_t>(text[i] - L'0');
    }
    return true;
}

}  // namespace

// ---- Encodings ----

std::wstring TruncateSectionName(const std::wstring& name) {
    return name.size() > kMaxSectionChars ? name.substr(0, kMaxSectionChars) : name;
}

std::wstring SubSectionName(const std::wstring& parent, const std::wstring& key) {
    return TruncateSectionName(parent + L"." + key);
}

bool ParseLong(const std::wstring& text, int32_t& value) {
    bool negative = false;
    uint64_t magnitude = 0;
    if (!ParseInteger(text, negative, magnitude)) return false;
    uint32_t bits = static_cast<uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    value = static_cast<int32_t>(bits);
    return true;
}

bool ParseULong(const std::wstring& text, uint32_t& value) {
    bool negative = false;
    uint64_t magnitude = 0;
    if (!ParseInteger(text, negative, magnitude)) return false;
    uint32_t bits = static_cast<uint32_t>(magnitude);
    value = negative ? 0u - bits : bits;
    return true;
}

bool ParseDouble(const std::wstring& text, double& value) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    double parsed = std::wcstod(begin, &end);
    if (end == begin) return false;
    value = parsed;
    return true;
}

std::wstring FormatLong(int32_t value) {
    return std::to_wstring(value);
}
std::wstring FormatULong(uint32_t value) {
    return std::to_wstring(value);
}

std::wstring FormatDouble(double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof(buffer), "%f", value);
    return std::wstring(buffer, buffer + std::strlen(buffer));
}

namespace {

// What the private-profile reader may take for a blank at either end of a
// value: every control character and space, the Unicode spaces among them
// (the ideographic space of Japanese input, too).
bool IsProfileBlank(wchar_t c) {
    if (c <= L' ' || c == 0x7F || c == 0x85 || c == 0xA0 || c == 0x1680 || c == 0x3000 || c == 0xFEFF)
        return true;
    return (c >= 0x2000 && c <= 0x200B) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F;
}

bool IsProfileQuote(wchar_t c) {
    return c == L'"' || c == L'\'';
}

}  // namespace

std::wstring ProfileValueText(const std::wstring& value) {
    if (value.empty()) return value;
    const wchar_t first = value.front(), last = value.back();
    if (IsProfileBlank(first) || IsProfileBlank(last) || IsProfileQuote(first) || IsProfileQuote(last))
        return L"\"" + value + L"\"";
    return value;
}

std::wstring FormatBool(bool value) {
    return value ? L"TRUE" : L"FALSE";
}
bool ParseBool(const std::wstring& text) {
    return text == L"TRUE";
}

std::wstring EncodeStructBlock(const void* data, size_t size) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::wstring text;
    text.reserve(size * 2 + 2);
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i) {
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 0x0F];
        sum = static_cast<uint8_t>(sum + bytes[i]);
    }
    text += kHex[sum >> 4];
    text += kHex[sum & 0x0F];
    return text;
}

bool DecodeStructBlock(const std::wstring& text, void* data, size_t size) {
    if (text.size() != size * 2 + 2) return false;
    auto nibble = [](wchar_t c) -> int {
        if (c >= L'0' && c <= L'9') return c - L'0';
        if (c >= L'A' && c <= L'F') return c - L'A' + 10;
        if (c >= L'a' && c <= L'f') return c - L'a' + 10;
        return -1;
    };
    std::vector<uint8_t> bytes(size + 1);
    for (size_t i = 0; i <= size; ++i) {
        int high = nibble(text[i * 2]);
        int low = nibble(text[i * 2 + 1]);
        if (high < 0 || low < 0) return false;
        bytes[i] = static_cast<uint8_t>(high << 4 | low);
    }
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    if (sum != bytes[size]) return false;
    if (size > 0) std::memcpy(data, bytes.data(), size);
    return true;
}

// ---- Value lists ----

template <typename T, typename Op>
bool CSettingsStorage::SerializeValueList(const wchar_t* key, std::vector<T>& list, bool save, Op op) {
    if (!save) list.clear();
    uint32_t count = static_cast<uint32_t>(list.size());
    if (!BeginValueList(key, count, save)) return false;
    bool failed = false;
    if (save) {
        for (uint32_t i = 0; i < list.size(); ++i) {
            std::wstring name;
            GetItemName(i, save, name);
            if (!op(*listStorage, name.c_str(), list[i], save)) {
                failed = true;
                if (!ContinueOnError()) break;
            }
        }
    } else {
        if (count > kMaxListCount) {
            count = kMaxListCount;
            failed = true;
        }
        for (uint32_t i = 0; i < count; ++i) {
            std::wstring name;
            GetItemName(i, save, name);
            T value{};
            if (op(*listStorage, name.c_str(), value, save)) {
                list.push_back(std::move(value));
            } else {
                failed = true;
                if (!ContinueOnError()) break;
            }
        }
    }
    return EndValueList(save) && !failed;
}

bool CSettingsStorage::SerializeList(const wchar_t* key, std::vector<int32_t>& list, bool save) {
    return SerializeValueList(key, list, save,
                              [](CSettingsStorage& s, const wchar_t* name, int32_t& v, bool sv) {
                                  return s.SerializeInt(name, v, sv);
                              });
}

bool CSettingsStorage::SerializeList(const wchar_t* key, std::vector<std::wstring>& list, bool save) {
    return SerializeValueList(key, list, save,
                              [](CSettingsStorage& s, const wchar_t* name, std::wstring& v, bool sv) {
                                  return s.SerializeString(name, v, sv);
                              });
}

// ---- Profile storage ----

CSettingsStorageProfile::CSettingsStorageProfile(const std::wstring& section)
    : section_(TruncateSectionName(section)) {}

bool CSettingsStorageProfile::SerializeRawString(const wchar_t* key, wchar_t* buffer, size_t& size,
                                                 bool save) {
    if (save) return buffer != nullptr && WriteText(key, buffer);
    const size_t n = size > kMinRawStringChars ? size : kMinRawStringChars;
    const std::wstring text = ReadText(key, kAbsentMarker, n);
    const size_t c = text.size();
    if (c + 1 == n) {  // the value may have been cut
        size *= 2;
        return false;
    }
    if (text == kAbsentMarker) {
        size = 0;
        return false;
    }
    const size_t needed = c + 1;
    if (buffer == nullptr) {
        size = needed;
        return true;
    }
    if (size >= needed) {
        std::wmemcpy(buffer, text.c_str(), needed);
        return true;
    }
    size = needed;
    return false;
}

bool CSettingsStorageProfile::SerializeString(const wchar_t* key, std::wstring& value, bool save) {
    if (save) {
        size_t size = value.size() + 1;
        return SerializeRawString(key, const_cast<wchar_t*>(value.c_str()), size, true);
    }
    std::vector<wchar_t> buffer(kFirstStringChars);
    size_t size = buffer.size();
    if (!SerializeRawString(key, buffer.data(), size, false)) {
        if (size == 0) return false;
        buffer.assign(size, L'\0');
        if (!SerializeRawString(key, buffer.data(), size, false)) return false;
    }
    value.assign(buffer.data());
    return true;
}

bool CSettingsStorageProfile::SerializeSettings(const wchar_t* key, CSettings& settings, bool save) {
    std::unique_ptr<CSettingsStorage> sub = CreateSubStorage(key);
    if (!sub) return false;
    return save ? settings.Save(*sub) : settings.Load(*sub);
}

bool CSettingsStorageProfile::ReadNumberText(const wchar_t* key, std::wstring& text) {
    text = ReadText(key, L"", kNumberChars);
    return !text.empty();
}

bool CSettingsStorageProfile::SerializeLong(const wchar_t* key, int32_t& value, bool save) {
    if (save) return WriteText(key, FormatLong(value));
    std::wstring text;
    return ReadNumberText(key, text) && ParseLong(text, value);
}

bool CSettingsStorageProfile::SerializeULong(const wchar_t* key, uint32_t& value, bool save) {
    if (save) return WriteText(key, FormatULong(value));
    std::wstring text;
    return ReadNumberText(key, text) && ParseULong(text, value);
}

bool CSettingsStorageProfile::SerializeDouble(const wchar_t* key, double& value, bool save) {
    if (save) return WriteText(key, FormatDouble(value));
    std::wstring text;
    return ReadNumberText(key, text) && ParseDouble(text, value);
}

bool CSettingsStorageProfile::SerializeFloat(const wchar_t* key, float& value, bool save) {
    double wide = value;
    if (!SerializeDouble(key, wide, save)) return false;
    if (!save) value = static_cast<float>(wide);
    return true;
}

bool CSettingsStorageProfile::SerializeInt(const wchar_t* key, int32_t& value, bool save) {
    return SerializeLong(key, value, save);
}

bool CSettingsStorageProfile::SerializeUInt(const wchar_t* key, uint32_t& value, bool save) {
    return SerializeULong(key, value, save);
}

bool CSettingsStorageProfile::SerializeShort(const wchar_t* key, int16_t& value, bool save) {
    int32_t wide = value;
    if (!SerializeLong(key, wide, save)) return false;
    if (!save) value = static_cast<int16_t>(wide);
    return true;
}

bool CSettingsStorageProfile::SerializeUShort(const wchar_t* key, uint16_t& value, bool save) {
    uint32_t wide = value;
    if (!SerializeULong(key, wide, save)) return false;
    if (!save) value = static_cast<uint16_t>(wide);
    return true;
}

bool CSettingsStorageProfile::SerializeChar(const wchar_t* key, signed char& value, bool save) {
    int32_t wide = value;
    if (!SerializeLong(key, wide, save)) return false;
    if (!save) value = static_cast<signed char>(wide);
    return true;
}

bool CSettingsStorageProfile::SerializeUChar(const wchar_t* key, unsigned char& value, bool save) {
    uint32_t wide = value;
    if (!SerializeULong(key, wide, save)) return false;
    if (!save) value = static_cast<unsigned char>(wide);
    return true;
}

bool CSettingsStorageProfile::SerializeInt64(const wchar_t* key, int64_t& value, bool save) {
    return SerializeBlock(key, &value, sizeof(value), save);
}

bool CSettingsStorageProfile::SerializeUInt64(const wchar_t* key, uint64_t& value, bool save) {
    return SerializeBlock(key, &value, sizeof(value), save);
}

bool CSettingsStorageProfile::SerializeBlock(const wchar_t* key, void* data, size_t size, bool save) {
    if (save) return WriteStruct(key, data, size);
    // Read into a scratch buffer so that a block that turns out to be bad
    // leaves the caller's value alone.
    std::vector<uint8_t> scratch(size + 1);
    if (!ReadStruct(key, scratch.data(), size)) return false;
    if (size > 0) std::memcpy(data, scratch.data(), size);
    return true;
}

bool CSettingsStorageProfile::SerializeBool(const wchar_t* key, bool& value, bool save) {
    if (save) return WriteText(key, FormatBool(value));
    wchar_t buffer[kBoolChars] = {};
    size_t size = kBoolChars;
    if (!SerializeRawString(key, buffer, size, false)) return false;
    value = ParseBool(buffer);
    return true;
}

bool CSettingsStorageProfile::BeginObjectList(const wchar_t* key, uint32_t& count, bool save) {
    // An object list opens its sub-storage and "Count" exactly as a value list does.
    if (count == static_cast<uint32_t>(-1)) return false;
    return BeginValueList(key, count, save);
}

bool CSettingsStorageProfile::SerializeListObject(uint32_t index, CSettings& settings, bool save) {
    if (!listStorage) return false;
    std::unique_ptr<CSettingsStorage> sub = listStorage->CreateSubStorage(std::to_wstring(index));
    if (!sub) return false;
    return save ? settings.Save(*sub) : settings.Load(*sub);
}

bool CSettingsStorageProfile::EndObjectList(bool save) {
    if (!listStorage) return false;
    if (save)
        listStorage->EndSave();
    else
        listStorage->EndLoad();
    listStorage.reset();
    return true;
}

bool CSettingsStorageProfile::BeginValueList(const wchar_t* key, uint32_t& count, bool save) {
    listStorage = CreateSubStorage(key);
    if (!listStorage) return false;
    if (save ? listStorage->BeginSave() : listStorage->BeginLoad()) {
        if (listStorage->SerializeUInt(L"Count", count, save)) return true;
        if (save)
            listStorage->EndSave();
        else
            listStorage->EndLoad();
    }
    listStorage.reset();
    return false;
}

bool CSettingsStorageProfile::GetItemName(uint32_t index, bool save, std::wstring& name) {
    name = L"Item." + std::to_wstring(index);
    return true;
}

bool CSettingsStorageProfile::EndValueList(bool save) {
    if (!listStorage) return false;
    bool ended = save ? listStorage->EndSave() : listStorage->EndLoad();
    listStorage.reset();
    return ended;
}

}  // namespace orbilux
