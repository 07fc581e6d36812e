"""The screen saver ("/S") as a user sees it: the board on the screen, the
hidden pointer, and the end on input, on one monitor or several, at any DPI
and screen size."""

import time

import numpy
import pytest

from configs import BOARD_HEIGHT, BOARD_WIDTH, CELL, MULTI_MONITOR
from conftest import EXIT_TIMEOUT, SAVER_CAPTION, start_with_window
from screen import board_from_screen, colour_of, next_generation, surface_pixels

pytestmark = pytest.mark.saver

CYAN = 16776960
# The saver ends at the first generation tick after the input: at most
# 100 ms, plus the time the process takes to go.
END_WITHIN = 0.5


def start_saver(wine, program_dir, settings=None, park_at=None):
    if settings is not None:
        program_dir.settings_file.write_bytes(settings)
    program, window = start_with_window(wine, program_dir.exe, "/S", caption=SAVER_CAPTION,
                                        park_at=park_at)
    time.sleep(0.4)  # a few frames: the very first capture after mapping can be black
    return program, window


def where_the_pointer_rests(config) -> list:
    """A point on each monitor; the rules must hold wherever the pointer is."""
    return [m.center for m in config.monitors]


def check_the_screens(wine, program, window, colorref):
    """The board at the primary monitor's top-left corner, inside the
    surface's border, on a 10-pixel pitch in the cell colour; black beyond it
    and on every other monitor."""
    config = wine.config
    primary = config.primary
    assert (window.x, window.y, window.width, window.height) == \
        (primary.x, primary.y, primary.width, primary.height), "the saver window does not cover the primary monitor"
    shot = wine.screenshot().astype(numpy.int32)
    colour = numpy.array(colour_of(colorref))

    surface = surface_pixels(shot, config)
    black = (surface == 0).all(axis=2)
    lit = (surface == colour).all(axis=2)
    assert (black | lit).all(), "a pixel of the board is neither black nor the cell colour"
    assert lit.sum() > 50 * 81, "too few live cells for a seeded board"

    # The outlines sit on the 10-pixel pitch from the origin: every grid line
    # is black, and each cell's inside is all lit or all black.
    assert not lit[::CELL, :].any() and not lit[:, ::CELL].any()
    columns = min(lit.shape[1], BOARD_WIDTH - 1) // CELL
    rows = min(lit.shape[0], BOARD_HEIGHT - 1) // CELL
    insides = lit[:rows * CELL, :columns * CELL].reshape(rows, CELL, columns, CELL)[:, 1:, :, 1:]
    assert numpy.isin(insides.sum(axis=(1, 3)), (0, 81)).all(), "a cell is partly drawn"
    # Cells are drawn in pixels: past the board's 1161 x 931 pixels the
    # surface is black, and where it is that large all 116 columns show.
    assert not lit[BOARD_HEIGHT:, :].any() and not lit[:, BOARD_WIDTH:].any(), "cells beyond the board"
    if lit.shape[1] >= BOARD_WIDTH:
        assert lit[:, 106 * CELL:].any(), "columns 106 to 115 do not show although the surface is wide enough"

    # The sunken border round the surface, of its size in twips at the DPI,
    # and the black window beyond it.
    x0, y0, side = primary.x, primary.y, config.surface_size
    middle = min(side, primary.height) // 2
    assert not (shot[y0 + middle, x0] == 0).all() and not (shot[y0, x0 + middle] == 0).all(), "no border"
    if side <= primary.width:
        row = shot[y0 + middle, x0:x0 + primary.width]
        edge = numpy.nonzero(row.any(axis=1))[0].max()
        assert x0 + edge == x0 + side - 1, f"the surface is {edge + 1} pixels wide, not {side}"
        assert (shot[y0:y0 + primary.height, x0 + side:x0 + primary.width] == 0).all(), \
            "the window beside the surface is not black"
    if side <= primary.height:
        assert (shot[y0 + side:y0 + primary.height, x0:x0 + primary.width] == 0).all(), \
            "the window below the surface is not black"

    # Every other monitor is black, under a cover window of the saver's.
    covers = {(w.x, w.y, w.width, w.height) for w in program.windows() if w.wid != window.wid}
    for m in config.others:
        assert (m.x, m.y, m.width, m.height) in covers, f"no cover over the monitor {m}"
        assert (shot[m.y:m.y + m.height, m.x:m.x + m.width] == 0).all(), f"the monitor {m} is not black"


@pytest.mark.configs("default", "win64")
@pytest.mark.parametrize("settings, colorref", [
    (None, CYAN),
    (b"255\r\n", 255),
    (b"16711935\r\n", 16711935),
    (b"not a colour\r\n", CYAN),
], ids=["no-file", "red", "magenta", "bad-file"])
def test_board_is_drawn_on_a_ten_pixel_pitch_in_the_cell_colour(wine, program_dir, settings, colorref):
    program, window = start_saver(wine, program_dir, settings)
    check_the_screens(wine, program, window, colorref)
    assert not program_dir.settings_file.exists() or settings is not None
    assert program.alive()


@pytest.mark.configs("dpi120", "dpi144", "800x600", "3840x2160", *MULTI_MONITOR)
def test_board_shows_at_the_primary_monitors_corner_and_black_everywhere_else(wine, program_dir):
    program, window = start_saver(wine, program_dir)
    check_the_screens(wine, program, window, CYAN)
    assert program.alive()


@pytest.mark.configs("default", "dpi144")
def test_consecutive_screens_are_consecutive_generations(wine, program_dir):
    # Each tick shows only the rows that changed: if one were missed, the
    # screen would drift from the rule, and one of the steps would not match.
    program, _ = start_saver(wine, program_dir)
    columns, rows = wine.config.visible_cells
    whole = columns == 116 and rows == 93  # then the columns wrap on the screen too
    boards = []
    for _ in range(8):
        boards.append(board_from_screen(wine.screenshot(), wine.config))
        time.sleep(0.12)
    steps_seen = []
    for before, after in zip(boards, boards[1:]):
        if (before == after).all():
            continue  # a still board, or no tick between the two: says nothing
        expected, matched = before, None
        for steps in range(1, 6):
            expected = next_generation(expected, columns_wrap=whole)
            known = slice(0, columns) if whole else slice(steps, columns - steps)  # away from hidden columns
            if (expected[:, known] == after[:, known]).all():
                matched = steps
                break
        assert matched is not None, f"a screen did not follow the one before by the B3/S23 rule (after {steps_seen})"
        steps_seen.append(matched)
    assert len(steps_seen) >= 4, f"too few changes seen: {steps_seen}"
    assert program.alive()


def test_pointer_is_invisible_over_the_board_only(wine, program_dir):
    program, _ = start_saver(wine, program_dir)
    over_board = wine.pointer_alpha()
    assert over_board.size >= 32 * 32
    assert (over_board == 0).all(), "the pointer shows over the board"

    # Beside the board, over the bare window, the ordinary arrow shows, and
    # a move there goes unnoticed: only the board surface watches the pointer.
    wine.mousemove(1200, 900)
    time.sleep(0.05)
    beside = wine.pointer_alpha()
    assert (beside > 0).any(), "the pointer is invisible beside the board too"
    assert program.stays_alive(0.3), "a move beside the board ended the saver"
    wine.key("a")  # the surface holds the focus: a key anywhere ends it
    assert program.wait_exit(EXIT_TIMEOUT) == 0


@pytest.mark.configs(*MULTI_MONITOR)
def test_pointer_is_invisible_over_every_other_monitor(wine, program_dir):
    for m in wine.config.others:
        program, _ = start_saver(wine, program_dir, park_at=m.center)
        assert (wine.pointer_alpha() == 0).all(), f"the pointer shows over the monitor {m}"
        wine.key("a")
        assert program.wait_exit(EXIT_TIMEOUT) == 0


@pytest.mark.configs("default", "win64", "dpi120", "dpi144", "800x600", "3840x2160", *MULTI_MONITOR)
def test_a_still_pointer_leaves_the_saver_running(wine, program_dir):
    for rest in where_the_pointer_rests(wine.config):
        program, _ = start_saver(wine, program_dir, park_at=rest)
        assert program.stays_alive(1.0), f"the saver ended by itself with the pointer still at {rest}"
        assert wine.pointer() == rest, "the pointer moved by itself"
        wine.key("a")
        assert program.wait_exit(EXIT_TIMEOUT) == 0
    assert not program_dir.settings_file.exists(), "the saver wrote a settings file"


@pytest.mark.configs("default", "win64", "dpi144", "800x600", *MULTI_MONITOR)
@pytest.mark.parametrize("action", ["key", "alt", "click", "right-click", "one-pixel-move"])
def test_input_ends_the_saver_promptly(wine, program_dir, action):
    # With several monitors, the input comes over another monitor than the
    # board's: the covers there pass it on.
    rest = wine.config.others[0].center if wine.config.others else None
    program, window = start_saver(wine, program_dir, park_at=rest)
    assert program.alive()
    began = time.monotonic()
    if action == "key":
        wine.key("a")
    elif action == "alt":
        wine.key("alt")
    elif action == "click":
        wine.click(1)
    elif action == "right-click":
        wine.click(3)
    else:
        wine.mousemove_relative(1, 0)
    code = program.wait_exit(EXIT_TIMEOUT)
    took = time.monotonic() - began
    assert code == 0, f"the saver did not end cleanly after {action}: {code}"
    assert took <= END_WITHIN, f"the saver took {took:.2f} s to end after {action}"
    assert wine.wait_until_gone(window, 2.0)
