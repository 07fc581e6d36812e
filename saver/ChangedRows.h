// Which parts of a frame changed between two boards. A frame is a pure
// function of the board and the colour, and at a pitch of at least 2 a
// cell's box changes nothing but its own inside: its outline is black on
// either board. So only the insides of the changed cells need showing again,
// a row of cells at a time.
#pragma once

#include <vector>

#include "board/Board.h"
#include "settings/Twips.h"

namespace gridbloom {

// Changed cells of a row closer together than this are shown as one
// rectangle: a gap of a few unchanged cells costs less to show again than
// another call of the system does.
constexpr int MergeGapCells = 16;

// The rectangles to show again, row of cells by row of cells, top to bottom
// and left to right: a cell changed when it is drawn on one board and not on
// the other (cells holding 1 are drawn). Each rectangle covers the insides of
// a run of changed cells, runs less than MergeGapCells apart merged into one,
// clipped to a frame of frameWidth x frameHeight pixels; what lies wholly
// outside the frame gives none.
std::vector<PixelRect> ChangedRowRects(const Board& shown, const Board& now, int cellSize, int frameWidth,
                                       int frameHeight);

}  // namespace gridbloom
