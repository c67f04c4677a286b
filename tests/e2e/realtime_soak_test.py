#!/usr/bin/python3
"""One minute of the real program on its real timer, with a user at work.

    realtime_soak_test.py PROGRAM [SECONDS]

Starts PROGRAM under its own Xvfb, presses "Пусни" and then, for SECONDS
(60 by default), acts like a student: types into the threshold boxes (digits,
letters, deletions), clicks the scroll bar's arrows and track, and presses
"Спри" and "Пусни" now and then, always with real input events (XTest).
Throughout, the program must stay up with no error box, the gauge must show
one clean split (blue above, red below) and its resident memory must not
grow; at the end it must close with status 0.

The user's actions are drawn from a seed: DULMERI_TEST_SEED=<number> replays
them, otherwise each run takes a fresh one; a failure names it.
"""

import os
import random
import sys
import time

sys.dont_write_bytecode = True
from x11_session import (CAPTION_WORD, Failure, ScreenReader, Xvfb, click, expected_layout,
                         find_program_window,
                         close_window, program_environment, run_checks, running_program, wait_for)

LAYOUT = expected_layout()
GAUGE_RED, GAUGE_BLUE = LAYOUT.colours["gaugeRed"], LAYOUT.colours["gaugeBlue"]
GAUGE_INSIDE = LAYOUT.inside("Picture1", 2)  # within its 2-pixel sunken border
START_BUTTON = LAYOUT.box("Command1_0")
STOP_BUTTON = LAYOUT.box("Command1_1")
LOWER_BOX = LAYOUT.box("Text2_0")
UPPER_BOX = LAYOUT.box("Text2_2")
SCALE = LAYOUT.box("VScroll1")
TIMEOUT = 30
SEED_VARIABLE = "DULMERI_TEST_SEED"
# Resident memory may settle in the first seconds; after that it must stay.
ALLOWED_GROWTH_KIB = 4096


def centre(rect):
    return rect[0] + rect[2] // 2, rect[1] + rect[3] // 2


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise Failure("no VmRSS for the program")


def type_keys(display, names):
    from Xlib import X, XK
    from Xlib.ext import xtest
    for name in names:
        keycode = display.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(display, X.KeyPress, keycode)
        xtest.fake_input(display, X.KeyRelease, keycode)
    display.sync()


def gauge_split(reader, window):
    """The row where red begins inside the gauge, checking the column is clean."""
    image = reader.grab(window.x + GAUGE_INSIDE[0], window.y + GAUGE_INSIDE[1], GAUGE_INSIDE[2], GAUGE_INSIDE[3])
    first_red = image.height
    for y in range(image.height):
        row = image.rows[y]
        colour = row[0]
        if colour not in (GAUGE_RED, GAUGE_BLUE) or any(pixel != colour for pixel in row):
            raise Failure(f"gauge row {y} is not one clean colour: {sorted(set(row))[:4]}")
        if colour == GAUGE_RED and first_red == image.height:
            first_red = y
        if colour == GAUGE_BLUE and first_red != image.height:
            raise Failure(f"gauge row {y} is blue below red")
    return first_red


def test_seed():
    """The seed from DULMERI_TEST_SEED, to replay a run, or a fresh one."""
    fixed = os.environ.get(SEED_VARIABLE, "")
    if not fixed:
        return random.randrange(1 << 63)
    try:
        return int(fixed)
    except ValueError:
        raise Failure(f"{SEED_VARIABLE}={fixed} is not a seed (a whole number)") from None


def soak(program, seconds, runtime_dir):
    seed = test_seed()
    print(f"seed {seed} (replay with {SEED_VARIABLE}={seed})")
    try:
        soak_with(random.Random(seed), program, seconds, runtime_dir)
    except Failure as failure:
        raise Failure(f"{failure} [seed {seed}: replay with {SEED_VARIABLE}={seed}]") from None


def soak_with(chance, program, seconds, runtime_dir):
    from Xlib import display as xdisplay
    with Xvfb() as server:
        with running_program(program, program_environment(server.display, runtime_dir)) as process:
            display = xdisplay.Display(server.display)
            window = wait_for(lambda: find_program_window(display, CAPTION_WORD), TIMEOUT, "the window")
            origin = window.translate_coords(display.screen().root, 0, 0)
            window.x, window.y = -origin.x, -origin.y
            reader = ScreenReader(display)

            def at(rect):
                x, y = centre(rect)
                return window.x + x, window.y + y

            click(display, *at(START_BUTTON))
            started = time.monotonic()
            settled_rss = None
            splits = set()
            actions = 0
            while time.monotonic() - started < seconds:
                if process.poll() is not None:
                    raise Failure(f"the program ended during the run with status {process.returncode}")
                if find_program_window(display, CAPTION_WORD) != window or len(
                        [w for w in display.screen().root.query_tree().children
                         if CAPTION_WORD in (w.get_wm_name() or "")]) > 1:
                    raise Failure("a second window (an error box?) appeared")
                action = chance.randrange(10)
                if action < 3:
                    box = LOWER_BOX if chance.random() < 0.5 else UPPER_BOX
                    click(display, *at(box))
                    keys = ["BackSpace"] * chance.randrange(4)
                    keys += [chance.choice("0123456789a") for _ in range(chance.randrange(1, 3))]
                    type_keys(display, keys)
                elif action < 5:
                    x = window.x + SCALE[0] + SCALE[2] // 2
                    y = window.y + SCALE[1] + chance.choice([5, SCALE[3] - 5, 60, 150])
                    click(display, x, y)
                elif action == 5:
                    click(display, *at(STOP_BUTTON if chance.random() < 0.4 else START_BUTTON))
                splits.add(gauge_split(reader, window))
                actions += 1
                if settled_rss is None and time.monotonic() - started > min(10.0, seconds / 4):
                    settled_rss = resident_kib(process.pid)
                time.sleep(0.2)
            final_rss = resident_kib(process.pid)
            print(f"{actions} actions in {seconds} s; the gauge stood at {len(splits)} different levels; "
                  f"resident memory {settled_rss} KiB once settled, {final_rss} KiB at the end")
            if len(splits) < 10:
                raise Failure("the gauge hardly moved: the timer did not drive it")
            if final_rss - settled_rss > ALLOWED_GROWTH_KIB:
                raise Failure(f"resident memory grew by {final_rss - settled_rss} KiB")
            close_window(display, window, process, TIMEOUT)
            display.close()


def main():
    if len(sys.argv) not in (2, 3):
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    seconds = float(sys.argv[2]) if len(sys.argv) == 3 else 60.0
    return run_checks(sys.argv[1], "dulmeri-soak-", lambda program, runtime_dir: soak(program, seconds, runtime_dir))


if __name__ == "__main__":
    sys.exit(main())
