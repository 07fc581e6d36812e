#include "saver/frmMain.h"

#include "app/CommandLine.h"

namespace gridbloom {

constexpr std::int16_t StartSeedDivisor = 7;
constexpr std::int16_t StartCellSize = 10;

void frmMain::Load(std::wstring_view arguments) {
    if (host_.IsAnotherCopyRunning()) {
        host_.CloseWindow();
        return;
    }
    host_.MaximiseWindow();
    state_.CellColor = colorFile_.LoadCellColor();
    state_.ExitRequested = FlagFalse;
    state_.StartCursor = host_.GetCursorPos();
    state_.SeedDivisor = StartSeedDivisor;
    state_.CellSize = StartCellSize;
    state_.MinuteCount = 0;
    ClearBoard(state_.Board);
    SeedBoard();

    switch (SelectMode(arguments)) {
        case Mode::Run:
            host_.ShowWindow();
            host_.EnableTimer(SaverTimer::Timer1);
            host_.EnableTimer(SaverTimer::Timer2);
            break;
        case Mode::Configure:
            host_.HideWindow();
            host_.OpenSettingsWindow();
            break;
        case Mode::None:
            host_.CloseWindow();
            break;
    }
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

void frmMain::OnMouseMove(float x, float y) {
    // The surface reports positions from its own origin; adding the origin's
    // screen position gives the pointer's screen position.
    const ScreenPoint origin = host_.SurfaceOrigin();
    OnScreenMouseMove(x + static_cast<float>(origin.X), y + static_cast<float>(origin.Y));
}

void frmMain::OnScreenMouseMove(float x, float y) {
    if (x != static_cast<float>(state_.StartCursor.X) || y != static_cast<float>(state_.StartCursor.Y)) {
        state_.ExitRequested = FlagTrue;
    }
}

void frmMain::OnPaint() { PaintBoard(); }

void frmMain::SeedBoard() {
    SeedCells(state_.Board, state_.SeedDivisor, random_);
    PaintBoard();
}

void frmMain::PaintBoard() {
    const PixelSize size = host_.SurfaceSize();
    if (frame_.Width != size.Width || frame_.Height != size.Height) frame_.Resize(size.Width, size.Height);
    gridbloom::PaintBoard(state_.Board, state_.CellSize, state_.CellColor.ToColorRef(), frame_);
    host_.PresentFrame(frame_);
}

}  // namespace gridbloom
