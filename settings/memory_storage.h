// A settings storage over an INI-like document held in memory, with the same
// value encodings as the INI file. Used where no file is wanted (tests, and
// working copies that must not touch the disk).
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "settings/settings_storage.h"

namespace orbilux {

// Ordered sections of ordered keys; names compare without regard to ASCII
// case, as in an INI file.
class MemoryProfile {
public:
    struct Entry {
        std::wstring key;
        std::wstring value;
    };
    struct Section {
        std::wstring name;
        std::vector<Entry> entries;
    };

    const std::wstring* Find(const std::wstring& section, const std::wstring& key) const;
    // Replaces the value in place, or appends the key (and its section).
    void Set(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    bool Remove(const std::wstring& section, const std::wstring& key);
    bool HasSection(const std::wstring& section) const;
    // "[section]" and "key=value" lines, each ended by "\r\n".
    std::wstring ToText() const;

    std::vector<Section> sections;
    // Faults for tests: reads and writes of these keys fail, and these
    // sections cannot be opened as sub-storages.
    std::set<std::wstring> failingKeys;
    std::set<std::wstring> failingSections;
};

class CSettingsStorageMemory : public CSettingsStorageProfile {
public:
    CSettingsStorageMemory(std::shared_ptr<MemoryProfile> profile, const std::wstring& section);

    std::unique_ptr<CSettingsStorage> CreateSubStorage(const std::wstring& name) override;

protected:
    std::wstring ReadText(const std::wstring& key, const std::wstring& defaultText,
                          size_t bufferChars) override;
    bool WriteText(const std::wstring& key, const std::wstring& text) override;
    bool ReadStruct(const std::wstring& key, void* data, size_t size) override;
    bool WriteStruct(const std::wstring& key, const void* data, size_t size) override;

private:
    std::shared_ptr<MemoryProfile> profile_;
};

}  // namespace orbilux
