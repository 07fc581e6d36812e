// The saver window's logic: the state that the start-up sequence prepares,
// and the window's reactions to timer ticks, input and repaint requests. It
// owns the board and all saver state; the platform is reached only through
// SaverHost.
#pragma once

#include <cstdint>

#include "board/Board.h"
#include "board/Seeding.h"
#include "saver/PaintBoard.h"
#include "saver/SaverHost.h"
#include "saver/ScreenVisibility.h"
#include "settings/CellColor.h"
#include "settings/ColorFile.h"

namespace gridbloom {

constexpr std::int16_t FlagTrue = -1;
constexpr std::int16_t FlagFalse = 0;
constexpr unsigned Timer1IntervalMs = 100;
constexpr unsigned Timer2IntervalMs = 60000;
constexpr std::int32_t MinutesPerReseed = 5;

struct SaverState {
    std::int16_t ExitRequested = FlagFalse;
    ScreenPoint StartCursor;
    std::int16_t SeedDivisor = 0;
    std::int16_t CellSize = 0;
    std::int32_t MinuteCount = 0;
    gridbloom::CellColor CellColor;
    gridbloom::Board Board;
};

class frmMain {
public:
    frmMain(SaverHost& host, const ColorFile& colorFile, RandomSource& random)
        : host_(host), colorFile_(colorFile), random_(random) {}

    // The steps of the start-up sequence that act on the window's state.
    void LoadCellColor();
    // ExitRequested, StartCursor, SeedDivisor, CellSize and MinuteCount get
    // their first values.
    void ResetState(ScreenPoint startCursor);
    void ClearBoard();
    // A fresh random board, shown at once.
    void SeedBoard();

    void OnTimer1();
    void OnTimer2();
    void OnKeyDown();
    void OnMouseDown();
    // A pointer move over anything the saver covers, at this screen
    // position: each window turns its own coordinates into the screen's with
    // its real offset. It ends the saver when the pointer is away from where
    // it was at start-up, as the system confirms.
    void OnMouseMove(float screenX, float screenY);
    // Another program's window took the foreground (a reminder, an update
    // prompt): the user's next keys would go there, behind the saver, so it
    // counts as input.
    void OnLostForeground();
    // The surface has to be shown again: all of it, whatever was shown.
    void OnPaint();
    // While nobody can see the screen the board goes on evolving, but
    // nothing is painted; the whole frame is shown when it can be seen again.
    void OnDisplayState(DisplayState state);
    void OnSessionEvent(SessionEvent event);

    const SaverState& State() const { return state_; }
    const PixelFrame& Frame() const { return frame_; }

private:
    enum class Show { Changes, Whole };
    // Paints the frame, then shows what changed since the board last shown,
    // or all of it.
    void PaintBoard(Show show);
    void WhenSeenAgain(bool wasVisible);

    SaverHost& host_;
    const ColorFile& colorFile_;
    RandomSource& random_;
    SaverState state_;
    PixelFrame frame_;
    gridbloom::Board shown_;  // the board the screen shows
    bool showWhole_ = true;   // the screen shows no frame of the current size yet
    ScreenVisibility visibility_;
};

}  // namespace gridbloom
