#include "saver/MonitorCover.h"

#include <algorithm>

namespace gridbloom {

std::vector<PixelRect> MonitorsToCover(const std::vector<PixelRect>& monitors, const PixelRect& primary) {
    std::vector<PixelRect> covers;
    for (const PixelRect& monitor : monitors) {
        if (monitor.Empty() || monitor.Overlaps(primary)) continue;
        if (std::find(covers.begin(), covers.end(), monitor) != covers.end()) continue;
        covers.push_back(monitor);
    }
    return covers;
}

CoverChange ChangeCovers(const std::vector<PixelRect>& covered, const std::vector<PixelRect>& monitors,
                         const PixelRect& primary) {
    const std::vector<PixelRect> wanted = MonitorsToCover(monitors, primary);
    const auto contains = [](const std::vector<PixelRect>& list, const PixelRect& rect) {
        return std::find(list.begin(), list.end(), rect) != list.end();
    };
    CoverChange change;
    for (std::size_t i = 0; i < covered.size(); ++i) {
        if (!contains(wanted, covered[i])) change.Close.push_back(i);
    }
    for (const PixelRect& monitor : wanted) {
        if (!contains(covered, monitor)) change.Open.push_back(monitor);
    }
    return change;
}

}  // namespace gridbloom
