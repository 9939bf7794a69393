#include <gtest/gtest.h>

#include <unistd.h>

#include <limits>

#include "output/output_naming.h"
#include "output/output_path.h"
#include "tests/common/fixed_clock.h"
#include "tests/common/output_fixtures.h"
#include "tests/core/output_test_support.h"

using namespace orbilux;

namespace {

tamrik::CalendarTime At(int h, int m, int s, int day = 5) {
    return tamrik_test::CalendarAt(2024, 3, day, h, m, s);
}

// The portable platform, its clock standing at the fixed clock's moment.
tamrik_test::FixedPortablePlatform portable;

OutputSettings Output(const outtest::ScratchFolder& dir, bool dateDir = false) {
    OutputSettings o;
    o.baseDirName = dir.Wide();
    o.bDateDir = dateDir;
    return o;
}

// The name of the index-0 file after preparing the pattern at time.
std::wstring NameAt(OutputSettings& o, const tamrik::CalendarTime& time, const std::wstring& ext = L".png") {
    o.baseFileName.clear();
    prepareNamePattern(portable, o, time);
    return CPath(makeOutputPath(portable, o, 0, ext)).Title() + ext;
}

}  // namespace

TEST(OutputNaming, StemCarriesDateAndHalfMinuteIndex) {
    EXPECT_EQ(FormatNameStem(At(14, 23, 41)), L"MN20240305_??_6bf");
    EXPECT_EQ(FormatNameStem(At(14, 24, 11)), L"MN20240305_??_6c0");
    EXPECT_EQ(halfMinuteIndex(At(0, 0, 10)), 0);
    EXPECT_EQ(FormatNameStem(At(0, 0, 29)), L"MN20240305_??_000");
    EXPECT_EQ(FormatNameStem(At(0, 0, 30)), L"MN20240305_??_001");
    EXPECT_EQ(FormatNameStem(At(23, 59, 59)), L"MN20240305_??_b3f");
    EXPECT_EQ(FormatNameStem(At(23, 59, 59)).size(), kNameStemLength);
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
    std::filesystem::create_directory(dir.Path() / "MN20240305_00_6bf50.png");  // folders are not listed
    EXPECT_EQ(NameAt(o, At(14, 23, 41)), L"MN20240305_00_6bf8.png");
}

TEST(OutputNaming, IndexSlotTakesTwoOrMoreDigits) {
    outtest::ScratchFolder dir;
    OutputSettings o = Output(dir);
    prepareNamePattern(portable, o, At(14, 23, 41));
    EXPECT_EQ(o.baseFileName, L"MN20240305_??_6bf1");
    EXPECT_EQ(makeOutputPath(portable, o, 0, L".png"), o.currentDir + L"MN20240305_00_6bf1.png");
    EXPECT_EQ(makeOutputPath(portable, o, 12, L".jpg"), o.currentDir + L"MN20240305_12_6bf1.jpg");
    EXPECT_EQ(makeOutputPath(portable, o, 100, L".bmp"), o.currentDir + L"MN20240305_100_6bf1.bmp");
    EXPECT_EQ(makeOutputPath(portable, o, 3, L""), o.currentDir + L"MN20240305_03_6bf1");
    EXPECT_EQ(o.currentDir.back(), L'\\');
}

TEST(OutputNaming, FirstPathPreparesThePatternFromTheClock) {
    outtest::ScratchFolder dir;
    OutputSettings o = Output(dir, true);
    const std::wstring path = makeOutputPath(portable, o, 0, L".jpg");
    EXPECT_EQ(o.captureTime.second, 41);
    EXPECT_EQ(path, dir.Wide() + L"\\20240305\\MN20240305_00_6bf1.jpg");
    // Prepared once per capture: a later path keeps the stem.
    EXPECT_EQ(makeOutputPath(portable, o, 0, L".txt"), dir.Wide() + L"\\20240305\\MN20240305_00_6bf1.txt");
}

TEST(OutputFolder, DateFolderIsCreatedUnderAMissingBaseFolder) {
    outtest::ScratchFolder dir;
    OutputSettings o;
    o.baseDirName = dir.Wide() + L"\\Shots\\deeper\\";  // trailing separator: still one backslash
    o.bDateDir = true;
    o.captureTime = At(14, 23, 41);
    EXPECT_EQ(ResolveOutputFolder(portable, o), dir.Wide() + L"\\Shots\\deeper\\20240305\\");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "Shots" / "deeper" / "20240305"));

    o.bDateDir = false;
    EXPECT_EQ(ResolveOutputFolder(portable, o), dir.Wide() + L"\\Shots\\deeper\\");
}

TEST(OutputFolder, RelativeBaseFolderIsCreatedBelowTheCurrentFolder) {
    outtest::ScratchFolder dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    OutputSettings o;
    o.baseDirName = L"rel\\shots";
    o.bDateDir = true;
    o.captureTime = At(1, 2, 3);
    const std::wstring folder = ResolveOutputFolder(portable, o);
    std::filesystem::current_path(previous);
    EXPECT_EQ(folder, L"rel\\shots\\20240305\\");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "rel" / "shots" / "20240305"));
}

TEST(OutputFolder, EmptyBaseFolderTakesThePicturesFolder) {
    outtest::ScratchFolder dir;
    tamrik_test::FixedPortablePlatform platform;
    platform.SetPicturesFolder(dir.Wide() + L"\\Pictures");
    OutputSettings o;
    o.bDateDir = true;
    o.captureTime = At(14, 23, 41);
    const std::wstring folder = ResolveOutputFolder(platform, o);
    EXPECT_EQ(o.baseDirName, dir.Wide() + L"\\Pictures");
    EXPECT_EQ(folder, dir.Wide() + L"\\Pictures\\20240305\\");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "Pictures" / "20240305"));
}

TEST(OutputFolder, LaterLevelsAreTriedAfterAFailedOne) {
    outtest::ScratchFolder dir;
    dir.Touch("blocker");  // a file where a folder should go
    EXPECT_FALSE(CreateFolderLevels(PortableFileSystem(), dir.Wide() + L"\\blocker\\sub\\"));
    EXPECT_TRUE(CreateFolderLevels(PortableFileSystem(), dir.Wide() + L"/a/b\\c/"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "a" / "b" / "c"));
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
    FileGlobList list(PortableFileSystem());
    list.MatchPattern(dir.Wide() + L"\\*.txt");
    list.MatchPattern(dir.Wide() + L"\\*.txt");
    EXPECT_EQ(list.Files().size(), 2u);
    FileGlobList missing(PortableFileSystem());
    missing.MatchPattern(dir.Wide() + L"\\nowhere\\*.*");
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

TEST(OutputFolder, WithoutPicturesAndDocumentsTheLocalApplicationDataFolderTakesTheFiles) {
    outtest::ScratchFolder dir;
    tamrik_test::FixedPortablePlatform platform;
    platform.SetPicturesFolder(L"");
    platform.SetLocalAppDataFolder(dir.Wide() + L"\\");
    OutputSettings o;
    o.bDateDir = true;
    o.captureTime = At(14, 23, 41);
    FolderResult made;
    const std::wstring folder = ResolveOutputFolder(platform, o, &made);
    EXPECT_EQ(made.failure, SaveFailure::None);
    EXPECT_EQ(o.baseDirName, dir.Wide() + L"\\Tamrik\\Captures");
    EXPECT_EQ(folder, dir.Wide() + L"\\Tamrik\\Captures\\20240305\\");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "Tamrik" / "Captures" / "20240305"));
    EXPECT_EQ(made.created.size(), 3u);

    // With no folder known at all there is no output folder, never the root.
    platform.SetLocalAppDataFolder(L"");
    OutputSettings none;
    none.captureTime = At(14, 23, 41);
    EXPECT_EQ(ResolveOutputFolder(platform, none, &made), L"");
    EXPECT_EQ(made.failure, SaveFailure::NoFolder);
}

TEST(OutputFolder, CreationNamesTheReasonAndListsWhatItCreated) {
    outtest::ScratchFolder dir;
    dir.Touch("blocker");
    std::vector<std::wstring> created;
    EXPECT_EQ(MakeFolderLevels(PortableFileSystem(), dir.Wide() + L"\\blocker\\sub\\", &created),
              SaveFailure::NotAFolder);
    EXPECT_TRUE(created.empty());
    // A name longer than the file system takes.
    EXPECT_EQ(MakeFolderLevels(PortableFileSystem(), dir.Wide() + L"\\ok\\" + std::wstring(300, L'n') + L"\\",
                               &created),
              SaveFailure::PathTooLong);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(CPath(created[0]).DirectoryComponents().back(), L"ok");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "ok"));
    RemoveEmptyFolders(PortableFileSystem(), created);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"blocker"});
    EXPECT_EQ(MakeFolderLevels(PortableFileSystem(), L""), SaveFailure::NoFolder);
}

TEST(OutputPath, ExtendedLengthFormOfDriveAndSharePaths) {
    EXPECT_EQ(ExtendedLengthPath(L"C:\\Shots\\20240305\\MN.png"), L"\\\\?\\C:\\Shots\\20240305\\MN.png");
    EXPECT_EQ(ExtendedLengthPath(L"C:\\"), L"\\\\?\\C:\\");
    EXPECT_EQ(ExtendedLengthPath(L"C:\\Shots\\"), L"\\\\?\\C:\\Shots");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\server\\share\\Shots\\a.png"),
              L"\\\\?\\UNC\\server\\share\\Shots\\a.png");
    // Normalised first: the system takes the extended form literally.
    EXPECT_EQ(ExtendedLengthPath(L"C:/a//b\\.\\c\\..\\d.\\e. . "), L"\\\\?\\C:\\a\\b\\d\\e");
    EXPECT_EQ(ExtendedLengthPath(L"C:\\..\\..\\a...b\\x"), L"\\\\?\\C:\\a...b\\x");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\server\\share\\..\\..\\x"), L"\\\\?\\UNC\\server\\share\\x");
    // Already extended, devices, and what is not a full path stay as they are.
    for (const wchar_t* same :
         {L"\\\\?\\C:\\a\\.\\b", L"\\\\.\\COM1", L"rel\\a", L"\\rooted", L"C:rel", L"\\\\server"})
        EXPECT_EQ(ExtendedLengthPath(same), same) << tamrik::WideToUtf8(same);
    // A 300-character folder keeps every character.
    const std::wstring deep =
        L"D:\\" + std::wstring(100, L'a') + L"\\" + std::wstring(100, L'b') + L"\\" + std::wstring(96, L'c');
    ASSERT_EQ(deep.size(), 301u);
    EXPECT_EQ(ExtendedLengthPath(deep), L"\\\\?\\" + deep);
}

TEST(OutputPath, LongFolderNamesAreShortenedInTheMiddle) {
    EXPECT_EQ(ShortenMiddle(L"C:\\Shots\\20240305", 40), L"C:\\Shots\\20240305");
    const std::wstring deep = L"C:\\Users\\" + std::wstring(300, L'x') + L"\\Shots\\20240305";
    const std::wstring shown = ShortenMiddle(deep, 60);
    EXPECT_EQ(shown.size(), 60u);
    EXPECT_EQ(shown.substr(0, 10), L"C:\\Users\\\u2026");
    EXPECT_EQ(shown.substr(shown.size() - 16), L"x\\Shots\\20240305");
    const std::wstring share = ShortenMiddle(L"\\\\srv\\share\\" + std::wstring(300, L'y') + L"\\z", 40);
    EXPECT_EQ(share.substr(0, 13), L"\\\\srv\\share\\\u2026");
    EXPECT_EQ(share.size(), 40u);
    // A first name too long to keep whole: half of the room each side.
    EXPECT_EQ(ShortenMiddle(std::wstring(50, L'q') + L"\\end", 11), L"qqqqq\u2026q\\end");
    EXPECT_EQ(ShortenMiddle(L"abc", 1), L"\u2026");
}
