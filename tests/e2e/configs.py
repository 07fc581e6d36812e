"""The machines the end-to-end tests imitate, and what the program's
geometry comes to on each.

A configuration is the Windows that Wine plays (32-bit, or 64-bit with the
32-bit program under WoW64), the DPI, and the monitors: their sizes and
places on the X screen, the primary one first. Wine puts the primary
monitor at (0, 0); a monitor left of it or above it shows to Windows at
negative coordinates, and X root = Windows + the primary's place on X.

Tests run in the default configuration unless they say otherwise with
@pytest.mark.configs("default", "win64", ...): see conftest.py.
"""

from dataclasses import dataclass

TWIPS_PER_INCH = 1440
SURFACE_TWIPS = 15870  # picMain's side, border included
SURFACE_EDGE = 2       # its sunken border, in pixels at every DPI under Wine
CELL = 10
COLUMNS = 116
ROWS = 93
BOARD_WIDTH = COLUMNS * CELL + 1  # 1161: a box covers its far corner
BOARD_HEIGHT = ROWS * CELL + 1    # 931


@dataclass(frozen=True)
class Monitor:
    width: int
    height: int
    x: int = 0  # on the X screen
    y: int = 0

    def contains(self, px: int, py: int) -> bool:
        return self.x <= px < self.x + self.width and self.y <= py < self.y + self.height

    @property
    def center(self) -> tuple:
        return (self.x + self.width // 2, self.y + self.height // 2)


@dataclass(frozen=True)
class Config:
    name: str
    arch: str = "win32"
    dpi: int = 96
    monitors: tuple = (Monitor(1280, 1024),)

    @property
    def primary(self) -> Monitor:
        return self.monitors[0]

    @property
    def others(self) -> tuple:
        return self.monitors[1:]

    @property
    def screen_size(self) -> tuple:
        """The X screen that holds every monitor."""
        return (max(m.x + m.width for m in self.monitors), max(m.y + m.height for m in self.monitors))

    def to_x(self, windows_x: int, windows_y: int) -> tuple:
        """A point of the Windows desktop on the X screen."""
        return (windows_x + self.primary.x, windows_y + self.primary.y)

    # ----- the saver's board surface, on the X screen -----------------------

    @property
    def surface_size(self) -> int:
        """picMain's side in pixels, border included."""
        return twips_to_pixels(SURFACE_TWIPS, self.dpi)

    @property
    def origin(self) -> tuple:
        """The surface's drawing origin: inside its border, at the primary's corner."""
        return (self.primary.x + SURFACE_EDGE, self.primary.y + SURFACE_EDGE)

    @property
    def inside(self) -> int:
        return self.surface_size - 2 * SURFACE_EDGE

    @property
    def visible(self) -> tuple:
        """Width and height of the part of the surface's inside on the screen."""
        return (min(self.inside, self.primary.width - SURFACE_EDGE),
                min(self.inside, self.primary.height - SURFACE_EDGE))

    @property
    def visible_cells(self) -> tuple:
        """Columns and rows whose cell centre shows on the screen."""
        width, height = self.visible
        return (min(COLUMNS, (width - 1 - 5) // CELL + 1), min(ROWS, (height - 1 - 5) // CELL + 1))


def twips_to_pixels(twips: int, dpi: int) -> int:
    """As the program rounds: to the nearest pixel, halves away from zero."""
    return (twips * dpi + TWIPS_PER_INCH // 2) // TWIPS_PER_INCH


def twips_rect_to_pixels(left: int, top: int, width: int, height: int, dpi: int) -> tuple:
    """Edges rounded where they lie, as the program lays out its controls."""
    x0, y0 = twips_to_pixels(left, dpi), twips_to_pixels(top, dpi)
    return (x0, y0, twips_to_pixels(left + width, dpi) - x0, twips_to_pixels(top + height, dpi) - y0)


CONFIGS = {c.name: c for c in (
    Config("default"),
    # 64-bit Windows: the 32-bit program runs under WoW64.
    Config("win64", arch="win64"),
    # 125 % and 150 % scaling; screens large enough to show the whole surface
    # (1323 and 1587 pixels) across, and at 150 % down as well.
    Config("dpi120", dpi=120, monitors=(Monitor(1920, 1080),)),
    Config("dpi144", dpi=144, monitors=(Monitor(2560, 1600),)),
    # A screen smaller than the surface, and one far larger.
    Config("800x600", monitors=(Monitor(800, 600),)),
    Config("3840x2160", monitors=(Monitor(3840, 2160),)),
    # A second monitor left of the primary, lower down, at negative x.
    Config("two-monitors", monitors=(Monitor(1280, 1024, 1024, 0), Monitor(1024, 768, 0, 128))),
    # Left of it, the primary, and one on its right.
    Config("three-monitors", monitors=(Monitor(1280, 1024, 1024, 0), Monitor(1024, 768, 0, 0),
                                       Monitor(800, 600, 2304, 200))),
)}
DEFAULT = CONFIGS["default"]
MULTI_MONITOR = ("two-monitors", "three-monitors")
EVERY_CONFIG = tuple(CONFIGS)
