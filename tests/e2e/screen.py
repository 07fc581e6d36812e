"""Reading the saver's board and the pointer off the screen."""

import ctypes
import ctypes.util

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


class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong),
                ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def pointer_alpha(display: str) -> numpy.ndarray:
    """The alpha channel of the pointer image shown now on `display` (XFixes)."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    xfixes = ctypes.CDLL(ctypes.util.find_library("Xfixes"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        raise RuntimeError(f"cannot open display {display}")
    try:
        image = xfixes.XFixesGetCursorImage(connection)
        if not image:
            raise RuntimeError("XFixesGetCursorImage failed")
        try:
            size = image.contents.width * image.contents.height
            pixels = numpy.array(image.contents.pixels[:size], dtype=numpy.uint64)
            return ((pixels >> 24) & 0xFF).astype(numpy.uint8)
        finally:
            x11.XFree(image)
    finally:
        x11.XCloseDisplay(connection)
