#include "settings/memory_storage.h"

#include <algorithm>

namespace orbilux {

namespace {

bool SameName(const std::wstring& a, const std::wstring& b) {
    auto lower = [](wchar_t c) {
        return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
}

}  // namespace

const std::wstring* MemoryProfile::Find(const std::wstring& section, const std::wstring& key) const {
    for (const Section& s : sections) {
        if (!SameName(s.name, section)) continue;
        for (const Entry& e : s.entries) {
            if (SameName(e.key, key)) return &e.value;
        }
    }
    return nullptr;
}

void MemoryProfile::Set(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    auto s = std::find_if(sections.begin(), sections.end(),
                          [&](const Section& x) { return SameName(x.name, section); });
    if (s == sections.end()) {
        sections.push_back(Section{section, {}});
        s = sections.end() - 1;
    }
    for (Entry& e : s->entries) {
        if (SameName(e.key, key)) {
            e.value = value;
            return;
        }
    }
    s->entries.push_back(Entry{key, value});
}

bool MemoryProfile::Remove(const std::wstring& section, const std::wstring& key) {
    for (Section& s : sections) {
        if (!SameName(s.name, section)) continue;
        auto e = std::find_if(s.entries.begin(), s.entries.end(),
                              [&](const Entry& x) { return SameName(x.key, key); });
        if (e == s.entries.end()) return false;
        s.entries.erase(e);
        return true;
    }
    return false;
}

bool MemoryProfile::HasSection(const std::wstring& section) const {
    return std::any_of(sections.begin(), sections.end(),
                       [&](const Section& s) { return SameName(s.name, section); });
}

std::wstring MemoryProfile::ToText() const {
    std::wstring text;
    for (const Section& s : sections) {
        text += L"[" + s.name + L"]\r\n";
        for (const Entry& e : s.entries) text += e.key + L"=" + e.value + L"\r\n";
    }
    return text;
}

CSettingsStorageMemory::CSettingsStorageMemory(std::shared_ptr<MemoryProfile> profile,
                                               const std::wstring& section)
    : CSettingsStorageProfile(section), profile_(std::move(profile)) {}

std::unique_ptr<CSettingsStorage> CSettingsStorageMemory::CreateSubStorage(const std::wstring& name) {
    const std::wstring sub = SubSectionName(Section(), name);
    if (profile_->failingSections.count(sub) != 0) return nullptr;
    return std::make_unique<CSettingsStorageMemory>(profile_, sub);
}

std::wstring CSettingsStorageMemory::ReadText(const std::wstring& key, const std::wstring& defaultText,
                                              size_t bufferChars) {
    if (bufferChars == 0) return std::wstring();
    const std::wstring* value = profile_->failingKeys.count(key) ? nullptr : profile_->Find(Section(), key);
    std::wstring text = value ? *value : defaultText;
    if (text.size() > bufferChars - 1) text.resize(bufferChars - 1);
    return text;
}

bool CSettingsStorageMemory::WriteText(const std::wstring& key, const std::wstring& text) {
    if (profile_->failingKeys.count(key) != 0) return false;
    profile_->Set(Section(), key, text);
    return true;
}

bool CSettingsStorageMemory::ReadStruct(const std::wstring& key, void* data, size_t size) {
    if (profile_->failingKeys.count(key) != 0) return false;
    const std::wstring* value = profile_->Find(Section(), key);
    return value != nullptr && DecodeStructBlock(*value, data, size);
}

bool CSettingsStorageMemory::WriteStruct(const std::wstring& key, const void* data, size_t size) {
    return WriteText(key, EncodeStructBlock(data, size));
}

}  // namespace orbilux
