#include "capture/monitor_list.h"

#include <algorithm>
#include <cstdlib>

namespace orbilux {

void CMonitorList::Add(const CMonitor& monitor) {
    // The order is not transitive for every layout, so look for an equivalent
    // monitor over the whole list rather than trusting the tree's search.
    const monitorOrder before;
    auto same = std::find_if(monitors_.begin(), monitors_.end(), [&](const CMonitor& listed) {
        return !before(listed, monitor) && !before(monitor, listed);
    });
    if (same != monitors_.end()) monitors_.erase(same);
    monitors_.insert(monitor);
}

void CMonitorList::Rebuild(MonitorSource& source) {
    monitors_.clear();
    const bool enumerated = source.EnumMonitors([&](MonitorHandle handle) {
        const MonitorInfo info = source.GetInfo(handle);
        Add(CMonitor(handle, info.monitor, info.work));
        return true;
    });
    if (enumerated) return;

    monitors_.clear();
    const MonitorInfo primary = source.PrimaryScreen();
    CMonitor only(1, primary.monitor, primary.work);
    only.width = std::abs(primary.monitor.right - primary.monitor.left);
    only.height = std::abs(primary.monitor.bottom - primary.monitor.top);
    monitors_.insert(only);
}

std::vector<CMonitor> RebuildMonitorList(MonitorSource& source) {
    static CMonitorList list;
    list.Rebuild(source);
    return list.Copy();
}

}  // namespace orbilux
