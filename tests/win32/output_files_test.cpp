// File output on Windows paths: drive letters, backslashes, the shell's
// pictures folder, and a drive that does not exist.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "output/image_file_saver.h"
#include "output/output_naming.h"
#include "output/output_path.h"
#include "output/text_report.h"
#include "output/win32/output_files_win.h"
#include "output/win32/shell_folders.h"
#include "tests/common/output_fixtures.h"

using namespace orbilux;

namespace {

bool IsFile(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ScratchBase() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"tamrik-out-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount());
}

CxImagePtr Picture(uint32_t w, uint32_t h) {
    auto img = std::make_shared<CxImage>();
    img->Create(w, h, 24);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            img->SetPixelColor(x, y, RGBQuadColor::FromRgb(uint8_t(x * 9), 40, 200));
    return img;
}

struct WinSaverTest : ::testing::Test {
    void SetUp() override {
        base = ScratchBase();
        settings.output_.baseDirName = base + L"\\Shots";
        settings.output_.bDateDir = true;
        settings.output_.nPictureFormat = 1;
        settings.output_.bpp = 2;
        settings.general_.screenTarget = 0;
        settings.key_.logType = 0;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(base), ec);
    }
    SaveOutcome Run(CxImagePtr image, MonitorShotMap shots = {}) {
        ImageFileSaver saver(*platform, std::move(image), std::move(shots), settings);
        return saver();
    }
    std::wstring base;
    tamrik_test::FixedPortablePlatform portable;  // the clock at 14:23:41
    OutputPlatform* platform = &portable;
    ORBILUXSetting settings;
};

}  // namespace

TEST(OutputShellFolder, PicturesFolderComesFromTheShell) {
    const std::wstring pictures = ShellPicturesFolder();
    ASSERT_FALSE(pictures.empty());
    EXPECT_EQ(pictures[1], L':');
    Win32OutputPlatform platform;
    EXPECT_EQ(DefaultPicturesFolder(platform), pictures);
    OutputSettings o;
    o.bDateDir = false;
    const std::wstring folder = ResolveOutputFolder(platform, o);
    EXPECT_EQ(o.baseDirName, pictures);
    EXPECT_EQ(folder, pictures + L"\\");
}

TEST_F(WinSaverTest, DateFolderAndFileAreCreatedUnderADriveLetterPath) {
    ASSERT_FALSE(IsFolder(base));
    Run(Picture(40, 30));
    const std::wstring folder = base + L"\\Shots\\20240305\\";
    EXPECT_TRUE(IsFolder(folder));
    EXPECT_TRUE(IsFile(folder + L"MN20240305_00_6bf1.png"));
    EXPECT_FALSE(IsFile(folder + L"~MN20240305_00_6bf1.png.tmp"));
    Run(Picture(40, 30));
    EXPECT_TRUE(IsFile(folder + L"MN20240305_00_6bf2.png"));
    EXPECT_TRUE(settings.output_.baseFileName.empty());
}

TEST_F(WinSaverTest, MonitorPicturesTakeIndexesInHandleOrder) {
    settings.general_.screenTarget = 1;
    settings.output_.nPictureFormat = 2;
    MonitorShotMap shots;
    shots[0x20002] = MonitorShot{1, Picture(16, 16)};
    shots[0x10001] = MonitorShot{0, nullptr};
    shots[0x30003] = MonitorShot{2, Picture(16, 16)};
    Run(Picture(8, 8), shots);
    const std::wstring folder = base + L"\\Shots\\20240305\\";
    EXPECT_TRUE(IsFile(folder + L"MN20240305_01_6bf1.jpg"));
    EXPECT_TRUE(IsFile(folder + L"MN20240305_02_6bf1.jpg"));
    EXPECT_FALSE(IsFile(folder + L"MN20240305_03_6bf1.jpg"));
    EXPECT_FALSE(IsFile(folder + L"MN20240305_00_6bf1.jpg"));
}

TEST_F(WinSaverTest, MissingDriveWritesNothingAndTheRunEnds) {
    // Find a drive letter that is not mapped.
    const DWORD drives = GetLogicalDrives();
    wchar_t letter = 0;
    for (wchar_t c = L'Q'; c <= L'Y' && !letter; ++c)
        if (!(drives & (1u << (c - L'A')))) letter = c;
    if (!letter) GTEST_SKIP() << "every drive letter is mapped";
    settings.output_.baseDirName = std::wstring(1, letter) + L":\\nowhere";
    Run(Picture(8, 8));
    EXPECT_TRUE(settings.output_.baseFileName.empty());
    EXPECT_FALSE(IsFolder(std::wstring(1, letter) + L":\\nowhere"));
}

namespace {

// The saving run through the Windows file functions the program uses.
struct WinFilesTest : WinSaverTest {
    void SetUp() override {
        WinSaverTest::SetUp();
        platform = &windows;
    }
    tamrik_test::FixedPlatform<Win32OutputPlatform> windows;  // the clock at 14:23:41
};

bool IsLongFile(const std::wstring& path) {
    return IsFile(L"\\\\?\\" + path);
}

// Every file under folder (any depth), as paths relative to it.
void ListTree(const std::wstring& folder, const std::wstring& prefix, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        out.push_back(prefix + name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListTree(folder + L"\\" + name, prefix + name + L"\\", out);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::vector<std::wstring> Tree(const std::wstring& folder) {
    std::vector<std::wstring> out;
    ListTree(folder, L"", out);
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST_F(WinFilesTest, ABaseFolderThatIsAFileIsReportedAndNothingIsLeftBehind) {
    ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr));
    HANDLE file = CreateFileW((base + L"\\Shots").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    settings.key_.logType = 1;
    const SaveOutcome outcome = Run(Picture(40, 30));
    EXPECT_EQ(outcome.failure, SaveFailure::NotAFolder);
    EXPECT_EQ(outcome.folder, base + L"\\Shots\\20240305\\");
    EXPECT_EQ(Tree(base), std::vector<std::wstring>{L"Shots"});
    EXPECT_TRUE(settings.output_.baseFileName.empty());
}

TEST_F(WinFilesTest, PicturesAndTheReportGoUnderAThreeHundredCharacterFolder) {
    // Three names of 99 characters: no single name is too long, the whole is.
    std::wstring deep = base;
    for (wchar_t c : {L'a', L'b', L'c'}) deep += L"\\" + std::wstring(99, c);
    ASSERT_GE(deep.size(), 300u);
    settings.output_.baseDirName = deep;
    settings.key_.logType = 1;
    const SaveOutcome outcome = Run(Picture(40, 30));
    EXPECT_TRUE(outcome.Ok()) << int(outcome.failure);
    const std::wstring folder = deep + L"\\20240305\\";
    EXPECT_EQ(outcome.folder, folder);
    EXPECT_TRUE(IsLongFile(folder + L"MN20240305_00_6bf1.png"));
    EXPECT_TRUE(IsLongFile(folder + L"MN20240305_00_6bf1.txt"));
    // The sequence number reads the long folder too.
    EXPECT_TRUE(Run(Picture(40, 30)).Ok());
    EXPECT_TRUE(IsLongFile(folder + L"MN20240305_00_6bf2.png"));
    const std::vector<std::wstring> names = Tree(folder.substr(0, folder.size() - 1));
    EXPECT_EQ(names.size(), 4u);
    for (const std::wstring& name : names) EXPECT_NE(name[0], L'~') << "temporary file left";
}

TEST_F(WinFilesTest, ANameLongerThanTheSystemTakesIsReportedAsTooLong) {
    settings.output_.baseDirName = base + L"\\" + std::wstring(300, L'n');
    const SaveOutcome outcome = Run(Picture(40, 30));
    EXPECT_EQ(outcome.failure, SaveFailure::PathTooLong);
    EXPECT_FALSE(IsFolder(base)) << "the levels made for the run are removed again";
}

TEST(OutputLongPath, TheExtendedFormOnlyWhereThePathIsLong) {
    EXPECT_EQ(LongPathForm(L"C:\\Shots\\a.png"), L"C:\\Shots\\a.png");
    const std::wstring deep =
        L"C:\\" + std::wstring(120, L'a') + L"\\" + std::wstring(120, L'b') + L"\\x.png";
    EXPECT_EQ(LongPathForm(deep), L"\\\\?\\" + deep);
    EXPECT_EQ(LongPathForm(L"\\\\?\\" + deep), L"\\\\?\\" + deep);
    const std::wstring share = L"\\\\server\\share\\" + std::wstring(250, L'c');
    EXPECT_EQ(LongPathForm(share), L"\\\\?\\UNC\\server\\share\\" + std::wstring(250, L'c'));
    // A relative path is made full first.
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    std::wstring expected = current;
    if (expected.back() != L'\\') expected += L'\\';
    expected = L"\\\\?\\" + expected + std::wstring(260, L'r');
    EXPECT_EQ(LongPathForm(std::wstring(260, L'r')), expected);
}

TEST(OutputLongPath, SystemErrorsNameTheirReasons) {
    EXPECT_EQ(FailureFromWin32Error(ERROR_ACCESS_DENIED, L"C:\\a"), SaveFailure::NoPermission);
    EXPECT_EQ(FailureFromWin32Error(ERROR_WRITE_PROTECT, L"C:\\a"), SaveFailure::NoPermission);
    EXPECT_EQ(FailureFromWin32Error(ERROR_DISK_FULL, L"C:\\a"), SaveFailure::DiskFull);
    EXPECT_EQ(FailureFromWin32Error(ERROR_HANDLE_DISK_FULL, L"C:\\a"), SaveFailure::DiskFull);
    EXPECT_EQ(FailureFromWin32Error(ERROR_FILENAME_EXCED_RANGE, L"C:\\a"), SaveFailure::PathTooLong);
    // Windows answers a name of more than 255 characters with ERROR_INVALID_NAME.
    EXPECT_EQ(FailureFromWin32Error(ERROR_INVALID_NAME, L"C:\\" + std::wstring(256, L'n')),
              SaveFailure::PathTooLong);
    EXPECT_EQ(FailureFromWin32Error(ERROR_INVALID_NAME, L"C:\\a?b"), SaveFailure::WriteFailed);
    EXPECT_EQ(FailureFromWin32Error(ERROR_SHARING_VIOLATION, L"C:\\a"), SaveFailure::WriteFailed);
}

TEST(OutputShellFolder, WithoutPicturesTheFilesGoUnderLocalApplicationData) {
    const std::wstring local = ShellLocalAppDataFolder();
    ASSERT_FALSE(local.empty());
    EXPECT_EQ(local[1], L':');
    tamrik_test::FixedPlatform<Win32OutputPlatform> platform;
    platform.SetPicturesFolder(L"");
    OutputSettings o;
    o.bDateDir = false;
    FolderResult made;
    const std::wstring folder = ResolveOutputFolder(platform, o, &made);
    EXPECT_EQ(made.failure, SaveFailure::None);
    EXPECT_EQ(o.baseDirName, local + L"\\Tamrik\\Captures");
    EXPECT_EQ(folder, local + L"\\Tamrik\\Captures\\");
    EXPECT_TRUE(IsFolder(folder));
    RemoveEmptyFolders(platform.Files(), made.created);
}
