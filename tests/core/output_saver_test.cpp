#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "output/image_file_saver.h"
#include "output/output_naming.h"
#include "output/output_path.h"
#include "tests/common/output_fixtures.h"
#include "tests/core/image_test_pictures.h"
#include "tests/core/output_test_support.h"

using namespace orbilux;

namespace {

struct SaverTest : ::testing::Test {
    void SetUp() override {
        settings.output_.baseDirName = dir.Wide();
        settings.output_.bDateDir = false;
        settings.output_.nPictureFormat = 0;
        settings.output_.bpp = 3;
        settings.output_.scale = 100;
        settings.general_.screenTarget = 0;
        settings.key_.logType = 0;
    }
    SaveOutcome Run(CxImagePtr image, MonitorShotMap shots = {}) {
        ImageFileSaver saver(platform, std::move(image), std::move(shots), settings);
        return saver();
    }
    // Width of a written BMP, from its information header.
    uint32_t BmpWidth(const std::string& name) const {
        std::ifstream in(dir.Path() / name, std::ios::binary);
        const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (b.size() < 26) return 0;
        return uint32_t(b[18]) | uint32_t(b[19]) << 8 | uint32_t(b[20]) << 16 | uint32_t(b[21]) << 24;
    }

    outtest::ScratchFolder dir;
    tamrik_test::FixedPortablePlatform platform;  // the clock at 14:23:41
    ORBILUXSetting settings;
};

// Width of a written PNG, from its header chunk.
uint32_t PngWidth(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 24) return 0;
    return uint32_t(b[16]) << 24 | uint32_t(b[17]) << 16 | uint32_t(b[18]) << 8 | uint32_t(b[19]);
}

CxImagePtr Picture(uint32_t w, uint32_t h) {
    return std::make_shared<CxImage>(testpics::Screen(w, h));
}

// The file names of written paths, which all lie in the run's folder.
std::vector<std::string> NamesIn(const SaveOutcome& outcome, const std::vector<std::wstring>& paths) {
    std::vector<std::string> names;
    for (const auto& path : paths) {
        if (path.compare(0, outcome.folder.size(), outcome.folder) != 0) return {"outside the folder"};
        names.push_back(std::string(path.begin() + outcome.folder.size(), path.end()));
    }
    return names;
}

}  // namespace

TEST_F(SaverTest, SinglePictureGetsIndexZeroAndTheStemIsClearedForTheNextCapture) {
    Run(Picture(20, 10));
    EXPECT_TRUE(settings.output_.baseFileName.empty());
    Run(Picture(20, 10));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"MN20240305_00_6bf1.bmp", "MN20240305_00_6bf2.bmp"}));
}

TEST_F(SaverTest, MonitorPicturesAreNumberedInHandleOrderSkippingEmptyEntries) {
    settings.general_.screenTarget = 1;
    MonitorShotMap shots;
    shots[30] = MonitorShot{0, Picture(30, 8)};
    shots[10] = MonitorShot{2, Picture(10, 8)};
    shots[20] = MonitorShot{1, nullptr};                              // never grabbed: takes no number
    shots[(uintptr_t(1) << 32) | 5] = MonitorShot{3, Picture(5, 8)};  // keyed by its low 32 bits
    const SaveOutcome outcome = Run(Picture(99, 9), shots);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"MN20240305_01_6bf1.bmp", "MN20240305_02_6bf1.bmp",
                                                     "MN20240305_03_6bf1.bmp"}));
    EXPECT_EQ(NamesIn(outcome, outcome.pictureFiles), dir.Names());
    EXPECT_TRUE(outcome.reportFile.empty());
    EXPECT_EQ(BmpWidth("MN20240305_01_6bf1.bmp"), 5u);
    EXPECT_EQ(BmpWidth("MN20240305_02_6bf1.bmp"), 10u);
    EXPECT_EQ(BmpWidth("MN20240305_03_6bf1.bmp"), 30u);
}

TEST_F(SaverTest, ReportFollowsThePicturesOnlyWhenAskedFor) {
    settings.output_.nPictureFormat = 1;
    settings.key_.logType = 1;
    const SaveOutcome outcome = Run(Picture(20, 10));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"MN20240305_00_6bf1.png", "MN20240305_00_6bf1.txt"}));
    EXPECT_EQ(NamesIn(outcome, outcome.pictureFiles), std::vector<std::string>{"MN20240305_00_6bf1.png"});
    EXPECT_EQ(NamesIn(outcome, {outcome.reportFile}), std::vector<std::string>{"MN20240305_00_6bf1.txt"});
    settings.key_.logType = 0;
    Run(Picture(20, 10));
    EXPECT_EQ(dir.Names().size(), 3u);
    EXPECT_TRUE(settings.output_.baseFileName.empty());
}

TEST_F(SaverTest, NoReportWithoutLogTypeButTheStemIsCleared) {
    settings.output_.nPictureFormat = 2;
    Run(Picture(20, 10));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"MN20240305_00_6bf1.jpg"});
    EXPECT_TRUE(settings.output_.baseFileName.empty());
}

TEST_F(SaverTest, FormatsWithoutAnEncoderWriteNothingAtAll) {
    for (int32_t format : {3, -1, 7}) {
        settings.output_.nPictureFormat = format;
        const SaveOutcome outcome = Run(Picture(20, 10));
        EXPECT_TRUE(settings.output_.baseFileName.empty());
        EXPECT_TRUE(outcome.pictureFiles.empty());
    }
    EXPECT_TRUE(dir.Names().empty());
}

TEST_F(SaverTest, UnwritableFolderLeavesNoFileAndTheRunSaysWhy) {
    dir.Touch("blocker");
    settings.output_.baseDirName = dir.Wide() + L"/blocker";
    settings.output_.bDateDir = true;
    settings.key_.logType = 1;
    const SaveOutcome blocked = Run(Picture(20, 10));
    EXPECT_EQ(blocked.failure, SaveFailure::NotAFolder);
    EXPECT_EQ(blocked.folder, dir.Wide() + L"/blocker\\20240305\\");
    EXPECT_TRUE(settings.output_.baseFileName.empty());
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"blocker"});
    // The next capture into a good folder works.
    settings.output_.baseDirName = dir.Wide();
    settings.output_.bDateDir = false;
    const SaveOutcome written = Run(Picture(20, 10));
    EXPECT_TRUE(written.Ok());
    EXPECT_EQ(written.folder, dir.Wide() + L"\\");
    EXPECT_EQ(dir.Names().size(), 3u);
}

namespace {

// The portable file functions, except that files whose names hold `full`
// go to a disk with no room left.
class FullDisk : public OutputFileSystem {
public:
    explicit FullDisk(std::wstring full) : real_(PortableFileSystem()), full_(std::move(full)) {}

    Kind Probe(const std::wstring& p) override { return real_.Probe(p); }
    SaveFailure MakeFolder(const std::wstring& f) override { return real_.MakeFolder(f); }
    std::FILE* OpenForWrite(const std::wstring& p, SaveFailure& failure) override {
        if (p.find(full_) == std::wstring::npos) return real_.OpenForWrite(p, failure);
        temporaries.push_back(p);
        std::FILE* file = std::fopen("/dev/full", "wb");
        failure = file ? SaveFailure::None : SaveFailure::WriteFailed;
        return file;
    }
    SaveFailure MoveReplacing(const std::wstring& a, const std::wstring& b) override {
        return real_.MoveReplacing(a, b);
    }
    void RemoveFile(const std::wstring& p) override { real_.RemoveFile(p); }
    void RemoveEmptyFolder(const std::wstring& f) override { real_.RemoveEmptyFolder(f); }
    void ListFiles(const std::wstring& f, const std::function<void(const std::wstring&)>& v) override {
        real_.ListFiles(f, v);
    }

    std::vector<std::wstring> temporaries;

private:
    OutputFileSystem& real_;
    std::wstring full_;
};

}  // namespace

TEST_F(SaverTest, AFullDiskIsReportedAndLeavesNeitherFilesNorTheNewFolder) {
    FullDisk disk(L"MN");
    platform.SetFiles(&disk);
    settings.output_.bDateDir = true;
    settings.output_.nPictureFormat = 1;
    settings.key_.logType = 1;
    const SaveOutcome outcome = Run(Picture(64, 48));
    EXPECT_EQ(outcome.failure, SaveFailure::DiskFull);
    EXPECT_EQ(outcome.folder, dir.Wide() + L"\\20240305\\");
    // Both the picture and the report were tried, each into a temporary file.
    ASSERT_EQ(disk.temporaries.size(), 2u);
    EXPECT_NE(disk.temporaries[0].find(L"~MN20240305_00_6bf1.png.tmp"), std::wstring::npos);
    EXPECT_TRUE(dir.Names().empty()) << "the date folder made for the run is gone again";
}

TEST_F(SaverTest, PicturesWrittenBeforeAFailureAreKeptWhole) {
    FullDisk disk(L"_02_");
    platform.SetFiles(&disk);
    settings.general_.screenTarget = 1;
    settings.output_.nPictureFormat = 2;
    MonitorShotMap shots;
    shots[1] = MonitorShot{0, Picture(16, 16)};
    shots[2] = MonitorShot{1, Picture(16, 16)};
    const SaveOutcome outcome = Run(nullptr, shots);
    EXPECT_EQ(outcome.failure, SaveFailure::DiskFull);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"MN20240305_01_6bf1.jpg"});
    EXPECT_EQ(NamesIn(outcome, outcome.pictureFiles), dir.Names());  // only what was written
}

TEST_F(SaverTest, FilesTakeThePressTimeTheComputerInformationRead) {
    // The clock has moved on to another day since the press was read.
    tamrik::CalendarTime press = tamrik_test::FixedClock();
    press.day = 4;
    press.hour = 23;
    press.minute = 59;
    press.second = 58;
    settings.format_.computerInfo.localTime = press;
    settings.output_.bDateDir = true;
    settings.key_.logType = 1;
    EXPECT_TRUE(Run(Picture(20, 10)).Ok());
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"20240304"});
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "20240304" / "MN20240304_00_b3f1.bmp"));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "20240304" / "MN20240304_00_b3f1.txt"));
    EXPECT_EQ(settings.output_.captureTime.day, 4);
}

TEST_F(SaverTest, FailedEncodingLeavesNeitherTemporaryNorHalfFile) {
    const std::wstring path = dir.Wide() + L"\\MN20240305_00_6bf1.png";
    EXPECT_FALSE(savePicture(PortableFileSystem(), CxImage(), path, ImageEncoder::Png));
    EXPECT_TRUE(dir.Names().empty());
    // An existing file keeps its content when the new one fails.
    dir.Touch("MN20240305_00_6bf1.png");
    EXPECT_FALSE(savePicture(PortableFileSystem(), CxImage(), path, ImageEncoder::Jpeg));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"MN20240305_00_6bf1.png"});
    EXPECT_EQ(std::filesystem::file_size(dir.Path() / "MN20240305_00_6bf1.png"), 1u);
    // A good picture replaces it.
    EXPECT_TRUE(savePicture(PortableFileSystem(), testpics::Screen(8, 8), path, ImageEncoder::Png));
    EXPECT_GT(std::filesystem::file_size(dir.Path() / "MN20240305_00_6bf1.png"), 1u);
    EXPECT_EQ(dir.Names().size(), 1u);
}

TEST(PreparePicture, ScalesAndReducesByTheSettings) {
    OutputSettings o;
    const CxImage src = testpics::Screen(40, 20);
    o.nPictureFormat = 1;
    o.scale = 100;
    EXPECT_EQ(preparePicture(o, 0, src).GetBpp(), 1u);
    EXPECT_EQ(preparePicture(o, 1, src).GetBpp(), 4u);
    EXPECT_EQ(preparePicture(o, 2, src).GetBpp(), 8u);
    EXPECT_EQ(preparePicture(o, 3, src).GetBpp(), 24u);
    EXPECT_EQ(preparePicture(o, 9, src).GetBpp(), 24u);
    EXPECT_TRUE(testpics::SamePixels(preparePicture(o, 3, src), src));
    // JPEG always gets full colour.
    o.nPictureFormat = 2;
    EXPECT_EQ(preparePicture(o, 0, src).GetBpp(), 24u);
    // Above 150 is taken as 150; 0 is full size, never a thumbnail.
    o.scale = 1000;
    EXPECT_EQ(preparePicture(o, 3, src).GetWidth(), 60u);
    const CxImage wide = testpics::Screen(300, 200);
    o.scale = 0;
    EXPECT_EQ(preparePicture(o, 3, wide).GetWidth(), 300u);
    EXPECT_TRUE(testpics::SamePixels(preparePicture(o, 3, wide), wide));
    o.scale = 1;
    EXPECT_EQ(preparePicture(o, 3, wide).GetWidth(), 3u);
    o.scale = 50;
    CxImage hd;
    ASSERT_TRUE(hd.Create(1920, 1080, 24));
    const CxImage half = preparePicture(o, 3, hd);
    EXPECT_EQ(half.GetWidth(), 960u);
    EXPECT_EQ(half.GetHeight(), 540u);
    EXPECT_EQ(hd.GetWidth(), 1920u);  // the captured picture is not changed
}

TEST_F(SaverTest, MonitorPicturesEncodedSideBySideKeepTheirNamesAndIndexes) {
    settings.general_.screenTarget = 1;
    settings.output_.nPictureFormat = 1;
    MonitorShotMap shots;
    for (uint32_t m = 1; m <= 7; ++m) shots[m] = MonitorShot{int32_t(m - 1), Picture(m * 3, 4)};
    ImageFileSaver saver(platform, nullptr, shots, settings);
    saver.SetEncodingThreads(4);
    EXPECT_TRUE(saver().Ok());
    const std::vector<std::string> names = dir.Names();
    ASSERT_EQ(names.size(), 7u);
    for (uint32_t m = 1; m <= 7; ++m) {
        const std::string name = "MN20240305_0" + std::to_string(m) + "_6bf1.png";
        EXPECT_EQ(names[m - 1], name);
        EXPECT_EQ(PngWidth(dir.Path() / name), m * 3) << name;
    }
}

TEST_F(SaverTest, TheReportWaitsForEveryPictureAndShowsWhatArrivedMeanwhile) {
    settings.output_.nPictureFormat = 0;
    settings.key_.logType = 1;
    settings.format_.computerInfo.localTime = tamrik_test::FixedClock();
    ImageFileSaver saver(platform, Picture(20, 10), {}, settings);
    bool pictureThere = false;
    saver.SetReportWait([&] {
        pictureThere = dir.Names() == std::vector<std::string>{"MN20240305_00_6bf1.bmp"};
        // The information gathered since the press arrives only now.
        settings.format_.computerInfo.computerName = L"LATE-ARRIVAL";
        settings.format_.computerInfo.composeInfoLines();
    });
    EXPECT_TRUE(saver().Ok());
    EXPECT_TRUE(pictureThere);
    std::ifstream in(dir.Path() / "MN20240305_00_6bf1.txt", std::ios::binary);
    const std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(report.find("LATE-ARRIVAL"), std::string::npos);
}

TEST_F(SaverTest, ARunThatFailsStillReleasesTheReportWait) {
    settings.key_.logType = 1;
    settings.output_.baseDirName = tamrik::Utf8ToWide((dir.Path() / "file").string());
    std::ofstream(dir.Path() / "file") << "in the way";
    ImageFileSaver saver(platform, Picture(20, 10), {}, settings);
    int waited = 0;
    saver.SetReportWait([&] { ++waited; });
    EXPECT_FALSE(saver().Ok());
    EXPECT_EQ(waited, 1);
}
