"""The settings window on the screen: where its controls lie at the DPI
of the configuration, and a handle on it for the tests."""

import time

import numpy

from configs import twips_rect_to_pixels
from conftest import REPO, SETTINGS_CAPTION, start_with_window

# The layout in twips (left, top, width, height), as the window gives it;
# what is in Frame1 is placed from the frame's corner.
CLIENT_TWIPS = (0, 0, 6060, 3225)
FRAME1 = (240, 960)
SWATCH_TWIPS = 375
# (colour, left, top) in Frame1.
PALETTE = [
    (0xFFFFFF, 240, 360), (0x8080FF, 720, 360), (0x80C0FF, 1200, 360), (0x80FFFF, 1680, 360),
    (0x80FF80, 2160, 360), (0xFFFF80, 2640, 360), (0xFF8080, 3120, 360), (0xFF80FF, 3600, 360),
    (0xC0C0C0, 240, 840), (0x0000FF, 720, 840), (0x0080FF, 1200, 840), (0x00FFFF, 1680, 840),
    (0x00FF00, 2160, 840), (0xFFFF00, 2640, 840), (0xFF0000, 3120, 840), (0xFF00FF, 3600, 840),
]
PREVIEW_TWIPS = (240, 1320, 3735, 495)  # in Frame1
OK_TWIPS = (4680, 2640, 1095, 375)
IMAGE1_TWIPS = (120, 120, 495, 495)
LABEL1_TWIPS = (840, 120, 2550, 405)
LABEL1_POINTS = 20.25
EDGE = 2  # the sunken border of the colour boxes
RED, BLUE = 9, 14  # indices into PALETTE


class Layout:
    """Where the controls lie in the client area, in pixels at a DPI."""

    def __init__(self, dpi):
        self.dpi = dpi
        self.client = twips_rect_to_pixels(*CLIENT_TWIPS, dpi)[2:]
        self.swatches = [(colour,) + twips_rect_to_pixels(FRAME1[0] + left, FRAME1[1] + top,
                                                          SWATCH_TWIPS, SWATCH_TWIPS, dpi)
                         for colour, left, top in PALETTE]
        self.preview = self._in_frame(PREVIEW_TWIPS)
        self.ok = twips_rect_to_pixels(*OK_TWIPS, dpi)
        self.image1 = twips_rect_to_pixels(*IMAGE1_TWIPS, dpi)
        self.label1 = twips_rect_to_pixels(*LABEL1_TWIPS, dpi)

    def _in_frame(self, rect):
        left, top, width, height = rect
        return twips_rect_to_pixels(FRAME1[0] + left, FRAME1[1] + top, width, height, self.dpi)

    @staticmethod
    def centre(rect):
        return (rect[-4] + rect[-2] // 2, rect[-3] + rect[-1] // 2)

    @property
    def preview_centre(self):
        return self.centre(self.preview)

    @property
    def ok_centre(self):
        return self.centre(self.ok)

    @property
    def white_inside(self):
        return self.swatches[0][3] - 2 * EDGE


class SettingsWindow:
    def __init__(self, wine, program, window):
        self.wine = wine
        self.program = program
        self.window = window
        self.layout = Layout(wine.config.dpi)
        self.origin = self._find_client_origin()
        self._wait_until_drawn()

    def _find_client_origin(self, timeout=5.0):
        """The client area's top-left on the screen, found from the white
        swatch; waits for the window to be drawn where it was placed."""
        inside = self.layout.white_inside
        _, white_left, white_top, _, _ = self.layout.swatches[0]
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
                if white[y:y + inside, x:x + inside].all():
                    return (w.x + x - (white_left + EDGE), w.y + y - (white_top + EDGE))
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

    def client_pixels(self, rect, shot):
        """The pixels of a rectangle of the client area."""
        x, y = self.at(rect[-4:-2])
        return shot[y:y + rect[-1], x:x + rect[-2]]

    def click(self, point):
        self.wine.mousemove(*self.at(point))
        self.wine.click(1)

    def click_swatch(self, index):
        self.click(Layout.centre(self.layout.swatches[index]))


def open_settings(wine, program_dir, settings=None, park_at=None):
    if settings is not None:
        program_dir.settings_file.write_bytes(settings)
    return SettingsWindow(wine, *start_with_window(wine, program_dir.exe, "/C",
                                                   caption=SETTINGS_CAPTION, park_at=park_at))


def wait_for_preview(settings, colour, timeout=2.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if settings.pixel(settings.layout.preview_centre) == colour:
            return True
        time.sleep(0.05)
    return False
