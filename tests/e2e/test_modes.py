"""The program's command-line modes, run for real under Wine.

  /S, /s, /S:n, "/s anything"   the saver: a full-screen window until input
  /C, /c, /C:n                  the settings dialog ("version info.")
  anything else                 nothing to show: ends at once with code 0

Only one copy runs at a time: a second one ends at once, shows nothing and
writes nothing. The saver itself never writes gridbloom.dat.

The table runs on 32-bit Windows and on 64-bit Windows, where the 32-bit
program runs under WoW64.
"""

import pytest

from conftest import (EXIT_TIMEOUT, SAVER_CAPTION, SETTINGS_CAPTION, describe, end_with_key,
                      start_with_window)

SAVER_COMMAND_LINES = [
    ("/S",),
    ("/s",),
    ("/S:123",),
    ("/s", "anything"),
]

SETTINGS_COMMAND_LINES = [
    ("/C",),
    ("/c",),
    ("/C:1234",),
]

SILENT_COMMAND_LINES = [
    (),  # no argument at all: an empty command line
    ("/P", "1234"),
    ("-s",),
    ("/",),
    ("/X",),
]


def command_line_id(args):
    return " ".join(args) if args else "empty"


# --------------------------------------------------------------------------
# The saver
# --------------------------------------------------------------------------

@pytest.mark.saver
@pytest.mark.configs("default", "win64")
@pytest.mark.parametrize("args", SAVER_COMMAND_LINES, ids=command_line_id)
def test_saver_runs_until_a_key(wine, program_dir, args):
    program, window = start_with_window(wine, program_dir.exe, *args, caption=SAVER_CAPTION,
                                        cwd=program_dir.cwd)
    assert program.stays_alive(1.0), "the saver ended without any input: " + describe(wine, program)
    assert wine.pointer() == wine.park_position, "the pointer moved by itself"

    code = end_with_key(wine, program, window)
    assert code is not None, "a key press did not end the saver: " + describe(wine, program)
    assert code == 0
    assert wine.wait_until_gone(window), "the saver window stayed after the program ended"
    assert program_dir.written_settings() == []


@pytest.mark.saver
def test_saver_never_writes_settings(wine, program_dir):
    program, window = start_with_window(wine, program_dir.exe, "/S", caption=SAVER_CAPTION,
                                        cwd=program_dir.cwd)
    assert program.stays_alive(3.0), "the saver ended without any input: " + describe(wine, program)
    assert program_dir.written_settings() == [], "the running saver wrote its settings"
    assert end_with_key(wine, program, window) == 0
    assert program_dir.written_settings() == [], "the saver wrote its settings when it ended"
    assert program_dir.files() == ["gridbloom.scr"]


@pytest.mark.saver
@pytest.mark.configs("default", "win64")
@pytest.mark.parametrize("program_dir", ["japanese", "drive-root"], indirect=True)
def test_saver_from_unusual_folder(wine, program_dir):
    program, window = start_with_window(wine, program_dir.exe, "/S", caption=SAVER_CAPTION,
                                        cwd=program_dir.cwd)
    assert program.stays_alive(0.5), "the saver ended without any input: " + describe(wine, program)
    assert end_with_key(wine, program, window) == 0
    assert program_dir.written_settings() == []


# --------------------------------------------------------------------------
# The settings dialog
# --------------------------------------------------------------------------

@pytest.mark.settings
@pytest.mark.configs("default", "win64")
@pytest.mark.parametrize("args", SETTINGS_COMMAND_LINES, ids=command_line_id)
def test_settings_dialog_closes_with_alt_f4(wine, program_dir, args):
    program, window = start_with_window(wine, program_dir.exe, *args, caption=SETTINGS_CAPTION,
                                        cwd=program_dir.cwd)
    assert program.stays_alive(0.5), "the dialog ended by itself: " + describe(wine, program)
    code = end_with_key(wine, program, window, "alt+F4")
    assert code is not None, "Alt+F4 did not end the program: " + describe(wine, program)
    assert code == 0
    assert wine.wait_until_gone(window)


# --------------------------------------------------------------------------
# Nothing to show
# --------------------------------------------------------------------------

@pytest.mark.configs("default", "win64")
@pytest.mark.parametrize("args", SILENT_COMMAND_LINES, ids=command_line_id)
def test_ends_at_once_without_window(run_to_end, program_dir, args):
    result = run_to_end(program_dir.exe, *args, timeout=EXIT_TIMEOUT, cwd=program_dir.cwd)
    assert result.returncode == 0
    assert [str(w) for w in result.windows] == []


# --------------------------------------------------------------------------
# One copy at a time
# --------------------------------------------------------------------------

@pytest.mark.saver
@pytest.mark.configs("default", "win64")
@pytest.mark.parametrize("second_args", [("/S",), ("/C",)], ids=command_line_id)
@pytest.mark.parametrize("second_exe", ["same file", "other copy"])
def test_second_copy_ends_at_once(wine, program_dir, second_exe, second_args):
    first, window = start_with_window(wine, program_dir.exe, "/S", caption=SAVER_CAPTION,
                                      cwd=program_dir.cwd)
    exe = program_dir.exe if second_exe == "same file" else program_dir.add_copy("gridbloom2.scr")

    # The pointer is where the first copy found it: leave it there.
    second = wine.start(exe, *second_args, cwd=program_dir.cwd, park=False)
    code = second.wait_exit(EXIT_TIMEOUT)
    assert code is not None, "the second copy kept running: " + describe(wine, second)
    assert code == 0
    assert [str(w) for w in second.windows_mapped()] == [], "a window appeared"
    assert program_dir.written_settings() == [], "the second copy wrote settings"

    assert first.alive(), "the first copy ended when the second started"
    assert end_with_key(wine, first, window) == 0
    assert program_dir.written_settings() == []
