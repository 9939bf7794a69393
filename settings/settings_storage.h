// Where a settings record is moved to and from. CSettingsStorage is the
// interface Serialize talks to; CSettingsStorageProfile implements every typed
// operation on top of a few private-profile style primitives (read and write a
// key's text, read and write a checksummed struct block), so that the INI file
// storage and the in-memory storage share the same value encodings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orbilux {

class CSettings;

// Longest section name or file path kept by a storage (characters, without
// the terminator).
constexpr size_t kMaxSectionChars = 259;
// Most items a value list reads back, whatever its stored "Count" says: a
// damaged file must not make a load walk billions of keys. Each missing item
// costs about a millisecond under Wine, and no list of the program (monitors,
// header and footer lines) comes near this length.
constexpr uint32_t kMaxListCount = 1000;
// Longest string value a load gives back: a read takes at least 1024
// characters and a text that fills the buffer counts as cut.
constexpr size_t kMaxLoadedStringChars = 1022;

class CSettingsStorage {
public:
    virtual ~CSettingsStorage() = default;

    virtual std::unique_ptr<CSettingsStorage> CreateSubStorage(const std::wstring& name) = 0;
    virtual bool ContinueOnError() = 0;
    virtual bool BeginSave() = 0;
    virtual bool EndSave() = 0;
    virtual bool BeginLoad() = 0;
    virtual bool EndLoad() = 0;
    virtual bool SerializeString(const wchar_t* key, std::wstring& value, bool save) = 0;
    virtual bool SerializeSettings(const wchar_t* key, CSettings& settings, bool save) = 0;
    virtual bool SerializeFloat(const wchar_t* key, float& value, bool save) = 0;
    virtual bool SerializeInt64(const wchar_t* key, int64_t& value, bool save) = 0;
    virtual bool SerializeUInt64(const wchar_t* key, uint64_t& value, bool save) = 0;
    virtual bool SerializeUChar(const wchar_t* key, unsigned char& value, bool save) = 0;
    virtual bool SerializeChar(const wchar_t* key, signed char& value, bool save) = 0;
    virtual bool SerializeUShort(const wchar_t* key, uint16_t& value, bool save) = 0;
    virtual bool SerializeShort(const wchar_t* key, int16_t& value, bool save) = 0;
    virtual bool SerializeUInt(const wchar_t* key, uint32_t& value, bool save) = 0;
    virtual bool SerializeInt(const wchar_t* key, int32_t& value, bool save) = 0;
    // Moves exactly `size` bytes; on load `data` changes only on success.
    virtual bool SerializeBlock(const wchar_t* key, void* data, size_t size, bool save) = 0;
    // `size` is in characters, including the terminator. On a failed load it
    // says what is needed: 0 when the key is absent.
    virtual bool SerializeRawString(const wchar_t* key, wchar_t* buffer, size_t& size, bool save) = 0;
    virtual bool SerializeDouble(const wchar_t* key, double& value, bool save) = 0;
    virtual bool SerializeBool(const wchar_t* key, bool& value, bool save) = 0;
    virtual bool SerializeULong(const wchar_t* key, uint32_t& value, bool save) = 0;
    virtual bool SerializeLong(const wchar_t* key, int32_t& value, bool save) = 0;
    virtual bool BeginObjectList(const wchar_t* key, uint32_t& count, bool save) = 0;
    virtual bool SerializeListObject(uint32_t index, CSettings& settings, bool save) = 0;
    virtual bool EndObjectList(bool save) = 0;
    virtual bool BeginValueList(const wchar_t* key, uint32_t& count, bool save) = 0;
    virtual bool GetItemName(uint32_t index, bool save, std::wstring& name) = 0;
    virtual bool EndValueList(bool save) = 0;
    // Tells the user that a stored device mode could not be read back (it is
    // dropped). Silent unless the storage has someone to tell.
    virtual void ReportUnreadableDevMode() {}

    // Value lists: a sub-section named after the key holding "Count" and one
    // "Item.%i" key per element. A load empties the list first and keeps the
    // elements it could read.
    bool SerializeList(const wchar_t* key, std::vector<int32_t>& list, bool save);
    bool SerializeList(const wchar_t* key, std::vector<std::wstring>& list, bool save);

protected:
    // The sub-storage of the list being moved; null outside a list.
    std::unique_ptr<CSettingsStorage> listStorage;

private:
    template <typename T, typename Op>
    bool SerializeValueList(const wchar_t* key, std::vector<T>& list, bool save, Op op);
};

// Every typed operation over private-profile style primitives.
class CSettingsStorageProfile : public CSettingsStorage {
public:
    explicit CSettingsStorageProfile(const std::wstring& section);

    const std::wstring& Section() const { return section_; }

    bool ContinueOnError() override { return true; }
    bool BeginSave() override { return true; }
    bool EndSave() override { return true; }
    bool BeginLoad() override { return true; }
    bool EndLoad() override { return true; }
    bool SerializeString(const wchar_t* key, std::wstring& value, bool save) override;
    bool SerializeSettings(const wchar_t* key, CSettings& settings, bool save) override;
    bool SerializeFloat(const wchar_t* key, float& value, bool save) override;
    bool SerializeInt64(const wchar_t* key, int64_t& value, bool save) override;
    bool SerializeUInt64(const wchar_t* key, uint64_t& value, bool save) override;
    bool SerializeUChar(const wchar_t* key, unsigned char& value, bool save) override;
    bool SerializeChar(const wchar_t* key, signed char& value, bool save) override;
    bool SerializeUShort(const wchar_t* key, uint16_t& value, bool save) override;
    bool SerializeShort(const wchar_t* key, int16_t& value, bool save) override;
    bool SerializeUInt(const wchar_t* key, uint32_t& value, bool save) override;
    bool SerializeInt(const wchar_t* key, int32_t& value, bool save) override;
    bool SerializeBlock(const wchar_t* key, void* data, size_t size, bool save) override;
    bool SerializeRawString(const wchar_t* key, wchar_t* buffer, size_t& size, bool save) override;
    bool SerializeDouble(const wchar_t* key, double& value, bool save) override;
    bool SerializeBool(const wchar_t* key, bool& value, bool save) override;
    bool SerializeULong(const wchar_t* key, uint32_t& value, bool save) override;
    bool SerializeLong(const wchar_t* key, int32_t& value, bool save) override;
    bool BeginObjectList(const wchar_t* key, uint32_t& count, bool save) override;
    bool SerializeListObject(uint32_t index, CSettings& settings, bool save) override;
    bool EndObjectList(bool save) override;
    bool BeginValueList(const wchar_t* key, uint32_t& count, bool save) override;
    bool GetItemName(uint32_t index, bool save, std::wstring& name) override;
    bool EndValueList(bool save) override;

protected:
    // Reads the key's text into a buffer of `bufferChars` characters, as the
    // platform does: the text (or `defaultText` when the key is absent) cut
    // to bufferChars - 1 characters.
    virtual std::wstring ReadText(const std::wstring& key, const std::wstring& defaultText,
                                  size_t bufferChars) = 0;
    virtual bool WriteText(const std::wstring& key, const std::wstring& text) = 0;
    // Reads a struct block of exactly `size` bytes into `data`; fails on a size
    // or checksum mismatch.
    virtual bool ReadStruct(const std::wstring& key, void* data, size_t size) = 0;
    virtual bool WriteStruct(const std::wstring& key, const void* data, size_t size) = 0;

private:
    bool ReadNumberText(const wchar_t* key, std::wstring& text);

    std::wstring section_;
};

// ---- Value encodings shared by the storages ----

// "name" cut to kMaxSectionChars characters.
std::wstring TruncateSectionName(const std::wstring& name);
// "%s.%s" of parent and key, cut to kMaxSectionChars characters.
std::wstring SubSectionName(const std::wstring& parent, const std::wstring& key);

// scanf-like number parsing: leading white space, an optional sign, then at
// least one digit; whatever follows the digits is ignored. Values wrap to
// 32 bits as the C library's conversions do.
bool ParseLong(const std::wstring& text, int32_t& value);
bool ParseULong(const std::wstring& text, uint32_t& value);
bool ParseDouble(const std::wstring& text, double& value);
std::wstring FormatLong(int32_t value);
std::wstring FormatULong(uint32_t value);
std::wstring FormatDouble(double value);  // "%f"

// The text to write for a string value so that the private-profile reader
// gives back exactly `value`. That reader drops blanks around a value and one
// pair of matching quotes (" or ') around it, so a value that starts or ends
// with a blank or a quote is written inside one more pair of double quotes,
// which the reader takes off again. Every other value is written as it is.
std::wstring ProfileValueText(const std::wstring& value);

// "TRUE" and "FALSE"; only the exact text "TRUE" reads as true.
std::wstring FormatBool(bool value);
bool ParseBool(const std::wstring& text);

// The private-profile struct encoding: every byte as two upper-case hex
// digits, then the byte sum modulo 256 as two more.
std::wstring EncodeStructBlock(const void* data, size_t size);
// Decodes into `data` only when the text holds exactly `size` bytes and the
// checksum matches.
bool DecodeStructBlock(const std::wstring& text, void* data, size_t size);

}  // namespace orbilux
