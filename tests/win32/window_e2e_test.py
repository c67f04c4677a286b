#!/usr/bin/python3
"""End-to-end test of the built dulmeri.exe under Wine on the tests' Xvfb.

    window_e2e_test.py WINE_RUN PREFIX DISPLAY_FILE PROGRAM

Starts the program through tools/wine-run, finds its window by its caption
and checks what is really on the screen: the client size and the centring
of the window, the window background, the gauge (all blue at start) and the
colours of the two buttons. Then it clicks "Пусни" with real pointer events
(XTest), watches the gauge fill with red from the bottom, and closes the
window with a real click on its close box; the program must exit with
status 0.

Geometry and colours come from the design (expected_layout.json, named by
DULMERI_EXPECTED_LAYOUT), in pixels of the client area at 96 DPI.
"""

import sys
import time

sys.dont_write_bytecode = True
from wine_session import (TIMEOUT, Failure, ScreenReader, Wine, check_area,  # noqa: E402
                          close_and_expect_status_0, expected_layout, gauge_red_rows, stop, wait_for,
                          wait_for_window, wait_until_painted, window_name)

LAYOUT = expected_layout()
CLIENT_WIDTH, CLIENT_HEIGHT = LAYOUT.width, LAYOUT.height
WINDOW_BACKGROUND = LAYOUT.colours["window"]
GAUGE_BLUE = LAYOUT.colours["gaugeBlue"]
LABEL = LAYOUT.background("Label1_0")
START_GREEN = LAYOUT.background("Command1_0")
STOP_RED = LAYOUT.background("Command1_1")

GAUGE_INSIDE = LAYOUT.inside("Picture1", 2)  # within its 2-pixel sunken border
START_BUTTON = LAYOUT.box("Command1_0")      # "Пусни"
STOP_BUTTON = LAYOUT.box("Command1_1")       # "Спри"
BACKGROUND_SPOTS = LAYOUT.bare([(410, 4, 56, 30), (12, 228, 88, 9), (256, 180, 104, 18)])
# Label1_0 and the readout Label1_1, left of their text.
LABEL_SPOTS = [(*LAYOUT.point("Label1_0", 1, 1), 4, 8), (*LAYOUT.point("Label1_1", 1, 1), 8, 8)]


def checks(wine, program):
    from Xlib import display as xdisplay

    x_display = xdisplay.Display(wine.display)
    process = wine.start(program)
    try:
        window = wait_for_window(x_display, process)
        print(f"ok: window {window_name(x_display, window.window)!r} at ({window.x}, {window.y}), "
              f"{window.width} x {window.height}")
        screen = x_display.screen()
        centre_x = window.x + window.width / 2
        centre_y = window.y + window.height / 2
        if abs(centre_x - screen.width_in_pixels / 2) > 1 or abs(centre_y - screen.height_in_pixels / 2) > 1:
            raise Failure(f"the window's centre is at ({centre_x}, {centre_y}), not the screen's")
        print("ok: centred on the screen")

        reader = ScreenReader(x_display)

        def grab():
            if process.poll() is not None:
                raise Failure(f"the program exited with status {process.returncode}")
            return reader.grab(window.client_x, window.client_y, CLIENT_WIDTH, CLIENT_HEIGHT)

        image = wait_until_painted(grab, lambda image: image.pixel(440, 10) == WINDOW_BACKGROUND, TIMEOUT)
        for spot in BACKGROUND_SPOTS:
            check_area(image, spot, WINDOW_BACKGROUND, f"the window background at {spot[:2]}")
        for spot in LABEL_SPOTS:
            check_area(image, spot, LABEL, f"a label at {spot[:2]}")
        check_area(image, GAUGE_INSIDE, GAUGE_BLUE, "the gauge at start (temperature 0)")
        for (x, y, width, height), colour, name in ((START_BUTTON, START_GREEN, "Пусни"),
                                                    (STOP_BUTTON, STOP_RED, "Спри")):
            check_area(image, (x + 3, y + 3, 10, height - 6), colour, f"the left of the button {name!r}")
            check_area(image, (x + width - 13, y + 3, 10, height - 6), colour, f"the right of the button {name!r}")

        window.click_client(START_BUTTON[0] + START_BUTTON[2] // 2, START_BUTTON[1] + START_BUTTON[3] // 2)
        print("clicked 'Пусни'")
        started = time.monotonic()
        first = wait_for(lambda: gauge_red_rows(grab(), GAUGE_INSIDE), TIMEOUT, "the bottom of the gauge to turn red")
        grown = wait_for(lambda: (rows := gauge_red_rows(grab(), GAUGE_INSIDE)) >= first + 10 and rows, TIMEOUT,
                         f"the red part of the gauge to grow beyond {first} rows")
        print(f"ok: the gauge moves: {first} -> {grown} red rows in {time.monotonic() - started:.1f} s")

        close_and_expect_status_0(window, process)
    except Failure:
        process.output_file.seek(0)
        output = process.output_file.read().decode("utf-8", "replace").strip()
        if output:
            print("the program's output:\n" + output)
        raise
    finally:
        stop(process)
        x_display.close()


def main():
    if len(sys.argv) != 5:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    started = time.monotonic()
    try:
        checks(Wine(*sys.argv[1:4]), sys.argv[4])
    except Failure as failure:
        print(f"FAIL: {failure}")
        return 1
    print(f"PASS ({time.monotonic() - started:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
