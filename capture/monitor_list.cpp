#include "capture/monitor_list.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace orbilux {

namespace {

// Left to right, then top to bottom; the handle only tells apart monitors that
// report the very same rectangle.
bool PlaceBefore(const CMonitor& a, const CMonitor& b) {
    return std::make_tuple(a.rect.left, a.rect.top, a.rect.right, a.rect.bottom, a.handle) <
           std::make_tuple(b.rect.left, b.rect.top, b.rect.right, b.rect.bottom, b.handle);
}

}  // namespace

std::vector<CMonitor> OrderMonitors(std::vector<CMonitor> monitors) {
    // Start from an order that does not depend on how the monitors came.
    std::sort(monitors.begin(), monitors.end(), PlaceBefore);
    const size_t n = monitors.size();
    const monitorOrder rowRule;

    // before[i][j]: the row rule puts i before j. reach: the same, through any
    // chain of monitors.
    std::vector<std::vector<bool>> before(n, std::vector<bool>(n, false));
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j) before[i][j] = i != j && rowRule(monitors[i], monitors[j]);
    }
    std::vector<std::vector<bool>> reach = before;
    for (size_t k = 0; k < n; ++k) {
        for (size_t i = 0; i < n; ++i) {
            if (!reach[i][k]) continue;
            for (size_t j = 0; j < n; ++j) {
                if (reach[k][j]) reach[i][j] = true;
            }
        }
    }
    // Monitors in one circle of the rule form a group; the groups themselves
    // are never in a circle.
    auto sameGroup = [&](size_t i, size_t j) { return i == j || (reach[i][j] && reach[j][i]); };

    // Repeatedly take the group that nothing left over comes before (the first
    // such in the starting order when the rule leaves a choice), its monitors
    // in the starting order.
    std::vector<CMonitor> ordered;
    ordered.reserve(n);
    std::vector<bool> placed(n, false);
    while (ordered.size() < n) {
        size_t next = n;
        for (size_t i = 0; i < n && next == n; ++i) {
            if (placed[i]) continue;
            bool ready = true;
            for (size_t j = 0; j < n && ready; ++j) {
                if (placed[j] || sameGroup(i, j)) continue;
                for (size_t member = 0; member < n && ready; ++member) {
                    if (!placed[member] && sameGroup(i, member) && before[j][member]) ready = false;
                }
            }
            if (ready) next = i;
        }
        for (size_t member = 0; member < n; ++member) {
            if (placed[member] || !sameGroup(next, member)) continue;
            placed[member] = true;
            ordered.push_back(monitors[member]);
        }
    }
    return ordered;
}

void CMonitorList::Add(const CMonitor& monitor) {
    const monitorOrder before;
    auto same = std::find_if(monitors_.begin(), monitors_.end(), [&](const CMonitor& listed) {
        return !before(listed, monitor) && !before(monitor, listed);
    });
    if (same != monitors_.end()) monitors_.erase(same);
    monitors_.push_back(monitor);
}

void CMonitorList::Rebuild(MonitorSource& source) {
    monitors_.clear();
    const bool enumerated = source.EnumMonitors([&](MonitorHandle handle) {
        const MonitorInfo info = source.GetInfo(handle);
        Add(CMonitor(handle, info.monitor, info.work));
        return true;
    });
    if (enumerated) {
        monitors_ = OrderMonitors(std::move(monitors_));
        return;
    }

    monitors_.clear();
    const MonitorInfo primary = source.PrimaryScreen();
    CMonitor only(1, primary.monitor, primary.work);
    only.width = std::abs(primary.monitor.right - primary.monitor.left);
    only.height = std::abs(primary.monitor.bottom - primary.monitor.top);
    monitors_.push_back(only);
}

std::vector<CMonitor> RebuildMonitorList(MonitorSource& source) {
    static CMonitorList list;
    list.Rebuild(source);
    return list.Copy();
}

}  // namespace orbilux
