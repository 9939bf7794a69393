// Press-to-file latency against the encode step alone, in one run.
//
//   press_latency_bench.exe png|jpeg [REPEATS]
//
// (a) the capture action as a print-key press runs it with keyAction 1 (files
//     only) and logType 0: capture of the whole desktop, the Text pages, the
//     saving run with its worker thread;
// (b) the encode step alone on the same picture: preparePicture + savePicture.
// Each is repeated and the median taken; the files go to a folder of their own
// under the temporary folder and are removed after every repetition.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/win32/busy_flag.h"
#include "app/win32/capture_action.h"
#include "app/win32/hotkeys.h"
#include "app/win32/subsystem_links.h"
#include "capture/screen_shot.h"
#include "output/image_file_saver.h"
#include "settings/settings.h"

namespace {

using namespace orbilux;
using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The steps of the shell, each timed.
class BenchSteps : public CaptureSteps {
public:
    explicit BenchSteps(ScreenShot& shot) : shot_(shot) {}
    void SetBusyIndicators(bool) override {}
    int32_t CaptureScreen() override {
        const Clock::time_point start = Clock::now();
        const int32_t pages = CaptureScreenShot(shot_);
        captureMs = MillisecondsSince(start);
        return pages;
    }
    void ShowPrintingSplash() override {}
    int32_t BuildTextPages() override {
        const Clock::time_point start = Clock::now();
        const int32_t pages = print_.AppendTextPages(shot_, SettingsInstance());
        textMs = MillisecondsSince(start);
        return pages;
    }
    SaveOutcome SaveFiles() override {
        const Clock::time_point start = Clock::now();
        const SaveOutcome outcome = SaveCaptureFiles(shot_);
        saveMs = MillisecondsSince(start);
        return outcome;
    }
    void NotifySaveFailure(const SaveOutcome&) override {}
    void StartPrinting(int32_t) override {}

    double captureMs = 0, textMs = 0, saveMs = 0;

private:
    ScreenShot& shot_;
    PrintLink print_;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The pictures written under folder (the press may put them in a dated
// sub-folder); everything under folder is removed.
size_t CountAndClear(const std::filesystem::path& folder) {
    size_t count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec))
        if (entry.is_regular_file(ec)) ++count;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        std::filesystem::remove_all(entry.path(), ec);
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    const bool png = argc > 1 && std::strcmp(argv[1], "png") == 0;
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;

    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"tamrik-bench\\";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    CountAndClear(folder);

    ORBILUXSetting& settings = SettingsInstance();
    settings.general_.screenTarget = 0;
    settings.general_.bDisplaySplash_ = false;
    settings.key_.keyAction = 1;
    settings.key_.logType = 0;
    settings.output_.baseDirName = folder;
    settings.output_.nPictureFormat = png ? 1 : 2;
    settings.output_.bpp = 3;
    settings.output_.scale = 100;

    PrepareSubsystems();
    BusyFlag busy;
    std::vector<double> press, encode, capture, text, save;
    uint32_t width = 0, height = 0;
    for (int i = 0; i <= repeats; ++i) {  // the first round warms up and is not counted
        ScreenShot shot;
        BenchSteps steps(shot);
        const Clock::time_point pressStart = Clock::now();
        RunCaptureAction(kPrintHotkeyId, settings, steps, busy);
        const double pressMs = MillisecondsSince(pressStart);
        if (CountAndClear(folder) != 1 || !shot.image || !shot.image->IsValid()) {
            std::fprintf(stderr, "the press wrote no picture\n");
            return 1;
        }
        width = shot.image->GetWidth();
        height = shot.image->GetHeight();

        std::wstring extension;
        ImageEncoder encoder = ImageEncoder::Jpeg;
        pictureFormat(settings.output_.nPictureFormat, extension, encoder);
        const Clock::time_point encodeStart = Clock::now();
        const CxImage prepared = preparePicture(settings.output_, settings.output_.bpp, *shot.image);
        const bool saved = savePicture(prepared, folder + L"encode" + extension, encoder);
        const double encodeMs = MillisecondsSince(encodeStart);
        const size_t written = CountAndClear(folder);
        if (!saved || written != 1) {
            std::fprintf(stderr, "the encode step wrote no picture (saved %d, %zu files)\n", int(saved),
                         written);
            return 1;
        }
        if (i == 0) continue;
        press.push_back(pressMs);
        capture.push_back(steps.captureMs);
        text.push_back(steps.textMs);
        save.push_back(steps.saveMs);
        encode.push_back(encodeMs);
    }
    const double pressMedian = Median(press), encodeMedian = Median(encode);
    std::printf(
        "%ux%u %s repeats=%d press_ms=%.1f encode_ms=%.1f ratio=%.2f capture_ms=%.1f text_ms=%.1f "
        "save_ms=%.1f\n",
        width, height, png ? "png" : "jpeg", repeats, pressMedian, encodeMedian, pressMedian / encodeMedian,
        Median(capture), Median(text), Median(save));
    std::filesystem::remove_all(folder, ec);
    return 0;
}
