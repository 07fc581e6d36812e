"""The settings window ("/C") as a user sees it: its size, the swatches and
the preview strip, picking a colour, and saving it on every close."""

import os
import subprocess
import time
from pathlib import Path

import numpy
import pytest

from configs import MULTI_MONITOR
from conftest import EXIT_TIMEOUT
from screen import colour_of
from settings_window import BLUE, EDGE, LABEL1_POINTS, PALETTE, RED, open_settings, wait_for_preview

pytestmark = pytest.mark.settings


@pytest.mark.configs("default", "win64", "dpi120", "dpi144", "800x600", *MULTI_MONITOR)
def test_window_shows_the_palette_and_the_loaded_colour(wine, program_dir):
    config = wine.config
    # With several monitors, the pointer rests on one left of the primary.
    monitor = config.others[0] if config.others else config.primary
    settings = open_settings(wine, program_dir, park_at=monitor.center)
    layout, w = settings.layout, settings.window
    # The client area is 6060 x 3225 twips at the DPI, inside an even frame.
    left = settings.origin[0] - w.x
    right = w.x + w.width - (settings.origin[0] + layout.client[0])
    bottom = w.y + w.height - (settings.origin[1] + layout.client[1])
    assert 0 <= left <= 8 and right == left and bottom == left, (left, right, bottom)
    # Centred on the monitor that holds the pointer, and wholly on it.
    centre = (w.x + w.width // 2, w.y + w.height // 2)
    assert abs(centre[0] - monitor.center[0]) <= 2, (w, monitor)
    assert abs(centre[1] - monitor.center[1]) <= 12, (w, monitor)
    assert monitor.contains(w.x, w.y) and monitor.contains(w.x + w.width - 1, w.y + w.height - 1), \
        f"the window {w} is not wholly on the monitor {monitor}"

    shot = settings.wine.screenshot()
    for colour, left, top, size, _ in layout.swatches:
        inside = settings.client_pixels((left + EDGE, top + EDGE, size - 2 * EDGE, size - 2 * EDGE), shot)
        assert (inside == colour_of(colour)).all(), (hex(colour), left, top)
        assert settings.pixel((left, top), shot) != colour_of(colour), "the swatch has no border"
    assert settings.pixel(layout.preview_centre, shot) == colour_of(16776960), "the preview is not cyan"
    # OK: its frame is darker than the face inside it and the window around it.
    ok = settings.client_pixels(layout.ok, shot).astype(int).sum(axis=2)
    face = sum(settings.pixel((layout.client[0] - 3, 3), shot))  # an empty corner of the window
    assert ok[ok.shape[0] // 2, -1] < face and ok[-1, ok.shape[1] // 2] < face, "no OK button there"
    around = settings.client_pixels((layout.ok[0] + layout.ok[2] + 2, layout.ok[1], 2, layout.ok[3]), shot)
    assert (around.astype(int).sum(axis=2) == face).all(), "the OK button is larger than its place"
    # Image1: the program's icon stretched to its box, cyan blocks on black.
    image = settings.client_pixels(layout.image1, shot)
    assert (image == 0).all(axis=2).mean() > 0.5 and (image == colour_of(16776960)).all(axis=2).mean() > 0.15
    # Label1's text at its point size: the ink of "グリッドブルーム" is about as
    # tall as the font's em at the DPI.
    label = settings.client_pixels(layout.label1, shot).astype(int).sum(axis=2)
    ink_rows = numpy.nonzero((label < label.max() // 2).any(axis=1))[0]
    em = LABEL1_POINTS * config.dpi / 72
    assert 0.6 * em <= ink_rows.max() - ink_rows.min() + 1 <= 1.05 * em, (ink_rows, em)

    shots = os.environ.get("GRIDBLOOM_SCREENSHOT_DIR")
    if shots and config.name == "default":
        from PIL import Image
        Image.fromarray(shot[w.y:w.y + w.height, w.x:w.x + w.width]).save(Path(shots) / "settings.png")

    wine.key("alt+F4")
    assert settings.program.wait_exit(EXIT_TIMEOUT) == 0


@pytest.mark.parametrize("contents, colorref", [
    (b"255\r\n", 255), (b"16711935", 16711935), (b"65280\nextra", 65280), (b"", 16776960),
])
def test_preview_shows_the_colour_of_the_file(wine, program_dir, contents, colorref):
    settings = open_settings(wine, program_dir, contents)
    assert settings.pixel(settings.layout.preview_centre) == colour_of(colorref)


@pytest.mark.configs("default", "win64", "dpi144")
def test_picking_red_then_ok_saves_red_and_ends(wine, program_dir):
    settings = open_settings(wine, program_dir)
    settings.click_swatch(RED)
    assert wait_for_preview(settings, colour_of(PALETTE[RED][0])), "the preview did not turn red"
    assert settings.program.alive()
    settings.click(settings.layout.ok_centre)
    assert settings.program.wait_exit(EXIT_TIMEOUT) == 0
    assert program_dir.settings_file.read_bytes() == b"255\r\n"
    assert sorted(p.name for p in program_dir.path.iterdir()) == ["gridbloom.dat", "gridbloom.scr"]


@pytest.mark.parametrize("close", ["alt+F4", "enter-on-ok", "space-on-ok"])
def test_every_close_saves_the_colour_shown(wine, program_dir, close):
    settings = open_settings(wine, program_dir, b"255\nextra\r\n")
    if close == "alt+F4":
        settings.click_swatch(RED)
        settings.click_swatch(BLUE)
        assert wait_for_preview(settings, colour_of(PALETTE[BLUE][0]))
        expected = b"16711680\r\n"
    else:
        # The focus starts on OK: Esc does nothing, Enter or Space presses OK.
        wine.mousemove(*settings.window.center)
        wine.key("Escape")
        assert settings.program.stays_alive(0.5), "Esc closed the window"
        expected = b"255\r\n"
    wine.mousemove(*settings.window.center)
    wine.key({"alt+F4": "alt+F4", "enter-on-ok": "Return", "space-on-ok": "space"}[close])
    assert settings.program.wait_exit(EXIT_TIMEOUT) == 0
    assert program_dir.settings_file.read_bytes() == expected


def test_a_settings_file_that_cannot_be_written_is_kept_and_the_program_still_ends(wine, program_dir):
    program_dir.settings_file.write_bytes(b"65280\r\n")
    # Root writes into read-only files under Wine: make the file immutable.
    locked = subprocess.run(["chattr", "+i", str(program_dir.settings_file)], capture_output=True)
    if locked.returncode != 0:
        pytest.skip(f"chattr +i is not possible here: {locked.stderr.decode().strip()}")
    try:
        settings = open_settings(wine, program_dir)
        settings.click_swatch(RED)
        assert wait_for_preview(settings, colour_of(PALETTE[RED][0]))
        settings.click(settings.layout.ok_centre)
        assert settings.program.wait_exit(EXIT_TIMEOUT) == 0
        assert program_dir.settings_file.read_bytes() == b"65280\r\n"
        assert sorted(p.name for p in program_dir.path.iterdir()) == ["gridbloom.dat", "gridbloom.scr"]
        assert wine.windows() == [] or all(w.pid != settings.program.pid for w in wine.windows())
    finally:
        subprocess.run(["chattr", "-i", str(program_dir.settings_file)], check=False)
