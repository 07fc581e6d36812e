"""Runs gridbloom.scr under Wine on a virtual X display of its own.

WineHost owns an Xvfb server on a free display, a 32-bit Wine prefix in a
temporary folder (or a folder the caller names, to reuse one between runs),
a persistent wineserver for that prefix, and a watcher that reports every
top-level X window that gets mapped. Tests use it to start the program with
a given command line, wait for its windows, send it input and take
screenshots.

Everything runs on our own display with our own prefix: processes are found
through the WINEPREFIX in their environment and ended by process id only.

Run as a script with --watch-windows it is the window watcher itself (a
small Xlib client that prints one line per structure event on the root
window); WineHost starts it that way so that an X error can never take the
test process down.
"""

from __future__ import annotations

import ctypes
import ctypes.util
import io
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Optional

DEFAULT_SCREEN = "1280x1024x24"
# A window of 1x1 is one of Wine's hidden helper windows ("Default IME", the
# clipboard manager, the desktop's message windows): never a visible window.
TRIVIAL_SIZE = 1


def _run(cmd, env, timeout=30, check=True) -> subprocess.CompletedProcess:
    """Runs a short X tool and returns its output."""
    return subprocess.run(cmd, env=env, timeout=timeout, check=check,
                          stdin=subprocess.DEVNULL, capture_output=True)


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
    wm_class: tuple = ()
    pid: Optional[int] = None
    viewable: bool = True

    @property
    def trivial(self) -> bool:
        return self.width <= TRIVIAL_SIZE and self.height <= TRIVIAL_SIZE

    @property
    def center(self) -> tuple:
        return (self.x + self.width // 2, self.y + self.height // 2)

    def contains(self, px: int, py: int) -> bool:
        return self.x <= px < self.x + self.width and self.y <= py < self.y + self.height

    def __str__(self) -> str:
        return (f"0x{self.wid:x} {self.name!r} {self.width}x{self.height}+{self.x}+{self.y}"
                f" pid={self.pid} class={self.wm_class}")


# One child line of `xwininfo -root -children`, for instance
#      0xa00001 "グリッドブルーム": ("gridbloom.scr" "gridbloom.scr")  1280x1024+0+0  +0+0
_CHILD_LINE = re.compile(
    r'^\s+(0x[0-9a-fA-F]+) (?:"(.*)"|\(has no name\)): \((.*)\)\s+'
    r'(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s+\+(-?\d+)\+(-?\d+)\s*$')


def parse_children(text: str) -> list:
    """Parses the child lines of `xwininfo -root -children` (top-level windows)."""
    windows = []
    for line in text.splitlines():
        m = _CHILD_LINE.match(line)
        if not m:
            continue
        wid, name, cls, w, h, _, _, ax, ay = m.groups()
        windows.append(Window(wid=int(wid, 16), name=name,
                              x=int(ax), y=int(ay), width=int(w), height=int(h),
                              wm_class=tuple(re.findall(r'"([^"]*)"', cls))))
    return windows


# --------------------------------------------------------------------------
# The window watcher: a separate process that reports structure events
# --------------------------------------------------------------------------

@dataclass
class MapEvent:
    """A top-level window that was mapped (became visible) at some moment."""
    seq: int
    wid: int
    x: int
    y: int
    width: int
    height: int
    pid: Optional[int]
    name: Optional[str]

    @property
    def trivial(self) -> bool:
        """A 1x1 helper window, or an input-only one (reported as 0x0)."""
        return self.width <= TRIVIAL_SIZE and self.height <= TRIVIAL_SIZE

    def __str__(self) -> str:
        return (f"0x{self.wid:x} {self.name!r} {self.width}x{self.height}+{self.x}+{self.y}"
                f" pid={self.pid}")


class WindowWatch:
    """Keeps the history of top-level windows mapped on the display.

    Polling can miss a window that shows for a few milliseconds; the X server
    reports every MapNotify to the watcher, so "no window appeared" can be
    checked for the whole time a program ran.
    """

    def __init__(self, env: dict):
        self._proc = subprocess.Popen(
            [sys.executable, os.path.abspath(__file__), "--watch-windows"],
            env={k: v for k, v in env.items() if not k.startswith("WINE")},
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            text=True, encoding="utf-8", bufsize=1)
        first = self._proc.stdout.readline()
        if first.strip() != "ready":
            raise RuntimeError(f"window watcher did not start: {first!r}")
        self._lock = threading.Condition()
        self._seq = 0
        self._maps: list = []
        self._synced = 0
        self._sync_counter = 0
        self._thread = threading.Thread(target=self._read, daemon=True)
        self._thread.start()

    def _read(self) -> None:
        for line in self._proc.stdout:
            fields = line.rstrip("\n").split(" ", 7)
            kind = fields[0]
            with self._lock:
                self._seq += 1
                if kind == "map":
                    wid = int(fields[1])
                    x, y, w, h = (int(v) for v in fields[2:6])
                    pid = int(fields[6]) if fields[6] != "-" else None
                    name = fields[7] if len(fields) > 7 and fields[7] != "-" else None
                    if name is not None:
                        name = name.encode("ascii").decode("unicode_escape")
                    self._maps.append(MapEvent(self._seq, wid, x, y, w, h, pid, name))
                elif kind == "sync":
                    self._synced = int(fields[1])
                self._lock.notify_all()

    def mark(self) -> int:
        """A point in the event history; later events have a greater number."""
        self.sync()
        with self._lock:
            return self._seq

    def sync(self, timeout: float = 5.0) -> None:
        """Waits until every event the server sent before now has been read."""
        with self._lock:
            self._sync_counter += 1
            token = self._sync_counter
        self._proc.stdin.write(f"sync {token}\n")
        self._proc.stdin.flush()
        deadline = time.monotonic() + timeout
        with self._lock:
            while self._synced < token:
                left = deadline - time.monotonic()
                if left <= 0:
                    raise TimeoutError("window watcher did not answer")
                self._lock.wait(left)

    def mapped_since(self, mark: int, include_trivial: bool = False) -> list:
        """Windows mapped after `mark` (the 1x1 helper windows left out)."""
        self.sync()
        with self._lock:
            return [m for m in self._maps
                    if m.seq > mark and (include_trivial or not m.trivial)]

    def close(self) -> None:
        if self._proc.poll() is None:
            try:
                self._proc.stdin.close()
            except OSError:
                pass
            try:
                self._proc.wait(2)
            except subprocess.TimeoutExpired:
                self._proc.kill()
                self._proc.wait()
        self._thread.join(2)


def _watch_main() -> int:
    """The watcher process: prints structure events of the root window.

    Lines: "ready", "create WID X Y W H", "configure WID X Y W H",
    "map WID X Y W H PID NAME", "unmap WID", "destroy WID", "sync TOKEN".
    """
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    c_ulong, c_long, c_int = ctypes.c_ulong, ctypes.c_long, ctypes.c_int
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XSelectInput.argtypes = [ctypes.c_void_p, c_ulong, c_long]
    x11.XSync.argtypes = [ctypes.c_void_p, c_int]
    x11.XPending.argtypes = [ctypes.c_void_p]
    x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
    x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
    x11.XInternAtom.restype = c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, c_int]
    x11.XGetWindowProperty.argtypes = [
        ctypes.c_void_p, c_ulong, c_ulong, c_long, c_long, c_int, c_ulong,
        ctypes.POINTER(c_ulong), ctypes.POINTER(c_int), ctypes.POINTER(c_ulong),
        ctypes.POINTER(c_ulong), ctypes.POINTER(ctypes.c_void_p)]
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, c_ulong, ctypes.c_void_p]

    # A window can be gone by the time we ask for its properties: ignore errors.
    handler_type = ctypes.CFUNCTYPE(c_int, ctypes.c_void_p, ctypes.c_void_p)
    ignore_errors = handler_type(lambda display, error: 0)
    x11.XSetErrorHandler(ignore_errors)

    display = x11.XOpenDisplay(None)
    if not display:
        print("no display", flush=True)
        return 1
    root = x11.XDefaultRootWindow(display)
    net_wm_pid = x11.XInternAtom(display, b"_NET_WM_PID", 0)
    net_wm_name = x11.XInternAtom(display, b"_NET_WM_NAME", 0)
    utf8_string = x11.XInternAtom(display, b"UTF8_STRING", 0)
    substructure_notify_mask = 1 << 19
    x11.XSelectInput(display, root, substructure_notify_mask)
    x11.XSync(display, 0)
    out = sys.stdout
    out.write("ready\n")
    out.flush()

    def get_property(wid, atom, req_type):
        actual_type, actual_format = c_ulong(), c_int()
        nitems, after = c_ulong(), c_ulong()
        data = ctypes.c_void_p()
        status = x11.XGetWindowProperty(display, wid, atom, 0, 1024, 0, req_type,
                                        ctypes.byref(actual_type), ctypes.byref(actual_format),
                                        ctypes.byref(nitems), ctypes.byref(after),
                                        ctypes.byref(data))
        if status != 0 or not data.value:
            return None, 0
        try:
            if actual_format.value == 32:
                # Xlib hands 32-bit items back as C longs.
                return list((c_long * nitems.value).from_address(data.value)), 32
            if actual_format.value == 8:
                return ctypes.string_at(data.value, nitems.value), 8
            return None, actual_format.value
        finally:
            x11.XFree(data)

    # Offsets in XEvent on LP64: type@0, serial@8, send_event@16, display@24,
    # then the fields of each kind of event from 32 on.
    event = ctypes.create_string_buffer(192)
    geometry = {}

    def field_ulong(off):
        return c_ulong.from_buffer(event, off).value

    def field_int(off):
        return c_int.from_buffer(event, off).value

    def handle():
        kind = field_int(0)
        if kind == 16:  # CreateNotify: parent@32 window@40 x@48 y@52 w@56 h@60
            wid = field_ulong(40)
            geo = (field_int(48), field_int(52), field_int(56), field_int(60))
            geometry[wid] = geo
            out.write("create %d %d %d %d %d\n" % ((wid,) + geo))
        elif kind == 22:  # ConfigureNotify: event@32 window@40 x@48 y@52 w@56 h@60
            wid = field_ulong(40)
            geo = (field_int(48), field_int(52), field_int(56), field_int(60))
            geometry[wid] = geo
            out.write("configure %d %d %d %d %d\n" % ((wid,) + geo))
        elif kind == 19:  # MapNotify: event@32 window@40
            wid = field_ulong(40)
            geo = geometry.get(wid, (0, 0, 0, 0))
            pid, _ = get_property(wid, net_wm_pid, 0)
            name, _ = get_property(wid, net_wm_name, utf8_string)
            pid_text = str(pid[0]) if pid else "-"
            # XWindowAttributes on LP64: ..., visual@24, root@32, class@40.
            # An InputOnly window (class 2; Wine maps one to confine the
            # pointer) shows nothing: report it as having no size.
            attributes = ctypes.create_string_buffer(256)
            if x11.XGetWindowAttributes(display, wid, attributes) and \
                    c_int.from_buffer(attributes, 40).value == 2:
                geo = (geo[0], geo[1], 0, 0)
            if name is None:
                name_text = "-"
            else:
                name_text = name.decode("utf-8", "replace").encode("unicode_escape").decode("ascii")
            out.write("map %d %d %d %d %d %s %s\n" % ((wid,) + geo + (pid_text, name_text)))
        elif kind == 18:  # UnmapNotify
            out.write("unmap %d\n" % field_ulong(40))
        elif kind == 17:  # DestroyNotify
            wid = field_ulong(40)
            geometry.pop(wid, None)
            out.write("destroy %d\n" % wid)

    def drain():
        while x11.XPending(display):
            x11.XNextEvent(display, event)
            handle()
        out.flush()

    xfd = x11.XConnectionNumber(display)
    stdin = sys.stdin
    while True:
        drain()
        ready, _, _ = select.select([xfd, stdin], [], [])
        if stdin in ready:
            line = stdin.readline()
            if not line:
                return 0
            if line.startswith("sync "):
                x11.XSync(display, 0)
                drain()
                out.write(line)
                out.flush()


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
    """Xvfb + a 32-bit Wine prefix + a persistent wineserver."""

    def __init__(self, prefix: Optional[os.PathLike] = None, screen: str = DEFAULT_SCREEN,
                 park: tuple = None):
        self._tmp = Path(tempfile.mkdtemp(prefix="gridbloom-wine-"))
        self._own_prefix = prefix is None
        self.prefix = Path(prefix) if prefix else self._tmp / "prefix"
        self.screen = screen
        width, height = (int(v) for v in screen.split("x")[:2])
        self.screen_size = (width, height)
        self.park_position = park if park is not None else (width // 2, height // 2)
        self.workdir = self._tmp / "work"
        self.workdir.mkdir()
        self.logdir = self._tmp / "logs"
        self.logdir.mkdir()
        self.display = None
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
        self.watch = WindowWatch(self.env)
        self._start_prefix()

    def _start_display(self) -> None:
        read_fd, write_fd = os.pipe()
        try:
            self._xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", self.screen,
                 "-nolisten", "tcp", "-noreset"],
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

    def _make_env(self) -> dict:
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("WINE", "LC_")) and k not in ("DISPLAY", "XAUTHORITY")}
        env.update({
            "DISPLAY": self.display,
            "WINEPREFIX": str(self.prefix),
            "WINEARCH": "win32",
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
        self.reg_add(r"HKCU\Software\Wine\X11 Driver", "Managed", "REG_SZ", "N")
        self.reg_add(r"HKCU\Software\Wine\WineDbg", "ShowCrashDialog", "REG_DWORD", "0")

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
                      park: bool = True) -> Program:
        """Starts `exe` with `args` (none at all gives an empty command line).

        `exe` is a Linux path or a Windows path such as r"r:\\gridbloom.scr".
        The pointer is parked at `park_position` first, as the program records
        its position when it starts.
        """
        if park:
            self.mousemove(*self.park_position)
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

    def _xenv_run(self, cmd, timeout=10, check=True) -> subprocess.CompletedProcess:
        return _run(cmd, self.env, timeout=timeout, check=check)

    def windows(self, include_trivial: bool = False) -> list:
        """Mapped top-level windows, topmost last, with name, geometry and pid."""
        tree = self._xenv_run(["xwininfo", "-root", "-children"])
        result = []
        for window in parse_children(tree.stdout.decode("utf-8", "replace")):
            if window.trivial and not include_trivial:
                continue
            info = self._xenv_run(["xwininfo", "-id", hex(window.wid)], check=False)
            if info.returncode != 0:
                continue  # gone meanwhile
            state = re.search(rb"Map State:\s*(\w+)", info.stdout)
            window.viewable = bool(state) and state.group(1) == b"IsViewable"
            if not window.viewable:
                continue
            prop = self._xenv_run(["xprop", "-id", hex(window.wid), "_NET_WM_PID"], check=False)
            pid = re.search(rb"= (\d+)", prop.stdout)
            window.pid = int(pid.group(1)) if pid else None
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

    def xdotool(self, *args: str) -> str:
        return self._xenv_run(["xdotool", *args]).stdout.decode()

    def mousemove(self, x: int, y: int) -> None:
        self.xdotool("mousemove", str(x), str(y))

    def mousemove_relative(self, dx: int, dy: int) -> None:
        self.xdotool("mousemove_relative", "--", str(dx), str(dy))

    def pointer(self) -> tuple:
        out = self.xdotool("getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return (int(values["X"]), int(values["Y"]))

    def click(self, button: int = 1) -> None:
        self.xdotool("click", str(button))

    def key(self, *keys: str) -> None:
        """Presses and releases each key (xdotool names: "a", "space", "alt+F4")."""
        self.xdotool("key", *keys)

    # ----- screenshots ----------------------------------------------------------

    def screenshot(self):
        """The whole screen as a numpy array of shape (height, width, 3), RGB."""
        import numpy
        from PIL import Image
        png = self._xenv_run(["import", "-window", "root", "png:-"], timeout=30).stdout
        with Image.open(io.BytesIO(png)) as image:
            return numpy.asarray(image.convert("RGB"))


if __name__ == "__main__":
    if sys.argv[1:] == ["--watch-windows"]:
        sys.exit(_watch_main())
    sys.exit("usage: winehost.py --watch-windows")
