// Display monitors and the monitor list: monitors ordered in rows from top to
// bottom and, within a row, from left to right. Positions in this order are
// what the settings' disabledMonitors_ holds and what the monitor page shows.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace orbilux {

// A monitor handle as the platform gives it (HMONITOR on Windows).
using MonitorHandle = uintptr_t;

// left, top, right, bottom in virtual-screen coordinates.
struct MonitorRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

inline bool operator==(const MonitorRect& a, const MonitorRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct MonitorInfo {
    MonitorRect monitor;
    MonitorRect work;
};

class CMonitor {
public:
    CMonitor(MonitorHandle handle, const MonitorRect& monitor, const MonitorRect& work)
        : handle(handle),
          rect(monitor),
          workArea(work),
          width(monitor.right - monitor.left),
          height(monitor.bottom - monitor.top) {}
    CMonitor(const CMonitor&) = default;
    CMonitor& operator=(const CMonitor&) = default;
    virtual ~CMonitor() = default;

    MonitorHandle handle;
    MonitorRect rect;
    MonitorRect workArea;
    int32_t width;
    int32_t height;
};

// The row rule: a comes first when both share a row (their vertical extents
// overlap) and a is further left, or, in different rows, when a is higher up.
// For a staircase of three or more monitors the rule can go round in a circle
// (a before b before c before a), so the list is not sorted by it directly:
// see OrderMonitors.
struct monitorOrder {
    bool operator()(const CMonitor& a, const CMonitor& b) const {
        const bool sameRow = a.rect.top < b.rect.bottom && a.rect.bottom > b.rect.top;
        return sameRow ? a.rect.left < b.rect.left : a.rect.top < b.rect.top;
    }
};

// What the monitor list needs from the platform (on Windows: the multi-monitor
// functions looked up at run time), and what the per-monitor capture asks of
// the system's own enumeration.
class MonitorSource {
public:
    virtual ~MonitorSource() = default;
    // Calls visit with every monitor handle until it returns false. Returns
    // false when the enumeration failed or is not available.
    virtual bool EnumMonitors(const std::function<bool(MonitorHandle)>& visit) = 0;
    // Monitor and work-area rectangles; answers for the primary screen when the
    // information cannot be had.
    virtual MonitorInfo GetInfo(MonitorHandle monitor) = 0;
    // The primary screen (0, 0, screen width, screen height) and the work area.
    virtual MonitorInfo PrimaryScreen() = 0;
    // The capture's enumeration of every monitor of the virtual screen with its
    // rectangle, until visit returns false.
    virtual void EnumForCapture(const std::function<bool(MonitorHandle, const MonitorRect&)>& visit) = 0;
};

// The list order of a set of monitors: the row rule wherever it is consistent,
// so side-by-side, stacked and grid layouts keep their rows top to bottom and
// left to right within a row; monitors that the rule puts in a circle are
// taken left to right, then top to bottom. The result depends only on the set,
// never on the order the monitors are given in.
std::vector<CMonitor> OrderMonitors(std::vector<CMonitor> monitors);

// The monitor list, rebuilt from scratch by every use. A monitor equivalent to
// one already listed under the row rule (neither comes before the other: the
// same place, as mirrored screens report) replaces it.
class CMonitorList {
public:
    void Rebuild(MonitorSource& source);
    // The monitors in list order (OrderMonitors).
    std::vector<CMonitor> Copy() const { return monitors_; }
    size_t Size() const { return monitors_.size(); }

private:
    void Add(const CMonitor& monitor);

    std::vector<CMonitor> monitors_;
};

// The process-wide list (user-interface thread only): rebuilds it and returns
// its monitors in list order.
std::vector<CMonitor> RebuildMonitorList(MonitorSource& source);

}  // namespace orbilux
