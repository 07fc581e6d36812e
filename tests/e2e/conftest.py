"""Fixtures of the end-to-end tests: the built program, a Wine host for
each configuration, and fresh folders to run the program from.

A test runs in the default configuration (configs.py) unless it is marked
@pytest.mark.configs(NAME, ...); it then runs once in each one named. The
tests of one configuration run together, on one host; the configurations of
one architecture share one prefix, made once.

Environment:
  GRIDBLOOM_SCR        use this gridbloom.scr instead of building one
  GRIDBLOOM_WINEPREFIX keep the 32-bit Wine prefix in this folder (made on
                       first use, reused by later runs); a temporary one
                       otherwise
  GRIDBLOOM_CONFIGS    run only the configurations named (comma-separated)
"""

import os
import shutil
import subprocess
import sys
from dataclasses import dataclass
from pathlib import Path
from typing import Optional

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parent))

from configs import CONFIGS, DEFAULT  # noqa: E402
from winehost import WineHost, Program  # noqa: E402

REPO = Path(__file__).resolve().parents[2]
PROGRAM_FILE = "gridbloom.scr"
SETTINGS_FILE = "gridbloom.dat"
SAVER_CAPTION = "グリッドブルーム"
SETTINGS_CAPTION = "version info."
JAPANESE_FOLDER = "グリッド テスト"

# How long a program may take to end by itself, or after it was told to.
EXIT_TIMEOUT = 5.0
# How long a window may take to appear. The first one in a prefix takes about
# 1 s and later ones 0.2 s; the margin is for a machine busy with other work.
WINDOW_TIMEOUT = 15.0


# --------------------------------------------------------------------------
# The program
# --------------------------------------------------------------------------

def _build() -> Path:
    for step in (["cmake", "--preset", "windows"], ["cmake", "--build", "--preset", "windows"]):
        result = subprocess.run(step, cwd=REPO, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=900)
        if result.returncode != 0:
            output = result.stdout.decode("utf-8", "replace")
            pytest.fail(f"`{' '.join(step)}` failed ({result.returncode}):\n{output[-4000:]}",
                        pytrace=False)
    return REPO / "build" / "windows" / PROGRAM_FILE


@pytest.fixture(scope="session")
def scr() -> Path:
    """The gridbloom.scr under test: $GRIDBLOOM_SCR, or a fresh build."""
    given = os.environ.get("GRIDBLOOM_SCR")
    path = Path(given).resolve() if given else _build()
    if not path.is_file():
        pytest.fail(f"{path} does not exist", pytrace=False)
    return path


@pytest.fixture(scope="session")
def poke(tmp_path_factory) -> Path:
    """poke.exe (poke/poke.cpp): another program beside the saver, built
    with the same cross compiler."""
    exe = tmp_path_factory.mktemp("poke") / "poke.exe"
    result = subprocess.run(["i686-w64-mingw32-g++-posix", "-municode", "-mwindows", "-static", "-O1",
                             str(Path(__file__).parent / "poke" / "poke.cpp"), "-o", str(exe)],
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
    if result.returncode != 0:
        pytest.fail("poke.exe did not build:\n" + result.stderr.decode("utf-8", "replace"), pytrace=False)
    return exe


# --------------------------------------------------------------------------
# Wine
# --------------------------------------------------------------------------

def pytest_configure(config):
    config.addinivalue_line("markers", "configs(*names): the configurations a test runs in")
    config.addinivalue_line("markers", "config_place(n): the place of a test's configuration in CONFIGS")


def pytest_generate_tests(metafunc):
    if "config" not in metafunc.fixturenames:
        return
    marker = metafunc.definition.get_closest_marker("configs")
    names = marker.args if marker else (DEFAULT.name,)
    unknown = [n for n in names if n not in CONFIGS]
    if unknown:
        raise pytest.UsageError(f"{metafunc.definition.nodeid}: no configuration {unknown}")
    chosen = os.environ.get("GRIDBLOOM_CONFIGS")
    if chosen:
        names = [n for n in names if n in chosen.split(",")]
    # Each carries its place in CONFIGS, by which the tests are put in order.
    order = list(CONFIGS)
    metafunc.parametrize("config", [pytest.param(CONFIGS[n], id=n, marks=pytest.mark.config_place(order.index(n)))
                                    for n in names], indirect=True, scope="session")


def pytest_collection_modifyitems(items):
    """The tests of one configuration together, in the order of CONFIGS, so
    that each configuration's host is set up once."""
    def place(item):
        marker = item.get_closest_marker("config_place")  # none for a test without a host
        return marker.args[0] if marker else -1

    items.sort(key=place)


@pytest.fixture(scope="session")
def config(request):
    """The configuration the test runs in."""
    return getattr(request, "param", DEFAULT)


@pytest.fixture(scope="session")
def prefixes(tmp_path_factory):
    """One prefix folder per architecture, shared by its configurations."""
    given = os.environ.get("GRIDBLOOM_WINEPREFIX")
    root = tmp_path_factory.mktemp("prefixes")
    yield {"win32": Path(given).resolve() if given else root / "win32", "win64": root / "win64"}
    # A prefix takes 0.6 GB (1.3 GB for 64-bit), and pytest keeps the
    # folders of three runs.
    shutil.rmtree(root, ignore_errors=True)


@pytest.fixture(scope="session")
def wine(config, prefixes):
    """Xvfb + a Wine prefix + its wineserver, as the configuration says."""
    with WineHost(prefix=prefixes[config.arch], config=config) as host:
        yield host


@pytest.fixture(autouse=True)
def _end_leftover_programs(request):
    """After each Wine test, ends any program it started that still runs."""
    yield
    if "wine" in request.fixturenames:
        request.getfixturevalue("wine").end_programs()


# --------------------------------------------------------------------------
# Program folders
# --------------------------------------------------------------------------

@dataclass
class ProgramDir:
    """A folder holding a copy of gridbloom.scr, and the way to start it."""
    path: Path                 # the folder on the Linux side
    exe: str                   # what to pass to wine: a Linux path or e.g. "r:\\gridbloom.scr"
    cwd: Path                  # a separate working folder for the program
    drive: Optional[str] = None

    @property
    def settings_file(self) -> Path:
        return self.path / SETTINGS_FILE

    def add_copy(self, name: str) -> str:
        """Puts another copy of the program in the same folder; returns its exe path."""
        shutil.copyfile(self.path / PROGRAM_FILE, self.path / name)
        if self.drive:
            return f"{self.drive}\\{name}"
        return str(self.path / name)

    def files(self) -> list:
        return sorted(p.name for p in self.path.iterdir())

    def written_settings(self) -> list:
        """Every gridbloom.dat in the program's folder or its working folder."""
        return [p for p in (self.path / SETTINGS_FILE, self.cwd / SETTINGS_FILE) if p.exists()]


def make_program_dir(kind: str, scr: Path, tmp_path: Path, request) -> ProgramDir:
    cwd = tmp_path / "cwd"
    cwd.mkdir()
    if kind == "plain":
        folder = tmp_path / "program"
    elif kind == "japanese":
        folder = tmp_path / JAPANESE_FOLDER
    elif kind == "drive-root":
        folder = tmp_path / "drive"
    else:
        raise ValueError(kind)
    folder.mkdir()
    shutil.copyfile(scr, folder / PROGRAM_FILE)
    if kind != "drive-root":
        return ProgramDir(folder, str(folder / PROGRAM_FILE), cwd)
    host = request.getfixturevalue("wine")
    drive = host.map_drive(folder)
    request.addfinalizer(lambda: host.unmap_drive(drive))
    return ProgramDir(folder, f"{drive}\\{PROGRAM_FILE}", cwd, drive=drive)


@pytest.fixture
def program_dir(request, scr, tmp_path) -> ProgramDir:
    """A fresh folder with a copy of gridbloom.scr.

    Parametrise indirectly with "plain" (the default), "japanese" (a folder
    whose name holds spaces and Japanese characters) or "drive-root" (the
    root folder of a spare drive letter mapped in the prefix).
    """
    kind = getattr(request, "param", "plain")
    return make_program_dir(kind, scr, tmp_path, request)


# --------------------------------------------------------------------------
# Running
# --------------------------------------------------------------------------

@dataclass
class RunResult:
    returncode: int
    windows: list  # windows (larger than Wine's 1x1 helpers) mapped while it ran
    output: str


@pytest.fixture
def run_to_end(wine):
    """Runs the program until it ends by itself; fails when it does not end
    within `timeout` seconds, or when a window of it is still shown after."""

    def run(exe, *args, timeout: float = EXIT_TIMEOUT, cwd=None) -> RunResult:
        program = wine.start(exe, *args, cwd=cwd)
        code = program.wait_exit(timeout)
        if code is None:
            shown = [str(w) for w in program.windows_mapped()]
            program.kill()
            pytest.fail(f"{program.argv} still ran after {timeout} s; windows: {shown}")
        stayed = [str(w) for w in wine.windows() if w.pid == program.pid]
        assert stayed == [], f"windows stayed after the program ended: {stayed}"
        return RunResult(code, program.windows_mapped(), program.output())

    return run


def describe(wine, program: Program) -> str:
    """What became of a program: for the message of a failed check."""
    state = "running" if program.alive() else f"ended with {program.returncode}"
    mapped = [str(w) for w in program.windows_mapped()]
    shown = [str(w) for w in wine.windows()]
    return (f"{program.argv[1:]}: {state}; windows mapped since its start: {mapped}; "
            f"windows now: {shown}; output: {program.output()[-1000:]!r}")


def start_with_window(wine, exe, *args: str, caption: str, cwd=None, park_at=None) -> tuple:
    """Starts the program and waits for its window titled `caption`; returns
    (program, window), or fails the test saying what happened instead. The
    saver's window is the one over the primary monitor: its covers of the
    other monitors bear the same title."""
    program = wine.start(exe, *args, cwd=cwd, park_at=park_at)
    primary = wine.config.primary
    window = wine.wait_for_window(caption, WINDOW_TIMEOUT, program=program,
                                  predicate=lambda w: caption != SAVER_CAPTION or w.contains(*primary.center))
    assert window is not None, f"no window titled {caption!r}: " + describe(wine, program)
    return program, window


def end_with_key(wine, program: Program, window, key: str = "a",
                 timeout: float = EXIT_TIMEOUT) -> Optional[int]:
    """Presses `key` over `window` (keyboard focus follows the pointer) and
    waits for the program to end; returns its exit code or None."""
    if not window.contains(*wine.pointer()):
        wine.mousemove(*window.center)
    wine.key(key)
    return program.wait_exit(timeout)
