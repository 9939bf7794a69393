// The folder the tray menu opens: today's dated folder, else the base folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "output/capture_folder.h"
#include "output/output_path.h"
#include "tests/common/output_fixtures.h"
#include "tests/core/output_test_support.h"

using namespace orbilux;

namespace {

tamrik::CalendarTime March5() {
    return tamrik_test::CalendarAt(2024, 3, 5, 9, 0, 0);
}

PortableOutputPlatform portable;

}  // namespace

TEST(OutputCaptureFolder, TodaysDatedFolderOnlyWhenItExistsAndDatedFoldersAreOn) {
    outtest::ScratchFolder dir;
    OutputSettings o;
    o.baseDirName = dir.Wide() + L"\\\\";  // however many separators it ends in
    o.bDateDir = true;
    const std::wstring base = dir.Wide() + L"\\";
    // No capture today yet: the base folder.
    EXPECT_EQ(CaptureFolderToOpen(portable, o, March5()), base);
    std::filesystem::create_directories(dir.Path() / "20240305");
    EXPECT_EQ(CaptureFolderToOpen(portable, o, March5()), base + L"20240305\\");
    // Without dated folders the captures go to the base folder, whatever else is there.
    o.bDateDir = false;
    EXPECT_EQ(CaptureFolderToOpen(portable, o, March5()), base);
    // A file in the place of today's folder is no folder.
    o.bDateDir = true;
    std::filesystem::remove_all(dir.Path() / "20240305");
    dir.Touch("20240305");
    EXPECT_EQ(CaptureFolderToOpen(portable, o, March5()), base);
}

TEST(OutputCaptureFolder, AMissingBaseFolderIsCreatedAndAnUncreatableOneGivesNothing) {
    outtest::ScratchFolder dir;
    OutputSettings o;
    o.baseDirName = dir.Wide() + L"\\new\\deeper";
    EXPECT_EQ(CaptureFolderToOpen(portable, o, March5()), o.baseDirName + L"\\");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "new" / "deeper"));
    dir.Touch("file");
    o.baseDirName = dir.Wide() + L"\\file\\below";
    EXPECT_EQ(CaptureFolderToOpen(portable, o, March5()), L"");
    // The stored setting is only read.
    EXPECT_EQ(o.baseDirName, dir.Wide() + L"\\file\\below");
}
