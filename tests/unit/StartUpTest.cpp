#include "app/StartUp.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/unit/SaverFixture.h"

namespace gridbloom {
namespace {

using testing::CallLog;
using testing::DeadDraw;
using testing::LiveDraw;
using testing::SaverFixture;
using testing::ScriptedRandom;

TEST(StartUpTest, RunsTheStartUpSequenceInOrderThenActsOnTheSwitch) {
    const CallLog prefix = {"ClaimSingleInstance", "MarkMaximised", "read C:\\Saver\\gridbloom.dat", "GetCursorPos",
                            "PresentFrame"};
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
        saver.Load(c.arguments);
        CallLog expected = prefix;
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(saver.log, expected) << c.arguments;
        // The board was cleared and seeded (one reseed, one draw a cell)
        // before the switch was read, in every mode.
        EXPECT_EQ(saver.random.Reseeds(), 1) << c.arguments;
        EXPECT_EQ(saver.random.Draws, BoardCellCount) << c.arguments;
    }
}

TEST(StartUpTest, ASecondCopyEndsBeforeTouchingAnything) {
    struct Case {
        const wchar_t* arguments;
        CallLog log;
    };
    // A second "/C" only brings the first copy's settings window forward.
    const Case cases[] = {
        {L"/S", {"ClaimSingleInstance", "CloseWindow"}},
        {L"/C", {"ClaimSingleInstance", "RaiseRunningSettingsWindow", "CloseWindow"}},
        {L"/c:1234", {"ClaimSingleInstance", "RaiseRunningSettingsWindow", "CloseWindow"}},
        {L"/P 1234", {"ClaimSingleInstance", "CloseWindow"}},
    };
    for (const Case& c : cases) {
        SaverFixture saver;
        saver.host.AnotherCopy = true;
        saver.Load(c.arguments);
        EXPECT_EQ(saver.log, c.log) << c.arguments;
        EXPECT_EQ(saver.random.Reseeds(), 0) << c.arguments;
    }
}

TEST(StartUpTest, GivesTheStateItsFirstValues) {
    SaverFixture saver;
    saver.files.Files[L"C:\\Saver\\gridbloom.dat"] = "255\r\n";
    saver.host.Cursor = {300, 400};
    saver.random = ScriptedRandom({DeadDraw, LiveDraw}, DeadDraw);  // only cell (0, 1) lives
    saver.Load(L"/S");

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

}  // namespace
}  // namespace gridbloom
