"""Reading the saver's board off the screen."""

import numpy

# The board surface's drawing origin on the screen and its inside size.
ORIGIN = 2
INSIDE = 1054
CELL = 10
COLUMNS = 116
ROWS = 93
# Columns whose cell centre lies inside the surface: 0..104 (column 105 is cut).
VISIBLE_COLUMNS = (INSIDE - 1 - 5) // CELL + 1


def colour_of(colorref: int) -> tuple:
    """A COLORREF (0x00BBGGRR) as (red, green, blue)."""
    return (colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF)


def board_from_screen(shot: numpy.ndarray) -> numpy.ndarray:
    """The visible cells (rows x VISIBLE_COLUMNS) as 0/1, read at each cell's centre."""
    ys = ORIGIN + CELL * numpy.arange(ROWS) + 5
    xs = ORIGIN + CELL * numpy.arange(VISIBLE_COLUMNS) + 5
    centres = shot[numpy.ix_(ys, xs)]
    return (centres.sum(axis=2) > 0).astype(numpy.uint8)


def next_generation_rows_wrapped(board: numpy.ndarray) -> numpy.ndarray:
    """B3/S23 on a board whose rows wrap but whose columns are only a window
    onto a wider board: the outermost columns of the result are not known."""
    padded = numpy.pad(board, ((0, 0), (1, 1)))
    counts = numpy.zeros_like(board, dtype=numpy.int16)
    for dy in (-1, 0, 1):
        rolled = numpy.roll(padded, dy, axis=0)
        for dx in (0, 1, 2):
            if dy == 0 and dx == 1:
                continue
            counts += rolled[:, dx:dx + board.shape[1]]
    return ((counts == 3) | ((board == 1) & (counts == 2))).astype(numpy.uint8)

