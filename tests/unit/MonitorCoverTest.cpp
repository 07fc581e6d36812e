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

}  // namespace
}  // namespace gridbloom
