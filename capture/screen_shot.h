// The one capture object: the pictures of the latest capture and the page list
// that printing walks (Picture pages first, then the Text pages).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "capture/monitor_list.h"
#include "image/ximage.h"

namespace orbilux {

enum class PageKind : int32_t { Picture = 0, Text = 1 };

struct PageEntry {
    bool empty = false;  // set only on the placeholder, which draws nothing
    int32_t pageNumber = 0;
    CxImagePtr image;                 // Picture pages: shared with the screen shot
    std::vector<std::wstring> lines;  // Text pages
    PageKind kind = PageKind::Picture;
};

struct PageNumberLess {
    using is_transparent = void;
    bool operator()(const PageEntry& a, const PageEntry& b) const { return a.pageNumber < b.pageNumber; }
    bool operator()(const PageEntry& a, int32_t b) const { return a.pageNumber < b; }
    bool operator()(int32_t a, const PageEntry& b) const { return a < b.pageNumber; }
};

using PageList = std::set<PageEntry, PageNumberLess>;

// Monitor handles are keyed by their low 32 bits.
struct MonitorHandleLess {
    bool operator()(MonitorHandle a, MonitorHandle b) const { return uint32_t(a) < uint32_t(b); }
};

struct MonitorShot {
    int32_t sequence = 0;  // position among the captured monitors, in list order
    CxImagePtr image;      // empty until grabbed
    MonitorRect rect;      // where the picture was grabbed, in desktop coordinates
};

using MonitorShotMap = std::map<MonitorHandle, MonitorShot, MonitorHandleLess>;

// ---- What the capture needs from the platform ----

struct ScreenMetrics {
    int32_t monitorCount = 1;   // SM_CMONITORS
    int32_t screenWidth = 0;    // SM_CXSCREEN
    int32_t screenHeight = 0;   // SM_CYSCREEN
    int32_t virtualLeft = 0;    // SM_XVIRTUALSCREEN
    int32_t virtualTop = 0;     // SM_YVIRTUALSCREEN
    int32_t virtualWidth = 0;   // SM_CXVIRTUALSCREEN
    int32_t virtualHeight = 0;  // SM_CYVIRTUALSCREEN
};

class ScreenSource {
public:
    virtual ~ScreenSource() = default;
    virtual ScreenMetrics Metrics() = 0;
    // Copies width x height screen pixels from (left, top) into image, on a
    // white background. False (image untouched) when no bitmap of that size
    // can be made.
    virtual bool Grab(int32_t left, int32_t top, int32_t width, int32_t height, CxImage& image) = 0;
    // Whether the grabs that follow draw the mouse pointer where it is.
    virtual void SetPointerDrawn(bool drawn) {}
};

using WindowHandle = uintptr_t;

class WindowSource {
public:
    virtual ~WindowSource() = default;
    virtual WindowHandle Foreground() = 0;
    // The child at the top of the Z order; for no window, the top-level one.
    virtual WindowHandle TopChild(WindowHandle window) = 0;
    virtual bool IsVisible(WindowHandle window) = 0;
    virtual WindowHandle Desktop() = 0;
    virtual MonitorRect Rect(WindowHandle window) = 0;
};

class CaptureErrorReporter {
public:
    virtual ~CaptureErrorReporter() = default;
    // Tells the user that the screen could not be captured.
    virtual void ShowCaptureError() = 0;
};

// The program's own windows, kept out of its pictures.
class OwnWindows {
public:
    virtual ~OwnWindows() = default;
    // Takes every shown window of the program off the screen, except the
    // window `subject` (0: none) that is itself being captured.
    virtual void Hide(WindowHandle subject) = 0;
    // Shows again what Hide took off, as it was.
    virtual void Restore() = 0;
};

struct CaptureSeams {
    MonitorSource& monitors;
    ScreenSource& screen;
    WindowSource& windows;
    CaptureErrorReporter& errors;
    OwnWindows* ownWindows = nullptr;  // none: nothing is hidden
};

// The settings a capture reads.
struct CaptureSettings {
    int32_t screenTarget = 0;  // 0 whole desktop, 1 each monitor, 2 active window
    std::vector<int32_t> disabledMonitors;
    bool drawPointer = false;  // the mouse pointer is drawn into the pictures
};

// ---- The screen shot ----

class ScreenShot {
public:
    ScreenShot() : image(std::make_shared<CxImage>()) {}

    // Captures as the settings ask through the seams. Returns the number of
    // pages, 0 after a failure the user has been shown. (The Windows layer's
    // CaptureBySettings captures the system's screen.)
    int32_t Capture(const CaptureSettings& settings, CaptureSeams& seams);

    // Inserts a page under its number; false (and the listed page stays) when
    // the number is taken.
    bool InsertPage(PageEntry entry);
    // The page with that number, or the shared placeholder.
    const PageEntry& GetPage(int32_t pageNumber) const;
    static const PageEntry& Placeholder();

    // Fills monitorShots with the monitors to capture: every listed monitor
    // whose position is not in disabledMonitors (every monitor when that would
    // leave none), numbered in list order.
    void PrepareMonitorShots(const CaptureSettings& settings, MonitorSource& monitors);

    MonitorShotMap monitorShots;
    CxImagePtr image;
    PageList pages;

private:
    bool CaptureDesktop(CaptureSeams& seams);
    bool CaptureMonitors(CaptureSeams& seams);
    bool CaptureActiveWindow(CaptureSeams& seams);
    void InsertPicturePage(int32_t pageNumber, const CxImagePtr& picture);
};

// The depth of a captured picture: the smallest of 1, 4, 8 and 24 bits per
// pixel that holds the screen's colour depth.
inline uint32_t ImageBppForScreenDepth(int32_t screenBits) {
    if (screenBits <= 1) return 1;
    if (screenBits <= 4) return 4;
    if (screenBits <= 8) return 8;
    return 24;
}

// The bytes of pixels the screen shot holds: each picture once, whether it is
// the whole picture, a monitor's or a page's.
uint64_t PictureBytes(const ScreenShot& shot);

// The window an active-window capture takes: the foreground window, else its
// top child, else the desktop window.
WindowHandle ChooseCaptureWindow(WindowSource& windows);

}  // namespace orbilux
