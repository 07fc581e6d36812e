"""The settings window ("/C") as a user sees it: its size, the swatches and
the preview strip, picking a colour, and saving it on every close."""

import os
import subprocess
import time
from pathlib import Path

import numpy
import pytest

from conftest import EXIT_TIMEOUT, REPO, SETTINGS_CAPTION, start_with_window
from screen import colour_of

pytestmark = pytest.mark.settings

CLIENT = (404, 215)
# Swatches in client pixels at 96 DPI: (colour, left, top), each 25 x 25
# with a 2-pixel sunken border.
SWATCHES = [
    (0xFFFFFF, 32, 88), (0x8080FF, 64, 88), (0x80C0FF, 96, 88), (0x80FFFF, 128, 88),
    (0x80FF80, 160, 88), (0xFFFF80, 192, 88), (0xFF8080, 224, 88), (0xFF80FF, 256, 88),
    (0xC0C0C0, 32, 120), (0x0000FF, 64, 120), (0x0080FF, 96, 120), (0x00FFFF, 128, 120),
    (0x00FF00, 160, 120), (0xFFFF00, 192, 120), (0xFF0000, 224, 120), (0xFF00FF, 256, 120),
]
RED, BLUE = SWATCHES[9], SWATCHES[14]
PREVIEW_CENTRE = (32 + 249 // 2, 152 + 33 // 2)
OK_CENTRE = (312 + 73 // 2, 176 + 25 // 2)
WHITE_INSIDE = 21  # a swatch's inside, within its border


class SettingsWindow:
    def __init__(self, wine, program, window):
        self.wine = wine
        self.program = program
        self.window = window
        self.origin = self._find_client_origin()
        self._wait_until_drawn()

    def _find_client_origin(self, timeout=5.0):
        """The client area's top-left on the screen, found from the white
        swatch; waits for the window to be drawn where it was placed."""
        deadline = time.monotonic() + timeout
        while True:
            # The window may still move to its place after it is mapped.
            current = [w for w in self.wine.windows() if w.wid == self.window.wid]
            if current:
                self.window = current[0]
            w = self.window
            full = self.wine.screenshot()
            shot = full[w.y:w.y + w.height, w.x:w.x + w.width]
            white = (shot == 255).all(axis=2)
            for y, x in zip(*numpy.nonzero(white)):
                if white[y:y + WHITE_INSIDE, x:x + WHITE_INSIDE].all():
                    return (w.x + x - (SWATCHES[0][1] + 2), w.y + y - (SWATCHES[0][2] + 2))
            if time.monotonic() >= deadline:
                from PIL import Image
                folder = REPO / "build" / "e2e-failures"
                folder.mkdir(parents=True, exist_ok=True)
                saved = folder / f"no-white-swatch-{time.monotonic_ns()}.png"
                Image.fromarray(full).save(saved)
                raise AssertionError(f"the white swatch is not on the screen; window {w}, "
                                     f"windows {[str(v) for v in self.wine.windows()]}, screen in {saved}")
            time.sleep(0.1)

    def _wait_until_drawn(self, timeout=5.0):
        """Waits until two screenshots in a row show the window alike: its
        child controls paint one after the other."""
        w = self.window
        deadline = time.monotonic() + timeout
        before = None
        while time.monotonic() < deadline:
            now = self.wine.screenshot()[w.y:w.y + w.height, w.x:w.x + w.width]
            if before is not None and (now == before).all():
                return
            before = now
            time.sleep(0.05)

    def at(self, point):
        return (self.origin[0] + point[0], self.origin[1] + point[1])

    def pixel(self, point, shot=None):
        shot = self.wine.screenshot() if shot is None else shot
        x, y = self.at(point)
        return tuple(int(v) for v in shot[y, x])

    def click(self, point):
        self.wine.mousemove(*self.at(point))
        self.wine.click(1)

    def click_swatch(self, swatch):
        self.click((swatch[1] + 12, swatch[2] + 12))


def open_settings(wine, program_dir, settings=None):
    if settings is not None:
        program_dir.settings_file.write_bytes(settings)
    return SettingsWindow(wine, *start_with_window(wine, program_dir.exe, "/C",
                                                   caption=SETTINGS_CAPTION))


def wait_for_preview(settings, colour, timeout=2.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if settings.pixel(PREVIEW_CENTRE) == colour:
            return True
        time.sleep(0.05)
    return False


def test_window_shows_the_palette_and_the_loaded_colour(wine, program_dir):
    settings = open_settings(wine, program_dir)
    w = settings.window
    # The client area is 404 x 215 inside an even frame.
    left = settings.origin[0] - w.x
    right = w.x + w.width - (settings.origin[0] + CLIENT[0])
    bottom = w.y + w.height - (settings.origin[1] + CLIENT[1])
    assert 0 <= left <= 8 and right == left and bottom == left, (left, right, bottom)
    # Centred on the screen that holds the pointer.
    centre = (w.x + w.width // 2, w.y + w.height // 2)
    assert abs(centre[0] - wine.screen_size[0] // 2) <= 2
    assert abs(centre[1] - wine.screen_size[1] // 2) <= 12

    shot = wine.screenshot()
    for colour, left, top in SWATCHES:
        assert settings.pixel((left + 12, top + 12), shot) == colour_of(colour), (hex(colour), left, top)
        assert settings.pixel((left + 2, top + 2), shot) == colour_of(colour)
        assert settings.pixel((left, top), shot) != colour_of(colour), "the swatch has no border"
    assert settings.pixel(PREVIEW_CENTRE, shot) == colour_of(16776960), "the preview is not cyan"

    shots = os.environ.get("GRIDBLOOM_SCREENSHOT_DIR")
    if shots:
        from PIL import Image
        Image.fromarray(shot[w.y:w.y + w.height, w.x:w.x + w.width]).save(Path(shots) / "settings.png")

    wine.key("alt+F4")
    assert settings.program.wait_exit(EXIT_TIMEOUT) == 0


@pytest.mark.parametrize("contents, colorref", [
    (b"255\r\n", 255), (b"16711935", 16711935), (b"65280\nextra", 65280), (b"", 16776960),
])
def test_preview_shows_the_colour_of_the_file(wine, program_dir, contents, colorref):
    settings = open_settings(wine, program_dir, contents)
    assert settings.pixel(PREVIEW_CENTRE) == colour_of(colorref)


def test_picking_red_then_ok_saves_red_and_ends(wine, program_dir):
    settings = open_settings(wine, program_dir)
    settings.click_swatch(RED)
    assert wait_for_preview(settings, colour_of(RED[0])), "the preview did not turn red"
    assert settings.program.alive()
    settings.click(OK_CENTRE)
    assert settings.program.wait_exit(EXIT_TIMEOUT) == 0
    assert program_dir.settings_file.read_bytes() == b"255\r\n"
    assert sorted(p.name for p in program_dir.path.iterdir()) == ["gridbloom.dat", "gridbloom.scr"]


@pytest.mark.parametrize("close", ["alt+F4", "enter-on-ok", "space-on-ok"])
def test_every_close_saves_the_colour_shown(wine, program_dir, close):
    settings = open_settings(wine, program_dir, b"255\nextra\r\n")
    if close == "alt+F4":
        settings.click_swatch(RED)
        settings.click_swatch(BLUE)
        assert wait_for_preview(settings, colour_of(BLUE[0]))
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
        assert wait_for_preview(settings, colour_of(RED[0]))
        settings.click(OK_CENTRE)
        assert settings.program.wait_exit(EXIT_TIMEOUT) == 0
        assert program_dir.settings_file.read_bytes() == b"65280\r\n"
        assert sorted(p.name for p in program_dir.path.iterdir()) == ["gridbloom.dat", "gridbloom.scr"]
        assert wine.windows() == [] or all(w.pid != settings.program.pid for w in wine.windows())
    finally:
        subprocess.run(["chattr", "-i", str(program_dir.settings_file)], check=False)
