// What a press costs on the real desktop under Wine, against references taken
// in the same run.
//
//   press_latency_bench.exe png|jpeg LOGTYPE [REPEATS]
//
// A press runs as the print key runs it with keyAction 1 (files) and the given
// logType: the key's part (the grab, the moment, the start of the gathering,
// the queueing) on this thread, the rest on the press worker. Measured, each a
// median over the repeats:
//   grab        the screen read of a single press;
//   key         how long the press keeps this (the user-interface) thread;
//   file        press to the last picture file written;
//   encode      the encode step alone on the same picture (prepare + save);
//   second      press to the end of the grab for the second of two presses
//               100 ms apart, while the first one is still being written.
// The files go to a folder of their own under the temporary folder and are
// removed after every repetition.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/busy_flag.h"
#include "app/win32/capture_action.h"
#include "app/win32/hotkeys.h"
#include "app/win32/press_worker.h"
#include "app/win32/subsystem_links.h"
#include "capture/press_queue.h"
#include "capture/screen_shot.h"
#include "output/image_file_saver.h"
#include "output/win32/output_files_win.h"
#include "settings/settings.h"
#include "sysinfo/info_gathering.h"
#include "sysinfo/win32/system_probes_win.h"
#include "bench/bench_support.h"

namespace {

using tamrik_bench::Median;

using namespace orbilux;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The program's steps, as the main dialog and the press worker run them, with
// the moments the measures need.
class BenchSteps : public CaptureSteps, public PressSteps {
public:
    void SetBusyIndicators(bool) override {}
    int32_t CaptureScreen(Press& press) override {
        grabStart = Clock::now();
        const int32_t pages = CaptureScreenShot(*press.shot, press.settings);
        grabEnd = Clock::now();
        lastShot = press.shot;
        return pages;
    }
    void ReadMoment(Press& press) override { ReadPressMoment(press); }
    void StartGathering(Press& press) override { StartPressGathering(press); }
    void TakePrinter(Press&) override {}
    void ShowPrintingSplash() override {}
    bool QueuePress(std::shared_ptr<Press> press) override {
        return queue.Push(PictureBytes(*press->shot), [this, press] { FinishPress(*press, *this); });
    }
    void NotifyPressDropped() override {}
    OutputPlatform& Output() override { return output; }

    SaveOutcome SaveFiles(Press& press) override {
        return SavePressFiles(output, *press.shot, press.settings, [this, &press] {
            {
                std::lock_guard<std::mutex> hold(lock);
                picturesWritten.push_back(Clock::now());
            }
            press.TakeGatheredInfo();
        });
    }
    void NotifySaveFailure(const SaveOutcome&) override { failed = true; }
    void NotifySaved(const SaveOutcome&) override {}
    void CopyToClipboard(Press&) override {}
    int32_t BuildTextPages(Press&) override { return 0; }
    void StartPrinting(Press&, int32_t) override {}

    Clock::time_point grabStart, grabEnd;
    std::shared_ptr<ScreenShot> lastShot;
    std::mutex lock;
    std::vector<Clock::time_point> picturesWritten;
    bool failed = false;
    Win32OutputPlatform output;
    PressQueue queue{PressQueue::kDefaultByteBudget, LowerThreadPriority};
};

// The files written under folder (the press may put them in a dated
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
    const int logType = argc > 2 ? std::atoi(argv[2]) : 0;
    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;

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
    settings.key_.logType = logType;
    settings.output_.baseDirName = folder;
    settings.output_.nPictureFormat = png ? 1 : 2;
    settings.output_.bpp = 3;
    settings.output_.scale = 100;
    const size_t filesPerPress = logType != 0 ? 2 : 1;

    BusyFlag busy;
    BenchSteps steps;
    std::vector<double> grab, key, file, encode, second;
    uint32_t width = 0, height = 0;
    for (int i = 0; i <= repeats; ++i) {  // the first round warms up and is not counted
        // A single press.
        steps.picturesWritten.clear();
        const Clock::time_point press = Clock::now();
        RunCaptureAction(kPrintHotkeyId, settings, steps, busy);
        const Clock::time_point keyDone = Clock::now();
        const double grabMs = Ms(steps.grabStart, steps.grabEnd);
        steps.queue.WaitIdle();
        if (steps.failed || steps.picturesWritten.size() != 1 || CountAndClear(folder) != filesPerPress) {
            std::fprintf(stderr, "the press wrote no picture\n");
            return 1;
        }
        const double fileMs = Ms(press, steps.picturesWritten[0]);
        const CxImage& picture = *steps.lastShot->image;
        width = picture.GetWidth();
        height = picture.GetHeight();

        // The encode step alone on the same picture.
        std::wstring extension;
        ImageEncoder encoder = ImageEncoder::Jpeg;
        PictureFormat(settings.output_.nPictureFormat, extension, encoder);
        const Clock::time_point encodeStart = Clock::now();
        const CxImage prepared = preparePicture(settings.output_, settings.output_.bpp, picture);
        const bool saved =
            savePicture(steps.output.Files(), prepared, folder + L"encode" + extension, encoder);
        const double encodeMs = Ms(encodeStart, Clock::now());
        if (!saved || CountAndClear(folder) != 1) {
            std::fprintf(stderr, "the encode step wrote no picture\n");
            return 1;
        }

        // Two presses 100 ms apart: the second is grabbed while the first is
        // still being encoded.
        steps.picturesWritten.clear();
        const Clock::time_point first = Clock::now();
        RunCaptureAction(kPrintHotkeyId, settings, steps, busy);
        std::this_thread::sleep_until(first + std::chrono::milliseconds(100));
        const Clock::time_point secondPress = Clock::now();
        RunCaptureAction(kPrintHotkeyId, settings, steps, busy);
        const double secondMs = Ms(secondPress, steps.grabEnd);
        steps.queue.WaitIdle();
        if (steps.picturesWritten.size() != 2 || CountAndClear(folder) != 2 * filesPerPress) {
            std::fprintf(stderr, "the two presses did not write two pictures\n");
            return 1;
        }
        if (i == 0) continue;
        grab.push_back(grabMs);
        key.push_back(Ms(press, keyDone));
        file.push_back(fileMs);
        encode.push_back(encodeMs);
        second.push_back(secondMs);
    }
    const double g = Median(grab), k = Median(key), f = Median(file), e = Median(encode), s = Median(second);
    std::printf(
        "%ux%u %s logType=%d repeats=%d grab_ms=%.1f key_ms=%.1f file_ms=%.1f encode_ms=%.1f "
        "file_ratio=%.2f key_over_grab_ms=%.1f second_grab_ms=%.1f second_ratio=%.2f\n",
        width, height, png ? "png" : "jpeg", logType, repeats, g, k, f, e, f / (g + e), k - g, s, s / g);
    std::filesystem::remove_all(folder, ec);
    return 0;
}
