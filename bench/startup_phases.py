"""The start-up steps of the window and of its two floors, side by side.

Runs `startup_phases plain`, `startup_phases text` and `startup_phases form`
(bench/startup_phases.cpp) in turns under a private Xvfb, the order turning
by one each round as in bench/startup.py, and prints the median of each step
and of the processor time used up to show(), with that time's ratio to the
text floor.

    python3 bench/startup_phases.py [--runs N] [STARTUP_PHASES]

STARTUP_PHASES defaults to build/default/bench/startup_phases.
"""

import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests", "e2e"))
from x11_session import Xvfb, program_environment  # noqa: E402

MODES = ("plain", "text", "form")
STEPS = ("application", "window", "native", "show", "exposed", "painted", "processor at show")


def run_once(program, mode, env):
    result = subprocess.run([program, mode], env=env, stdin=subprocess.DEVNULL, capture_output=True,
                            text=True, timeout=60)
    if result.returncode != 0:
        raise RuntimeError(f"startup_phases {mode} exited with status {result.returncode}: {result.stderr}")
    values = {}
    for step in STEPS:
        match = re.search(re.escape(step) + r"\s+(-?[\d.]+)", result.stdout)
        if match is None:
            raise RuntimeError(f"no figure for {step!r} in: {result.stdout!r}")
        values[step] = float(match.group(1))
    return values


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=30, help="runs of each (30)")
    parser.add_argument("program", nargs="?", default=os.path.join(
        os.path.dirname(os.path.abspath(__file__)), os.pardir, "build", "default", "bench", "startup_phases"))
    args = parser.parse_args()
    program = os.path.abspath(args.program)
    figures = {mode: {step: [] for step in STEPS} for mode in MODES}
    with tempfile.TemporaryDirectory(prefix="dulmeri-bench-") as workdir, Xvfb() as server:
        env = program_environment(server.display, workdir)
        env["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={workdir}/no-session-bus"  # as bench/startup.py
        for run in range(args.runs):
            turn = run % len(MODES)
            for mode in MODES[turn:] + MODES[:turn]:
                for step, value in run_once(program, mode, env).items():
                    figures[mode][step].append(value)

    print(f"startup_phases, {args.runs} runs of each, taking turns, under Xvfb: medians (ms)")
    print(f"{'step':<20}" + "".join(f"{mode:>10}" for mode in MODES))
    for step in STEPS:
        print(f"{step:<20}" + "".join(f"{statistics.median(figures[mode][step]):10.2f}" for mode in MODES))
    floor = statistics.median(figures["text"]["processor at show"])
    print(f"{'processor × text':<20}" + "".join(
        f"{statistics.median(figures[mode]['processor at show']) / floor:10.3f}" for mode in MODES))


if __name__ == "__main__":
    main()
