// Which monitors the saver covers besides the primary one, where its board
// window lies: each other monitor gets a plain black window, so no desktop
// stays visible.
#pragma once

#include <cstdint>
#include <vector>

namespace gridbloom {

struct ScreenRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    bool Empty() const { return Right <= Left || Bottom <= Top; }
    bool Overlaps(const ScreenRect& other) const {
        return Left < other.Right && other.Left < Right && Top < other.Bottom && other.Top < Bottom;
    }
    bool operator==(const ScreenRect& other) const {
        return Left == other.Left && Top == other.Top && Right == other.Right && Bottom == other.Bottom;
    }
};

// The monitors that need a cover window: every monitor but the primary one,
// leaving out empty rectangles, monitors that overlap the primary one (a
// mirror or a clone would hide the board), and repeats, in the order the
// system listed them.
std::vector<ScreenRect> MonitorsToCover(const std::vector<ScreenRect>& monitors, const ScreenRect& primary);

}  // namespace gridbloom
