"""The release's setup program and its uninstaller, run silently under Wine.

tools/make-release.sh builds the release first (it installs NSIS when
makensis is missing; the tests are skipped only when it cannot). Then:

  setup.exe /S      puts gridbloom.scr into the system folder (System32 on
                    32-bit Windows, SysWOW64 on 64-bit Windows), makes it the
                    current user's screen saver and registers the uninstaller
  uninstall.exe /S  removes the program, its uninstall entry and folder, and
                    the screen-saver choice only while it is still ours; it
                    never removes a gridbloom.dat
"""

import os
import re
import shutil
import subprocess
import time
import zipfile
from dataclasses import dataclass
from pathlib import Path
from typing import Optional

import pytest

from conftest import (PROGRAM_FILE, REPO, SAVER_CAPTION, SETTINGS_FILE, end_with_key,
                      start_with_window)
from winehost import WineHost, _run_wine

pytestmark = pytest.mark.installer

VERSION = "2.00.0034"
PRODUCT_NAME = "グリッドブルーム (ver.2.00)"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\gridbloom"
# The setup's exit code when makensis was missing and could not be installed.
NO_MAKENSIS = 3

SETUP_TIMEOUT = 60.0
UNINSTALL_TIMEOUT = 30.0

# A colour that is not the default cyan: COLORREF 255 is pure red.
RED_COLORREF = 255
RED = (255, 0, 0)
CYAN = (0, 255, 255)


# --------------------------------------------------------------------------
# The release
# --------------------------------------------------------------------------

@dataclass
class Release:
    zip_file: Path
    setup: Path

    def program_bytes(self) -> bytes:
        with zipfile.ZipFile(self.zip_file) as archive:
            return archive.read(PROGRAM_FILE)


@pytest.fixture(scope="module")
def release() -> Release:
    """Builds the release with tools/make-release.sh (incremental: the
    program is rebuilt only when its sources changed)."""
    result = subprocess.run(["bash", str(REPO / "tools" / "make-release.sh")], cwd=REPO,
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=900)
    output = result.stdout.decode("utf-8", "replace")
    if result.returncode == NO_MAKENSIS:
        pytest.skip("makensis is not installed and could not be installed: " + output[-500:])
    if result.returncode != 0:
        pytest.fail(f"make-release.sh failed ({result.returncode}):\n{output[-4000:]}",
                    pytrace=False)
    zip_file = REPO / "build" / "release" / f"gridbloom-{VERSION}.zip"
    setup = REPO / "build" / "release" / f"gridbloom-{VERSION}-setup.exe"
    printed = output.strip().splitlines()[-2:]
    assert printed == [str(zip_file), str(setup)], f"make-release.sh printed: {printed}"
    assert zip_file.is_file() and setup.is_file()
    return Release(zip_file, setup)


def test_release_zip_holds_the_three_files(release):
    with zipfile.ZipFile(release.zip_file) as archive:
        assert sorted(archive.namelist()) == ["LICENSE", "gridbloom.scr", "readme.txt"]
        assert archive.read("LICENSE") == (REPO / "LICENSE").read_bytes()
        assert archive.read("readme.txt") == (REPO / "installer" / "readme.txt").read_bytes()
    assert release.program_bytes()[:2] == b"MZ"


def test_setup_version_resource(release):
    pefile = pytest.importorskip("pefile")
    image = pefile.PE(str(release.setup))
    try:
        fixed = image.VS_FIXEDFILEINFO[0]
        assert (fixed.FileVersionMS, fixed.FileVersionLS) == (0x00020000, 0x00000022)
        assert (fixed.ProductVersionMS, fixed.ProductVersionLS) == (0x00020000, 0x00000022)
        strings = {}
        for info in image.FileInfo[0]:
            if info.Key == b"StringFileInfo":
                for table in info.StringTable:
                    strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    finally:
        image.close()
    assert strings.get("ProductName") == PRODUCT_NAME
    assert strings.get("FileVersion") == VERSION
    assert strings.get("ProductVersion") == VERSION
    assert "2026 the gridbloom developers" in strings.get("LegalCopyright", "")
    assert strings.get("FileDescription")


# --------------------------------------------------------------------------
# Wine tools: their output goes to a file, never a pipe (see winehost.py)
# --------------------------------------------------------------------------

_tool_runs = 0


def wine_tool(host: WineHost, *argv: str, timeout: float = 60.0) -> tuple:
    """Runs e.g. ("wine", "reg", "query", ...) in the host's prefix; returns
    (exit code, output)."""
    global _tool_runs
    _tool_runs += 1
    log = host.logdir / f"installer-tool-{_tool_runs}.log"
    code = _run_wine(list(argv), host.env, log, timeout=timeout, check=False)
    return code, log.read_bytes().decode("utf-8", "replace")


def reg_value(host: WineHost, key: str, name: str) -> Optional[str]:
    """A string value as `reg query` shows it, or None when it is not there."""
    code, output = wine_tool(host, "wine", "reg", "query", key, "/v", name)
    if code != 0:
        return None
    match = re.search(rf"^\s+{re.escape(name)}\s+REG_\w+\s+(.*?)\s*$", output,
                      re.MULTILINE | re.IGNORECASE)
    assert match, f"`reg query {key} /v {name}` printed:\n{output}"
    return match.group(1)


def reg_key_exists(host: WineHost, key: str) -> bool:
    code, _ = wine_tool(host, "wine", "reg", "query", key)
    return code == 0


def reg_export(host: WineHost, key: str, folder: Path) -> dict:
    """Every value of `key` by name: strings as str, DWORDs as int. Read from
    `reg export`, which writes UTF-16, so non-ASCII text comes back exact."""
    target = folder / "export.reg"
    target.unlink(missing_ok=True)
    code, output = wine_tool(host, "wine", "reg", "export", key,
                             "Z:" + str(target).replace("/", "\\"), "/y")
    assert code == 0 and target.is_file(), f"`reg export {key}` failed ({code}):\n{output}"
    text = target.read_bytes().decode("utf-16")
    values = {}
    for line in text.splitlines():
        match = re.match(r'^"((?:[^"\\]|\\.)*)"=(.*)$', line)
        if not match:
            continue
        name, data = (re.sub(r"\\(.)", r"\1", match.group(1)), match.group(2))
        if data.startswith('"') and data.endswith('"'):
            values[name] = re.sub(r"\\(.)", r"\1", data[1:-1])
        elif data.startswith("dword:"):
            values[name] = int(data[len("dword:"):], 16)
        else:
            values[name] = data
    return values


def linux_path(host: WineHost, windows_path: str) -> Path:
    code, output = wine_tool(host, "winepath", "-u", windows_path)
    lines = output.strip().splitlines()
    assert code == 0 and lines, f"winepath -u {windows_path!r} failed ({code}): {output}"
    return Path(lines[-1])


def quoted_program(command: str) -> str:
    """The program of a command line such as '"C:\\...\\uninstall.exe" /S'."""
    match = re.match(r'^"([^"]+)"', command)
    assert match, f"not a quoted program path: {command!r}"
    return match.group(1)


# --------------------------------------------------------------------------
# Installing and uninstalling
# --------------------------------------------------------------------------

def run_setup(host: WineHost, release: Release) -> None:
    program = host.start(release.setup, "/S", park=False)
    code = program.wait_exit(SETUP_TIMEOUT)
    if code is None:
        program.kill()
        pytest.fail(f"the silent setup still ran after {SETUP_TIMEOUT} s: {program.output()[-2000:]}")
    assert code == 0, f"the silent setup ended with {code}: {program.output()[-2000:]}"


def uninstaller_copies(host: WineHost) -> list:
    """The copy of itself that an NSIS uninstaller runs from the temporary
    folder (Un.exe, Au_.exe in older versions) while it works."""
    return [pid for pid in host.prefix_processes()
            if re.fullmatch(r"(un|au_)[^.]*\.exe", host.process_name(pid).lower())]


def run_uninstaller(host: WineHost, uninstaller: str, program_file: Path,
                    install_dir: Path) -> None:
    """Runs the uninstaller silently. It starts a copy of itself and returns
    at once: wait until that copy has done its work and ended."""
    program = host.start(uninstaller, "/S", park=False)
    code = program.wait_exit(UNINSTALL_TIMEOUT)
    assert code == 0, f"the uninstaller ended with {code}: {program.output()[-2000:]}"
    deadline = time.monotonic() + UNINSTALL_TIMEOUT
    while True:
        done = (not program_file.exists() and not install_dir.exists()
                and not uninstaller_copies(host) and not reg_key_exists(host, UNINSTALL_KEY))
        if done:
            return
        if time.monotonic() > deadline:
            pytest.fail(f"{UNINSTALL_TIMEOUT} s after the silent uninstall: program file there: "
                        f"{program_file.exists()}, folder there: {install_dir.exists()} "
                        f"({sorted(os.listdir(install_dir)) if install_dir.exists() else ''}), "
                        f"uninstaller copies running: {uninstaller_copies(host)}, "
                        f"uninstall key there: {reg_key_exists(host, UNINSTALL_KEY)}")
        time.sleep(0.2)


class Installation:
    """What one installation in a prefix looks like, and its cleaning up."""

    def __init__(self, host: WineHost, system_folder: str):
        self.host = host
        self.system_folder = system_folder  # e.g. r"C:\windows\system32"
        self.folder = host.prefix / "drive_c" / "windows" / system_folder.split("\\")[-1].lower()
        self.program_file = self.folder / PROGRAM_FILE
        self.settings_file = self.folder / SETTINGS_FILE
        self.saver_before = reg_value(host, DESKTOP_KEY, "SCRNSAVE.EXE")

    def set_saver(self, value: Optional[str]) -> None:
        if value is None:
            wine_tool(self.host, "wine", "reg", "delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")
        else:
            self.host.reg_add(DESKTOP_KEY, "SCRNSAVE.EXE", "REG_SZ", value)

    def clean(self) -> None:
        """Removes whatever an installation left, and restores the saver choice."""
        self.program_file.unlink(missing_ok=True)
        self.settings_file.unlink(missing_ok=True)
        for programs in ("Program Files", "Program Files (x86)"):
            shutil.rmtree(self.host.prefix / "drive_c" / programs / "gridbloom", ignore_errors=True)
        wine_tool(self.host, "wine", "reg", "delete", UNINSTALL_KEY, "/f")
        self.set_saver(self.saver_before)


@pytest.fixture
def installation(wine):
    """The session's 32-bit prefix, without gridbloom installed before and after."""
    state = Installation(wine, r"C:\windows\system32")
    state.clean()
    assert not state.program_file.exists()
    yield state
    state.clean()


def count_pixels(shot, colour) -> int:
    import numpy
    return int(numpy.all(shot == numpy.array(colour, dtype=shot.dtype), axis=2).sum())


def test_silent_install_run_and_uninstall(wine, installation, release, tmp_path):
    run_setup(wine, release)

    # The program, in the system folder of 32-bit Windows.
    assert installation.program_file.is_file(), \
        f"no {PROGRAM_FILE} in {installation.folder}: " \
        f"{sorted(p.name for p in installation.folder.glob('gridbloom*'))}"
    assert installation.program_file.read_bytes() == release.program_bytes(), \
        "the installed program is not the one in the release"

    # The current user's screen saver: the path (short or long) of that file.
    saver = reg_value(wine, DESKTOP_KEY, "SCRNSAVE.EXE")
    assert saver, "SCRNSAVE.EXE was not set"
    assert saver.lower().startswith(installation.system_folder.lower() + "\\"), saver
    assert linux_path(wine, saver).resolve() == installation.program_file.resolve(), \
        f"SCRNSAVE.EXE = {saver!r} is not the installed program"
    assert reg_value(wine, DESKTOP_KEY, "ScreenSaveActive") == "1"

    # Apps and Features.
    entry = reg_export(wine, UNINSTALL_KEY, tmp_path)
    assert entry.get("DisplayName") == PRODUCT_NAME
    assert entry.get("DisplayVersion") == VERSION
    assert entry.get("Publisher")
    assert entry.get("NoModify") == 1 and entry.get("NoRepair") == 1
    assert entry.get("EstimatedSize", 0) * 1024 >= len(release.program_bytes()), entry
    assert entry.get("DisplayIcon", "").lower().startswith(
        (installation.system_folder + "\\" + PROGRAM_FILE).lower()), entry
    uninstaller = quoted_program(entry.get("UninstallString", ""))
    assert entry.get("QuietUninstallString") == f'"{uninstaller}" /S', entry
    uninstaller_file = linux_path(wine, uninstaller)
    assert uninstaller_file.is_file(), f"UninstallString names a missing file: {uninstaller}"
    install_dir = uninstaller_file.parent
    assert install_dir.resolve() != installation.folder.resolve()
    assert (install_dir / "readme.txt").read_bytes() == \
        (REPO / "installer" / "readme.txt").read_bytes()

    # The user's colour beside the installed program: the saver, started the
    # way Windows starts it (the SCRNSAVE.EXE path and "/S"), draws with it.
    installation.settings_file.write_bytes(b"%d\r\n" % RED_COLORREF)
    program, window = start_with_window(wine, saver, "/S", caption=SAVER_CAPTION)
    red = cyan = 0
    deadline = time.monotonic() + 5.0
    while time.monotonic() < deadline:
        time.sleep(0.3)
        shot = wine.screenshot()
        red = count_pixels(shot, RED)
        cyan = max(cyan, count_pixels(shot, CYAN))
        if red > 0:
            break
    assert program.alive(), "the installed saver ended without any input"
    assert red > 0 and cyan == 0, \
        f"the installed saver did not draw with the colour beside it: {red} red and " \
        f"{cyan} cyan pixels"
    code = end_with_key(wine, program, window)
    assert code == 0, f"a key press did not end the installed saver (exit code {code})"

    # The silent uninstall.
    run_uninstaller(wine, uninstaller, installation.program_file, install_dir)
    assert not installation.program_file.exists()
    assert not reg_key_exists(wine, UNINSTALL_KEY)
    assert reg_value(wine, DESKTOP_KEY, "SCRNSAVE.EXE") is None, \
        "SCRNSAVE.EXE still names the removed program"
    assert installation.settings_file.is_file(), "the uninstaller deleted the user's gridbloom.dat"
    assert installation.settings_file.read_bytes() == b"%d\r\n" % RED_COLORREF, \
        "the uninstaller changed the user's gridbloom.dat"


@pytest.mark.parametrize("chosen, kept", [
    (r"C:\WINDOWS\System32\GRIDBLOOM.SCR", False),  # ours, as a long path in other case
    (r"C:\windows\system32\ssother.scr", True),     # another saver chosen since
], ids=["ours-long-path", "another-saver"])
def test_uninstall_clears_only_its_own_saver_choice(wine, installation, release, chosen, kept):
    run_setup(wine, release)
    installation.set_saver(chosen)
    uninstaller = quoted_program(reg_value(wine, UNINSTALL_KEY, "UninstallString") or "")
    run_uninstaller(wine, uninstaller, installation.program_file,
                    linux_path(wine, uninstaller).parent)
    after = reg_value(wine, DESKTOP_KEY, "SCRNSAVE.EXE")
    if kept:
        assert after == chosen, f"the uninstaller changed another saver's choice to {after!r}"
    else:
        assert after is None, f"SCRNSAVE.EXE still names the removed program: {after!r}"
    assert reg_value(wine, DESKTOP_KEY, "ScreenSaveActive") == "1"


# --------------------------------------------------------------------------
# 64-bit Windows: the 32-bit program goes to SysWOW64
# --------------------------------------------------------------------------

@pytest.mark.configs("win64")
def test_silent_install_on_64_bit_windows_uses_syswow64(wine, release):
    wine64 = wine  # a 64-bit prefix: it runs 32-bit programs in WOW64, as 64-bit Windows does
    state = Installation(wine64, r"C:\windows\SysWOW64")
    native_system = wine64.prefix / "drive_c" / "windows" / "system32"
    assert (native_system / "kernel32.dll").is_file() and state.folder.is_dir(), \
        "not a 64-bit prefix"
    try:
        run_setup(wine64, release)
        assert state.program_file.read_bytes() == release.program_bytes()
        assert not (native_system / PROGRAM_FILE).exists(), \
            "the 32-bit program went into the 64-bit system folder"
        # A System32 path here would send 64-bit Windows to its own System32.
        saver = reg_value(wine64, DESKTOP_KEY, "SCRNSAVE.EXE")
        assert saver and saver.lower().startswith("c:\\windows\\syswow64\\"), \
            f"SCRNSAVE.EXE = {saver!r} is not in SysWOW64"
        assert linux_path(wine64, saver).resolve() == state.program_file.resolve()

        uninstaller = quoted_program(reg_value(wine64, UNINSTALL_KEY, "UninstallString") or "")
        run_uninstaller(wine64, uninstaller, state.program_file,
                        linux_path(wine64, uninstaller).parent)
        assert reg_value(wine64, DESKTOP_KEY, "SCRNSAVE.EXE") is None
    finally:
        wine64.end_programs()
        state.clean()
