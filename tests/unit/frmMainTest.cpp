#include "saver/frmMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "saver/SurfaceSize.h"
#include "tests/unit/SaverFixture.h"

namespace gridbloom {
namespace {

using testing::DeadDraw;
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

// The screen as the host shows it, against a frame of the whole board
// painted afresh: pixel for pixel the same.
::testing::AssertionResult ShowsTheBoard(const SaverFixture& saver) {
    const auto& screen = saver.host.Screen;
    PixelFrame full;
    full.Resize(screen.Width, screen.Height);
    PaintBoard(saver.window.State().Board, 10, saver.window.State().CellColor.ToColorRef(), full);
    for (int y = 0; y < full.Height; ++y) {
        for (int x = 0; x < full.Width; ++x) {
            if (screen.At(x, y) != full.At(x, y)) return ::testing::AssertionFailure() << "pixel " << x << "," << y;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(frmMainPresentTest, EveryTickShowsOnlyWhatChangedAndTheScreenIsTheWholeFrame) {
    for (const auto& [width, height] : {std::pair{1054, 1054}, std::pair{1583, 1583}, std::pair{796, 596}}) {
        SaverFixture saver;
        saver.host.Width = width;
        saver.host.Height = height;
        saver.random = ScriptedRandom(RandomDraws(BoardCellCount));
        saver.Load(L"/S");
        // The frame is the board's part of the surface; the margin beyond it
        // is the window's, black.
        const PixelRect whole{0, 0, std::min(width, 1161), std::min(height, 931)};
        ASSERT_EQ(saver.host.Presented, std::vector<PixelRect>{whole}) << "the first frame is shown whole";
        long long shownPixels = 0;
        for (int tick = 0; tick < 20; ++tick) {
            saver.window.OnTimer1();
            ASSERT_TRUE(ShowsTheBoard(saver)) << "after tick " << tick << " on " << width << "x" << height;
            for (const PixelRect& r : saver.host.Presented) shownPixels += static_cast<long long>(r.Width) * r.Height;
        }
        EXPECT_LT(shownPixels, 20LL * whole.Width * whole.Height) << "the ticks showed the whole frame";
        saver.window.OnPaint();
        EXPECT_EQ(saver.host.Presented, std::vector<PixelRect>{whole}) << "a repaint shows it all";
        for (int minute = 0; minute < 5; ++minute) saver.window.OnTimer2();
        EXPECT_EQ(saver.host.Presented, std::vector<PixelRect>{whole}) << "a reseed shows it all";
        EXPECT_TRUE(ShowsTheBoard(saver));
    }
}

TEST(frmMainPresentTest, ABoardThatStaysTheSameShowsNothingMore) {
    SaverFixture saver;
    saver.random = ScriptedRandom({}, DeadDraw);
    saver.Load(L"/S");
    const int frames = saver.host.FramesPresented;
    for (int tick = 0; tick < 3; ++tick) saver.window.OnTimer1();
    EXPECT_EQ(saver.host.FramesPresented, frames);
}

TEST(frmMainPresentTest, NothingIsShownWhileNobodyCanSeeTheScreenAndAllOfItAfter) {
    using Step = std::function<void(frmMain&)>;
    const auto display = [](DisplayState state) { return Step([state](frmMain& w) { w.OnDisplayState(state); }); };
    const auto session = [](SessionEvent event) { return Step([event](frmMain& w) { w.OnSessionEvent(event); }); };
    struct Case {
        const char* name;
        std::vector<Step> hide;  // after these, nothing is shown
        std::vector<Step> show;  // and after these, the whole frame at once
    };
    const Case cases[] = {
        {"the display off and on", {display(DisplayState::Off)}, {display(DisplayState::On)}},
        {"the session locked and unlocked", {session(SessionEvent::Locked)}, {session(SessionEvent::Unlocked)}},
        {"the console disconnected and back",
         {session(SessionEvent::Disconnected)},
         {session(SessionEvent::Connected)}},
        {"locked, then the display off",
         {session(SessionEvent::Locked), display(DisplayState::Off)},
         {display(DisplayState::On), session(SessionEvent::Unlocked)}},
    };
    for (const Case& c : cases) {
        SaverFixture saver;
        saver.random = ScriptedRandom(RandomDraws(BoardCellCount));
        saver.Load(L"/S");
        for (const Step& step : c.hide) step(saver.window);
        const int frames = saver.host.FramesPresented;
        Board expected = saver.window.State().Board;
        for (int tick = 0; tick < 5; ++tick) {
            saver.window.OnTimer1();
            NextGeneration(expected);
        }
        saver.window.OnPaint();
        EXPECT_EQ(saver.host.FramesPresented, frames) << c.name << ": something was shown";
        EXPECT_EQ(saver.window.State().Board.Cells, expected.Cells) << c.name << ": the board stood still";
        for (std::size_t i = 0; i < c.show.size(); ++i) {
            c.show[i](saver.window);
            const bool last = i + 1 == c.show.size();
            EXPECT_EQ(saver.host.FramesPresented, frames + (last ? 1 : 0)) << c.name << ", step " << i;
        }
        EXPECT_EQ(saver.host.Presented, (std::vector<PixelRect>{{0, 0, 1054, 931}})) << c.name;
        EXPECT_TRUE(ShowsTheBoard(saver)) << c.name;
    }
}

TEST(frmMainPresentTest, ADimmedDisplayStillShowsTheBoard) {
    SaverFixture saver;
    saver.random = ScriptedRandom(RandomDraws(BoardCellCount));
    saver.Load(L"/S");
    saver.window.OnDisplayState(DisplayState::Dimmed);
    const int frames = saver.host.FramesPresented;
    saver.window.OnTimer1();
    EXPECT_EQ(saver.host.FramesPresented, frames + 1);
}

}  // namespace
}  // namespace gridbloom
