#include "saver/MonitorCover.h"

#include <gtest/gtest.h>

namespace gridbloom {
namespace {

TEST(MonitorCoverTest, EveryMonitorButThePrimaryGetsACover) {
    const PixelRect primary{0, 0, 1920, 1080};
    const PixelRect right{1920, 0, 1280, 1024};
    const PixelRect left{-1280, -200, 1280, 1024};
    struct Case {
        const char* name;
        std::vector<PixelRect> monitors;
        std::vector<PixelRect> covers;
    };
    const Case cases[] = {
        {"one monitor", {primary}, {}},
        {"two side by side", {primary, right}, {right}},
        {"primary listed second", {left, primary}, {left}},
        {"three", {left, primary, right}, {left, right}},
        {"a mirror of the primary", {primary, primary}, {}},
        {"the same monitor twice", {primary, right, right}, {right}},
        {"an empty rectangle", {primary, {100, 100, 0, 300}}, {}},
        {"a smaller clone at the same corner", {primary, {0, 0, 1024, 768}}, {}},
        {"one that only touches the primary's edge", {primary, {1920, 500, 640, 700}}, {{1920, 500, 640, 700}}},
        {"no monitors at all", {}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(MonitorsToCover(c.monitors, primary), c.covers) << c.name;
}

TEST(MonitorCoverTest, WhenMonitorsChangeOnlyTheCoversThatNoLongerFitAreRebuilt) {
    const PixelRect primary{0, 0, 1920, 1080};
    const PixelRect right{1920, 0, 1280, 1024};
    const PixelRect left{-1280, -200, 1280, 1024};
    const PixelRect rightAtNewResolution{1920, 0, 1920, 1200};
    struct Case {
        const char* name;
        std::vector<PixelRect> covered;
        std::vector<PixelRect> monitors;
        PixelRect primary;
        std::vector<std::size_t> close;
        std::vector<PixelRect> open;
    };
    const Case cases[] = {
        {"nothing changed", {left, right}, {primary, left, right}, primary, {}, {}},
        {"a monitor unplugged", {left, right}, {primary, right}, primary, {0}, {}},
        {"a monitor plugged in", {right}, {left, primary, right}, primary, {}, {left}},
        {"a new resolution",
         {left, right},
         {primary, left, rightAtNewResolution},
         primary,
         {1},
         {rightAtNewResolution}},
        {"the last other monitor gone", {right}, {primary}, primary, {0}, {}},
        // The old primary is covered now, and the cover over the new primary,
        // where the saver window moves, goes.
        {"another primary", {right}, {primary, right}, right, {0}, {primary}},
    };
    for (const Case& c : cases) {
        const CoverChange change = ChangeCovers(c.covered, c.monitors, c.primary);
        EXPECT_EQ(change.Close, c.close) << c.name;
        EXPECT_EQ(change.Open, c.open) << c.name;
    }
}

}  // namespace
}  // namespace gridbloom
