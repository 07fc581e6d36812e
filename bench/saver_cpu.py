#!/usr/bin/python3
"""What gridbloom.scr /S costs in CPU time, next to two floor programs.

Runs on a virtual X display of its own (Xvfb 1280x1024x24 at 96 DPI, or
2560x1600 at 144 DPI with --dpi 144) with a Wine prefix of its own, and
alternates, round by round:
  - the saver (build/windows/gridbloom.scr /S) from its start: a fresh
    board, most of it changing;
  - the floor (build/windows/floor.exe: the same kind of window showing a
    ready-made black frame as large as the board surface's inside every
    100 ms, and nothing else: what the saver cost before it showed only what
    changed, less its own work);
  - the idle floor (floor.exe /idle: the same window, woken ten times a
    second, showing nothing: the cost of being awake at all);
  - the saver again, measured after it has run for --settle seconds (150
    unless told): the board has mostly settled into still lifes and
    oscillators.

For every run, after a start-up time that is left out, it measures over the
same stretch of time:
  - the CPU time of the program's process, of the prefix's wineserver and
    of Xvfb, from /proc/PID/task/*/schedstat (time on a CPU, every thread
    summed); the program and the wineserver are found through the
    WINEPREFIX in /proc/PID/environ;
  - the frames that reach the screen, counted from outside with the X
    DAMAGE extension: a connection of our own asks the X server to report
    every change to the screen, and changes that follow each other within a
    few milliseconds make one frame.
CPU times are printed as % of one core, and the pixels a frame changed on
the screen. Then the medians per program and, round by round, the saver's
figures over the floors'. (Under Wine the X server receives the bounding
box of a tick's drawing; on Windows each rectangle reaches the screen alone.)

Both programs have to be built first:
    cmake --preset windows -DGRIDBLOOM_FLOOR=ON
    cmake --build --preset windows
(or pass --build, which does that).

Needs Xvfb, xdotool, Wine (32-bit) and python3-xlib. Run it with the
machine otherwise idle: whatever else runs competes for the same cores.
"""

from __future__ import annotations

import argparse
import fcntl
import os
import statistics
import subprocess
import sys
import time
from dataclasses import dataclass, field
from pathlib import Path
from typing import Optional

from Xlib.ext import damage

REPO = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(REPO / "tests" / "e2e"))
from configs import CONFIGS, DEFAULT, Config  # noqa: E402  (the end-to-end tests' harness)
from winehost import EventThread, Program, WineHost  # noqa: E402
BUILD = REPO / "build" / "windows"
SAVER = BUILD / "gridbloom.scr"
FLOOR = BUILD / "floor.exe"
DEFAULT_PREFIX = REPO / "build" / "wine-bench"

# The configurations measured: 96 DPI on 1280 x 1024, 144 DPI on a screen
# that shows all of the surface (1587 pixels with its border).
BENCH_CONFIGS = {96: DEFAULT, 144: CONFIGS["dpi144"]}
# The pointer rests over the board for the whole run: parked there before the
# program starts, so that a key press later reaches the board and ends it.
PARK = (500, 500)
# Screen changes closer together than this belong to one frame; frames come
# every 100 ms.
FRAME_GAP = 0.030


# --------------------------------------------------------------------------
# /proc
# --------------------------------------------------------------------------

def cpu_ns(pid: int) -> int:
    """Nanoseconds on a CPU of every current thread of `pid` (0 when it is gone)."""
    total = 0
    try:
        tasks = os.listdir(f"/proc/{pid}/task")
    except OSError:
        return 0
    for tid in tasks:
        try:
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass  # the thread ended meanwhile
    return total


def machine_busy_ticks() -> int:
    """Clock ticks the whole machine spent on anything but idling and waiting."""
    with open("/proc/stat") as f:
        fields = [int(v) for v in f.readline().split()[1:]]
    idle = fields[3] + (fields[4] if len(fields) > 4 else 0)
    # guest time is already part of user time
    return sum(fields[:8]) - idle


def proc_status(pid: int) -> dict:
    """The "Key: value" lines of /proc/PID/status."""
    result = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, value = line.partition(":")
            result[key] = value.strip()
    return result


def status_kb(status: dict, key: str) -> int:
    value = status.get(key, "0 kB").split()
    return int(value[0]) if value else 0


# --------------------------------------------------------------------------
# Counting frames with X DAMAGE
# --------------------------------------------------------------------------

@dataclass
class Frame:
    start: float
    end: float
    x0: int
    y0: int
    x1: int
    y1: int

    @property
    def size(self) -> tuple:
        return (self.x1 - self.x0, self.y1 - self.y0)


class FrameCounter(EventThread):
    """Keeps every frame the screen showed, from the X DAMAGE reports of the
    whole screen: changes that touch `area` and follow each other within
    FRAME_GAP make one frame."""

    def __init__(self, display_name: str, area: tuple):
        self._area = area
        self._frames: list = []
        super().__init__(display_name)

    def listen(self, display) -> None:
        if not display.has_extension("DAMAGE"):
            raise RuntimeError("the display has no DAMAGE extension")
        display.damage_query_version()
        # Raw rectangles: one report per drawing operation, nothing accumulated.
        display.screen().root.damage_create(damage.DamageReportRawRectangles)
        self._notify = display.extension_event.DamageNotify

    def _touches_area(self, x, y, w, h) -> bool:
        ax, ay, aw, ah = self._area
        return x < ax + aw and ax < x + w and y < ay + ah and ay < y + h

    def handle(self, event) -> None:
        if event.type != self._notify:
            return
        t = time.monotonic()
        x, y, w, h = event.area.x, event.area.y, event.area.width, event.area.height
        if not self._touches_area(x, y, w, h):
            return
        with self.lock:
            last = self._frames[-1] if self._frames else None
            if last is not None and t - last.end <= FRAME_GAP:
                last.end = t
                last.x0, last.y0 = min(last.x0, x), min(last.y0, y)
                last.x1, last.y1 = max(last.x1, x + w), max(last.y1, y + h)
            else:
                self._frames.append(Frame(t, t, x, y, x + w, y + h))

    def frames_between(self, t0: float, t1: float) -> list:
        """Frames that began in [t0, t1)."""
        with self.lock:
            return [f for f in self._frames if t0 <= f.start < t1]


# --------------------------------------------------------------------------
# Display and prefix
# --------------------------------------------------------------------------

class WineBench(WineHost):
    """The end-to-end tests' Wine host (Xvfb on a free display, a 32-bit
    prefix and its persistent wineserver), with the prefix kept between runs,
    since preparing one takes a while, and a lock next to it that keeps two
    benchmarks from using it, and the machine, at once."""

    def __init__(self, prefix: Path = DEFAULT_PREFIX, config: Config = DEFAULT):
        super().__init__(prefix=Path(prefix).resolve(), config=config, park=PARK)
        self._lock_file = None

    def setup(self) -> None:
        self.prefix.parent.mkdir(parents=True, exist_ok=True)
        self._lock_file = open(str(self.prefix) + ".lock", "w")
        try:
            fcntl.flock(self._lock_file, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except BlockingIOError:
            raise SystemExit(f"another benchmark uses {self.prefix.name} now: run one at a time")
        if not (self.prefix / "system.reg").exists():
            print(f"Preparing the Wine prefix {self.prefix.name} (once)...", flush=True)
        super().setup()

    def close(self) -> None:
        super().close()
        if self._lock_file is not None:
            self._lock_file.close()
            self._lock_file = None

    @property
    def xvfb_pid(self) -> int:
        return self._xvfb.pid

    def wineserver_pid(self) -> int:
        """The prefix's wineserver: among the prefix's processes, the one
        running the wineserver binary."""
        found = []
        for pid in self.prefix_processes():
            try:
                exe = os.readlink(f"/proc/{pid}/exe")
            except OSError:
                continue
            if os.path.basename(exe).startswith("wineserver"):
                found.append(pid)
        if len(found) != 1:
            raise RuntimeError(f"expected one wineserver in the prefix, found {found}")
        return found[0]

    def program_pid(self, program: Program, timeout: float = 10) -> int:
        """The program's process: it keeps the id `wine` started with, and
        carries our WINEPREFIX once the Wine loader runs in it."""
        name = Path(program.argv[1]).name
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if not program.alive():
                raise RuntimeError(f"{name} ended at once ({program.returncode})")
            if program.pid in self.prefix_processes():
                try:
                    cmdline = Path(f"/proc/{program.pid}/cmdline").read_bytes()
                except OSError:
                    cmdline = b""
                if name.encode() in cmdline:
                    return program.pid
            time.sleep(0.05)
        raise RuntimeError(f"{name} did not show up as a Wine process")

    def wait_for_full_screen(self, pid: int, timeout: float = 15) -> bool:
        """Waits until a window of process `pid` covers the screen."""
        width, height = self.screen_size
        window = self.wait_for_window(
            pid=pid, timeout=timeout, predicate=lambda w: w.width >= width and w.height >= height)
        return window is not None

    def end_with_key(self, program: Program, timeout: float = 5) -> Optional[float]:
        """Presses a key with the pointer over the board; seconds until the
        program ended, or None when it still runs (it is then killed)."""
        self.mousemove(*PARK)  # where it already is
        pressed = time.monotonic()
        self.key("space")
        code = program.wait_exit(timeout)
        if code is None:
            program.kill()
            return None
        return time.monotonic() - pressed


# --------------------------------------------------------------------------
# One run
# --------------------------------------------------------------------------

@dataclass
class RunResult:
    round: int
    label: str
    seconds: float = 0.0
    program_ns: int = 0
    wineserver_ns: int = 0
    xvfb_ns: int = 0
    rest_ns: int = 0
    machine_pct: float = 0.0
    frames: int = 0
    frame_sizes: list = field(default_factory=list)
    exit_after: Optional[float] = None

    def pct(self, ns: int) -> float:
        return 100.0 * ns / (self.seconds * 1e9) if self.seconds else 0.0

    @property
    def program(self) -> float:
        return self.pct(self.program_ns)

    @property
    def wineserver(self) -> float:
        return self.pct(self.wineserver_ns)

    @property
    def xvfb(self) -> float:
        return self.pct(self.xvfb_ns)

    @property
    def total(self) -> float:
        return self.pct(self.program_ns + self.wineserver_ns + self.xvfb_ns)

    @property
    def rest(self) -> float:
        return self.pct(self.rest_ns)

    @property
    def fps(self) -> float:
        return self.frames / self.seconds if self.seconds else 0.0

    @property
    def pixels_per_frame(self) -> float:
        return statistics.mean(w * h for w, h in self.frame_sizes) if self.frame_sizes else 0.0

    @property
    def typical_frame(self) -> str:
        if not self.frame_sizes:
            return "-"
        w, h = statistics.mode(self.frame_sizes)
        return f"{w}x{h}"


def measure(bench: WineBench, counter: FrameCounter, exe: Path, args: tuple, label: str,
            round_no: int, seconds: float, skip: float) -> RunResult:
    result = RunResult(round_no, label)
    before = set(bench.prefix_processes())
    program = bench.start(exe, *args)
    started = time.monotonic()
    try:
        pid = bench.program_pid(program)
        if not bench.wait_for_full_screen(pid):
            raise RuntimeError(f"{label}: no window covering the screen appeared")
        server = bench.wineserver_pid()
        xvfb = bench.xvfb_pid
        time.sleep(max(0.0, started + skip - time.monotonic()))

        def others() -> list:
            return [p for p in bench.prefix_processes() if p not in (pid, server)]

        rest_pids = others()
        t0 = time.monotonic()
        p0, s0, x0 = cpu_ns(pid), cpu_ns(server), cpu_ns(xvfb)
        r0 = {p: cpu_ns(p) for p in rest_pids}
        m0 = machine_busy_ticks()
        time.sleep(max(0.0, started + seconds - time.monotonic()))
        t1 = time.monotonic()
        p1, s1, x1 = cpu_ns(pid), cpu_ns(server), cpu_ns(xvfb)
        r1 = {p: cpu_ns(p) for p in rest_pids}
        m1 = machine_busy_ticks()
        if not program.alive():
            raise RuntimeError(f"{label} ended by itself during the run")
        result.seconds = t1 - t0
        result.program_ns = p1 - p0
        result.wineserver_ns = s1 - s0
        result.xvfb_ns = x1 - x0
        result.rest_ns = sum(max(0, r1[p] - r0[p]) for p in rest_pids)
        result.machine_pct = 100.0 * (m1 - m0) / os.sysconf("SC_CLK_TCK") / result.seconds
        frames = counter.frames_between(t0, t1)
        result.frames = len(frames)
        result.frame_sizes = [f.size for f in frames]
        result.exit_after = bench.end_with_key(program)
    finally:
        program.kill()
    # Let anything the program started go before the next run.
    deadline = time.monotonic() + 5
    while set(bench.prefix_processes()) - before and time.monotonic() < deadline:
        time.sleep(0.1)
    return result


# --------------------------------------------------------------------------
# Reporting
# --------------------------------------------------------------------------

LABELS = ("fresh", "floor", "idle", "settled")


def print_runs(results: list) -> None:
    print()
    print("Per run (CPU in % of one core over the measured stretch):")
    header = (f"{'round':>5} {'program':<8} {'secs':>6} {'program%':>9} {'winesrv%':>9} {'Xvfb%':>7}"
              f" {'total%':>7} {'prefix-rest%':>12} {'machine%':>9} {'frames':>7} {'fps':>6}"
              f" {'px/frame':>9} {'frame WxH':>10} {'exit s':>7}")
    print(header)
    print("-" * len(header))
    for r in results:
        exit_text = f"{r.exit_after:.2f}" if r.exit_after is not None else "no"
        print(f"{r.round:>5} {r.label:<8} {r.seconds:>6.1f} {r.program:>9.2f} {r.wineserver:>9.2f}"
              f" {r.xvfb:>7.2f} {r.total:>7.2f} {r.rest:>12.2f} {r.machine_pct:>9.1f}"
              f" {r.frames:>7} {r.fps:>6.2f} {r.pixels_per_frame:>9.0f} {r.typical_frame:>10} {exit_text:>7}")
    print()
    print("fresh, settled = the saver from its start, and after it ran a while; floor = a ready-made frame"
          " every 100 ms; idle = woken every 100 ms, showing nothing.")
    print("total = program + wineserver + Xvfb; prefix-rest = the prefix's other Wine processes"
          " (not in total);")
    print("machine = the whole machine's busy time, whatever ran; px/frame = the mean area a frame changed;")
    print("frame WxH = the most common changed area of a frame.")


def print_summary(results: list) -> None:
    print()
    print("Medians:")
    print(f"{'program':<8} {'runs':>4} {'total%':>8} {'program%':>9} {'winesrv%':>9} {'Xvfb%':>7} {'fps':>6}"
          f" {'px/frame':>9}")
    for label in LABELS:
        runs = [r for r in results if r.label == label]
        if not runs:
            continue
        print(f"{label:<8} {len(runs):>4} {statistics.median(r.total for r in runs):>8.2f}"
              f" {statistics.median(r.program for r in runs):>9.2f}"
              f" {statistics.median(r.wineserver for r in runs):>9.2f}"
              f" {statistics.median(r.xvfb for r in runs):>7.2f}"
              f" {statistics.median(r.fps for r in runs):>6.2f}"
              f" {statistics.median(r.pixels_per_frame for r in runs):>9.0f}")

    def ratio(a: float, b: float) -> float:
        return a / b if b else float("nan")

    def run(label, n):
        return next((r for r in results if r.label == label and r.round == n), None)

    rounds = sorted({r.round for r in results})
    for phase in ("fresh", "settled"):
        rows = []
        for n in rounds:
            s, f, i = run(phase, n), run("floor", n), run("idle", n)
            if s and f and i:
                rows.append((n, ratio(s.total, f.total), ratio(s.program, f.program),
                             ratio(s.total, i.total), ratio(s.program, i.program)))
        if not rows:
            continue
        print()
        print(f"Saver ({phase}) over the floors, round by round:")
        print(f"{'round':>5} {'total/floor':>12} {'own/floor':>10} {'total/idle':>11} {'own/idle':>9}")
        for n, *values in rows:
            print(f"{n:>5} {values[0]:>12.2f} {values[1]:>10.2f} {values[2]:>11.2f} {values[3]:>9.2f}")
        medians = [statistics.median(row[k] for row in rows) for k in range(1, 5)]
        print(f"{'median':>5} {medians[0]:>12.2f} {medians[1]:>10.2f} {medians[2]:>11.2f} {medians[3]:>9.2f}")


# --------------------------------------------------------------------------

def build_both() -> None:
    subprocess.run(["cmake", "--preset", "windows", "-DGRIDBLOOM_FLOOR=ON"], cwd=REPO, check=True)
    subprocess.run(["cmake", "--build", "--preset", "windows"], cwd=REPO, check=True)


def main(argv: Optional[list] = None) -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rounds", type=int, default=3, help="rounds of the four runs (default 3)")
    parser.add_argument("--seconds", type=float, default=25.0,
                        help="length of each measured stretch, its start-up included (default 25)")
    parser.add_argument("--skip", type=float, default=3.0,
                        help="start-up seconds left out of the measurement (default 3)")
    parser.add_argument("--settle", type=float, default=150.0,
                        help="seconds the saver runs before its settled stretch (default 150)")
    parser.add_argument("--dpi", type=int, choices=sorted(BENCH_CONFIGS), default=96,
                        help="the DPI to measure at (default 96)")
    parser.add_argument("--prefix", type=Path, default=DEFAULT_PREFIX,
                        help="Wine prefix to use, kept between runs (default build/wine-bench)")
    parser.add_argument("--build", action="store_true",
                        help="build gridbloom.scr and floor.exe first")
    args = parser.parse_args(argv)
    if args.seconds <= args.skip + 1:
        parser.error("--seconds must be more than --skip + 1")

    if args.build:
        build_both()
    for exe in (SAVER, FLOOR):
        if not exe.is_file():
            print(f"{exe.relative_to(REPO)} is missing; build it with\n"
                  "    cmake --preset windows -DGRIDBLOOM_FLOOR=ON\n"
                  "    cmake --build --preset windows\n(or pass --build)", file=sys.stderr)
            return 2

    config = BENCH_CONFIGS[args.dpi]
    inside = config.inside
    runs = (
        ("fresh", SAVER, ("/S",), 0.0),
        ("floor", FLOOR, (str(inside),), 0.0),
        ("idle", FLOOR, (str(inside), "/idle"), 0.0),
        ("settled", SAVER, ("/S",), args.settle),
    )
    print(f"{args.rounds} round(s) at {args.dpi} DPI of the fresh saver, the floor ({inside} x {inside}"
          f" pixels), the idle floor and the settled saver (after {args.settle:g} s), {args.seconds:g} s"
          f" each, measured after the first {args.skip:g} s; {os.cpu_count()} CPU(s)")
    results = []
    with WineBench(args.prefix, config) as bench:
        counter = FrameCounter(bench.display, (*config.origin, inside, inside))
        try:
            for n in range(1, args.rounds + 1):
                for label, exe, program_args, settle in runs:
                    r = measure(bench, counter, exe, program_args, label, n, settle + args.seconds,
                                settle + args.skip)
                    results.append(r)
                    print(f"  round {n} {label}: total {r.total:.2f}%  program {r.program:.2f}%"
                          f"  fps {r.fps:.2f}  px/frame {r.pixels_per_frame:.0f}", flush=True)
                    time.sleep(1.0)
        finally:
            counter.close()
    print_runs(results)
    print_summary(results)
    return 0


if __name__ == "__main__":
    sys.exit(main())
