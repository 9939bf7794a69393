// The capture against Wine's real screen: pattern windows, the grab, the
// bitmap conversion, the monitor functions and the capture error box.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/win32/splash_wnd.h"
#include "capture/win32/gdi_capture.h"
#include "capture/win32/monitor_functions.h"
#include "capture/win32/own_windows.h"
#include "capture/win32/screen_shot_capture.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "window/raii.h"

using namespace orbilux;

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// The picture every pattern window shows, in its own coordinates.
Rgb PatternAt(int x, int y) {
    return Rgb{uint8_t(x * 3 + y), uint8_t(y * 5 + x / 7), uint8_t(((x / 32 + y / 32) & 1) ? 0xF0 : 0x10)};
}

void PumpFor(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    } while (::GetTickCount() - start < milliseconds);
}

// A borderless topmost window painted with the pattern.
class PatternWindow {
public:
    PatternWindow(int x, int y, int width, int height) {
        static const ATOM cls = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TamrikCapturePattern";
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            return ::RegisterClassW(&wc);
        }();
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;  // top-down
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        picture_.Reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        auto* pixel = static_cast<uint32_t*>(bits);
        for (int row = 0; row < height; ++row) {
            for (int col = 0; col < width; ++col) {
                const Rgb c = PatternAt(col, row);
                *pixel++ = (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b;
            }
        }
        hwnd_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, MAKEINTATOM(cls), L"capture pattern",
                                  WS_POPUP, x, y, width, height, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::ShowWindow(hwnd_, SW_SHOW);
        ::SetForegroundWindow(hwnd_);
        ::UpdateWindow(hwnd_);
        PumpFor(300);
    }
    ~PatternWindow() { ::DestroyWindow(hwnd_); }
    HWND Hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<PatternWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_ERASEBKGND) return 1;
        if (msg == WM_PAINT && self) {
            tamrik::PaintDC paint(hwnd);
            tamrik::UniqueDC memory(::CreateCompatibleDC(paint.Get()));
            tamrik::SelectObjectScope selected(memory.Get(), self->picture_.Get());
            RECT client;
            ::GetClientRect(hwnd, &client);
            ::BitBlt(paint.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
            return 0;
        }
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }

    HWND hwnd_ = nullptr;
    tamrik::UniqueBitmap picture_;
};

// Screen row r of a picture (rows are stored bottom-up).
RGBQuadColor ScreenPixel(const CxImage& image, uint32_t x, uint32_t r) {
    return image.GetPixelColor(x, image.GetHeight() - 1 - r);
}

// Counts the pixels of the region (x0, y0)..(x1, y1) of the picture that differ
// from the pattern shown with its corner at picture position (px, py).
int PatternMismatches(const CxImage& image, int px, int py, int x0, int y0, int x1, int y1) {
    int wrong = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const Rgb want = PatternAt(x - px, y - py);
            const RGBQuadColor got = ScreenPixel(image, uint32_t(x), uint32_t(y));
            if (got.red != want.r || got.green != want.g || got.blue != want.b) ++wrong;
        }
    }
    return wrong;
}

struct CountingReporter : CaptureErrorReporter {
    int shown = 0;
    void ShowCaptureError() override { ++shown; }
};

bool HaveDisplay() {
    return std::getenv("DISPLAY") != nullptr;
}

// The system's screen, with the error box counted instead of shown.
struct SystemScreen {
    SystemMonitorSource monitors;
    GdiScreenSource screen;
    SystemWindowSource windows;
    CountingReporter errors;
    CaptureSeams seams{monitors, screen, windows, errors};
};

bool WriteBmp(const CxImage& image, const std::wstring& path) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    const uint32_t pixels = uint32_t(image.GetSizeImage());
    uint8_t header[54] = {'B', 'M'};
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) header[at + i] = uint8_t(v >> (8 * i));
    };
    put32(2, 54 + pixels);
    put32(10, 54);
    put32(14, 40);
    put32(18, image.GetWidth());
    put32(22, image.GetHeight());
    header[26] = 1;
    header[28] = 24;
    put32(34, pixels);
    const bool ok = std::fwrite(header, 1, sizeof(header), file) == sizeof(header) &&
                    std::fwrite(image.GetBits(), 1, pixels, file) == pixels;
    return std::fclose(file) == 0 && ok;
}

// With TAMRIK_CAPTURE_OUT set (by the end-to-end script) the capture goes to
// capture.bmp there, and the window stays up until the script has grabbed the
// X screen too.
void HandOverToScript(const CxImage& image) {
    const wchar_t* out = _wgetenv(L"TAMRIK_CAPTURE_OUT");
    if (!out) return;
    const std::wstring dir(out);
    ASSERT_TRUE(WriteBmp(image, dir + L"\\capture.bmp"));
    FILE* flag = _wfopen((dir + L"\\captured").c_str(), L"wb");
    ASSERT_TRUE(flag);
    std::fclose(flag);
    for (int i = 0; i < 600 && ::GetFileAttributesW((dir + L"\\grabbed").c_str()) == INVALID_FILE_ATTRIBUTES;
         ++i) {
        PumpFor(100);
    }
}

// ---- The bitmap conversion ----

TEST(CaptureBitmap, ConvertsToBottomUpRowsAtTheAskedDepth) {
    tamrik::WindowDC screen(nullptr);
    tamrik::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), 5, 3));
    ASSERT_TRUE(bitmap);
    {
        tamrik::UniqueDC memory(::CreateCompatibleDC(screen.Get()));
        tamrik::SelectObjectScope selected(memory.Get(), bitmap.Get());
        RECT all{0, 0, 5, 3};
        ::FillRect(memory.Get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::SetPixel(memory.Get(), 0, 0, RGB(255, 0, 0));
        ::SetPixel(memory.Get(), 4, 2, RGB(0, 0, 255));
        ::SetPixel(memory.Get(), 1, 1, RGB(0, 0, 0));
    }
    CxImage image;
    ASSERT_TRUE(image.Create(9, 9, 8));
    ASSERT_TRUE(BitmapToImage(screen.Get(), bitmap.Get(), 24, image));
    EXPECT_EQ(image.GetWidth(), 5u);
    EXPECT_EQ(image.GetHeight(), 3u);
    EXPECT_EQ(image.GetBpp(), 24u);
    EXPECT_EQ(image.GetNumColors(), 0u);
    EXPECT_TRUE(ScreenPixel(image, 0, 0).SameRgb(RGBQuadColor::FromRgb(255, 0, 0)));
    EXPECT_TRUE(ScreenPixel(image, 4, 2).SameRgb(RGBQuadColor::FromRgb(0, 0, 255)));
    EXPECT_TRUE(ScreenPixel(image, 2, 1).SameRgb(RGBQuadColor::FromRgb(255, 255, 255)));

    CxImage mono;
    ASSERT_TRUE(BitmapToImage(screen.Get(), bitmap.Get(), 1, mono));
    EXPECT_EQ(mono.GetBpp(), 1u);
    EXPECT_EQ(mono.GetNumColors(), 2u);
    EXPECT_TRUE(ScreenPixel(mono, 1, 1).SameRgb(RGBQuadColor::FromRgb(0, 0, 0)));
    EXPECT_TRUE(ScreenPixel(mono, 2, 1).SameRgb(RGBQuadColor::FromRgb(255, 255, 255)));
}

// ---- The multi-monitor functions ----

TEST(CaptureMonitorFunctions, AvailableFromTheSecond9xReleaseAndAfterNt4) {
    EXPECT_FALSE(MonitorFunctions::Supported(VER_PLATFORM_WIN32_WINDOWS, 4, 0));
    EXPECT_TRUE(MonitorFunctions::Supported(VER_PLATFORM_WIN32_WINDOWS, 4, 10));
    EXPECT_FALSE(MonitorFunctions::Supported(VER_PLATFORM_WIN32_NT, 4, 0));
    EXPECT_TRUE(MonitorFunctions::Supported(VER_PLATFORM_WIN32_NT, 5, 0));
    EXPECT_FALSE(MonitorFunctions::Supported(VER_PLATFORM_WIN32s, 9, 9));
}

TEST(CaptureMonitorFunctions, LooksUpUser32ByNameAndListsTheScreen) {
    const HMODULE user32 = ::GetModuleHandleW(L"USER32.DLL");
    EXPECT_EQ(MonitorFunctions::Lookup(MonitorFunctions::kEnumDisplayMonitors),
              ::GetProcAddress(user32, "EnumDisplayMonitors"));
    EXPECT_EQ(MonitorFunctions::Lookup(MonitorFunctions::kGetMonitorInfoW),
              ::GetProcAddress(user32, "GetMonitorInfoW"));
    try {
        MonitorFunctions::LookupByName("NoSuchMonitorFunction");
        ADD_FAILURE() << "no error for a missing function";
    } catch (const MonitorFunctionError& error) {
        EXPECT_EQ(error.Text(), L"Invalid or Not Found Function Name.");
    }

    const auto list = CurrentMonitorList();
    ASSERT_EQ(list.size(), size_t(::GetSystemMetrics(SM_CMONITORS)));
    if (list.size() == 1) {
        EXPECT_EQ(list[0].rect,
                  (MonitorRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}));
        EXPECT_EQ(list[0].width, ::GetSystemMetrics(SM_CXSCREEN));
        EXPECT_NE(list[0].handle, MonitorHandle(0));
    }
}

// ---- Capturing Wine's screen ----

TEST(CaptureScreen, WholeDesktopIsTheScreenPixelForPixel) {
    if (!HaveDisplay()) GTEST_SKIP() << "needs the test environment's X display";
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    PatternWindow window(0, 0, width, height);
    SystemScreen system;
    ScreenShot shot;
    int wrong = -1;
    for (int attempt = 0; attempt < 30 && wrong != 0; ++attempt) {
        PumpFor(100);
        ASSERT_EQ(shot.Capture(CaptureSettings{0, {}}, system.seams), 1);
        wrong = PatternMismatches(*shot.image, 0, 0, 0, 0, width, height);
    }
    EXPECT_EQ(system.errors.shown, 0);
    EXPECT_EQ(shot.image->GetWidth(), uint32_t(width));
    EXPECT_EQ(shot.image->GetHeight(), uint32_t(height));
    EXPECT_EQ(shot.image->GetBpp(), 24u);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(shot.GetPage(0).image, shot.image);
    HandOverToScript(*shot.image);
}

TEST(CaptureScreen, EachMonitorGrabsWinesOneScreen) {
    if (!HaveDisplay()) GTEST_SKIP() << "needs the test environment's X display";
    SystemScreen system;
    ScreenShot shot;
    ASSERT_EQ(::GetSystemMetrics(SM_CMONITORS), 1);
    ASSERT_EQ(shot.Capture(CaptureSettings{1, {}}, system.seams), 1);
    ASSERT_EQ(shot.monitorShots.size(), 1u);
    const CxImagePtr picture = shot.monitorShots.begin()->second.image;
    ASSERT_TRUE(picture);
    EXPECT_EQ(shot.GetPage(0).image, picture);
    EXPECT_EQ(picture->GetWidth(), uint32_t(::GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(picture->GetHeight(), uint32_t(::GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_FALSE(shot.image->IsValid());

    // Leaving out the only monitor would leave nothing: it is captured all the same.
    EXPECT_EQ(shot.Capture(CaptureSettings{1, {0}}, system.seams), 1);
    EXPECT_EQ(shot.monitorShots.size(), 1u);
    EXPECT_EQ(system.errors.shown, 0);
}

TEST(CaptureScreen, ThePressSettingsChooseTheMode) {
    ORBILUXSetting settings;
    settings.general_.screenTarget = 1;
    settings.general_.disabledMonitors_ = {0};  // the only monitor, taken all the same
    ScreenShot shot;
    EXPECT_EQ(CaptureBySettings(shot, settings), 1);
    EXPECT_EQ(shot.monitorShots.size(), 1u);
    EXPECT_FALSE(shot.image->IsValid());
}

class CaptureActiveWindowOnScreen : public ::testing::Test {
protected:
    // Captures the active window until the picture is width x height and its
    // part from (x0, y0) on, which is on the screen, shows the pattern.
    void CaptureUntilShown(PatternWindow& window, int width, int height, int x0, int y0) {
        for (int attempt = 0; attempt < 30; ++attempt) {
            PumpFor(100);
            if (::GetForegroundWindow() != window.Hwnd()) ::SetForegroundWindow(window.Hwnd());
            ASSERT_EQ(shot.Capture(CaptureSettings{2, {}}, system.seams), 1);
            if (shot.image->GetWidth() == uint32_t(width) && shot.image->GetHeight() == uint32_t(height) &&
                PatternMismatches(*shot.image, 0, 0, x0, y0, width, height) == 0) {
                return;
            }
        }
    }
    SystemScreen system;
    ScreenShot shot;
};

TEST_F(CaptureActiveWindowOnScreen, WindowPastTheRightAndBottomEdgesIsCutThere) {
    if (!HaveDisplay()) GTEST_SKIP() << "needs the test environment's X display";
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    PatternWindow window(width - 280, height - 224, 600, 500);
    CaptureUntilShown(window, 280, 224, 0, 0);
    EXPECT_EQ(::GetForegroundWindow(), window.Hwnd());
    EXPECT_EQ(shot.image->GetWidth(), 280u);
    EXPECT_EQ(shot.image->GetHeight(), 224u);
    EXPECT_EQ(PatternMismatches(*shot.image, 0, 0, 0, 0, 280, 224), 0);
}

TEST_F(CaptureActiveWindowOnScreen, WindowPastTheLeftAndTopEdgesIsNotCut) {
    if (!HaveDisplay()) GTEST_SKIP() << "needs the test environment's X display";
    PatternWindow window(-100, -50, 300, 200);
    CaptureUntilShown(window, 300, 200, 100, 50);
    EXPECT_EQ(::GetForegroundWindow(), window.Hwnd());
    EXPECT_EQ(shot.image->GetWidth(), 300u);
    EXPECT_EQ(shot.image->GetHeight(), 200u);
    // The part on the screen is the window's, from its own corner; the part
    // outside keeps the white background.
    EXPECT_EQ(PatternMismatches(*shot.image, 0, 0, 100, 50, 300, 200), 0);
    const RGBQuadColor white = RGBQuadColor::FromRgb(255, 255, 255);
    EXPECT_TRUE(ScreenPixel(*shot.image, 0, 0).SameRgb(white));
    EXPECT_TRUE(ScreenPixel(*shot.image, 99, 199).SameRgb(white));
    EXPECT_TRUE(ScreenPixel(*shot.image, 299, 49).SameRgb(white));
}

// ---- The program's own windows ----

HWND FindSplash() {
    return ::FindWindowW(L"TamrikSplashWnd", nullptr);
}

// Pixels of the rectangle r (screen coordinates) that differ between two
// pictures of the whole single-monitor screen.
int Differences(const CxImage& a, const CxImage& b, const RECT& r) {
    int differing = 0;
    for (LONG y = std::max(r.top, 0L); y < std::min(r.bottom, LONG(a.GetHeight())); ++y) {
        for (LONG x = std::max(r.left, 0L); x < std::min(r.right, LONG(a.GetWidth())); ++x) {
            if (!ScreenPixel(a, uint32_t(x), uint32_t(y)).SameRgb(ScreenPixel(b, uint32_t(x), uint32_t(y))))
                ++differing;
        }
    }
    return differing;
}

class CaptureOwnWindows : public ::testing::Test {
protected:
    void TearDown() override {
        for (int i = 0; i < 50 && FindSplash(); ++i) PumpFor(100);
    }
    SystemScreen system;
    HiddenOwnWindows own;
    ScreenShot shot;
};

TEST_F(CaptureOwnWindows, SplashOverTheActiveWindowIsNotInItsPicture) {
    if (!HaveDisplay()) GTEST_SKIP() << "needs the test environment's X display";
    PatternWindow window(100, 100, 400, 300);
    ASSERT_NE(CSplashWnd::Open(IDB_SPLASH_PRINT, 1200, window.Hwnd()), nullptr);
    const HWND splash = FindSplash();
    PumpFor(200);
    ASSERT_TRUE(::IsWindowVisible(splash));

    // Without hiding, the splash over the middle of the window is in its picture.
    ASSERT_EQ(shot.Capture(CaptureSettings{2, {}}, system.seams), 1);
    EXPECT_GT(PatternMismatches(*shot.image, 0, 0, 0, 0, 400, 300), 160 * 80 / 2);

    CaptureSeams seams = system.seams;
    seams.ownWindows = &own;
    ASSERT_EQ(shot.Capture(CaptureSettings{2, {}}, seams), 1);
    EXPECT_EQ(shot.image->GetWidth(), 400u);
    EXPECT_EQ(PatternMismatches(*shot.image, 0, 0, 0, 0, 400, 300), 0);
    // The splash is back, the window keeps the foreground, and the splash
    // still closes by its own timer.
    EXPECT_TRUE(::IsWindowVisible(splash));
    EXPECT_TRUE(own.Hidden().empty());
    EXPECT_EQ(::GetForegroundWindow(), window.Hwnd());
    PumpFor(1500);
    EXPECT_EQ(FindSplash(), nullptr);
}

TEST_F(CaptureOwnWindows, DesktopPictureShowsNoneOfThemAndTheyComeBack) {
    if (!HaveDisplay()) GTEST_SKIP() << "needs the test environment's X display";
    PatternWindow window(100, 100, 400, 300);
    ASSERT_NE(CSplashWnd::Open(IDB_SPLASH_START, 60000, window.Hwnd()), nullptr);
    const HWND splash = FindSplash();
    PumpFor(200);
    RECT splashRect{}, windowRect{}, both{};
    ::GetWindowRect(splash, &splashRect);
    ::GetWindowRect(window.Hwnd(), &windowRect);
    ::UnionRect(&both, &splashRect, &windowRect);

    CaptureSeams seams = system.seams;
    seams.ownWindows = &own;
    ASSERT_EQ(shot.Capture(CaptureSettings{0, {}}, seams), 1);
    CxImage hidden = *shot.image;
    EXPECT_TRUE(::IsWindowVisible(splash));
    EXPECT_TRUE(::IsWindowVisible(window.Hwnd()));
    EXPECT_EQ(::GetForegroundWindow(), window.Hwnd()) << "the active window gets the foreground back";
    RECT now{};
    ::GetWindowRect(splash, &now);
    EXPECT_TRUE(::EqualRect(&now, &splashRect));

    // The same screen with the program's windows shown, and with them closed.
    ASSERT_EQ(shot.Capture(CaptureSettings{0, {}}, system.seams), 1);
    CxImage shown = *shot.image;
    ::SendMessageW(splash, WM_KEYDOWN, VK_ESCAPE, 0);
    ::ShowWindow(window.Hwnd(), SW_HIDE);
    PumpFor(500);
    ASSERT_EQ(shot.Capture(CaptureSettings{0, {}}, system.seams), 1);
    EXPECT_GT(Differences(shown, *shot.image, both), 160 * 80);
    EXPECT_EQ(Differences(hidden, *shot.image, both), 0);
}

// ---- The capture error ----

TEST(CaptureErrorBox, FailedGrabShowsTheErrorWithoutOwnerAndKeepsThePicture) {
    struct FailingScreen : GdiScreenSource {
        bool Grab(int32_t, int32_t, int32_t, int32_t, CxImage&) override { return false; }
    } failing;
    SystemMonitorSource monitors;
    SystemWindowSource windows;
    MessageBoxErrorReporter box;
    CaptureSeams seams{monitors, failing, windows, box};

    ScreenShot shot;
    ASSERT_TRUE(shot.image->Create(4, 4, 24));
    shot.InsertPage(PageEntry{false, 0, shot.image, {}, PageKind::Picture});

    std::atomic<bool> found{false};
    std::wstring text;
    HWND owner = reinterpret_cast<HWND>(1);
    std::thread watcher([&] {
        for (int i = 0; i < 200 && !found; ++i) {
            const HWND dialog = ::FindWindowW(L"#32770", L"Screen capture ERROR");
            if (dialog && ::IsWindowVisible(dialog)) {
                wchar_t buffer[256] = {};
                ::GetDlgItemTextW(dialog, 0xFFFF, buffer, 256);
                text = buffer;
                owner = ::GetWindow(dialog, GW_OWNER);
                found = true;
                ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                return;
            }
            ::Sleep(50);
        }
    });
    EXPECT_EQ(shot.Capture(CaptureSettings{0, {}}, seams), 0);
    watcher.join();

    ASSERT_TRUE(found);
    wchar_t expected[256] = {};
    if (::LoadStringW(::GetModuleHandleW(nullptr), 129, expected, 256) <= 0) {
        wcscpy(expected, L"Unable to capture screen.");
    }
    EXPECT_EQ(text, expected);
    EXPECT_EQ(owner, nullptr);
    EXPECT_TRUE(shot.pages.empty());
    EXPECT_EQ(shot.image->GetWidth(), 4u);
}

}  // namespace

// ---- The mouse pointer ----

TEST(CapturePointer, DrawnAtItsHotSpotWhenAskedAndOnlyInPicturesThatHoldIt) {
    if (!HaveDisplay()) GTEST_SKIP() << "needs the test environment's X display";
    PatternWindow window(100, 100, 200, 200);
    // A black 32 x 32 pointer whose hot spot is 8 across and 4 down.
    const std::vector<uint8_t> andPlane(32 * 4, 0x00), xorPlane(32 * 4, 0x00);
    HCURSOR cursor =
        ::CreateCursor(::GetModuleHandleW(nullptr), 8, 4, 32, 32, andPlane.data(), xorPlane.data());
    ASSERT_NE(cursor, nullptr);
    ::SetClassLongPtrW(window.Hwnd(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
    ::SetCursorPos(200, 200);
    ::SetCursor(cursor);
    PumpFor(200);
    CURSORINFO info{sizeof(info)};
    if (!::GetCursorInfo(&info) || !(info.flags & CURSOR_SHOWING) || info.hCursor != cursor ||
        info.ptScreenPos.x != 200 || info.ptScreenPos.y != 200) {
        ::DestroyCursor(cursor);
        GTEST_SKIP() << "the system does not report this program's pointer";
    }

    GdiScreenSource screen;
    CxImage plain, withPointer, away;
    ASSERT_TRUE(screen.Grab(150, 150, 100, 100, plain));
    screen.SetPointerDrawn(true);
    ASSERT_TRUE(screen.Grab(150, 150, 100, 100, withPointer));
    ASSERT_TRUE(screen.Grab(100, 100, 40, 40, away));
    ::DestroyCursor(cursor);

    EXPECT_EQ(PatternMismatches(plain, -50, -50, 0, 0, 100, 100), 0) << "drawn without being asked";
    // The pointer covers (42, 46) .. (73, 77) of the picture and nothing else.
    EXPECT_EQ(PatternMismatches(withPointer, -50, -50, 0, 0, 100, 46), 0);
    EXPECT_EQ(PatternMismatches(withPointer, -50, -50, 0, 78, 100, 100), 0);
    EXPECT_EQ(PatternMismatches(withPointer, -50, -50, 0, 46, 42, 78), 0);
    EXPECT_EQ(PatternMismatches(withPointer, -50, -50, 74, 46, 100, 78), 0);
    for (const auto& [x, y] : {std::pair<uint32_t, uint32_t>{42, 46}, {73, 77}, {58, 60}}) {
        const RGBQuadColor c = ScreenPixel(withPointer, x, y);
        EXPECT_TRUE(c.red == 0 && c.green == 0 && c.blue == 0) << x << "," << y;
    }
    EXPECT_EQ(PatternMismatches(away, 0, 0, 0, 0, 40, 40), 0) << "a picture away from the pointer changed";
}
