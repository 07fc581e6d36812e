#include "saver/frmMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>

#include "saver/SurfaceSize.h"
#include "tests/unit/SaverFixture.h"

namespace gridbloom {
namespace {

using testing::LiveDraw;
using testing::SaverFixture;
using testing::ScriptedRandom;

std::vector<float> RandomDraws(int count) {
    std::mt19937 engine(7);
    std::uniform_real_distribution<float> unit(0.0f, 0.5f);
    std::vector<float> draws;
    for (int i = 0; i < count; ++i) draws.push_back(unit(engine));
    return draws;
}

TEST(frmMainEventsTest, InputInTheFirstTickGivesOneMoreGenerationThenTheClose) {
    // A key, a mouse button, and another program taking the foreground.
    for (void (frmMain::*input)() : {&frmMain::OnKeyDown, &frmMain::OnMouseDown, &frmMain::OnLostForeground}) {
        SaverFixture saver;
        saver.random = ScriptedRandom(RandomDraws(BoardCellCount));  // a busy board, so a generation shows
        saver.Load(L"/S");
        SaverState before = saver.window.State();
        const std::size_t framesBefore = static_cast<std::size_t>(saver.host.FramesPresented);

        (saver.window.*input)();
        EXPECT_EQ(saver.window.State().ExitRequested, -1);
        EXPECT_FALSE(saver.host.Closed) << "input alone never closes the window";

        saver.window.OnTimer1();
        EXPECT_TRUE(saver.host.Closed);
        EXPECT_EQ(static_cast<std::size_t>(saver.host.FramesPresented), framesBefore + 1);
        NextGeneration(before.Board);
        EXPECT_EQ(saver.window.State().Board.Cells, before.Board.Cells);
        // The frame was painted before the close.
        const auto close = std::find(saver.log.begin(), saver.log.end(), "CloseWindow");
        ASSERT_NE(close, saver.log.begin());
        EXPECT_EQ(*(close - 1), "PresentFrame");
    }
}

TEST(frmMainEventsTest, OnlyAPointerThatReallyMovedEndsTheSaver) {
    struct Case {
        float x;
        float y;
        std::optional<ScreenPoint> pointer;  // where the system says it is; unknown when empty
        bool ends;
    };
    // The pointer starts at screen (640, 512); moves arrive in screen pixels,
    // from the board surface or from a cover on another monitor.
    const ScreenPoint start{640, 512};
    const Case cases[] = {
        {640.0f, 512.0f, {}, false},  // where it was at start-up
        {641.0f, 512.0f, {}, true},   // one pixel right
        {641.0f, 512.0f, ScreenPoint{641, 512}, true},
        {640.0f, 511.0f, {}, true},                       // one pixel up
        {638.0f, 510.0f, {}, true},                       // the start position less the surface's border
        {640.5f, 512.0f, {}, true},                       // compared in floating point
        {1920.0f + 5.0f, 512.0f, {}, true},               // over a monitor right of the primary
        {-640.0f, 512.0f, ScreenPoint{-640, 512}, true},  // over one left of it
        // Reported away from the start while the pointer still rests there:
        // a stale or wrongly converted position, not a movement.
        {641.0f, 512.0f, start, false},
        {-640.0f, 512.0f, start, false},
        {641.0f, 512.0f, ScreenPoint{700, 512}, true},  // it did move, further on
    };
    for (const Case& c : cases) {
        SaverFixture saver;
        saver.host.Cursor = start;
        saver.host.Pointer = c.pointer;
        saver.Load(L"/S");
        saver.window.OnMouseMove(c.x, c.y);
        saver.window.OnTimer1();
        EXPECT_EQ(saver.host.Closed, c.ends) << c.x << ", " << c.y;
    }
}

TEST(frmMainEventsTest, NothingEndsTheSaverWithoutInput) {
    SaverFixture saver;
    saver.Load(L"/S");
    saver.window.OnMouseMove(640.0f, 512.0f);
    for (int tick = 0; tick < 50; ++tick) saver.window.OnTimer1();
    for (int minute = 0; minute < 12; ++minute) saver.window.OnTimer2();
    saver.window.OnPaint();
    EXPECT_FALSE(saver.host.Closed);
    EXPECT_EQ(saver.window.State().ExitRequested, 0);
}

TEST(frmMainEventsTest, EveryFifthMinuteReseeds) {
    struct Case {
        int minutes;
        int reseeds;
        std::int32_t minuteCount;
    };
    const Case cases[] = {{4, 0, 4}, {5, 1, 0}, {9, 1, 4}, {10, 2, 0}, {11, 2, 1}};
    for (const Case& c : cases) {
        SaverFixture saver;
        saver.Load(L"/S");
        const int reseedsAtStart = saver.random.Reseeds();
        for (int minute = 0; minute < c.minutes; ++minute) saver.window.OnTimer2();
        EXPECT_EQ(saver.random.Reseeds() - reseedsAtStart, c.reseeds) << c.minutes << " minutes";
        EXPECT_EQ(saver.window.State().MinuteCount, c.minuteCount) << c.minutes << " minutes";
    }
}

TEST(frmMainEventsTest, AReseedShowsTheNewBoardAtOnce) {
    SaverFixture saver;
    saver.Load(L"/S");
    ASSERT_EQ(std::count(saver.window.State().Board.Cells.begin(), saver.window.State().Board.Cells.end(), 1), 0);
    saver.random = ScriptedRandom({}, LiveDraw);  // every cell of the next seeding lives
    const int frames = saver.host.FramesPresented;
    for (int minute = 0; minute < 5; ++minute) saver.window.OnTimer2();
    EXPECT_EQ(saver.host.FramesPresented, frames + 1);
    EXPECT_EQ(std::count(saver.window.State().Board.Cells.begin(), saver.window.State().Board.Cells.end(), 1),
              BoardCellCount);
    EXPECT_EQ(saver.window.Frame().At(5, 5), 0x0000FFFFu);  // cyan
}

TEST(SurfaceSizeTest, TheSurfaceIsFixedInTwipsAndFollowsTheDpi) {
    struct Case {
        int dpi;
        int pixels;
    };
    const Case cases[] = {{96, 1058}, {120, 1323}, {144, 1587}, {192, 2116}, {240, 2645}};
    for (const Case& c : cases) EXPECT_EQ(SurfaceSizePixels(c.dpi), c.pixels) << c.dpi << " dpi";
}

}  // namespace
}  // namespace gridbloom
