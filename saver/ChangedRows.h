// Which parts of a frame changed between two boards. A frame is a pure
// function of the board and the colour, and at a pitch of at least 2 a
// cell's box changes nothing but its own inside: its outline is black on
// either board. So a row of cells that changed needs only the span from the
// first changed cell's inside to the last's shown again.
#pragma once

#include <vector>

#include "board/Board.h"
#include "settings/Twips.h"

namespace gridbloom {

// One rectangle for each row of cells with a cell that is drawn on one board
// and not on the other (cells holding 1 are drawn), covering the insides of
// its changed cells from the first to the last, clipped to a frame of
// frameWidth x frameHeight pixels; rows whose span lies outside the frame
// give none. Top to bottom.
std::vector<PixelRect> ChangedRowRects(const Board& shown, const Board& now, int cellSize, int frameWidth,
                                       int frameHeight);

}  // namespace gridbloom
