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

}  // namespace gridbloom
