#include <gtest/gtest.h>

#include "base/text.h"

using tamrik::Utf8ToWide;
using tamrik::WideToUtf8;

TEST(Text, RoundTripsJapaneseAndAstralCharacters) {
    const std::string s = "\xE3\x83\x98\xE3\x83\x83\xE3\x83\x80 \xF0\x9F\x98\x80 abc";
    EXPECT_EQ(WideToUtf8(Utf8ToWide(s)), s);
}

TEST(Text, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(Utf8ToWide("a\xFF"
                         "b"),
              std::wstring(L"a\xFFFD"
                           L"b"));
    EXPECT_EQ(Utf8ToWide("\xE3\x83"), std::wstring(L"\xFFFD\xFFFD"));
    // An encoded surrogate is not a character.
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80").size(), 3u);
}
