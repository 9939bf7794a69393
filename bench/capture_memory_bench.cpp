// Peak memory of a per-monitor capture of three 3840x2160 monitors and its
// saving run, as a multiple of the raw pixel bytes (3 x 3840 x 2160 x 3).
//
//   capture_memory_bench png|jpeg OUTPUT_FOLDER [REPEATS]
//
// With REPEATS, the saving run of the same three pictures is also timed on one
// thread (the sum of the three encodes) and on one thread per core, medians of
// REPEATS runs each, alternating.
//
// Two measures: the peak of the bytes live through operator new (counted by the
// replacement below with malloc_usable_size), and the growth of the process's
// peak resident set (ru_maxrss, which also sees the encoders' malloc buffers).
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "base/text.h"
#include "capture/press_queue.h"
#include "capture/screen_shot.h"
#include "output/image_file_saver.h"
#include "bench/bench_support.h"

namespace {

std::atomic<int64_t> g_live{0};
std::atomic<int64_t> g_peak{0};

void* CountedAlloc(size_t size, size_t align) {
    void* p = nullptr;
    if (align > alignof(std::max_align_t)) {
        if (posix_memalign(&p, align, size ? size : 1) != 0) p = nullptr;
    } else {
        p = std::malloc(size ? size : 1);
    }
    if (!p) throw std::bad_alloc();
    const int64_t now = g_live.fetch_add(int64_t(malloc_usable_size(p))) + int64_t(malloc_usable_size(p));
    int64_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void CountedFree(void* p) {
    if (!p) return;
    g_live.fetch_sub(int64_t(malloc_usable_size(p)));
    std::free(p);
}

}  // namespace

void* operator new(size_t n) {
    return CountedAlloc(n, 0);
}
void* operator new[](size_t n) {
    return CountedAlloc(n, 0);
}
void* operator new(size_t n, std::align_val_t a) {
    return CountedAlloc(n, size_t(a));
}
void* operator new[](size_t n, std::align_val_t a) {
    return CountedAlloc(n, size_t(a));
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    try {
        return CountedAlloc(n, 0);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t n, const std::nothrow_t& t) noexcept {
    return operator new(n, t);
}
void operator delete(void* p) noexcept {
    CountedFree(p);
}
void operator delete[](void* p) noexcept {
    CountedFree(p);
}
void operator delete(void* p, size_t) noexcept {
    CountedFree(p);
}
void operator delete[](void* p, size_t) noexcept {
    CountedFree(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    CountedFree(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    CountedFree(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
    CountedFree(p);
}
void operator delete[](void* p, size_t, std::align_val_t) noexcept {
    CountedFree(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    CountedFree(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    CountedFree(p);
}

namespace {

using namespace orbilux;

constexpr int32_t kWidth = 3840;
constexpr int32_t kHeight = 2160;

// Three monitors side by side; every grab fills its picture with a screen-like
// pattern (flat panels, a gradient and some noise) so the encoders do real work.
class ThreeMonitors : public MonitorSource,
                      public ScreenSource,
                      public WindowSource,
                      public CaptureErrorReporter {
public:
    bool EnumMonitors(const std::function<bool(MonitorHandle)>& visit) override {
        for (int i = 0; i < 3; ++i)
            if (!visit(MonitorHandle(0x10001 * (i + 1)))) break;
        return true;
    }
    MonitorInfo GetInfo(MonitorHandle handle) override {
        const MonitorRect r = RectOf(int(handle / 0x10001) - 1);
        return MonitorInfo{r, {r.left, r.top, r.right, r.bottom - 40}};
    }
    MonitorInfo PrimaryScreen() override { return GetInfo(0x10001); }
    void EnumForCapture(const std::function<bool(MonitorHandle, const MonitorRect&)>& visit) override {
        for (int i = 0; i < 3; ++i)
            if (!visit(MonitorHandle(0x10001 * (i + 1)), RectOf(i))) break;
    }
    ScreenMetrics Metrics() override { return ScreenMetrics{3, kWidth, kHeight, 0, 0, 3 * kWidth, kHeight}; }
    bool Grab(int32_t left, int32_t, int32_t width, int32_t height, CxImage& image) override {
        if (!image.Create(uint32_t(width), uint32_t(height), 24)) return false;
        uint32_t noise = 12345u + uint32_t(left);
        for (int32_t y = 0; y < height; ++y) {
            uint8_t* row = image.GetBits(uint32_t(y));
            for (int32_t x = 0; x < width; ++x) {
                uint8_t* px = row + 3 * x;
                if (x < width / 5) {
                    px[0] = 60, px[1] = 40, px[2] = 30;
                } else if (y < 60) {
                    px[0] = uint8_t(x * 255 / width), px[1] = 90, px[2] = 200;
                } else {
                    noise = noise * 1103515245u + 12345u;
                    const uint8_t n = uint8_t((noise >> 16) & 15);
                    px[0] = uint8_t(((x ^ y) & 0x3f) + n), px[1] = uint8_t(y * 200 / height + n), px[2] = 230;
                }
            }
        }
        return true;
    }
    WindowHandle Foreground() override { return 0; }
    WindowHandle TopChild(WindowHandle) override { return 0; }
    bool IsVisible(WindowHandle) override { return false; }
    WindowHandle Desktop() override { return 1; }
    MonitorRect Rect(WindowHandle) override { return RectOf(0); }
    void ShowCaptureError() override { std::fprintf(stderr, "capture failed\n"); }

private:
    static MonitorRect RectOf(int i) { return {i * kWidth, 0, (i + 1) * kWidth, kHeight}; }
};

int64_t MaxRssBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return int64_t(usage.ru_maxrss) * 1024;
}

int64_t CurrentRssBytes() {
    std::ifstream statm("/proc/self/statm");
    int64_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s png|jpeg OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const bool png = std::strcmp(argv[1], "png") == 0;

    ORBILUXSetting settings;
    settings.general_.screenTarget = 1;
    settings.key_.logType = 0;
    settings.output_.baseDirName = tamrik::Utf8ToWide(argv[2]);
    settings.output_.bDateDir = false;
    settings.output_.nPictureFormat = png ? 1 : 2;
    settings.output_.bpp = 3;
    settings.output_.scale = 100;

    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 0;
    const int64_t rawBytes = int64_t(3) * kWidth * kHeight * 3;
    const int64_t rssBefore = CurrentRssBytes();
    const int64_t liveBefore = g_live.load();
    g_peak.store(liveBefore);
    {
        ThreeMonitors screen;
        CaptureSeams seams{screen, screen, screen, screen};
        ScreenShot shot;
        CaptureSettings capture;
        capture.screenTarget = 1;
        if (shot.Capture(capture, seams) != 3) {
            std::fprintf(stderr, "expected three pages\n");
            return 1;
        }
        PortableOutputPlatform platform;
        ImageFileSaver saver(platform, shot.image, shot.monitorShots, settings);
        saver();
        const int64_t newPeak = g_peak.load() - liveBefore;
        const int64_t rssPeak = MaxRssBytes() - rssBefore;
        std::printf("%s raw_mb=%.1f new_peak_mb=%.1f new_ratio=%.2f rss_peak_mb=%.1f rss_ratio=%.2f\n",
                    png ? "png" : "jpeg", rawBytes / 1048576.0, newPeak / 1048576.0,
                    double(newPeak) / rawBytes, rssPeak / 1048576.0, double(rssPeak) / rawBytes);
        if (repeats > 0) {
            std::vector<double> serial, parallel;
            for (int i = 0; i < repeats; ++i) {
                for (unsigned threads : {1u, 0u}) {
                    ImageFileSaver timed(platform, shot.image, shot.monitorShots, settings);
                    timed.SetEncodingThreads(threads);
                    const auto start = std::chrono::steady_clock::now();
                    timed();
                    const double ms =
                        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                            .count();
                    (threads == 1 ? serial : parallel).push_back(ms);
                }
            }
            const auto median = tamrik_bench::Median;
            std::printf("%s threads=%u serial_ms=%.1f parallel_ms=%.1f parallel_ratio=%.2f\n",
                        png ? "png" : "jpeg", EncodingThreads(), median(serial), median(parallel),
                        median(parallel) / median(serial));
        }
    }
    return 0;
}
