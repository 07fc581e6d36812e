#include "saver/frmMain.h"

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
    PaintBoard();
}

void frmMain::OnTimer1() {
    NextGeneration(state_.Board);
    PaintBoard();
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

void frmMain::OnPaint() { PaintBoard(); }

void frmMain::PaintBoard() {
    const PixelSize size = host_.SurfaceSize();
    if (frame_.Width != size.Width || frame_.Height != size.Height) frame_.Resize(size.Width, size.Height);
    gridbloom::PaintBoard(state_.Board, state_.CellSize, state_.CellColor.ToColorRef(), frame_);
    host_.PresentFrame(frame_);
}

}  // namespace gridbloom
