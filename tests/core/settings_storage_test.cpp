// Value encodings of the settings storage and the typed operations over them.
#include <gtest/gtest.h>

#include <memory>

#include "base/text.h"
#include "settings/memory_storage.h"
#include "settings/settings_storage.h"

using namespace orbilux;

TEST(SettingsEncoding, NumbersReadLikeScanf) {
    int32_t i = 7;
    EXPECT_TRUE(ParseLong(L"42", i));
    EXPECT_EQ(i, 42);
    EXPECT_TRUE(ParseLong(L"  -15", i));
    EXPECT_EQ(i, -15);
    EXPECT_TRUE(ParseLong(L"2abc", i));
    EXPECT_EQ(i, 2);
    EXPECT_TRUE(ParseLong(L"+3", i));
    EXPECT_EQ(i, 3);
    i = 7;
    EXPECT_FALSE(ParseLong(L"abc", i));
    EXPECT_FALSE(ParseLong(L"", i));
    EXPECT_FALSE(ParseLong(L"-", i));
    EXPECT_FALSE(ParseLong(L"x2", i));
    EXPECT_EQ(i, 7);
    EXPECT_TRUE(ParseLong(L"4294967295", i));
    EXPECT_EQ(i, -1);
    EXPECT_TRUE(ParseLong(L"99999999999999999999999", i));  // no overflow trap

    uint32_t u = 0;
    EXPECT_TRUE(ParseULong(L"-1", u));
    EXPECT_EQ(u, 4294967295u);
    EXPECT_TRUE(ParseULong(L"44", u));
    EXPECT_EQ(u, 44u);

    double d = 0;
    EXPECT_TRUE(ParseDouble(L"1.5x", d));
    EXPECT_DOUBLE_EQ(d, 1.5);
    EXPECT_FALSE(ParseDouble(L"x", d));
    EXPECT_EQ(FormatDouble(1.5), L"1.500000");
    EXPECT_EQ(FormatLong(-3), L"-3");
    EXPECT_EQ(FormatULong(4000000000u), L"4000000000");
}

TEST(SettingsEncoding, BoolsAreUpperCaseWords) {
    EXPECT_EQ(FormatBool(true), L"TRUE");
    EXPECT_EQ(FormatBool(false), L"FALSE");
    EXPECT_TRUE(ParseBool(L"TRUE"));
    EXPECT_FALSE(ParseBool(L"true"));
    EXPECT_FALSE(ParseBool(L"1"));
}

TEST(SettingsEncoding, StructBlocksCarryAChecksum) {
    const uint8_t bytes[] = {0x00, 0xFF, 0x10, 0xAB};
    const std::wstring text = EncodeStructBlock(bytes, sizeof(bytes));
    EXPECT_EQ(text, L"00FF10ABBA");  // 0xFF + 0x10 + 0xAB = 0x1BA
    EXPECT_EQ(EncodeStructBlock(nullptr, 0), L"00");

    uint8_t out[4] = {1, 2, 3, 4};
    EXPECT_TRUE(DecodeStructBlock(L"00ff10abba", out, 4));
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), std::vector<uint8_t>(bytes, bytes + 4));

    uint8_t kept[4] = {1, 2, 3, 4};
    EXPECT_FALSE(DecodeStructBlock(L"00FF10ABBB", kept, 4));  // checksum
    EXPECT_FALSE(DecodeStructBlock(L"00FF10BA", kept, 4));    // length
    EXPECT_FALSE(DecodeStructBlock(L"00FF10ABB", kept, 4));
    EXPECT_FALSE(DecodeStructBlock(L"00FG10ABBA", kept, 4));  // not hex
    EXPECT_EQ(kept[0], 1);
    EXPECT_EQ(kept[3], 4);
}

TEST(SettingsEncoding, SectionNamesAreCutAt259Characters) {
    const std::wstring parent(250, L'p');
    const std::wstring name = SubSectionName(parent, L"headStrings");
    EXPECT_EQ(name.size(), 259u);
    EXPECT_EQ(name, (parent + L".headStrings").substr(0, 259));
    EXPECT_EQ(SubSectionName(L"A", L"b"), L"A.b");

    auto profile = std::make_shared<MemoryProfile>();
    CSettingsStorageMemory root(profile, std::wstring(300, L'r'));
    int32_t v = 5;
    ASSERT_TRUE(root.SerializeInt(L"k", v, true));
    EXPECT_EQ(profile->sections[0].name.size(), 259u);
    std::unique_ptr<CSettingsStorage> sub = root.CreateSubStorage(L"child");
    ASSERT_TRUE(sub->SerializeInt(L"k", v, true));
    EXPECT_EQ(profile->sections.size(), 1u);  // the child's name is cut to the parent's
}

TEST(SettingsEncoding, ValuesTheProfileReaderWouldTrimAreQuoted) {
    // Unchanged: what the reader gives back as it is (so existing files stay byte for byte).
    for (const wchar_t* plain :
         {L"", L"MS UI Gothic", L"$date $time", L"a \"b\" c", L"it's", L"\u30D8\u30C3\u30C0"})
        EXPECT_EQ(ProfileValueText(plain), plain) << tamrik::WideToUtf8(plain);
    // Blanks or quotes at either end get one more pair of double quotes.
    EXPECT_EQ(ProfileValueText(L" leading"), L"\" leading\"");
    EXPECT_EQ(ProfileValueText(L"trailing "), L"\"trailing \"");
    EXPECT_EQ(ProfileValueText(L"\"quoted\""), L"\"\"quoted\"\"");
    EXPECT_EQ(ProfileValueText(L"'single'"), L"\"'single'\"");
    EXPECT_EQ(ProfileValueText(L"\"open"), L"\"\"open\"");
    EXPECT_EQ(ProfileValueText(L"\""), L"\"\"\"");
    EXPECT_EQ(ProfileValueText(L"\ttab"), L"\"\ttab\"");
    EXPECT_EQ(ProfileValueText(L"\u3000\u5168\u89D2"), L"\"\u3000\u5168\u89D2\"");  // ideographic space
}

class SettingsStorageMemory : public ::testing::Test {
protected:
    std::shared_ptr<MemoryProfile> profile = std::make_shared<MemoryProfile>();
    CSettingsStorageMemory storage{profile, L"S"};
};

TEST_F(SettingsStorageMemory, StringLengthLimit) {
    std::wstring value;
    profile->Set(L"S", L"ok", std::wstring(1022, L'a'));
    profile->Set(L"S", L"long", std::wstring(1023, L'b'));
    profile->Set(L"S", L"empty", L"");
    profile->Set(L"S", L"short", L"xyz");
    EXPECT_TRUE(storage.SerializeString(L"ok", value, false));
    EXPECT_EQ(value.size(), 1022u);
    value = L"kept";
    EXPECT_FALSE(storage.SerializeString(L"long", value, false));
    EXPECT_FALSE(storage.SerializeString(L"absent", value, false));
    EXPECT_EQ(value, L"kept");
    EXPECT_TRUE(storage.SerializeString(L"empty", value, false));
    EXPECT_EQ(value, L"");
    EXPECT_TRUE(storage.SerializeString(L"short", value, false));
    EXPECT_EQ(value, L"xyz");
}

TEST_F(SettingsStorageMemory, RawStringReportsTheNeededSize) {
    profile->Set(L"S", L"k", L"hello");
    size_t size = 0;
    EXPECT_TRUE(storage.SerializeRawString(L"k", nullptr, size, false));
    EXPECT_EQ(size, 6u);
    wchar_t small[3] = {};
    size = 3;
    EXPECT_FALSE(storage.SerializeRawString(L"k", small, size, false));
    EXPECT_EQ(size, 6u);
    size = 3;
    EXPECT_FALSE(storage.SerializeRawString(L"none", small, size, false));
    EXPECT_EQ(size, 0u);
}

TEST_F(SettingsStorageMemory, BoolsAndNumbers) {
    bool b = true;
    profile->Set(L"S", L"lower", L"true");
    profile->Set(L"S", L"long", L"TRUEFALSE!");
    profile->Set(L"S", L"nine", L"123456789");
    EXPECT_TRUE(storage.SerializeBool(L"lower", b, false));
    EXPECT_FALSE(b);
    b = true;
    EXPECT_FALSE(storage.SerializeBool(L"long", b, false));
    EXPECT_TRUE(b);
    EXPECT_TRUE(storage.SerializeBool(L"nine", b, false));
    EXPECT_FALSE(storage.SerializeBool(L"absent", b, false));

    int32_t i = 9;
    profile->Set(L"S", L"empty", L"");
    EXPECT_FALSE(storage.SerializeInt(L"empty", i, false));
    EXPECT_FALSE(storage.SerializeInt(L"absent", i, false));
    EXPECT_EQ(i, 9);

    int16_t s = -2;
    unsigned char uc = 200;
    int64_t big = -1234567890123LL;
    float f = 0.25f;
    ASSERT_TRUE(storage.SerializeShort(L"s", s, true));
    ASSERT_TRUE(storage.SerializeUChar(L"uc", uc, true));
    ASSERT_TRUE(storage.SerializeInt64(L"big", big, true));
    ASSERT_TRUE(storage.SerializeFloat(L"f", f, true));
    EXPECT_EQ(*profile->Find(L"S", L"s"), L"-2");
    EXPECT_EQ(profile->Find(L"S", L"big")->size(), 18u);
    s = 0;
    uc = 0;
    big = 0;
    f = 0;
    EXPECT_TRUE(storage.SerializeShort(L"s", s, false));
    EXPECT_TRUE(storage.SerializeUChar(L"uc", uc, false));
    EXPECT_TRUE(storage.SerializeInt64(L"big", big, false));
    EXPECT_TRUE(storage.SerializeFloat(L"f", f, false));
    EXPECT_EQ(s, -2);
    EXPECT_EQ(uc, 200);
    EXPECT_EQ(big, -1234567890123LL);
    EXPECT_FLOAT_EQ(f, 0.25f);
}

TEST_F(SettingsStorageMemory, ValueListProtocol) {
    std::vector<std::wstring> list = {L"a", L"b"};
    ASSERT_TRUE(storage.SerializeList(L"L", list, true));
    EXPECT_EQ(*profile->Find(L"S.L", L"Count"), L"2");
    EXPECT_EQ(*profile->Find(L"S.L", L"Item.1"), L"b");

    std::vector<std::wstring> loaded = {L"stale"};
    EXPECT_TRUE(storage.SerializeList(L"L", loaded, false));
    EXPECT_EQ(loaded, list);

    // A missing item marks the list failed but keeps what was read.
    profile->Set(L"S.L", L"Count", L"3");
    EXPECT_FALSE(storage.SerializeList(L"L", loaded, false));
    EXPECT_EQ(loaded, list);

    // A list that cannot be opened stays empty.
    loaded = {L"stale"};
    EXPECT_FALSE(storage.SerializeList(L"missing", loaded, false));
    EXPECT_TRUE(loaded.empty());
    EXPECT_FALSE(storage.EndValueList(false));  // nothing left open

    std::wstring name;
    EXPECT_TRUE(storage.GetItemName(12, true, name));
    EXPECT_EQ(name, L"Item.12");
}
