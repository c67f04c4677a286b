"""Start-up time and resident memory of dulmeri.exe under Wine.

    python3 bench/win32_startup.py [--runs N] [--run-s S] WINE_RUN PREFIX PROGRAM.exe

Starts a private Xvfb, ends whatever Wine processes the prefix has (so that
its server and desktop process use this display), and starts Wine's server
once, untimed: the figures are for a warm start, as every start after the
first on a computer is. Each run is timed from just before the program is
started to the moment its window is viewable on the X server (polled every
2 ms); then the program's resident memory (VmRSS of the Windows process) is
read and it is ended. After the timed runs, one run clicks "Пусни" and reads
the memory again after S seconds (20) of running, to see that it does not grow.

These are Wine's figures on Linux, not Windows'.
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


def windows_process(name):
    """The pid of the Wine process running `name` (its first argument is the program's path)."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                argv0 = f.read().split(b"\0")[0].decode("utf-8", "replace")
        except OSError:
            continue
        if argv0.replace("\\", "/").rsplit("/", 1)[-1].lower() == name.lower():
            return int(pid)
    return None


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return None


def start(command, env):
    return subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)


def stop(process):
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def wait_for_window(connection, process, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        window = find_program_window(connection, CAPTION_WORD)
        if window is not None:
            return window
        if process.poll() is not None:
            raise RuntimeError(f"the program ended with status {process.returncode}")
        time.sleep(0.002)
    raise RuntimeError("no window")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("--run-s", type=float, default=20.0)
    parser.add_argument("wine_run")
    parser.add_argument("prefix")
    parser.add_argument("program")
    args = parser.parse_args()
    from Xlib import display as xdisplay

    wine = [os.path.abspath(args.wine_run), f"--prefix={os.path.abspath(args.prefix)}"]
    program = os.path.abspath(args.program)
    name = os.path.basename(program)
    subprocess.run(wine + ["--stop"], check=True)
    with Xvfb() as server:
        env = dict(os.environ, DISPLAY=server.display, LC_ALL="C.UTF-8")
        connection = xdisplay.Display(server.display)
        warm = start(wine + [program], env)  # starts Wine's server and desktop process
        wait_for_window(connection, warm)
        stop(warm)
        times, memory = [], []
        for _ in range(args.runs):
            time.sleep(0.3)
            begin = time.monotonic()
            process = start(wine + [program], env)
            wait_for_window(connection, process)
            times.append((time.monotonic() - begin) * 1000)
            pid = windows_process(name)
            if pid is not None:
                memory.append(rss_kib(pid))
            stop(process)
        print(f"start to window viewable, warm Wine server, {args.runs} runs (ms): "
              f"median {statistics.median(times):.1f}, mean {statistics.fmean(times):.1f}, "
              f"min {min(times):.1f}, max {max(times):.1f}")
        if memory:
            print(f"resident memory just after start (KiB): median {statistics.median(memory):.0f}, "
                  f"min {min(memory)}, max {max(memory)}")

        process = start(wine + [program], env)
        window = wait_for_window(connection, process)
        geometry = window.get_geometry()
        origin = window.translate_coords(connection.screen().root, 0, 0)
        border = (geometry.width - 476) // 2
        client_x = -origin.x + border
        client_y = -origin.y + geometry.height - border - 396
        time.sleep(1)
        pid = windows_process(name)
        before = rss_kib(pid)
        click(connection, client_x + 208, client_y + 188)  # "Пусни"
        samples = []
        for _ in range(int(args.run_s)):
            time.sleep(1)
            samples.append(rss_kib(pid))
        stop(process)
        print(f"resident memory while running (KiB): {before} before 'Пусни', "
              f"{samples[0]} after 1 s, {samples[-1]} after {len(samples)} s")
        connection.close()
    subprocess.run(wine + ["--stop"], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
