#include "saver/frmMain.h"

#include <algorithm>

#include "saver/ChangedRows.h"

namespace gridbloom {

constexpr std::int16_t StartSeedDivisor = 7;
constexpr std::int16_t StartCellSize = 10;

void frmMain::LoadCellColor() { state_.CellColor = colorFile_.LoadCellColor(); }

void frmMain::ResetState(ScreenPoint startCursor) {
    state_.ExitRequested = FlagFalse;
    state_.StartCursor = startCursor;
    state_.SeedDivisor = StartSeedDivisor;
    state_.CellSize = StartCellSize;
    state_.MinuteCount = 0;
}

void frmMain::ClearBoard() { gridbloom::ClearBoard(state_.Board); }

void frmMain::SeedBoard() {
    SeedCells(state_.Board, state_.SeedDivisor, random_);
    PaintBoard(Show::Whole);  // a fresh board changes most rows: one rectangle is cheaper
}

void frmMain::OnTimer1() {
    NextGeneration(state_.Board);
    PaintBoard(Show::Changes);
    if (state_.ExitRequested == FlagTrue) host_.CloseWindow();
}

void frmMain::OnTimer2() {
    state_.MinuteCount += 1;
    if (state_.MinuteCount == MinutesPerReseed) {
        SeedBoard();
        state_.MinuteCount = 0;
    }
}

void frmMain::OnKeyDown() { state_.ExitRequested = FlagTrue; }

void frmMain::OnMouseDown() { state_.ExitRequested = FlagTrue; }

void frmMain::OnMouseMove(float screenX, float screenY) {
    const ScreenPoint start = state_.StartCursor;
    if (screenX == static_cast<float>(start.X) && screenY == static_cast<float>(start.Y)) return;
    // A move reported away from the start counts only when the pointer really
    // is elsewhere: a window that appears under a still pointer can bring a
    // move whose position is stale or converted wrongly, and a still pointer
    // must never end the saver.
    const std::optional<ScreenPoint> now = host_.PointerPosition();
    if (now && now->X == start.X && now->Y == start.Y) return;
    state_.ExitRequested = FlagTrue;
}

void frmMain::OnLostForeground() { state_.ExitRequested = FlagTrue; }

void frmMain::OnPaint() { PaintBoard(Show::Whole); }

void frmMain::OnDisplayState(DisplayState state) {
    const bool wasVisible = visibility_.Visible();
    visibility_.OnDisplayState(state);
    WhenSeenAgain(wasVisible);
}

void frmMain::OnSessionEvent(SessionEvent event) {
    const bool wasVisible = visibility_.Visible();
    visibility_.OnSessionEvent(event);
    WhenSeenAgain(wasVisible);
}

void frmMain::WhenSeenAgain(bool wasVisible) {
    if (!wasVisible && visibility_.Visible()) PaintBoard(Show::Whole);
}

void frmMain::PaintBoard(Show show) {
    if (!visibility_.Visible()) {
        showWhole_ = true;
        return;
    }
    // The frame covers the board and no more: beyond it the surface stays
    // black, as the window draws it when it is shown.
    const PixelSize surface = host_.SurfaceSize();
    const int width = std::clamp(surface.Width, 0, BoardPixelWidth(state_.CellSize));
    const int height = std::clamp(surface.Height, 0, BoardPixelHeight(state_.CellSize));
    if (frame_.Width != width || frame_.Height != height) {
        frame_.Resize(width, height);
        showWhole_ = true;
    }
    gridbloom::PaintBoard(state_.Board, state_.CellSize, state_.CellColor.ToColorRef(), frame_);
    const std::vector<PixelRect> rects = show == Show::Whole || showWhole_
                                             ? std::vector<PixelRect>{{0, 0, width, height}}
                                             : ChangedRowRects(shown_, state_.Board, state_.CellSize, width, height);
    if (width > 0 && height > 0 && !rects.empty()) host_.PresentFrame(frame_, rects);
    shown_ = state_.Board;
    showWhole_ = false;
}

}  // namespace gridbloom
