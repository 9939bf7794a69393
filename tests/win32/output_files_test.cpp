// File output on Windows paths: drive letters, backslashes, the shell's
// pictures folder, and a drive that does not exist.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "output/image_file_saver.h"
#include "output/output_naming.h"
#include "output/output_path.h"
#include "output/win32/shell_folders.h"

using namespace orbilux;

namespace {

tamrik::CalendarTime Clock() {
    tamrik::CalendarTime t;
    t.year = 2024;
    t.month = 3;
    t.day = 5;
    t.hour = 14;
    t.minute = 23;
    t.second = 41;
    return t;
}

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
        SetLocalTimeSource(Clock);
        base = ScratchBase();
        settings.output_.baseDirName = base + L"\\Shots";
        settings.output_.bDateDir = true;
        settings.output_.nPictureFormat = 1;
        settings.output_.bpp = 2;
        settings.general_.screenTarget = 0;
        settings.key_.logType = 0;
    }
    void TearDown() override {
        SetLocalTimeSource(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(base), ec);
    }
    void Run(CxImagePtr image, MonitorShotMap shots = {}) {
        runImageFileSaver(std::make_shared<ImageFileSaver>(std::move(image), std::move(shots), settings));
    }
    std::wstring base;
    ORBILUXSetting settings;
};

}  // namespace

TEST(OutputShellFolder, PicturesFolderComesFromTheShell) {
    const std::wstring pictures = ShellPicturesFolder();
    ASSERT_FALSE(pictures.empty());
    EXPECT_EQ(pictures[1], L':');
    InstallShellFolderLookup();
    EXPECT_EQ(defaultPicturesFolder(), pictures);
    OutputSettings o;
    o.bDateDir = false;
    const std::wstring folder = resolveOutputFolder(o);
    SetPicturesFolderLookup(nullptr);
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

TEST(OutputShellFolder, WithoutPicturesTheFilesGoUnderLocalApplicationData) {
    const std::wstring local = ShellLocalAppDataFolder();
    ASSERT_FALSE(local.empty());
    EXPECT_EQ(local[1], L':');
    InstallShellFolderLookup();
    SetPicturesFolderLookup([] { return std::wstring(); });
    OutputSettings o;
    o.bDateDir = false;
    FolderResult made;
    const std::wstring folder = resolveOutputFolder(o, &made);
    SetPicturesFolderLookup(nullptr);
    SetLocalAppDataLookup(nullptr);
    EXPECT_EQ(made.failure, SaveFailure::None);
    EXPECT_EQ(o.baseDirName, local + L"\\Tamrik\\Captures");
    EXPECT_EQ(folder, local + L"\\Tamrik\\Captures\\");
    EXPECT_TRUE(IsFolder(folder));
    RemoveEmptyFolders(made.created);
}
