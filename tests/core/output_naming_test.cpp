#include <gtest/gtest.h>

#include <unistd.h>

#include <limits>

#include "output/output_naming.h"
#include "output/output_path.h"
#include "tests/core/output_test_support.h"

using namespace orbilux;

namespace {

tamrik::CalendarTime At(int h, int m, int s, int day = 5) {
    tamrik::CalendarTime t;
    t.year = 2024;
    t.month = 3;
    t.day = uint16_t(day);
    t.hour = uint16_t(h);
    t.minute = uint16_t(m);
    t.second = uint16_t(s);
    return t;
}

tamrik::CalendarTime FixedClock() {
    return At(14, 23, 41);
}

OutputSettings Output(const outtest::ScratchFolder& dir, bool dateDir = false) {
    OutputSettings o;
    o.baseDirName = dir.wide();
    o.bDateDir = dateDir;
    return o;
}

// The name of the index-0 file after preparing the pattern at time.
std::wstring NameAt(OutputSettings& o, const tamrik::CalendarTime& time, const std::wstring& ext = L".png") {
    o.baseFileName.clear();
    prepareNamePattern(o, time);
    return CPath(makeOutputPath(o, 0, ext)).Title() + ext;
}

}  // namespace

TEST(OutputNaming, StemCarriesDateAndHalfMinuteIndex) {
    EXPECT_EQ(formatNameStem(At(14, 23, 41)), L"MN20240305_??_6bf");
    EXPECT_EQ(formatNameStem(At(14, 24, 11)), L"MN20240305_??_6c0");
    EXPECT_EQ(halfMinuteIndex(At(0, 0, 10)), 0);
    EXPECT_EQ(formatNameStem(At(0, 0, 29)), L"MN20240305_??_000");
    EXPECT_EQ(formatNameStem(At(0, 0, 30)), L"MN20240305_??_001");
    EXPECT_EQ(formatNameStem(At(23, 59, 59)), L"MN20240305_??_b3f");
    EXPECT_EQ(formatNameStem(At(23, 59, 59)).size(), kNameStemLength);
}

TEST(OutputNaming, SequenceNumbersFollowTheFilesOfTheSameHalfMinute) {
    outtest::ScratchFolder dir;
    OutputSettings o = Output(dir);
    EXPECT_EQ(NameAt(o, At(14, 23, 41)), L"MN20240305_00_6bf1.png");

    dir.Touch("MN20240305_00_6bf1.png");
    dir.Touch("MN20240305_00_6bf1.txt");
    EXPECT_EQ(NameAt(o, At(14, 23, 45)), L"MN20240305_00_6bf2.png");
    // 30 seconds later is the next half minute, numbered afresh.
    EXPECT_EQ(NameAt(o, At(14, 24, 11)), L"MN20240305_00_6c01.png");
    // Another day's files of the same half minute do not count.
    EXPECT_EQ(NameAt(o, At(14, 23, 41, 6)), L"MN20240306_00_6bf1.png");

    // Index 02 of a per-monitor capture: the number is read after the stem.
    dir.Touch("MN20240305_02_6bf9.png");
    EXPECT_EQ(NameAt(o, At(14, 23, 41)), L"MN20240305_00_6bf10.png");
    // Letter case does not matter.
    dir.Touch("mn20240305_00_6BF13.PNG");
    EXPECT_EQ(NameAt(o, At(14, 23, 41)), L"MN20240305_00_6bf14.png");
}

TEST(OutputNaming, TailsThatAreNoNumberAreSkippedAndTheNextNumberIsLargest) {
    outtest::ScratchFolder dir;
    OutputSettings o = Output(dir);
    dir.Touch("MN20240305_00_6bf.png");
    dir.Touch("MN20240305_00_6bf1 - copy.png");
    dir.Touch("MN20240305_00_6bf99999999999999999999999.png");  // beyond 64 bits
    dir.Touch("MN20240305_00_6bf9223372036854775807.png");      // nothing can follow it
    dir.Touch("MN20240305_00_6bf-4.png");
    dir.Touch("MN20240305_00_6bf+7.jpg");
    dir.Touch("MN20240305_00_6bf5");  // no extension: "*.*" needs a dot
    std::filesystem::create_directory(dir.path() / "MN20240305_00_6bf50.png");  // folders are not listed
    EXPECT_EQ(NameAt(o, At(14, 23, 41)), L"MN20240305_00_6bf8.png");
}

TEST(OutputNaming, IndexSlotTakesTwoOrMoreDigits) {
    outtest::ScratchFolder dir;
    OutputSettings o = Output(dir);
    prepareNamePattern(o, At(14, 23, 41));
    EXPECT_EQ(o.baseFileName, L"MN20240305_??_6bf1");
    EXPECT_EQ(makeOutputPath(o, 0, L".png"), o.currentDir + L"MN20240305_00_6bf1.png");
    EXPECT_EQ(makeOutputPath(o, 12, L".jpg"), o.currentDir + L"MN20240305_12_6bf1.jpg");
    EXPECT_EQ(makeOutputPath(o, 100, L".bmp"), o.currentDir + L"MN20240305_100_6bf1.bmp");
    EXPECT_EQ(makeOutputPath(o, 3, L""), o.currentDir + L"MN20240305_03_6bf1");
    EXPECT_EQ(o.currentDir.back(), L'\\');
}

TEST(OutputNaming, FirstPathPreparesThePatternFromTheClock) {
    outtest::ScratchFolder dir;
    OutputSettings o = Output(dir, true);
    SetLocalTimeSource(FixedClock);
    const std::wstring path = makeOutputPath(o, 0, L".jpg");
    SetLocalTimeSource(nullptr);
    EXPECT_EQ(o.captureTime.second, 41);
    EXPECT_EQ(path, dir.wide() + L"\\20240305\\MN20240305_00_6bf1.jpg");
    // Prepared once per capture: a later path keeps the stem.
    EXPECT_EQ(makeOutputPath(o, 0, L".txt"), dir.wide() + L"\\20240305\\MN20240305_00_6bf1.txt");
}

TEST(OutputFolder, DateFolderIsCreatedUnderAMissingBaseFolder) {
    outtest::ScratchFolder dir;
    OutputSettings o;
    o.baseDirName = dir.wide() + L"\\Shots\\deeper\\";  // trailing separator: still one backslash
    o.bDateDir = true;
    o.captureTime = At(14, 23, 41);
    EXPECT_EQ(resolveOutputFolder(o), dir.wide() + L"\\Shots\\deeper\\20240305\\");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "Shots" / "deeper" / "20240305"));

    o.bDateDir = false;
    EXPECT_EQ(resolveOutputFolder(o), dir.wide() + L"\\Shots\\deeper\\");
}

TEST(OutputFolder, RelativeBaseFolderIsCreatedBelowTheCurrentFolder) {
    outtest::ScratchFolder dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    OutputSettings o;
    o.baseDirName = L"rel\\shots";
    o.bDateDir = true;
    o.captureTime = At(1, 2, 3);
    const std::wstring folder = resolveOutputFolder(o);
    std::filesystem::current_path(previous);
    EXPECT_EQ(folder, L"rel\\shots\\20240305\\");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "rel" / "shots" / "20240305"));
}

TEST(OutputFolder, EmptyBaseFolderTakesThePicturesFolder) {
    static outtest::ScratchFolder* pictures = nullptr;
    outtest::ScratchFolder dir;
    pictures = &dir;
    SetPicturesFolderLookup([] { return pictures->wide() + L"\\Pictures"; });
    OutputSettings o;
    o.bDateDir = true;
    o.captureTime = At(14, 23, 41);
    const std::wstring folder = resolveOutputFolder(o);
    SetPicturesFolderLookup(nullptr);
    EXPECT_EQ(o.baseDirName, dir.wide() + L"\\Pictures");
    EXPECT_EQ(folder, dir.wide() + L"\\Pictures\\20240305\\");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "Pictures" / "20240305"));
}

TEST(OutputFolder, CreationFailureIsSilentAndLaterLevelsAreTried) {
    outtest::ScratchFolder dir;
    dir.Touch("blocker");  // a file where a folder should go
    EXPECT_FALSE(CreateFolderLevels(dir.wide() + L"\\blocker\\sub\\"));
    EXPECT_TRUE(CreateFolderLevels(dir.wide() + L"/a/b\\c/"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "a" / "b" / "c"));
}

TEST(OutputPath, SplitsDrivesDirectoriesTitlesAndExtensions) {
    const CPath local(L"D:\\Shots\\20240305\\MN20240305_00_6bf1.png");
    EXPECT_EQ(local.Drive(), L"D:");
    EXPECT_EQ(local.Directory(), L"\\Shots\\20240305\\");
    EXPECT_EQ(local.Title(), L"MN20240305_00_6bf1");
    EXPECT_EQ(local.Extension(), L".png");
    EXPECT_EQ(local.DirectoryComponents(), (std::vector<std::wstring>{L"Shots", L"20240305"}));

    const CPath unc(L"\\\\server\\share\\a/b\\file.tar.gz");
    EXPECT_EQ(unc.Drive(), L"\\\\server\\share");
    EXPECT_EQ(unc.DirectoryComponents(), (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(unc.Title(), L"file.tar");
    EXPECT_EQ(unc.Extension(), L".gz");

    const CPath relative(L"rel\\name");
    EXPECT_EQ(relative.Drive(), L"");
    EXPECT_FALSE(relative.IsRooted());
    EXPECT_EQ(relative.Title(), L"name");
    EXPECT_EQ(relative.Extension(), L"");
}

TEST(OutputPath, WildcardsMatchAnyCharacterAndAnyRunWithoutCase) {
    EXPECT_TRUE(WildcardMatch(L"MN20240305_??_6bf*.*", L"mn20240305_02_6BF9.PNG"));
    EXPECT_TRUE(WildcardMatch(L"MN20240305_??_6bf*.*", L"MN20240305_00_6bf.png"));  // empty run
    EXPECT_FALSE(WildcardMatch(L"MN20240305_??_6bf*.*", L"MN20240305_0_6bf1.png"));
    EXPECT_FALSE(WildcardMatch(L"MN20240305_??_6bf*.*", L"MN20240305_00_6bf1"));
    EXPECT_TRUE(WildcardMatch(L"a*b*c", L"aXXbYYbc"));
    EXPECT_FALSE(WildcardMatch(L"a*b*c", L"aXXbYYbcd"));
    EXPECT_TRUE(WildcardMatch(L"*", L""));
}

TEST(OutputPath, GlobListsEachFileOnce) {
    outtest::ScratchFolder dir;
    dir.Touch("one.txt");
    dir.Touch("Two.TXT");
    dir.Touch("three.png");
    FileGlobList list;
    list.MatchPattern(dir.wide() + L"\\*.txt");
    list.MatchPattern(dir.wide() + L"\\*.txt");
    EXPECT_EQ(list.Files().size(), 2u);
    FileGlobList missing;
    missing.MatchPattern(dir.wide() + L"\\nowhere\\*.*");
    EXPECT_TRUE(missing.Files().empty());
}

TEST(OutputPath, DecimalTailsParseStrictlyWithoutOverflow) {
    int64_t v = 0;
    EXPECT_TRUE(ParseDecimalInteger(L"+12", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ParseDecimalInteger(L"-3", v));
    EXPECT_EQ(v, -3);
    EXPECT_TRUE(ParseDecimalInteger(L"-9223372036854775808", v));
    EXPECT_EQ(v, std::numeric_limits<int64_t>::min());
    EXPECT_TRUE(ParseDecimalInteger(L"9223372036854775807", v));
    EXPECT_FALSE(ParseDecimalInteger(L"9223372036854775808", v));
    for (const wchar_t* bad : {L"", L"+", L"-", L"1 ", L" 1", L"1a", L"0x1", L"1.5"})
        EXPECT_FALSE(ParseDecimalInteger(bad, v)) << tamrik::WideToUtf8(bad);
}
