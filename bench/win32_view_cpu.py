"""What the view "Наблюдение" costs dulmeri.exe under Wine: processor time
while running, with the view closed and open.

    python3 bench/win32_view_cpu.py [--pairs N] [--phase-s S] WINE_RUN PREFIX PROGRAM.exe

Starts a private 1366 x 768 Xvfb, ends whatever Wine processes the prefix
has (so that its server uses this display), starts the program, clicks
"Пусни" and lets it run. Then, N times (3), a phase of S seconds (20) with
the view closed and one with it open (F2 toggles it, 2 s of settling before
each phase): the processor time (user + system, /proc/PID/stat) taken in
each phase by the Windows process, by Wine's server and by the X server
that draws both windows, as a share of one core. The phases alternate so
that a change in the machine's load falls on both alike.

These are Wine's figures on Linux, not Windows': under Wine, GDI draws in
the program's own process and the X server shows the result.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests", "e2e"))
from x11_session import CAPTION_WORD, Xvfb, click, find_program_window  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def processes_named(name):
    """The pids whose program (the first argument's last part) is `name`."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                argv0 = f.read().split(b"\0")[0].decode("utf-8", "replace")
        except OSError:
            continue
        if argv0.replace("\\", "/").rsplit("/", 1)[-1].lower() == name.lower():
            found.append(int(pid))
    return found


def of_prefix(pids, prefix):
    """Those of pids that run in the Wine prefix (other prefixes' servers may run beside)."""
    kept = []
    for pid in pids:
        try:
            with open(f"/proc/{pid}/environ", "rb") as f:
                if f"WINEPREFIX={prefix}".encode() in f.read().split(b"\0"):
                    kept.append(pid)
        except OSError:
            continue
    return kept


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS  # utime, stime


def press(connection, keysym_name):
    from Xlib import X, XK
    from Xlib.ext import xtest
    keycode = connection.keysym_to_keycode(XK.string_to_keysym(keysym_name))
    xtest.fake_input(connection, X.KeyPress, keycode)
    connection.sync()
    time.sleep(0.05)
    xtest.fake_input(connection, X.KeyRelease, keycode)
    connection.sync()


def wait_for(condition, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if result := condition():
            return result
        time.sleep(0.01)
    raise RuntimeError("timed out")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pairs", type=int, default=3)
    parser.add_argument("--phase-s", type=float, default=20.0)
    parser.add_argument("wine_run")
    parser.add_argument("prefix")
    parser.add_argument("program")
    args = parser.parse_args()
    from Xlib import display as xdisplay

    wine = [os.path.abspath(args.wine_run), f"--prefix={os.path.abspath(args.prefix)}"]
    program = os.path.abspath(args.program)
    subprocess.run(wine + ["--stop"], check=True)
    with Xvfb(1366, 768) as server:
        env = dict(os.environ, DISPLAY=server.display, LC_ALL="C.UTF-8")
        connection = xdisplay.Display(server.display)
        process = subprocess.Popen(wine + [program], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        try:
            window = wait_for(lambda: find_program_window(connection, CAPTION_WORD))
            geometry = window.get_geometry()
            origin = window.translate_coords(connection.screen().root, 0, 0)
            border = (geometry.width - 476) // 2
            client_x = -origin.x + border
            client_y = -origin.y + geometry.height - border - 396
            time.sleep(1)
            click(connection, client_x + 208, client_y + 188)  # "Пусни"
            pids = {
                "dulmeri.exe": processes_named(os.path.basename(program)),
                "wineserver": of_prefix(processes_named("wineserver64") + processes_named("wineserver"),
                                        os.path.abspath(args.prefix)),
                "Xvfb": [server.process.pid],
            }
            shares = {(part, shown): [] for part in pids for shown in (False, True)}
            shown = False
            for _ in range(args.pairs * 2):
                time.sleep(2)
                before = {part: sum(cpu_seconds(pid) for pid in ids) for part, ids in pids.items()}
                begin = time.monotonic()
                time.sleep(args.phase_s)
                elapsed = time.monotonic() - begin
                for part, ids in pids.items():
                    used = sum(cpu_seconds(pid) for pid in ids) - before[part]
                    shares[(part, shown)].append(100 * used / elapsed)
                press(connection, "F2")
                shown = not shown
            load = os.getloadavg()[0]
        finally:
            process.terminate()
            process.wait(timeout=10)
            connection.close()
    subprocess.run(wine + ["--stop"], check=True)

    print(f"{args.pairs} pairs of {args.phase_s:g} s phases, running; load average {load:.1f}")
    print(f"{'process':<12} {'view closed':>22} {'view open':>22} {'more (mean)':>12}")
    totals = {False: 0.0, True: 0.0}
    for part in pids:
        closed, opened = shares[(part, False)], shares[(part, True)]
        totals[False] += statistics.fmean(closed)
        totals[True] += statistics.fmean(opened)
        print(f"{part:<12} {min(closed):7.2f}-{max(closed):5.2f} % of a core {min(opened):7.2f}-{max(opened):5.2f} "
              f"% of a core {statistics.fmean(opened) - statistics.fmean(closed):+9.2f} %")
    print(f"{'all three':<12} {totals[False]:20.2f} % {totals[True]:20.2f} % {totals[True] - totals[False]:+11.2f} %")
    return 0


if __name__ == "__main__":
    sys.exit(main())
