#include "saver/frmMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "tests/unit/Fakes.h"

namespace gridbloom {
namespace {

using testing::CallLog;
using testing::MemoryFiles;
using testing::RecordingSaverHost;
using testing::ScriptedRandom;

// The draw that makes a cell live with divisor 7: floor(7 * 0.2) = 1.
constexpr float LiveDraw = 0.2f;
constexpr float DeadDraw = 0.5f;

std::vector<float> RandomDraws(int count) {
    std::mt19937 engine(7);
    std::uniform_real_distribution<float> unit(0.0f, 0.5f);
    std::vector<float> draws;
    for (int i = 0; i < count; ++i) draws.push_back(unit(engine));
    return draws;
}

struct SaverFixture {
    CallLog log;
    MemoryFiles files{&log};
    ColorFile colorFile{files, L"C:\\Saver\\"};
    RecordingSaverHost host{log};
    ScriptedRandom random{{}, DeadDraw};
    frmMain window{host, colorFile, random};

    std::size_t Count(const std::string& entry) const {
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), entry));
    }
};

TEST(frmMainLoadTest, RunsTheStartUpSequenceInOrderThenActsOnTheSwitch) {
    const CallLog prefix = {"IsAnotherCopyRunning", "MaximiseWindow", "read C:\\Saver\\gridbloom.dat",
                            "GetCursorPos", "PresentFrame"};
    struct Case {
        const wchar_t* arguments;
        CallLog tail;
    };
    const Case cases[] = {
        {L"/S", {"ShowWindow", "EnableTimer1", "EnableTimer2"}},
        {L"/s:42", {"ShowWindow", "EnableTimer1", "EnableTimer2"}},
        {L"/C", {"HideWindow", "OpenSettingsWindow"}},
        {L"/c:1234", {"HideWindow", "OpenSettingsWindow"}},
        {L"", {"CloseWindow"}},
        {L"/P 1234", {"CloseWindow"}},
        {L"-s", {"CloseWindow"}},
    };
    for (const Case& c : cases) {
        SaverFixture saver;
        saver.window.Load(c.arguments);
        CallLog expected = prefix;
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(saver.log, expected) << c.arguments;
        // The board was cleared and seeded (one reseed, one draw a cell)
        // before the switch was read, in every mode.
        EXPECT_EQ(saver.random.Reseeds, 1) << c.arguments;
        EXPECT_EQ(saver.random.Draws, static_cast<std::size_t>(BoardCellCount)) << c.arguments;
    }
}

TEST(frmMainLoadTest, ASecondCopyEndsBeforeTouchingAnything) {
    SaverFixture saver;
    saver.host.AnotherCopy = true;
    saver.window.Load(L"/S");
    const CallLog expected = {"IsAnotherCopyRunning", "CloseWindow"};
    EXPECT_EQ(saver.log, expected);
    EXPECT_EQ(saver.random.Reseeds, 0);
}

TEST(frmMainLoadTest, GivesTheStateItsFirstValues) {
    SaverFixture saver;
    saver.files.Files[L"C:\\Saver\\gridbloom.dat"] = "255\r\n";
    saver.host.Cursor = {300, 400};
    saver.random = ScriptedRandom({DeadDraw, LiveDraw}, DeadDraw);  // only cell (0, 1) lives
    saver.window.Load(L"/S");

    const SaverState& state = saver.window.State();
    EXPECT_EQ(state.ExitRequested, 0);
    EXPECT_EQ(state.StartCursor.X, 300);
    EXPECT_EQ(state.StartCursor.Y, 400);
    EXPECT_EQ(state.SeedDivisor, 7);
    EXPECT_EQ(state.CellSize, 10);
    EXPECT_EQ(state.MinuteCount, 0);
    EXPECT_EQ(state.CellColor.ToColorRef(), 255u);
    EXPECT_EQ(std::count(state.Board.Cells.begin(), state.Board.Cells.end(), 1), 1);
    EXPECT_EQ(state.Board.At(0, 1), 1);
    // The first frame was painted with the loaded colour: red.
    EXPECT_EQ(saver.window.Frame().At(5, 15), 0x00FF0000u);
    EXPECT_TRUE(saver.files.Files.count(L"C:\\Saver\\gridbloom.dat") == 1 && saver.files.Files.size() == 1)
        << "the saver only reads the settings file";
}

TEST(frmMainEventsTest, AKeyInTheFirstTickGivesOneMoreGenerationThenTheClose) {
    for (const bool mouseButton : {false, true}) {
        SaverFixture saver;
        saver.random = ScriptedRandom(RandomDraws(BoardCellCount));  // a busy board, so a generation shows
        saver.window.Load(L"/S");
        SaverState before = saver.window.State();
        const std::size_t framesBefore = static_cast<std::size_t>(saver.host.FramesPresented);

        if (mouseButton) {
            saver.window.OnMouseDown();
        } else {
            saver.window.OnKeyDown();
        }
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
        ScreenPoint origin;  // the surface's origin on the screen
        float x;
        float y;
        bool ends;
    };
    // The pointer starts at screen (640, 512).
    const Case cases[] = {
        {{2, 2}, 638.0f, 510.0f, false},  // where it was at start-up
        {{2, 2}, 639.0f, 510.0f, true},   // one pixel right
        {{2, 2}, 638.0f, 509.0f, true},   // one pixel up
        {{2, 2}, 640.0f, 512.0f, true},   // the start position taken without the border
        {{0, 0}, 640.0f, 512.0f, false},  // a surface without border: its own offset counts
        {{2, 2}, 638.5f, 510.0f, true},   // compared in floating point
    };
    for (const Case& c : cases) {
        SaverFixture saver;
        saver.host.Cursor = {640, 512};
        saver.host.Origin = c.origin;
        saver.window.Load(L"/S");
        saver.window.OnMouseMove(c.x, c.y);
        saver.window.OnTimer1();
        EXPECT_EQ(saver.host.Closed, c.ends) << c.x << ", " << c.y;
    }
}

TEST(frmMainEventsTest, NothingEndsTheSaverWithoutInput) {
    SaverFixture saver;
    saver.window.Load(L"/S");
    saver.window.OnMouseMove(638.0f, 510.0f);
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
        saver.window.Load(L"/S");
        const int reseedsAtStart = saver.random.Reseeds;
        for (int minute = 0; minute < c.minutes; ++minute) saver.window.OnTimer2();
        EXPECT_EQ(saver.random.Reseeds - reseedsAtStart, c.reseeds) << c.minutes << " minutes";
        EXPECT_EQ(saver.window.State().MinuteCount, c.minuteCount) << c.minutes << " minutes";
    }
}

TEST(frmMainEventsTest, AReseedShowsTheNewBoardAtOnce) {
    SaverFixture saver;
    saver.window.Load(L"/S");
    ASSERT_EQ(std::count(saver.window.State().Board.Cells.begin(), saver.window.State().Board.Cells.end(), 1), 0);
    saver.random = ScriptedRandom({}, LiveDraw);  // every cell of the next seeding lives
    const int frames = saver.host.FramesPresented;
    for (int minute = 0; minute < 5; ++minute) saver.window.OnTimer2();
    EXPECT_EQ(saver.host.FramesPresented, frames + 1);
    EXPECT_EQ(std::count(saver.window.State().Board.Cells.begin(), saver.window.State().Board.Cells.end(), 1),
              BoardCellCount);
    EXPECT_EQ(saver.window.Frame().At(5, 5), 0x0000FFFFu);  // cyan
}

}  // namespace
}  // namespace gridbloom

namespace gridbloom {
namespace {

TEST(frmMainEventsTest, APointerMoveOnAnotherMonitorCountsInScreenPixels) {
    SaverFixture saver;
    saver.host.Cursor = {640, 512};
    saver.window.Load(L"/S");
    saver.window.OnScreenMouseMove(640.0f, 512.0f);
    saver.window.OnTimer1();
    EXPECT_FALSE(saver.host.Closed);
    saver.window.OnScreenMouseMove(1920.0f + 5.0f, 512.0f);
    saver.window.OnTimer1();
    EXPECT_TRUE(saver.host.Closed);
}

}  // namespace
}  // namespace gridbloom
