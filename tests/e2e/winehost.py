"""Runs gridbloom.scr under Wine on a virtual X display of its own.

WineHost owns an Xvfb server on a free display, a Wine prefix in a temporary
folder (or a folder the caller names, to reuse one between runs), a
persistent wineserver for that prefix, and a watcher that records every
top-level X window that gets mapped. Tests use it to start the program with
a given command line, wait for its windows, send it input and take
screenshots.

Everything runs on our own display with our own prefix: processes are found
through the WINEPREFIX in their environment and ended by process id only.
"""

from __future__ import annotations

import os
import select
import shutil
import signal
import subprocess
import tempfile
import threading
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Optional

import numpy
from PIL import ImageGrab
from Xlib import X, display as xdisplay, error as xerror
from Xlib.protocol import event as xevent

from configs import DEFAULT, Config

# A window of 1x1 is one of Wine's hidden helper windows ("Default IME", the
# clipboard manager, the desktop's message windows): never a visible window.
TRIVIAL_SIZE = 1


def _run_wine(cmd, env, log: Path, timeout=60, check=True) -> int:
    """Runs a Wine command with its output going to `log`.

    Never through a pipe: Wine starts helper processes (services.exe,
    explorer.exe, ...) that inherit the output and outlive the command while
    the persistent wineserver runs, so a reader waiting for the end of the
    output would wait for ever.
    """
    with open(log, "ab") as out:
        proc = subprocess.Popen(cmd, env=env, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=out, start_new_session=True)
        try:
            code = proc.wait(timeout)
        except subprocess.TimeoutExpired:
            os.kill(proc.pid, signal.SIGKILL)
            proc.wait()
            raise
    if check and code != 0:
        raise RuntimeError(f"{' '.join(cmd)} ended with {code}; see {log}:\n"
                           + log.read_text("utf-8", "replace")[-2000:])
    return code


# --------------------------------------------------------------------------
# Windows
# --------------------------------------------------------------------------

@dataclass
class Window:
    """A top-level X window as seen at one moment."""
    wid: int
    name: Optional[str]
    x: int
    y: int
    width: int
    height: int
    pid: Optional[int] = None
    input_only: bool = False

    @property
    def trivial(self) -> bool:
        """A 1x1 helper window, or an input-only one (Wine maps one to
        confine the pointer): neither shows anything."""
        return self.input_only or (self.width <= TRIVIAL_SIZE and self.height <= TRIVIAL_SIZE)

    @property
    def center(self) -> tuple:
        return (self.x + self.width // 2, self.y + self.height // 2)

    def contains(self, px: int, py: int) -> bool:
        return self.x <= px < self.x + self.width and self.y <= py < self.y + self.height

    def __str__(self) -> str:
        return (f"0x{self.wid:x} {self.name!r} {self.width}x{self.height}+{self.x}+{self.y}"
                f" pid={self.pid}" + (" input-only" if self.input_only else ""))


def _property(xwin, name: str):
    """The value of a window property; None when it is not set or the window is gone."""
    try:
        prop = xwin.get_full_property(xwin.display.get_atom(name), X.AnyPropertyType)
    except xerror.XError:
        return None
    return prop.value if prop else None


def read_window(xwin, x: int, y: int, width: int, height: int,
                input_only: Optional[bool] = None) -> Window:
    """A top-level window with the geometry given, and its title and process
    id as far as it still has them."""
    if input_only is None:
        try:
            input_only = xwin.get_attributes().win_class == X.InputOnly
        except xerror.XError:
            input_only = False  # gone already: it counts as shown
    pid = _property(xwin, "_NET_WM_PID")
    name = _property(xwin, "_NET_WM_NAME") or _property(xwin, "WM_NAME")
    return Window(xwin.id, name.decode("utf-8", "replace") if name else None,
                  x, y, width, height, pid[0] if pid else None, input_only)


class EventThread:
    """Hands every event that an X display reports to handle(), in a thread
    with a connection of its own; subclasses choose the events in listen().

    sync() waits until every event the server generated before the call has
    been handled: it sends a client message through a second connection to
    a window of the thread's, and the server queues that message behind the
    events already due to the thread.
    """

    def __init__(self, display_name: str):
        self._events = xdisplay.Display(display_name)
        self._control = xdisplay.Display(display_name)
        self._mailbox = self._events.screen().root.create_window(0, 0, 1, 1, 0, 0, X.InputOnly,
                                                                X.CopyFromParent)
        self._message_type = self._events.intern_atom("GRIDBLOOM_SYNC")
        self.lock = threading.Condition()
        self._asked = self._answered = 0
        self.listen(self._events)
        self._events.sync()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def listen(self, display) -> None:
        """Asks the server for the events to handle, on the thread's
        connection (before the thread starts)."""
        raise NotImplementedError

    def handle(self, event) -> None:
        """Takes one event, in the thread."""
        raise NotImplementedError

    def _run(self) -> None:
        try:
            while True:
                event = self._events.next_event()
                if event.type != X.ClientMessage or event.window != self._mailbox:
                    self.handle(event)
                    continue
                token = event.data[1][0]
                if token == 0:
                    return
                with self.lock:
                    self._answered = token
                    self.lock.notify_all()
        except xerror.ConnectionClosedError:
            pass  # the display ended

    def _post(self, token: int) -> None:
        message = xevent.ClientMessage(window=self._mailbox, client_type=self._message_type,
                                       data=(32, [token, 0, 0, 0, 0]))
        self._control.send_event(self._mailbox, message)
        self._control.flush()

    def sync(self, timeout: float = 5.0) -> None:
        with self.lock:
            self._asked += 1
            token = self._asked
            self._post(token)
            if not self.lock.wait_for(lambda: self._answered >= token, timeout):
                raise TimeoutError(f"{type(self).__name__} did not answer")

    def close(self) -> None:
        try:
            self._post(0)
        except xerror.ConnectionClosedError:
            pass
        self._thread.join(3)
        self._control.close()
        self._events.close()


class WindowWatch(EventThread):
    """Keeps the history of top-level windows mapped on the display.

    Polling can miss a window that shows for a few milliseconds; the X server
    reports every MapNotify, so "no window appeared" can be checked for the
    whole time a program ran. The watch starts with the display, so it sees
    every window created, and knows each one's geometry even when it is gone
    by the time its map is handled.
    """

    def listen(self, display) -> None:
        self._geometry = {}
        self._mapped: list = []
        display.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)

    def handle(self, event) -> None:
        if event.type in (X.CreateNotify, X.ConfigureNotify):
            self._geometry[event.window.id] = (event.x + event.border_width,
                                               event.y + event.border_width,
                                               event.width, event.height)
        elif event.type == X.DestroyNotify:
            self._geometry.pop(event.window.id, None)
        elif event.type == X.MapNotify:
            window = read_window(event.window, *self._geometry.get(event.window.id, (0, 0, 0, 0)))
            with self.lock:
                self._mapped.append(window)

    def mark(self) -> int:
        """A point in the history: mapped_since(mark) gives what was mapped later."""
        self.sync()
        with self.lock:
            return len(self._mapped)

    def mapped_since(self, mark: int, include_trivial: bool = False) -> list:
        """Windows mapped after `mark` (the trivial ones left out)."""
        self.sync()
        with self.lock:
            return [w for w in self._mapped[mark:] if include_trivial or not w.trivial]


# --------------------------------------------------------------------------
# Programs
# --------------------------------------------------------------------------

class Program:
    """One Windows program started under Wine (the Linux process is the program)."""

    def __init__(self, host: "WineHost", popen: subprocess.Popen, argv: list, log: Path,
                 started_mark: int):
        self.host = host
        self.popen = popen
        self.pid = popen.pid
        self.argv = argv
        self.log = log
        self.started_mark = started_mark

    def wait_exit(self, timeout: float) -> Optional[int]:
        """The exit code, or None when the program still runs after `timeout` s."""
        try:
            return self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    @property
    def returncode(self) -> Optional[int]:
        return self.popen.poll()

    def alive(self) -> bool:
        return self.popen.poll() is None

    def stays_alive(self, seconds: float) -> bool:
        """True when the program is still running `seconds` from now."""
        return self.wait_exit(seconds) is None

    def kill(self) -> None:
        """Ends this program (only this process, by its id)."""
        if self.popen.poll() is None:
            try:
                os.kill(self.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.popen.wait(10)

    def windows(self, include_trivial: bool = False) -> list:
        """The program's mapped top-level windows now."""
        return [w for w in self.host.windows(include_trivial) if w.pid == self.pid]

    def windows_mapped(self, include_trivial: bool = False) -> list:
        """Every top-level window mapped on the display since the program started."""
        return self.host.watch.mapped_since(self.started_mark, include_trivial)

    def output(self) -> str:
        try:
            return self.log.read_text("utf-8", "replace")
        except OSError:
            return ""

    def __repr__(self) -> str:
        return f"Program(pid={self.pid}, argv={self.argv!r}, returncode={self.returncode})"


# --------------------------------------------------------------------------
# The host: display + prefix
# --------------------------------------------------------------------------

class WineHost:
    """Xvfb + a Wine prefix + a persistent wineserver, set up as a
    configuration says: the prefix's architecture, the DPI, and the monitors
    (one X screen holding them all, each one a RandR monitor that Wine reads
    as a Xinerama head)."""

    def __init__(self, prefix: Optional[os.PathLike] = None, config: Config = DEFAULT,
                 park: tuple = None):
        self._tmp = Path(tempfile.mkdtemp(prefix="gridbloom-wine-"))
        self._own_prefix = prefix is None
        self.prefix = Path(prefix) if prefix else self._tmp / "prefix"
        self.config = config
        self.arch = config.arch
        self.screen_size = config.screen_size
        self.park_position = park if park is not None else config.primary.center
        self.workdir = self._tmp / "work"
        self.workdir.mkdir()
        self.logdir = self._tmp / "logs"
        self.logdir.mkdir()
        self.display = None
        self._x = None  # our own connection to the display
        self._xvfb = None
        self._wineserver = None
        self.watch: Optional[WindowWatch] = None
        self._programs: list = []
        self._count = 0
        self.env = {}

    # ----- start and stop ---------------------------------------------------

    def __enter__(self) -> "WineHost":
        try:
            self.setup()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    def setup(self) -> None:
        """Starts the display, the window watcher, the prefix and its server."""
        self._start_display()
        self.env = self._make_env()
        self._set_monitors()
        self.watch = WindowWatch(self.display)
        self._x = xdisplay.Display(self.display)
        self._x.xfixes_query_version()
        self._start_prefix()

    def _start_display(self) -> None:
        read_fd, write_fd = os.pipe()
        try:
            self._xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                 "%dx%dx24" % self.screen_size, "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_fd,), stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL, stderr=open(self._tmp / "xvfb.log", "wb"),
                start_new_session=True)
            os.close(write_fd)
            write_fd = -1
            number = b""
            deadline = time.monotonic() + 20
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                ready, _, _ = select.select([read_fd], [], [], max(left, 0))
                if not ready:
                    raise RuntimeError("Xvfb did not report its display number")
                chunk = os.read(read_fd, 64)
                if not chunk:
                    raise RuntimeError("Xvfb ended: " + (self._tmp / "xvfb.log").read_text())
                number += chunk
            self.display = ":" + number.decode().strip()
        finally:
            os.close(read_fd)
            if write_fd >= 0:
                os.close(write_fd)

    def _set_monitors(self) -> None:
        """One RandR monitor for each of the configuration's, the primary on
        the screen's output; checked through Xinerama, where Wine looks."""
        monitors = self.config.monitors
        if len(monitors) < 2:
            return
        for number, m in enumerate(monitors):
            geometry = f"{m.width}/{m.width * 254 // 960}x{m.height}/{m.height * 254 // 960}+{m.x}+{m.y}"
            subprocess.run(["xrandr", "--setmonitor", f"gridbloom{number}", geometry,
                            "screen" if number == 0 else "none"],
                           env=self.env, check=True, timeout=10, stdin=subprocess.DEVNULL,
                           capture_output=True)
        x = xdisplay.Display(self.display)
        try:
            heads = [(s.width, s.height, s.x, s.y) for s in x.xinerama_query_screens().screens]
        finally:
            x.close()
        wanted = [(m.width, m.height, m.x, m.y) for m in monitors]
        if heads != wanted:
            raise RuntimeError(f"the X server shows the heads {heads}, not {wanted}")

    def _make_env(self) -> dict:
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("WINE", "LC_")) and k not in ("DISPLAY", "XAUTHORITY")}
        env.update({
            "DISPLAY": self.display,
            "WINEPREFIX": str(self.prefix),
            "WINEARCH": self.arch,
            "WINEDEBUG": "-all",
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
        })
        return env

    def _start_prefix(self) -> None:
        fresh = not (self.prefix / "system.reg").exists()
        self.prefix.mkdir(parents=True, exist_ok=True)
        # The persistent server first, so that wineboot and every program use it.
        self._wineserver = subprocess.Popen(
            ["wineserver", "-p"], env=self.env, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        self._wineserver.wait(30)  # it forks into the background and returns
        if fresh:
            boot_env = dict(self.env, WINEDLLOVERRIDES="mscoree,mshtml=")
            _run_wine(["wineboot", "-i"], boot_env, self.logdir / "wineboot.log", timeout=180)
        if self.arch == "win64" and not (self.prefix / "drive_c" / "windows" / "syswow64").is_dir():
            raise RuntimeError(f"{self.prefix} is not a 64-bit prefix: it has no syswow64")
        self.reg_import(
            # No window manager runs on the display; a crashed program ends.
            (r"HKEY_CURRENT_USER\Software\Wine\X11 Driver", "Managed", "N"),
            (r"HKEY_CURRENT_USER\Software\Wine\WineDbg", "ShowCrashDialog", 0),
            # Wine reads the DPI at each program start, the first of these keys first.
            (r"HKEY_CURRENT_USER\Control Panel\Desktop", "LogPixels", self.config.dpi),
            (r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts",
             "LogPixels", self.config.dpi),
            # Several monitors reach a 32-bit Wine through Xinerama only.
            (r"HKEY_CURRENT_USER\Software\Wine\X11 Driver", "UseXRandR",
             "N" if len(self.config.monitors) > 1 else "Y"),
        )
        # The monitors are read once, when the server's first program starts:
        # a fresh server sees them as set now.
        self._restart_wineserver()

    def _restart_wineserver(self) -> None:
        _run_wine(["wineserver", "-k"], self.env, self.logdir / "wineserver.log", timeout=30,
                  check=False)
        _run_wine(["wineserver", "-w"], self.env, self.logdir / "wineserver.log", timeout=30,
                  check=False)
        self._kill_leftovers()
        self._wineserver = subprocess.Popen(
            ["wineserver", "-p"], env=self.env, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        self._wineserver.wait(30)

    def reg_import(self, *values: tuple) -> None:
        """Sets (key, name, data) values in one go: data a str (REG_SZ) or
        an int (REG_DWORD)."""
        lines = ["Windows Registry Editor Version 5.00", ""]
        for key, name, data in values:
            text = f"dword:{data:08x}" if isinstance(data, int) else '"' + data.replace("\\", "\\\\") + '"'
            lines += [f"[{key}]", f'"{name}"={text}', ""]
        reg_file = self.logdir / "settings.reg"
        reg_file.write_text("\r\n".join(lines), encoding="utf-16")
        _run_wine(["wine", "reg", "import", str(reg_file)], self.env, self.logdir / "reg.log")

    def reg_add(self, key: str, value: str, kind: str, data: str) -> None:
        _run_wine(["wine", "reg", "add", key, "/v", value, "/t", kind, "/d", data, "/f"],
                  self.env, self.logdir / "reg.log")

    def close(self) -> None:
        for program in self._programs:
            program.kill()
        if self.env.get("WINEPREFIX"):
            try:
                _run_wine(["wineserver", "-k"], self.env, self.logdir / "wineserver.log",
                          timeout=30, check=False)
            except (subprocess.TimeoutExpired, OSError):
                pass
            self._kill_leftovers()
        if self.watch is not None:
            self.watch.close()
            self.watch = None
        if self._x is not None:
            self._x.close()
            self._x = None
        if self._xvfb is not None and self._xvfb.poll() is None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait()
        shutil.rmtree(self._tmp, ignore_errors=True)

    def _kill_leftovers(self) -> None:
        deadline = time.monotonic() + 10
        while True:
            pids = self.prefix_processes()
            if not pids:
                return
            for pid in pids:
                try:
                    os.kill(pid, signal.SIGKILL)
                except (ProcessLookupError, PermissionError):
                    pass
            if time.monotonic() > deadline:
                return
            time.sleep(0.1)

    # ----- processes ---------------------------------------------------------

    def prefix_processes(self) -> list:
        """Process ids whose environment holds our WINEPREFIX."""
        wanted = b"WINEPREFIX=" + os.fsencode(str(self.prefix))
        own = os.getpid()
        pids = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) == own:
                continue
            try:
                with open(f"/proc/{entry}/environ", "rb") as f:
                    environ = f.read().split(b"\0")
            except OSError:
                continue
            if wanted in environ:
                pids.append(int(entry))
        return pids

    def process_name(self, pid: int) -> str:
        try:
            return Path(f"/proc/{pid}/comm").read_text().strip()
        except OSError:
            return ""

    def start(self, exe: os.PathLike, *args: str, cwd: Optional[os.PathLike] = None,
              park: bool = True, park_at: Optional[tuple] = None) -> Program:
        """Starts `exe` with `args` (none at all gives an empty command line).

        `exe` is a Linux path or a Windows path such as r"r:\\gridbloom.scr".
        The pointer is parked first, at `park_at` or else at `park_position`,
        as the program records its position when it starts.
        """
        if park:
            self.mousemove(*(park_at or self.park_position))
        mark = self.watch.mark()
        self._count += 1
        log = self.logdir / f"program-{self._count}.log"
        argv = ["wine", os.fspath(exe), *args]
        with open(log, "wb") as out:
            popen = subprocess.Popen(argv, env=self.env, cwd=os.fspath(cwd or self.workdir),
                                     stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                     start_new_session=True)
        program = Program(self, popen, argv, log, mark)
        self._programs.append(program)
        return program

    def end_programs(self) -> None:
        """Ends every program started with start() that still runs."""
        for program in self._programs:
            program.kill()
        self._programs.clear()

    # ----- drives --------------------------------------------------------------

    def map_drive(self, folder: os.PathLike, letters: str = "rqponmlkjihgfe") -> str:
        """Maps the first spare drive letter to `folder`; returns e.g. "r:"."""
        dosdevices = self.prefix / "dosdevices"
        for letter in letters:
            link = dosdevices / f"{letter}:"
            if not os.path.lexists(link):
                os.symlink(os.fspath(Path(folder).resolve()), link)
                return f"{letter}:"
        raise RuntimeError("no spare drive letter in " + str(dosdevices))

    def unmap_drive(self, drive: str) -> None:
        link = self.prefix / "dosdevices" / drive.lower()
        if os.path.islink(link):
            os.unlink(link)

    # ----- windows -------------------------------------------------------------

    def windows(self, include_trivial: bool = False) -> list:
        """Mapped top-level windows, topmost last, with name, geometry and pid."""
        result = []
        for xwin in self._x.screen().root.query_tree().children:
            try:
                attributes = xwin.get_attributes()
                geometry = xwin.get_geometry()
            except xerror.XError:
                continue  # gone meanwhile
            if attributes.map_state != X.IsViewable:
                continue
            border = geometry.border_width
            window = read_window(xwin, geometry.x + border, geometry.y + border, geometry.width,
                                 geometry.height, attributes.win_class == X.InputOnly)
            if include_trivial or not window.trivial:
                result.append(window)
        return result

    def wait_for_window(self, name: Optional[str] = None, timeout: float = 10.0,
                        pid: Optional[int] = None,
                        predicate: Optional[Callable[[Window], bool]] = None,
                        program: Optional[Program] = None) -> Optional[Window]:
        """Polls until a mapped, non-trivial top-level window matches; None on timeout.

        `name` must match the window title exactly; `pid` (or `program`)
        limits the search to the windows of one process. When `program` is
        given, the wait also stops as soon as that program has ended.
        """
        if program is not None and pid is None:
            pid = program.pid
        deadline = time.monotonic() + timeout
        while True:
            for window in self.windows():
                if name is not None and window.name != name:
                    continue
                if pid is not None and window.pid != pid:
                    continue
                if predicate is not None and not predicate(window):
                    continue
                return window
            if program is not None and not program.alive():
                return None
            if time.monotonic() >= deadline:
                return None
            time.sleep(0.05)

    def wait_until_gone(self, window: Window, timeout: float = 5.0) -> bool:
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if all(w.wid != window.wid for w in self.windows()):
                return True
            time.sleep(0.05)
        return False

    # ----- input ------------------------------------------------------------

    def xdotool(self, *args: str) -> None:
        subprocess.run(["xdotool", *args], env=self.env, timeout=10, check=True,
                       stdin=subprocess.DEVNULL, capture_output=True)

    def mousemove(self, x: int, y: int) -> None:
        self.xdotool("mousemove", str(x), str(y))

    def mousemove_relative(self, dx: int, dy: int) -> None:
        self.xdotool("mousemove_relative", "--", str(dx), str(dy))

    def wait_for_focus(self, wid: int, timeout: float = 5.0) -> bool:
        """Waits until the X keyboard focus is on the window `wid`: Wine puts
        it on the window Windows activates."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            focus = self._x.get_input_focus().focus  # a window, or PointerRoot or None
            if getattr(focus, "id", None) == wid:
                return True
            time.sleep(0.02)
        return False

    def pointer(self) -> tuple:
        where = self._x.screen().root.query_pointer()
        return (where.root_x, where.root_y)

    def click(self, button: int = 1) -> None:
        self.xdotool("click", str(button))

    def key(self, *keys: str) -> None:
        """Presses and releases each key (xdotool names: "a", "space", "alt+F4")."""
        self.xdotool("key", *keys)

    # ----- what the screen shows ----------------------------------------------

    def screenshot(self) -> numpy.ndarray:
        """The whole screen as a numpy array of shape (height, width, 3), RGB."""
        return numpy.asarray(ImageGrab.grab(xdisplay=self.display).convert("RGB"))

    def pointer_alpha(self) -> numpy.ndarray:
        """The alpha channel of the pointer image shown now, one value a pixel."""
        image = self._x.xfixes_get_cursor_image(self._x.screen().root)
        return (numpy.array(image.cursor_image, dtype=numpy.uint32) >> 24).astype(numpy.uint8)

