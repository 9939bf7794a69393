// The screen shot's page list, the monitor list and the capture's control flow
// over a scripted screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "capture/screen_shot.h"

namespace {

using namespace orbilux;

struct FakeMonitor {
    MonitorHandle handle;
    MonitorRect rect;
};

struct GrabCall {
    int32_t left, top, width, height;
};

class FakeScreen : public MonitorSource,
                   public ScreenSource,
                   public WindowSource,
                   public CaptureErrorReporter,
                   public OwnWindows {
public:
    // Monitors as the system lists them (not in monitorOrder).
    std::vector<FakeMonitor> monitors;
    bool listEnumerationFails = false;
    std::set<MonitorHandle> unseenByCapture;  // monitors the capture's enumeration does not meet
    ScreenMetrics metrics{1, 1280, 1024, 0, 0, 1280, 1024};
    int failGrabNumber = 0;  // 1-based grab call that cannot make its bitmap
    std::vector<GrabCall> grabs;
    int errorsShown = 0;
    std::vector<std::string> events;  // hide, grab, restore and error, in order

    WindowHandle foreground = 0;
    WindowHandle desktop = 0xD;
    std::set<WindowHandle> visible;
    std::map<WindowHandle, WindowHandle> topChild;
    std::map<WindowHandle, MonitorRect> windowRects;

    CaptureSeams Seams() { return CaptureSeams{*this, *this, *this, *this, this}; }

    bool EnumMonitors(const std::function<bool(MonitorHandle)>& visit) override {
        if (listEnumerationFails) return false;
        for (const auto& m : monitors) {
            if (!visit(m.handle)) break;
        }
        return true;
    }
    MonitorInfo GetInfo(MonitorHandle handle) override {
        for (const auto& m : monitors) {
            if (m.handle == handle) return MonitorInfo{m.rect, Work(m.rect)};
        }
        return PrimaryScreen();
    }
    MonitorInfo PrimaryScreen() override {
        return MonitorInfo{{0, 0, metrics.screenWidth, metrics.screenHeight},
                           {0, 0, metrics.screenWidth, metrics.screenHeight - 40}};
    }
    void EnumForCapture(const std::function<bool(MonitorHandle, const MonitorRect&)>& visit) override {
        for (const auto& m : monitors) {
            if (unseenByCapture.count(m.handle)) continue;
            if (!visit(m.handle, m.rect)) break;
        }
    }
    static MonitorRect Work(const MonitorRect& r) { return {r.left, r.top, r.right, r.bottom - 40}; }

    ScreenMetrics Metrics() override { return metrics; }
    bool Grab(int32_t left, int32_t top, int32_t width, int32_t height, CxImage& image) override {
        grabs.push_back({left, top, width, height});
        events.push_back("grab");
        if (int(grabs.size()) == failGrabNumber) return false;
        return image.Create(uint32_t(width), uint32_t(height), 24);
    }

    WindowHandle Foreground() override { return foreground; }
    WindowHandle TopChild(WindowHandle w) override { return topChild.count(w) ? topChild[w] : 0; }
    bool IsVisible(WindowHandle w) override { return w != 0 && visible.count(w) > 0; }
    WindowHandle Desktop() override { return desktop; }
    MonitorRect Rect(WindowHandle w) override { return windowRects[w]; }

    void ShowCaptureError() override {
        ++errorsShown;
        events.push_back("error");
    }
    void Hide(WindowHandle subject) override { events.push_back("hide " + std::to_string(subject)); }
    void Restore() override { events.push_back("restore"); }
};

// Two monitors in an upper row and one below, listed by the system in an
// order of handles unlike their screen order.
constexpr MonitorHandle kUpperLeft = 0x30003;
constexpr MonitorHandle kUpperRight = 0x20002;
constexpr MonitorHandle kLower = 0x10001;

inline void AddThreeMonitors(FakeScreen& screen) {
    screen.monitors = {
        {kLower, {-512, 0, 768, 1024}},     // 1280 x 1024
        {kUpperRight, {0, -600, 800, 0}},   // 800 x 600
        {kUpperLeft, {-1024, -768, 0, 0}},  // 1024 x 768
    };
    screen.metrics = ScreenMetrics{3, 1280, 1024, -1024, -768, 1824, 1792};
}

std::vector<MonitorHandle> Handles(const std::vector<CMonitor>& list) {
    std::vector<MonitorHandle> handles;
    for (const auto& m : list) handles.push_back(m.handle);
    return handles;
}

std::pair<uint32_t, uint32_t> SizeOf(const CxImagePtr& image) {
    return {image->GetWidth(), image->GetHeight()};
}

using Size = std::pair<uint32_t, uint32_t>;

// ---- Monitor list ----

TEST(CaptureMonitorList, OrdersRowsTopToBottomThenLeftToRight) {
    FakeScreen screen;
    AddThreeMonitors(screen);
    const auto list = RebuildMonitorList(screen);
    EXPECT_EQ(Handles(list), (std::vector<MonitorHandle>{kUpperLeft, kUpperRight, kLower}));
    EXPECT_EQ(list[0].width, 1024);
    EXPECT_EQ(list[0].height, 768);
    EXPECT_EQ(list[2].workArea, (MonitorRect{-512, 0, 768, 984}));

    // Rebuilt from scratch by every use.
    screen.monitors.pop_back();
    EXPECT_EQ(Handles(RebuildMonitorList(screen)), (std::vector<MonitorHandle>{kUpperRight, kLower}));
}

// Every order the system could list the monitors in.
std::vector<std::vector<FakeMonitor>> EveryListing(std::vector<FakeMonitor> monitors) {
    std::sort(monitors.begin(), monitors.end(),
              [](const FakeMonitor& a, const FakeMonitor& b) { return a.handle < b.handle; });
    std::vector<std::vector<FakeMonitor>> listings;
    do {
        listings.push_back(monitors);
    } while (std::next_permutation(
        monitors.begin(), monitors.end(),
        [](const FakeMonitor& a, const FakeMonitor& b) { return a.handle < b.handle; }));
    return listings;
}

// The list's order for every listing of the monitors; fails unless all agree.
std::vector<MonitorHandle> OrderForEveryListing(const std::vector<FakeMonitor>& monitors) {
    std::vector<MonitorHandle> first;
    for (const auto& listing : EveryListing(monitors)) {
        FakeScreen screen;
        screen.monitors = listing;
        const auto order = Handles(RebuildMonitorList(screen));
        if (first.empty()) first = order;
        EXPECT_EQ(order, first) << "listed first: " << listing.front().handle;
    }
    return first;
}

TEST(CaptureMonitorList, StaircaseHasOneOrderWhateverTheListing) {
    // Three monitors climbing to the right: each shares a row with the next,
    // the outer two do not, so the row rule goes round in a circle.
    const std::vector<FakeMonitor> stairs = {
        {0xA, {0, 400, 1000, 700}}, {0xB, {1000, 200, 2000, 500}}, {0xC, {2000, 0, 3000, 300}}};
    const auto rect = [&](int i) { return CMonitor(stairs[i].handle, stairs[i].rect, stairs[i].rect); };
    const monitorOrder rowRule;
    ASSERT_TRUE(rowRule(rect(0), rect(1)));
    ASSERT_TRUE(rowRule(rect(1), rect(2)));
    ASSERT_TRUE(rowRule(rect(2), rect(0)));
    EXPECT_EQ(OrderForEveryListing(stairs), (std::vector<MonitorHandle>{0xA, 0xB, 0xC}));

    // The same circle under a fourth monitor well below it: the circle first.
    auto withBelow = stairs;
    withBelow.push_back({0x1, {500, 800, 1500, 1600}});
    EXPECT_EQ(OrderForEveryListing(withBelow), (std::vector<MonitorHandle>{0xA, 0xB, 0xC, 0x1}));
}

TEST(CaptureMonitorList, ConsistentLayoutsKeepTheRowRuleOrder) {
    struct Layout {
        const char* name;
        std::vector<FakeMonitor> monitors;
        std::vector<MonitorHandle> order;
    };
    const std::vector<Layout> layouts = {
        {"side by side, bottoms aligned, the right one taller",
         {{0x3, {-1920, 360, 0, 1440}}, {0x1, {0, 0, 2560, 1440}}, {0x2, {2560, 0, 3840, 1024}}},
         {0x3, 0x1, 0x2}},
        {"stacked",
         {{0x1, {0, 0, 1920, 1080}}, {0x2, {200, -1024, 1480, 0}}, {0x3, {-100, 1080, 1180, 2104}}},
         {0x2, 0x1, 0x3}},
        {"two by two grid",
         {{0x4, {0, 0, 1920, 1080}},
          {0x3, {1920, 0, 3840, 1080}},
          {0x2, {0, 1080, 1920, 2160}},
          {0x1, {1920, 1080, 3840, 2160}}},
         {0x4, 0x3, 0x2, 0x1}},
        {"two above, one below",
         {{kLower, {-512, 0, 768, 1024}},
          {kUpperRight, {0, -600, 800, 0}},
          {kUpperLeft, {-1024, -768, 0, 0}}},
         {kUpperLeft, kUpperRight, kLower}},
        // A steps down to C on the left, B spans both on the right: the rule is
        // consistent (A, C, B) although A and C share no row.
        {"zigzag beside a portrait screen",
         {{0xA, {1920, 0, 3000, 1080}}, {0xB, {3000, 0, 4440, 2560}}, {0xC, {0, 1080, 1920, 2160}}},
         {0xA, 0xC, 0xB}},
    };
    const monitorOrder rowRule;
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.name);
        const auto order = OrderForEveryListing(layout.monitors);
        EXPECT_EQ(order, layout.order);
        // Each expected order is the row rule's own: no later monitor comes first.
        for (size_t i = 0; i < layout.order.size(); ++i) {
            for (size_t j = i + 1; j < layout.order.size(); ++j) {
                auto find = [&](MonitorHandle h) {
                    for (const auto& m : layout.monitors) {
                        if (m.handle == h) return CMonitor(h, m.rect, m.rect);
                    }
                    return CMonitor(0, {}, {});
                };
                EXPECT_FALSE(rowRule(find(layout.order[j]), find(layout.order[i])));
            }
        }
    }
}

TEST(CaptureMonitorList, EquivalentMonitorReplacesTheListedOne) {
    // Two monitors mirroring the same place: the one met last stays.
    FakeScreen screen;
    screen.monitors = {{0x11, {0, 0, 1024, 768}}, {0x22, {0, 100, 800, 700}}, {0x33, {1024, 0, 2048, 768}}};
    const auto list = RebuildMonitorList(screen);
    EXPECT_EQ(Handles(list), (std::vector<MonitorHandle>{0x22, 0x33}));
}

TEST(CaptureMonitorList, FallsBackToThePrimaryScreenWhenEnumerationFails) {
    FakeScreen screen;
    AddThreeMonitors(screen);
    screen.listEnumerationFails = true;
    const auto list = RebuildMonitorList(screen);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].handle, 1u);
    EXPECT_EQ(list[0].rect, (MonitorRect{0, 0, 1280, 1024}));
    EXPECT_EQ(list[0].workArea, (MonitorRect{0, 0, 1280, 984}));
    EXPECT_EQ(list[0].width, 1280);
    EXPECT_EQ(list[0].height, 1024);
}

// ---- Page list ----

TEST(CaptureScreenShot, StartsEmptyWithItsOwnImage) {
    ScreenShot shot;
    ASSERT_TRUE(shot.image);
    EXPECT_FALSE(shot.image->IsValid());
    EXPECT_TRUE(shot.pages.empty());
    EXPECT_TRUE(shot.monitorShots.empty());
}

TEST(CaptureScreenShot, PagesAreUniqueAndAscendingAndTheFirstOfANumberStays) {
    ScreenShot shot;
    auto first = std::make_shared<CxImage>();
    EXPECT_TRUE(shot.InsertPage(PageEntry{false, 3, first, {}, PageKind::Picture}));
    EXPECT_TRUE(shot.InsertPage(PageEntry{false, -1, nullptr, {L"a"}, PageKind::Text}));
    EXPECT_TRUE(shot.InsertPage(PageEntry{false, 0, nullptr, {}, PageKind::Picture}));
    EXPECT_FALSE(shot.InsertPage(PageEntry{false, 3, nullptr, {L"later"}, PageKind::Text}));

    std::vector<int32_t> numbers;
    for (const auto& page : shot.pages) numbers.push_back(page.pageNumber);
    EXPECT_EQ(numbers, (std::vector<int32_t>{-1, 0, 3}));
    EXPECT_EQ(shot.GetPage(3).image, first);
    EXPECT_EQ(shot.GetPage(3).kind, PageKind::Picture);
    EXPECT_EQ(shot.GetPage(-1).lines, (std::vector<std::wstring>{L"a"}));
}

TEST(CaptureScreenShot, MissingPageGivesTheOneSharedPlaceholder) {
    ScreenShot shot;
    shot.InsertPage(PageEntry{false, 0, nullptr, {}, PageKind::Picture});
    const PageEntry& missing = shot.GetPage(1);
    EXPECT_TRUE(missing.empty);
    EXPECT_EQ(missing.pageNumber, -1);
    EXPECT_FALSE(missing.image);
    EXPECT_TRUE(missing.lines.empty());
    EXPECT_EQ(missing.kind, PageKind::Picture);
    ScreenShot other;
    EXPECT_EQ(&other.GetPage(-1), &missing);
    EXPECT_FALSE(shot.GetPage(0).empty);
}

TEST(CaptureScreenShot, MonitorShotsAreKeyedByTheLow32BitsOfTheHandle) {
    MonitorShotMap shots;
    shots.emplace(MonitorHandle(0x20002), MonitorShot{0, nullptr});
    shots.emplace(MonitorHandle(0x10001), MonitorShot{1, nullptr});
    if (sizeof(MonitorHandle) > 4) {
        const MonitorHandle high = MonitorHandle((uint64_t(1) << 32) | 5);
        shots.emplace(high, MonitorShot{2, nullptr});
        EXPECT_EQ(shots.begin()->first, high);
        EXPECT_FALSE(shots.emplace(MonitorHandle(5), MonitorShot{3, nullptr}).second);
    }
    EXPECT_EQ(shots.rbegin()->first, MonitorHandle(0x20002));
}

// ---- Whole desktop ----

TEST(CaptureDesktop, OneMonitorGrabsThePrimaryScreenIntoTheSameImage) {
    FakeScreen screen;
    ScreenShot shot;
    auto seams = screen.Seams();
    const CxImagePtr image = shot.image;
    ASSERT_EQ(shot.Capture(CaptureSettings{0, {}}, seams), 1);
    ASSERT_EQ(screen.grabs.size(), 1u);
    EXPECT_EQ(screen.grabs[0].left, 0);
    EXPECT_EQ(screen.grabs[0].width, 1280);
    EXPECT_EQ(shot.GetPage(0).image, image);
    EXPECT_EQ(shot.GetPage(0).kind, PageKind::Picture);
    EXPECT_EQ(SizeOf(image), Size(1280, 1024));

    // A second capture refills the same picture object; a value the settings
    // never produce also takes the whole desktop.
    screen.metrics.screenWidth = 640;
    EXPECT_EQ(shot.Capture(CaptureSettings{7, {0}}, seams), 1);
    EXPECT_EQ(shot.image, image);
    EXPECT_EQ(SizeOf(image), Size(640, 1024));
    EXPECT_TRUE(shot.monitorShots.empty());
    EXPECT_EQ(screen.errorsShown, 0);
}

TEST(CaptureDesktop, SeveralMonitorsGrabTheVirtualScreenFromItsOrigin) {
    FakeScreen screen;
    AddThreeMonitors(screen);
    ScreenShot shot;
    auto seams = screen.Seams();
    ASSERT_EQ(shot.Capture(CaptureSettings{0, {}}, seams), 1);
    ASSERT_EQ(screen.grabs.size(), 1u);
    EXPECT_EQ(screen.grabs[0].left, -1024);
    EXPECT_EQ(screen.grabs[0].top, -768);
    EXPECT_EQ(SizeOf(shot.image), Size(1824, 1792));
}

TEST(CaptureDesktop, FailedGrabShowsTheErrorAndKeepsThePreviousPicture) {
    FakeScreen screen;
    ScreenShot shot;
    auto seams = screen.Seams();
    ASSERT_EQ(shot.Capture(CaptureSettings{0, {}}, seams), 1);
    const CxImagePtr image = shot.image;
    screen.metrics.screenWidth = 100;
    screen.failGrabNumber = 2;
    EXPECT_EQ(shot.Capture(CaptureSettings{0, {}}, seams), 0);
    EXPECT_EQ(screen.errorsShown, 1);
    EXPECT_TRUE(shot.pages.empty());
    EXPECT_EQ(shot.image, image);
    EXPECT_EQ(SizeOf(image), Size(1280, 1024));
}

// ---- Each monitor ----

class CaptureEachMonitor : public ::testing::Test {
protected:
    void SetUp() override { AddThreeMonitors(screen); }
    int32_t Capture(std::vector<int32_t> disabled) {
        auto seams = screen.Seams();
        return shot.Capture(CaptureSettings{1, std::move(disabled)}, seams);
    }
    Size PageSize(int32_t page) { return SizeOf(shot.GetPage(page).image); }

    FakeScreen screen;
    ScreenShot shot;
};

TEST_F(CaptureEachMonitor, LeftOutMonitorIsSkippedAndPagesFollowScreenOrder) {
    ASSERT_EQ(Capture({1}), 2);
    EXPECT_EQ(PageSize(0), Size(1024, 768));   // upper left
    EXPECT_EQ(PageSize(1), Size(1280, 1024));  // lower
    ASSERT_EQ(shot.monitorShots.size(), 2u);
    EXPECT_EQ(shot.monitorShots.at(kUpperLeft).sequence, 0);
    EXPECT_EQ(shot.monitorShots.at(kLower).sequence, 1);
    EXPECT_EQ(shot.monitorShots.count(kUpperRight), 0u);
    EXPECT_EQ(shot.GetPage(0).image, shot.monitorShots.at(kUpperLeft).image);
    EXPECT_FALSE(shot.image->IsValid());
    // Each monitor is grabbed from its own corner.
    ASSERT_EQ(screen.grabs.size(), 2u);
    EXPECT_EQ(screen.grabs[0].left, -512);
    EXPECT_EQ(screen.grabs[1].top, -768);
    // Each picture remembers where on the desktop it was taken.
    EXPECT_EQ(shot.monitorShots.at(kUpperLeft).rect, (MonitorRect{-1024, -768, 0, 0}));
    EXPECT_EQ(shot.monitorShots.at(kLower).rect, (MonitorRect{-512, 0, 768, 1024}));
}

TEST_F(CaptureEachMonitor, PositionsOutsideTheListLeaveOutNothing) {
    ASSERT_EQ(Capture({-1, 3, 100}), 3);
    EXPECT_EQ(PageSize(0), Size(1024, 768));
    EXPECT_EQ(PageSize(1), Size(800, 600));
    EXPECT_EQ(PageSize(2), Size(1280, 1024));
}

TEST_F(CaptureEachMonitor, EveryMonitorLeftOutCapturesEveryMonitor) {
    // A choice that leaves nothing to capture: every monitor, in list order.
    ASSERT_EQ(Capture({2, 0, 1}), 3);
    EXPECT_EQ(PageSize(0), Size(1024, 768));
    EXPECT_EQ(PageSize(1), Size(800, 600));
    EXPECT_EQ(PageSize(2), Size(1280, 1024));
    EXPECT_EQ(shot.monitorShots.at(kLower).sequence, 2);
    EXPECT_EQ(screen.errorsShown, 0);

    // A choice stored for three screens, now that only two are left.
    screen.monitors.erase(screen.monitors.begin());  // the lower one goes
    ASSERT_EQ(Capture({0, 1, 1}), 2);
    EXPECT_EQ(PageSize(0), Size(1024, 768));
    EXPECT_EQ(PageSize(1), Size(800, 600));
    // With one monitor still chosen, only that one is captured.
    ASSERT_EQ(Capture({0}), 1);
    EXPECT_EQ(PageSize(0), Size(800, 600));
}

TEST_F(CaptureEachMonitor, FailingSecondGrabStopsTheCaptureAndShowsTheError) {
    auto seams = screen.Seams();
    ASSERT_EQ(shot.Capture(CaptureSettings{0, {}}, seams), 1);
    const Size desktop = SizeOf(shot.image);
    screen.grabs.clear();
    screen.failGrabNumber = 2;
    EXPECT_EQ(Capture({}), 0);
    EXPECT_EQ(screen.errorsShown, 1);
    EXPECT_EQ(screen.grabs.size(), 2u);  // the third monitor is not tried
    EXPECT_TRUE(shot.pages.empty());
    EXPECT_EQ(SizeOf(shot.image), desktop);
    // The monitor grabbed before the failure keeps its picture.
    EXPECT_TRUE(shot.monitorShots.at(kLower).image);
    EXPECT_FALSE(shot.monitorShots.at(kUpperRight).image);
    EXPECT_FALSE(shot.monitorShots.at(kUpperLeft).image);
}

TEST_F(CaptureEachMonitor, MonitorTheCaptureDoesNotMeetGetsNoPage) {
    screen.unseenByCapture = {kUpperRight};
    ASSERT_EQ(Capture({}), 2);
    EXPECT_EQ(PageSize(0), Size(1024, 768));
    EXPECT_EQ(PageSize(1), Size(1280, 1024));
    EXPECT_FALSE(shot.monitorShots.at(kUpperRight).image);

    // The fallback list's primary-screen entry (handle 1) is never met.
    screen.listEnumerationFails = true;
    EXPECT_EQ(Capture({}), 0);
    ASSERT_EQ(shot.monitorShots.size(), 1u);
    EXPECT_FALSE(shot.monitorShots.at(1).image);
    EXPECT_EQ(screen.errorsShown, 0);
}

// ---- Active window ----

class CaptureActiveWindow : public ::testing::Test {
protected:
    int32_t Capture() {
        auto seams = screen.Seams();
        return shot.Capture(CaptureSettings{2, {}}, seams);
    }
    GrabCall OnlyGrab() {
        EXPECT_EQ(screen.grabs.size(), 1u);
        return screen.grabs.empty() ? GrabCall{} : screen.grabs.back();
    }

    FakeScreen screen;
    ScreenShot shot;
};

TEST_F(CaptureActiveWindow, WindowPastTheRightAndBottomEdgesIsCut) {
    screen.foreground = 0x100;
    screen.visible = {0x100};
    screen.windowRects[0x100] = {1000, 800, 1600, 1300};
    ASSERT_EQ(Capture(), 1);
    const GrabCall g = OnlyGrab();
    EXPECT_EQ(g.left, 1000);
    EXPECT_EQ(g.top, 800);
    EXPECT_EQ(g.width, 280);
    EXPECT_EQ(g.height, 224);
    EXPECT_EQ(shot.GetPage(0).image, shot.image);
}

TEST_F(CaptureActiveWindow, WindowPastTheLeftAndTopEdgesIsNotCut) {
    screen.foreground = 0x100;
    screen.visible = {0x100};
    screen.windowRects[0x100] = {-100, -50, 200, 150};
    ASSERT_EQ(Capture(), 1);
    const GrabCall g = OnlyGrab();
    EXPECT_EQ(g.left, -100);
    EXPECT_EQ(g.top, -50);
    EXPECT_EQ(g.width, 300);
    EXPECT_EQ(g.height, 200);
}

TEST_F(CaptureActiveWindow, SeveralMonitorsCutAtTheVirtualScreenSize) {
    AddThreeMonitors(screen);
    screen.foreground = 0x100;
    screen.visible = {0x100};
    screen.windowRects[0x100] = {1500, 1700, 2500, 2500};
    ASSERT_EQ(Capture(), 1);
    const GrabCall g = OnlyGrab();
    EXPECT_EQ(g.width, 1824 - 1500);
    EXPECT_EQ(g.height, 1792 - 1700);
}

TEST_F(CaptureActiveWindow, HiddenForegroundFallsToItsTopChildThenTheDesktop) {
    screen.windowRects = {{0x100, {0, 0, 10, 10}}, {0x200, {0, 0, 20, 20}}, {0xD, {0, 0, 1280, 1024}}};
    screen.foreground = 0x100;
    screen.topChild[0x100] = 0x200;
    screen.visible = {0x200};
    EXPECT_EQ(ChooseCaptureWindow(screen), WindowHandle(0x200));
    screen.visible = {};
    EXPECT_EQ(ChooseCaptureWindow(screen), WindowHandle(0xD));
    // No foreground window: the top of the Z order, if visible.
    screen.foreground = 0;
    screen.topChild[0] = 0x100;
    screen.visible = {0x100};
    EXPECT_EQ(ChooseCaptureWindow(screen), WindowHandle(0x100));
    ASSERT_EQ(Capture(), 1);
    EXPECT_EQ(OnlyGrab().width, 10);
}

// ---- The program's own windows ----

TEST(CaptureOwnWindows, AreOffTheScreenOnlyWhileItIsRead) {
    using Events = std::vector<std::string>;
    FakeScreen screen;
    AddThreeMonitors(screen);
    ScreenShot shot;
    auto seams = screen.Seams();

    ASSERT_EQ(shot.Capture(CaptureSettings{0, {}}, seams), 1);
    EXPECT_EQ(screen.events, (Events{"hide 0", "grab", "restore"}));

    // Each monitor: once around all the grabs.
    screen.events.clear();
    ASSERT_EQ(shot.Capture(CaptureSettings{1, {}}, seams), 3);
    EXPECT_EQ(screen.events, (Events{"hide 0", "grab", "grab", "grab", "restore"}));

    // The active window is chosen first and stays on the screen.
    screen.events.clear();
    screen.foreground = 0x100;
    screen.visible = {0x100};
    screen.windowRects[0x100] = {0, 0, 300, 200};
    ASSERT_EQ(shot.Capture(CaptureSettings{2, {}}, seams), 1);
    EXPECT_EQ(screen.events, (Events{"hide 256", "grab", "restore"}));

    // A failed grab puts them back before the error is shown.
    screen.events.clear();
    screen.grabs.clear();
    screen.failGrabNumber = 2;
    EXPECT_EQ(shot.Capture(CaptureSettings{1, {}}, seams), 0);
    EXPECT_EQ(screen.events, (Events{"hide 0", "grab", "grab", "restore", "error"}));
}

TEST_F(CaptureActiveWindow, WindowEntirelyPastTheRightEdgeIsACaptureError) {
    screen.foreground = 0x100;
    screen.visible = {0x100};
    screen.windowRects[0x100] = {1400, 0, 1600, 100};
    EXPECT_EQ(Capture(), 0);
    EXPECT_TRUE(screen.grabs.empty());
    EXPECT_EQ(screen.errorsShown, 1);
    EXPECT_TRUE(shot.pages.empty());
}

}  // namespace

TEST(CaptureDepth, PicturesTakeTheSmallestDepthThatHoldsTheScreen) {
    const std::vector<std::pair<int32_t, uint32_t>> cases = {{1, 1},   {2, 4},   {4, 4},   {8, 8},
                                                             {15, 24}, {16, 24}, {24, 24}, {32, 24}};
    for (const auto& c : cases) EXPECT_EQ(orbilux::ImageBppForScreenDepth(c.first), c.second) << c.first;
}
