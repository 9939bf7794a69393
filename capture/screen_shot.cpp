#include "capture/screen_shot.h"

#include <algorithm>
#include <limits>

namespace orbilux {

namespace {

// Grabs a rectangle given by its edges. An empty or inverted rectangle has no
// bitmap and fails like a bitmap that cannot be made.
bool GrabRect(ScreenSource& screen, const MonitorRect& r, CxImage& into) {
    const int64_t width = int64_t(r.right) - r.left;
    const int64_t height = int64_t(r.bottom) - r.top;
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    if (width <= 0 || height <= 0 || width > kMax || height > kMax) return false;
    return screen.Grab(r.left, r.top, int32_t(width), int32_t(height), into);
}

// The program's own windows stay off the screen while it is read.
class OwnWindowsAway {
public:
    OwnWindowsAway(OwnWindows* own, WindowHandle subject) : own_(own) {
        if (own_) own_->Hide(subject);
    }
    ~OwnWindowsAway() {
        if (own_) own_->Restore();
    }
    OwnWindowsAway(const OwnWindowsAway&) = delete;
    OwnWindowsAway& operator=(const OwnWindowsAway&) = delete;

private:
    OwnWindows* own_;
};

}  // namespace

WindowHandle ChooseCaptureWindow(WindowSource& windows) {
    WindowHandle window = windows.Foreground();
    if (windows.IsVisible(window)) return window;
    window = windows.TopChild(window);
    if (windows.IsVisible(window)) return window;
    return windows.Desktop();
}

const PageEntry& ScreenShot::Placeholder() {
    static const PageEntry placeholder = [] {
        PageEntry entry;
        entry.empty = true;
        entry.pageNumber = -1;
        return entry;
    }();
    return placeholder;
}

bool ScreenShot::InsertPage(PageEntry entry) {
    return pages.insert(std::move(entry)).second;
}

const PageEntry& ScreenShot::GetPage(int32_t pageNumber) const {
    const auto found = pages.find(pageNumber);
    return found == pages.end() ? Placeholder() : *found;
}

void ScreenShot::InsertPicturePage(int32_t pageNumber, const CxImagePtr& picture) {
    PageEntry entry;
    entry.pageNumber = pageNumber;
    entry.image = picture;
    entry.kind = PageKind::Picture;
    InsertPage(std::move(entry));
}

void ScreenShot::PrepareMonitorShots(const CaptureSettings& settings, MonitorSource& monitors) {
    monitorShots.clear();
    if (settings.screenTarget != 1) return;  // each monitor

    const std::vector<CMonitor> list = RebuildMonitorList(monitors);
    std::vector<bool> leftOut(list.size(), false);
    for (const int32_t position : settings.disabledMonitors) {
        if (uint32_t(position) < list.size()) leftOut[uint32_t(position)] = true;
    }
    // A stored choice that leaves out every monitor (typically one made for
    // other screens, before undocking) would make the press do nothing at all:
    // then every monitor is captured, as if none were left out.
    if (std::find(leftOut.begin(), leftOut.end(), false) == leftOut.end()) leftOut.assign(list.size(), false);
    int32_t sequence = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (leftOut[i]) continue;
        monitorShots.emplace(list[i].handle, MonitorShot{sequence, nullptr});
        ++sequence;
    }
}

bool ScreenShot::CaptureDesktop(CaptureSeams& seams) {
    const ScreenMetrics m = seams.screen.Metrics();
    MonitorRect r{0, 0, m.screenWidth, m.screenHeight};
    if (m.monitorCount >= 2) {
        r = MonitorRect{m.virtualLeft, m.virtualTop, int32_t(int64_t(m.virtualLeft) + m.virtualWidth),
                        int32_t(int64_t(m.virtualTop) + m.virtualHeight)};
    }
    {
        OwnWindowsAway away(seams.ownWindows, 0);
        if (!GrabRect(seams.screen, r, *image)) return false;
    }
    InsertPicturePage(0, image);
    return true;
}

bool ScreenShot::CaptureMonitors(CaptureSeams& seams) {
    bool failed = false;
    {
        OwnWindowsAway away(seams.ownWindows, 0);
        seams.monitors.EnumForCapture([&](MonitorHandle handle, const MonitorRect& rect) {
            const auto shot = monitorShots.find(handle);
            if (shot == monitorShots.end()) return true;
            auto picture = std::make_shared<CxImage>();
            if (!GrabRect(seams.screen, rect, *picture)) {
                failed = true;
                return false;
            }
            shot->second.image = picture;
            shot->second.rect = rect;
            return true;
        });
    }
    if (failed) return false;

    // A monitor the enumeration did not meet has no picture and gets no page;
    // the others are numbered without gaps in list order, so the Text pages
    // that follow find their numbers free.
    std::vector<const MonitorShot*> grabbed;
    for (const auto& entry : monitorShots) {
        if (entry.second.image) grabbed.push_back(&entry.second);
    }
    std::sort(grabbed.begin(), grabbed.end(),
              [](const MonitorShot* a, const MonitorShot* b) { return a->sequence < b->sequence; });
    int32_t pageNumber = 0;
    for (const MonitorShot* shot : grabbed) InsertPicturePage(pageNumber++, shot->image);
    return true;
}

bool ScreenShot::CaptureActiveWindow(CaptureSeams& seams) {
    const WindowHandle window = ChooseCaptureWindow(seams.windows);
    MonitorRect r = seams.windows.Rect(window);
    const ScreenMetrics m = seams.screen.Metrics();
    const bool single = m.monitorCount < 2;
    // Cut at the right and bottom screen edges only; a window reaching past
    // the left or top edge is grabbed from outside the screen.
    r.right = std::min(r.right, single ? m.screenWidth : m.virtualWidth);
    r.bottom = std::min(r.bottom, single ? m.screenHeight : m.virtualHeight);
    {
        // The chosen window stays, even when it is one of the program's own.
        OwnWindowsAway away(seams.ownWindows, window);
        if (!GrabRect(seams.screen, r, *image)) return false;
    }
    InsertPicturePage(0, image);
    return true;
}

int32_t ScreenShot::Capture(const CaptureSettings& settings, CaptureSeams& seams) {
    pages.clear();
    PrepareMonitorShots(settings, seams.monitors);
    seams.screen.SetPointerDrawn(settings.drawPointer);

    bool captured = false;
    switch (settings.screenTarget) {
        case 1:
            captured = CaptureMonitors(seams);
            break;
        case 2:
            captured = CaptureActiveWindow(seams);
            break;
        default:  // the whole desktop, also for values the settings never produce
            captured = CaptureDesktop(seams);
            break;
    }
    if (!captured) {
        pages.clear();
        seams.errors.ShowCaptureError();
        return 0;
    }
    return int32_t(pages.size());
}

uint64_t PictureBytes(const ScreenShot& shot) {
    std::set<const CxImage*> seen;
    uint64_t bytes = 0;
    auto add = [&](const CxImagePtr& picture) {
        if (picture && seen.insert(picture.get()).second) bytes += picture->GetSizeImage();
    };
    add(shot.image);
    for (const auto& entry : shot.monitorShots) add(entry.second.image);
    for (const PageEntry& page : shot.pages) add(page.image);
    return bytes;
}

}  // namespace orbilux
