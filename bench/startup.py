"""Time from process start to the first window mapped, for several programs.

Watches the root window of a private Xvfb for MapNotify (SubstructureNotify)
and times each program from just before it is started to the moment the map
of its top-level window is read from the server; then ends it. One program
runs at a time, so the first top-level window created and mapped after the
start is the program's own (no window manager, nothing else on the server;
the floor may quit at once, so its window is not asked for its owner). The programs take turns, one run each per round, and the order turns
by one place each round, so a slow spell of the machine falls on all of them.
The first program is the floor the others are compared with.

Besides that wall-clock time, each run notes the processor time the program
itself had used when its map was seen (all its threads, from the kernel's
scheduler statistics; the program is stopped first, so its first paint does not
count). On a machine shared with other work the wall-clock time mostly
measures the wait for a processor; this one does not.

    python3 bench/startup.py [--runs N] [--warmup N] [--csv FILE] FLOOR PROGRAM...

Each program is a command line in one argument, e.g. "minimal_window --text".
"""

import argparse
import csv
import glob
import os
import shlex
import select
import signal
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X
from Xlib import display as xdisplay

sys.dont_write_bytecode = True  # nothing written into the source tree
# The end-to-end tests' private X server serves the measurements too.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests", "e2e"))
from x11_session import Xvfb, program_environment  # noqa: E402

TIMEOUT_S = 20.0


def drain(connection):
    while connection.pending_events():
        connection.next_event()


def processor_seconds(pid):
    """Processor time used so far by all threads of process `pid`."""
    total = 0
    for path in glob.glob(f"/proc/{pid}/task/*/schedstat"):
        try:
            with open(path) as stats:
                total += int(stats.read().split()[0])  # nanoseconds on a processor
        except (OSError, ValueError, IndexError):
            pass  # a thread that ended meanwhile
    return total / 1e9


def time_to_map(connection, command, env):
    """(seconds from the start of `command` to the map of its window,
    processor seconds the program had used by then)."""
    program = command[0]
    drain(connection)
    start = time.monotonic_ns()
    process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = None
    used = None
    created = set()  # top-level windows created since the start
    deadline = time.monotonic() + TIMEOUT_S
    try:
        while mapped is None:
            while mapped is None and connection.pending_events():
                event = connection.next_event()
                if event.type == X.CreateNotify and not event.override:
                    created.add(event.window.id)
                elif event.type == X.MapNotify and event.window.id in created:
                    mapped = time.monotonic_ns()
                    if process.poll() is None:
                        process.send_signal(signal.SIGSTOP)
                        used = processor_seconds(process.pid)
            if mapped is not None:
                break
            if process.poll() is not None:
                raise RuntimeError(f"{program} ended (status {process.returncode}) before its window was mapped")
            if time.monotonic() > deadline:
                raise RuntimeError(f"{program}: no window mapped within {TIMEOUT_S:g} s")
            select.select([connection.fileno()], [], [], 0.05)
    finally:
        if process.poll() is None:
            process.terminate()
            process.send_signal(signal.SIGCONT)  # a stopped program ends only once continued
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        connection.sync()
        drain(connection)
    return (mapped - start) / 1e9, used


def summary(values):
    quartiles = statistics.quantiles(values, n=4, method="inclusive")
    return {
        "median": statistics.median(values),
        "mean": statistics.fmean(values),
        "stdev": statistics.stdev(values) if len(values) > 1 else 0.0,
        "min": min(values),
        "p25": quartiles[0],
        "p75": quartiles[2],
        "max": max(values),
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=30, help="timed runs of each program (30)")
    parser.add_argument("--warmup", type=int, default=2, help="untimed runs of each first (2)")
    parser.add_argument("--pause", type=float, default=0.2, help="seconds between runs (0.2)")
    parser.add_argument("--csv", help="also write every run to this file")
    parser.add_argument("floor", help='the floor, e.g. "build/default/bench/minimal_window"')
    parser.add_argument("programs", nargs="+", help='the others, e.g. "build/default/src/qt/dulmeri"')
    args = parser.parse_args()
    commands = [shlex.split(line) for line in [args.floor] + args.programs]
    for command in commands:
        command[0] = os.path.abspath(command[0])
    names = [shlex.join([os.path.basename(command[0])] + command[1:]) for command in commands]

    times = {name: [] for name in names}
    processor = {name: [] for name in names}
    rows = []
    with tempfile.TemporaryDirectory(prefix="dulmeri-bench-") as workdir, Xvfb() as server:
        # No session bus: libdbus would otherwise start one on the first
        # program's behalf and the two programs would not start alike.
        env = program_environment(server.display, workdir)
        env["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={workdir}/no-session-bus"
        connection = xdisplay.Display(server.display)
        connection.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        connection.sync()
        for _ in range(args.warmup):
            for command in commands:
                time_to_map(connection, command, env)
                time.sleep(args.pause)
        for run in range(args.runs):
            turn = run % len(commands)
            for index in list(range(turn, len(commands))) + list(range(turn)):
                seconds, used = time_to_map(connection, commands[index], env)
                times[names[index]].append(seconds)
                if used is not None:
                    processor[names[index]].append(used)
                rows.append((run, names[index], f"{seconds:.6f}", "" if used is None else f"{used:.6f}"))
                time.sleep(args.pause)
        connection.close()

    if args.csv:
        with open(args.csv, "w", newline="") as out:
            writer = csv.writer(out)
            writer.writerow(["run", "command", "seconds_to_map", "processor_seconds_to_map"])
            writer.writerows(rows)

    print(f"start to window mapped, {args.runs} runs each, taking turns, under Xvfb (ms)")
    print(f"{'median':>9}{'mean':>9}{'stdev':>9}{'min':>9}{'p25':>9}{'p75':>9}{'max':>9}"
          f"{'ratio':>8}{'pairs':>8}  command")
    floor = times[names[0]]
    for name in names:
        stats = summary(times[name])
        line = "".join(f"{stats[key] * 1000:9.1f}"
                       for key in ("median", "mean", "stdev", "min", "p25", "p75", "max"))
        ratio = stats["median"] / statistics.median(floor)
        pairs = statistics.median(t / f for f, t in zip(floor, times[name]))
        print(f"{line}{ratio:8.3f}{pairs:8.3f}  {name}")
    print("ratio: median / median of the floor (first line); "
          "pairs: median of the run-by-run ratios to the floor of the same round")
    print()
    print("processor time used by the program up to the map (ms)")
    print(f"{'median':>9}{'min':>9}{'p25':>9}{'p75':>9}{'max':>9}{'ratio':>8}  command")
    floor = processor[names[0]]
    for name in names:
        values = processor[name]
        if len(values) < 2 or len(floor) < 2:
            print(f"{'':>9}{'':>9}{'':>9}{'':>9}{'':>9}{'':>8}  {name} (too few runs seen alive at the map)")
            continue
        stats = summary(values)
        line = "".join(f"{stats[key] * 1000:9.1f}" for key in ("median", "min", "p25", "p75", "max"))
        print(f"{line}{stats['median'] / statistics.median(floor):8.3f}  {name}")


if __name__ == "__main__":
    main()
