"""Reading the saver's board off the screen, wherever the configuration puts
it: at the top-left corner of the primary monitor, inside the surface's
border."""

import numpy

from configs import BOARD_HEIGHT, BOARD_WIDTH, CELL


def colour_of(colorref: int) -> tuple:
    """A COLORREF (0x00BBGGRR) as (red, green, blue)."""
    return (colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF)


def surface_pixels(shot: numpy.ndarray, config) -> numpy.ndarray:
    """The part of the surface's inside that is on the screen."""
    (x, y), (width, height) = config.origin, config.visible
    return shot[y:y + height, x:x + width]


def board_pixels(shot: numpy.ndarray, config) -> numpy.ndarray:
    """The part of the board's 1161 x 931 pixels that is on the screen."""
    surface = surface_pixels(shot, config)
    return surface[:BOARD_HEIGHT, :BOARD_WIDTH]


def board_from_screen(shot: numpy.ndarray, config) -> numpy.ndarray:
    """The visible cells (rows x columns) as 0/1, read at each cell's centre."""
    columns, rows = config.visible_cells
    x, y = config.origin
    ys = y + CELL * numpy.arange(rows) + 5
    xs = x + CELL * numpy.arange(columns) + 5
    centres = shot[numpy.ix_(ys, xs)]
    return (centres.sum(axis=2) > 0).astype(numpy.uint8)


def next_generation(board: numpy.ndarray, columns_wrap: bool) -> numpy.ndarray:
    """B3/S23 on a board whose rows wrap. Its columns wrap too when the whole
    board shows; otherwise they are only a window onto a wider board, and the
    outermost columns of the result are not known."""
    padded = numpy.pad(board, ((0, 0), (1, 1)), mode="wrap" if columns_wrap else "constant")
    counts = numpy.zeros_like(board, dtype=numpy.int16)
    for dy in (-1, 0, 1):
        rolled = numpy.roll(padded, dy, axis=0)
        for dx in (0, 1, 2):
            if dy == 0 and dx == 1:
                continue
            counts += rolled[:, dx:dx + board.shape[1]]
    return ((counts == 3) | ((board == 1) & (counts == 2))).astype(numpy.uint8)
