#include "saver/MonitorCover.h"

#include <algorithm>

namespace gridbloom {

std::vector<ScreenRect> MonitorsToCover(const std::vector<ScreenRect>& monitors, const ScreenRect& primary) {
    std::vector<ScreenRect> covers;
    for (const ScreenRect& monitor : monitors) {
        if (monitor.Empty() || monitor.Overlaps(primary)) continue;
        if (std::find(covers.begin(), covers.end(), monitor) != covers.end()) continue;
        covers.push_back(monitor);
    }
    return covers;
}

}  // namespace gridbloom
