"""The screen saver ("/S") as a user sees it: the board on the screen, the
hidden pointer, and the end on input."""

import time

import numpy
import pytest

from conftest import EXIT_TIMEOUT, SAVER_CAPTION, start_with_window
from screen import (CELL, INSIDE, ORIGIN, ROWS, VISIBLE_COLUMNS, board_from_screen, colour_of,
                    next_generation_rows_wrapped)

pytestmark = pytest.mark.saver

CYAN = 16776960
# The saver ends at the first generation tick after the input: at most
# 100 ms, plus the time the process takes to go.
END_WITHIN = 0.5


def start_saver(wine, program_dir, settings=None):
    if settings is not None:
        program_dir.settings_file.write_bytes(settings)
    program, window = start_with_window(wine, program_dir.exe, "/S", caption=SAVER_CAPTION)
    time.sleep(0.4)  # a few frames: the very first capture after mapping can be black
    return program, window


@pytest.mark.parametrize("settings, colorref", [
    (None, CYAN),
    (b"255\r\n", 255),
    (b"16711935\r\n", 16711935),
    (b"not a colour\r\n", CYAN),
], ids=["no-file", "red", "magenta", "bad-file"])
def test_board_is_drawn_on_a_ten_pixel_pitch_in_the_cell_colour(wine, program_dir, settings, colorref):
    program, window = start_saver(wine, program_dir, settings)
    assert (window.x, window.y) == (0, 0)
    assert (window.width, window.height) == wine.screen_size
    shot = wine.screenshot().astype(numpy.int32)
    colour = numpy.array(colour_of(colorref))

    surface = shot[ORIGIN:ORIGIN + INSIDE, ORIGIN:ORIGIN + INSIDE]
    black = (surface == 0).all(axis=2)
    lit = (surface == colour).all(axis=2)
    assert (black | lit).all(), "a pixel of the board is neither black nor the cell colour"
    assert lit.sum() > 50 * 81, "too few live cells for a seeded board"

    # The outlines sit on the 10-pixel pitch from the origin: every grid line
    # is black, and each cell's inside is all lit or all black.
    assert not lit[::CELL, :].any() and not lit[:, ::CELL].any()
    columns = INSIDE // CELL  # whole cells across; the screen may cut the surface lower down
    insides = lit[:ROWS * CELL, :columns * CELL].reshape(ROWS, CELL, columns, CELL)[:, 1:, :, 1:]
    per_cell = insides.sum(axis=(1, 3))
    assert numpy.isin(per_cell, (0, 81)).all(), "a cell is partly drawn"

    # The sunken border round the surface, and black beyond it.
    assert not (shot[500, 0] == 0).all() and not (shot[0, 500] == 0).all()
    assert not (shot[500, ORIGIN + INSIDE + 1] == 0).all()
    assert (shot[:, ORIGIN + INSIDE + 2 + 2:] == 0).all(), "the window outside the surface is not black"
    assert not program_dir.settings_file.exists() or settings is not None

    assert program.alive()


def test_consecutive_screens_are_consecutive_generations(wine, program_dir):
    program, _ = start_saver(wine, program_dir)
    matched = None
    for _attempt in range(5):
        before = board_from_screen(wine.screenshot())
        time.sleep(0.12)
        after = board_from_screen(wine.screenshot())
        if (before == after).all():
            continue  # a still board says nothing; look again
        expected = before
        for steps in range(1, 6):
            expected = next_generation_rows_wrapped(expected)
            known = slice(steps, VISIBLE_COLUMNS - steps)  # away from the hidden columns
            if (expected[:, known] == after[:, known]).all():
                matched = steps
                break
        if matched:
            break
    assert matched is not None, "the board on the screen did not follow the B3/S23 rule"
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


def test_a_still_pointer_leaves_the_saver_running(wine, program_dir):
    program, _ = start_saver(wine, program_dir)
    assert program.stays_alive(2.0)
    assert not program_dir.settings_file.exists(), "the saver wrote a settings file"


@pytest.mark.parametrize("action", ["key", "alt", "click", "right-click", "one-pixel-move"])
def test_input_ends_the_saver_promptly(wine, program_dir, action):
    program, window = start_saver(wine, program_dir)
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
