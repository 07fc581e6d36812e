"""What the screen-saver host and the rest of Windows do around the program,
and how it answers: another program taking the foreground, the system's
SC_SCREENSAVE, "Settings..." pressed again, monitors that change, the user
clicking back into the settings window, and the DLL search order."""

import re
import time

import pytest

from conftest import EXIT_TIMEOUT, SAVER_CAPTION, describe, start_with_window
from settings_window import Layout, SettingsWindow, open_settings


def poke_foreground(wine, poke, x, y, width=200, height=120):
    """Opens a window of another program there (in Windows' coordinates),
    taking the foreground."""
    program = wine.start(poke, "foreground", str(x), str(y), str(width), str(height), park=False)
    window = wine.wait_for_window("poke", 10, program=program)
    assert window is not None, "poke.exe showed no window: " + describe(wine, program)
    assert wine.wait_for_focus(window.wid), "poke.exe did not take the foreground"
    return program


def run_poke(wine, poke, *args):
    program = wine.start(poke, *args, park=False)
    code = program.wait_exit(EXIT_TIMEOUT)
    assert code == 0, f"poke.exe {' '.join(args)} ended with {code}: " + describe(wine, program)


@pytest.mark.saver
@pytest.mark.configs("default", "two-monitors")
def test_another_program_taking_the_foreground_ends_the_saver(wine, program_dir, poke):
    program, _ = start_with_window(wine, program_dir.exe, "/S", caption=SAVER_CAPTION)
    assert program.stays_alive(0.5), "the saver ended by itself"
    other = poke_foreground(wine, poke, 300, 300)
    code = program.wait_exit(EXIT_TIMEOUT)
    assert code == 0, "the saver kept covering the screen while another program had the foreground"
    assert other.alive()


@pytest.mark.saver
def test_sc_screensave_reaching_the_running_saver_changes_nothing(wine, program_dir, poke):
    program, window = start_with_window(wine, program_dir.exe, "/S", caption=SAVER_CAPTION)
    mark = wine.watch.mark()
    run_poke(wine, poke, "screensave")
    assert program.stays_alive(0.5), "the saver ended on SC_SCREENSAVE"
    new = [str(w) for w in wine.watch.mapped_since(mark) if w.name != "poke"]
    assert new == [], f"windows appeared on SC_SCREENSAVE: {new}"
    assert sorted(p.name for p in program_dir.path.iterdir()) == ["gridbloom.scr"]


@pytest.mark.saver
@pytest.mark.configs("default", "two-monitors")
def test_a_display_change_puts_the_saver_back_over_the_primary_monitor(wine, program_dir, poke):
    program, window = start_with_window(wine, program_dir.exe, "/S", caption=SAVER_CAPTION)

    def covers():
        return sorted((w.x, w.y, w.width, w.height) for w in program.windows() if w.wid != window.wid)

    wanted = sorted((m.x, m.y, m.width, m.height) for m in wine.config.others)
    deadline = time.monotonic() + EXIT_TIMEOUT
    while covers() != wanted and time.monotonic() < deadline:
        time.sleep(0.05)
    assert covers() == wanted, "the other monitors have no covers"
    run_poke(wine, poke, "displaychange")  # moves it aside, then reports the change
    primary = wine.config.primary
    deadline = time.monotonic() + EXIT_TIMEOUT
    while time.monotonic() < deadline:
        now = [w for w in program.windows() if w.wid == window.wid]
        if now and (now[0].x, now[0].y, now[0].width, now[0].height) == \
                (primary.x, primary.y, primary.width, primary.height):
            break
        time.sleep(0.05)
    else:
        pytest.fail("the saver window did not come back over the primary monitor: " + describe(wine, program))
    assert covers() == wanted, "the covers did not stay over the other monitors"
    assert program.stays_alive(0.5), "the saver ended on a display change"


@pytest.mark.settings
def test_a_second_settings_brings_the_open_one_to_the_front(wine, program_dir, poke):
    settings = open_settings(wine, program_dir)
    w = settings.window
    x, y = w.x - wine.config.primary.x, w.y - wine.config.primary.y  # in Windows' coordinates
    other = poke_foreground(wine, poke, x - 20, y - 20, w.width + 40, w.height + 40)
    white = Layout.centre(settings.layout.swatches[0])
    deadline = time.monotonic() + EXIT_TIMEOUT
    while settings.pixel(white) == (255, 255, 255) and time.monotonic() < deadline:
        time.sleep(0.05)
    assert wine.windows()[-1].name == "poke" and settings.pixel(white) != (255, 255, 255), \
        "the other window does not hide the settings window"

    second = wine.start(program_dir.exe, "/C", park=False)
    assert second.wait_exit(EXIT_TIMEOUT) == 0, "the second copy kept running: " + describe(wine, second)
    assert [str(m) for m in second.windows_mapped()] == [], "the second copy showed a window"
    deadline = time.monotonic() + EXIT_TIMEOUT
    while wine.windows()[-1].wid != w.wid and time.monotonic() < deadline:
        time.sleep(0.05)
    assert wine.windows()[-1].wid == w.wid, "the open settings window did not come to the front"
    SettingsWindow(wine, settings.program, w)  # its swatches show again
    assert settings.program.alive() and other.alive()
    assert not program_dir.settings_file.exists(), "the second copy touched the settings file"


@pytest.mark.settings
def test_the_settings_window_gives_ok_its_focus_back_when_the_user_returns(wine, program_dir, poke):
    settings = open_settings(wine, program_dir, b"255\r\n")
    w = settings.window
    poke_foreground(wine, poke, w.x + w.width + 20 - wine.config.primary.x, w.y - wine.config.primary.y)
    # Back into the window, on a spot of it that holds no control.
    client_width, client_height = settings.layout.client
    settings.click((5, client_height - 5))
    assert wine.wait_for_focus(w.wid), "a click did not bring the settings window back"
    wine.key("Return")
    assert settings.program.wait_exit(EXIT_TIMEOUT) == 0, "Enter did not press OK after the user came back"
    assert program_dir.settings_file.read_bytes() == b"255\r\n"


def test_no_dll_is_looked_up_by_name_before_the_search_order_is_locked(wine, program_dir):
    # The relay log names each call of these two: the lock, and every load
    # of a DLL by name, with the folders it is looked for in.
    wine.reg_add(r"HKCU\Software\Wine\Debug", "RelayInclude", "REG_SZ",
                 "kernel32.SetDefaultDllDirectories;ntdll.LdrLoadDll")
    saved = wine.env["WINEDEBUG"]
    wine.env["WINEDEBUG"] = "-all,+loaddll,+relay"
    try:
        program = wine.start(program_dir.exe)  # no switch: it ends at once
        assert program.wait_exit(EXIT_TIMEOUT) == 0
    finally:
        wine.env["WINEDEBUG"] = saved
    log = program.output().splitlines()
    loaded = next(line for line in log if "gridbloom.scr\" at" in line)
    thread, base = loaded.split(":")[0], loaded.rsplit(" at ", 1)[1].split(":")[0]
    lines = [line for line in log if line.startswith(thread + ":")]
    # The loader has loaded the imported DLLs, and they theirs, before any
    # code of the program runs; its first code is its first TLS callback.
    first_own = next(i for i, line in enumerate(lines)
                     if "Call TLS callback" in line and f"module={base}" in line)
    calls = [line for line in lines[first_own:] if re.search(r"Call (KERNEL32|ntdll)\.", line)]
    assert calls and "SetDefaultDllDirectories(00000800)" in calls[0], \
        f"the program loads a DLL before it locks the search order: {calls[:3]}"
    later = [line for line in calls[1:] if "LdrLoadDll" in line]
    assert later, "the program loaded no DLL by name: the log does not show what it should"
    beyond = [line for line in later if 'system32\\\\"' not in line]
    assert beyond == [], f"DLLs looked up beyond the system folder after the lock: {beyond}"
