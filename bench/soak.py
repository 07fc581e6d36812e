#!/usr/bin/python3
"""Runs gridbloom.scr /S for a long while and watches its memory.

On a virtual X display of its own (Xvfb 1280x1024x24) with the Wine prefix
of bench/saver_cpu.py, it starts the saver, and every 10 s reads the
program's /proc/PID/status: VmRSS (memory in use), VmSize (address space),
RssAnon (the heap's share of VmRSS) and the thread count, together with the
frames shown so far (counted from outside with X DAMAGE). At the end a key
press, with the pointer over the board, has to end the saver.

Leaks would show as growth: the figures between the first sample at 20 s
or later (once start-up is over) and the last are compared, and the exit
code is non-zero when VmRSS grew by more than --max-growth-mb (2 MB unless
told), when the saver stopped showing frames, or when it did not end on the
key press.

GDI objects: Wine 8 does not implement GetGuiResources (it returns 0 and
ERROR_CALL_NOT_IMPLEMENTED, even inside the process), and keeps GDI handles
in the process's own memory, so their count cannot be watched from outside
here. On Windows, Task Manager's "GDI objects" column shows it.
"""

from __future__ import annotations

import argparse
import os
import sys
import time
from pathlib import Path
from typing import Optional

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from saver_cpu import (DEFAULT_PREFIX, REPO, SAVER, FrameCounter, WineBench,  # noqa: E402
                       proc_status, status_kb)

SETTLE_SECONDS = 20.0  # start-up is over by then: growth counts from here


def sample(pid: int) -> dict:
    status = proc_status(pid)
    return {
        "rss": status_kb(status, "VmRSS"),
        "size": status_kb(status, "VmSize"),
        "anon": status_kb(status, "RssAnon"),
        "hwm": status_kb(status, "VmHWM"),
        "threads": int(status.get("Threads", "0")),
    }


def main(argv: Optional[list] = None) -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seconds", type=float, default=180.0,
                        help="how long the saver runs (default 180 = 1,800 frames)")
    parser.add_argument("--every", type=float, default=10.0, help="seconds between samples (default 10)")
    parser.add_argument("--max-growth-mb", type=float, default=2.0,
                        help="VmRSS growth that fails the run (default 2 MB)")
    parser.add_argument("--prefix", type=Path, default=DEFAULT_PREFIX,
                        help="Wine prefix to use, kept between runs (default build/wine-bench)")
    args = parser.parse_args(argv)
    if not SAVER.is_file():
        print(f"{SAVER.relative_to(REPO)} is missing: cmake --preset windows &&"
              " cmake --build --preset windows", file=sys.stderr)
        return 2

    failures = []
    samples = []
    with WineBench(args.prefix) as bench:
        counter = FrameCounter(bench.display, (*bench.config.origin, bench.config.inside, bench.config.inside))
        try:
            program = bench.start(SAVER, "/S")
            pid = bench.program_pid(program)
            if not bench.wait_for_full_screen(pid):
                print("The saver's window did not appear", file=sys.stderr)
                return 1
            started = time.monotonic()
            print(f"gridbloom.scr /S runs as process {pid}; a sample every {args.every:g} s"
                  f" for {args.seconds:g} s", flush=True)
            print(f"{'t/s':>6} {'VmRSS kB':>9} {'VmSize kB':>10} {'RssAnon kB':>10} {'VmHWM kB':>9}"
                  f" {'threads':>7} {'frames':>7}", flush=True)
            n = 0
            while True:
                due = started + n * args.every
                if due > started + args.seconds + 1e-6:
                    break
                time.sleep(max(0.0, due - time.monotonic()))
                if not program.alive():
                    failures.append(f"the saver ended by itself ({program.popen.returncode})")
                    break
                now = time.monotonic()
                s = sample(pid)
                s["t"] = now - started
                s["frames"] = len(counter.frames_between(started, now))
                samples.append(s)
                print(f"{s['t']:>6.1f} {s['rss']:>9} {s['size']:>10} {s['anon']:>10} {s['hwm']:>9}"
                      f" {s['threads']:>7} {s['frames']:>7}", flush=True)
                n += 1
            if program.alive():
                exit_after = bench.end_with_key(program)
                if exit_after is None:
                    failures.append("the saver did not end within 5 s of a key press")
                else:
                    code = program.popen.returncode
                    print(f"A key press ended the saver after {exit_after:.2f} s (exit code {code})")
        finally:
            counter.close()

    settled = [s for s in samples if s["t"] >= SETTLE_SECONDS - 0.5]
    if len(settled) >= 2:
        first, last = settled[0], settled[-1]
        span = last["t"] - first["t"]
        growth_mb = (last["rss"] - first["rss"]) / 1024
        print()
        print(f"From {first['t']:.0f} s to {last['t']:.0f} s ({span:.0f} s):")
        print(f"  VmRSS   {first['rss']} -> {last['rss']} kB  ({last['rss'] - first['rss']:+d} kB)")
        print(f"  VmSize  {first['size']} -> {last['size']} kB  ({last['size'] - first['size']:+d} kB)")
        print(f"  RssAnon {first['anon']} -> {last['anon']} kB  ({last['anon'] - first['anon']:+d} kB)")
        print(f"  threads {first['threads']} -> {last['threads']}")
        frames = last["frames"] - first["frames"]
        print(f"  frames  {frames} ({frames / span:.2f} per second)" if span else "")
        print("  GDI objects: not observable under Wine (GetGuiResources is not implemented there)")
        if growth_mb > args.max_growth_mb:
            failures.append(f"VmRSS grew by {growth_mb:.2f} MB (more than {args.max_growth_mb:g} MB)")
        if span and frames < 0.5 * span * 10:
            failures.append(f"only {frames} frames in {span:.0f} s")
    else:
        failures.append(f"too few samples after {SETTLE_SECONDS:g} s to compare")

    print()
    if failures:
        for failure in failures:
            print("FAIL: " + failure)
        return 1
    print(f"OK: VmRSS grew by no more than {args.max_growth_mb:g} MB and the saver ended on a key press")
    return 0


if __name__ == "__main__":
    sys.exit(main())
