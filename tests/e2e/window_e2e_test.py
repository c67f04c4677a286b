#!/usr/bin/python3
"""End-to-end test of the real program on a private X server.

    window_e2e_test.py PROGRAM

Starts PROGRAM under its own Xvfb (no window manager), finds its window by
its caption and checks what is really on the screen: the size and the
centring of the window, the window background, the gauge (all blue at
start), the colours of the two buttons. Then it clicks "Пусни" with real
pointer events (XTest), watches the gauge fill with red from the bottom and
the indicators switch to "Включено", clicks "Спри", checks that the gauge
stops and "Изключено" returns, and closes the window with the message a
window manager sends (WM_DELETE_WINDOW); the program must exit with status 0.

It also checks that the program, started without any display or with one
that cannot be reached, says so in one line and exits with status 1 instead
of crashing.

Geometry and colours come from the design (expected_layout.json, named by
DULMERI_EXPECTED_LAYOUT), in pixels of the window's client area.
"""

import importlib
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean when run from it
from x11_session import (CAPTION_WORD, Failure, ProgramWindow, ScreenReader, Xvfb, check_area, click,
                         expected_layout, find_program_window, close_window, gauge_red_rows,
                         program_environment, run_checks, running_program, wait_for, wait_until_painted,
                         window_name)

LAYOUT = expected_layout()
CLIENT_WIDTH, CLIENT_HEIGHT = LAYOUT.width, LAYOUT.height

WINDOW_BACKGROUND = LAYOUT.colours["window"]
GAUGE_RED, GAUGE_BLUE = LAYOUT.colours["gaugeRed"], LAYOUT.colours["gaugeBlue"]
START_GREEN = LAYOUT.background("Command1_0")
STOP_RED = LAYOUT.background("Command1_1")

# Picture1 with a 2-pixel sunken border. Its top border row lies under the
# "Температура:" label and its right border column under the scroll bar, so
# only the inside and the left and bottom edges are checked.
GAUGE = LAYOUT.box("Picture1")
GAUGE_INSIDE = LAYOUT.inside("Picture1", 2)

START_BUTTON = LAYOUT.box("Command1_0")  # "Пусни"
STOP_BUTTON = LAYOUT.box("Command1_1")   # "Спри"
READOUT = LAYOUT.box("Label1_1")         # "Моментна стойност: ..."
OPTION_ON = LAYOUT.box("Option1_0")      # inside Frame1
OPTION_OFF = LAYOUT.box("Option1_1")
RADIO_DOT = (4, 9, 6, 6)                 # the middle of an option button's circle, from its corner

# Spots of bare window background, away from every widget.
BACKGROUND_SPOTS = LAYOUT.bare([
    (410, 4, 56, 30),    # right of the title label, above the base maximum box
    (12, 228, 88, 9),    # under the gauge, above the explanation
    (256, 180, 104, 18), # between the two buttons
])

TIMEOUT = 20  # seconds for any one condition to come true on a slow machine


def indicators(image):
    """The two option buttons as drawn, to compare with another moment."""
    return image.crop(*OPTION_ON), image.crop(*OPTION_OFF)


def is_selected(image, option):
    """Whether the option button shows the dot in the middle of its circle.

    The circle sits at the left of the button, vertically centred; an empty
    circle is white inside, a selected one has a dark dot there.
    """
    x0, y0 = option[0] + RADIO_DOT[0], option[1] + RADIO_DOT[1]
    return any(sum(image.pixel(x, y)) < 3 * 128
               for y in range(y0, y0 + RADIO_DOT[3]) for x in range(x0, x0 + RADIO_DOT[2]))


def heater_shown(image):
    """The heater state the option buttons show: "on", "off", or what is wrong."""
    on, off = is_selected(image, OPTION_ON), is_selected(image, OPTION_OFF)
    if on != off:
        return "on" if on else "off"
    return "both selected" if on else "neither selected"


def check_without_display(program, display=None):
    """With no display at all, or one that cannot be reached, the program
    says so in one line and exits 1."""
    what = "without a display" if display is None else f"with the unreachable display {display}"
    env = {name: value for name, value in os.environ.items()
           if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    if display is not None:
        env["DISPLAY"] = display
    try:
        result = subprocess.run([program], env=env, stdin=subprocess.DEVNULL, capture_output=True,
                                timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        raise Failure(f"{what} the program did not exit within {TIMEOUT} s")
    stderr = result.stderr.decode("utf-8", "replace")
    lines = stderr.splitlines()
    if result.returncode < 0:
        raise Failure(f"{what} the program died of signal {-result.returncode}; stderr:\n{stderr}")
    if result.returncode != 1:
        raise Failure(f"{what} the program exited with status {result.returncode}, "
                      f"expected 1; stderr:\n{stderr}")
    if len(lines) != 1 or "display" not in lines[0].lower():
        raise Failure(f"{what} the program should write one line about the display "
                      f"to stderr; it wrote:\n{stderr}")
    if result.stdout:
        raise Failure(f"{what} the program wrote to stdout: {result.stdout!r}")
    print(f"ok: {what}: status 1, {lines[0]!r}")


def check_window(program, runtime_dir):
    from Xlib import display as xdisplay

    with Xvfb() as server:
        print(f"Xvfb on {server.display}")
        with running_program(program, program_environment(server.display, runtime_dir)) as process:
            run_window_checks(xdisplay, server, process)


def run_window_checks(xdisplay, server, process):
    x_display = xdisplay.Display(server.display)
    try:
        if not x_display.has_extension("XTEST"):
            raise Failure("the X server has no XTEST extension")

        def alive_window():
            if process.poll() is not None:
                raise Failure(f"the program exited with status {process.returncode} before its window "
                              f"appeared")
            return find_program_window(x_display, CAPTION_WORD)

        window = ProgramWindow(x_display, wait_for(alive_window, TIMEOUT, f"a window whose caption "
                                                                         f"contains {CAPTION_WORD!r}"))
        print(f"ok: window {window_name(x_display, window.window)!r} at ({window.x}, {window.y})")

        if (window.width, window.height) != (CLIENT_WIDTH, CLIENT_HEIGHT):
            raise Failure(f"the client area is {window.width} x {window.height}, "
                          f"expected {CLIENT_WIDTH} x {CLIENT_HEIGHT}")
        expected_x = (server.width - CLIENT_WIDTH) // 2
        expected_y = (server.height - CLIENT_HEIGHT) // 2
        if abs(window.x - expected_x) > 1 or abs(window.y - expected_y) > 1:
            raise Failure(f"the window is at ({window.x}, {window.y}); centred on the "
                          f"{server.width} x {server.height} screen it would be at "
                          f"({expected_x}, {expected_y})")
        print(f"ok: client area {CLIENT_WIDTH} x {CLIENT_HEIGHT}, centred")

        reader = ScreenReader(x_display)

        def grab():
            return reader.grab(window.x, window.y, window.width, window.height)

        image = wait_until_painted(grab, lambda image: image.pixel(440, 10) == WINDOW_BACKGROUND, TIMEOUT)

        for spot in BACKGROUND_SPOTS:
            check_area(image, spot, WINDOW_BACKGROUND, f"the window background at {spot[:2]}")

        check_area(image, GAUGE_INSIDE, GAUGE_BLUE, "the gauge at start (temperature 0)")
        check_gauge_border(image)

        # Inside the buttons' borders, left and right of their captions.
        for (x, y, width, height), colour, name in ((START_BUTTON, START_GREEN, "Пусни"),
                                                    (STOP_BUTTON, STOP_RED, "Спри")):
            check_area(image, (x + 3, y + 3, 10, height - 6), colour, f"the left of the button {name!r}")
            check_area(image, (x + width - 13, y + 3, 10, height - 6), colour,
                       f"the right of the button {name!r}")

        readout_at_start = image.crop(*READOUT)
        options_at_start = indicators(image)
        if heater_shown(image) != "off":
            raise Failure(f"at start the indicators should show 'Изключено' selected; they show "
                          f"{heater_shown(image)}")
        print("ok: 'Изключено' is selected at start")

        # Start: a real click in the middle of "Пусни".
        click(x_display, window.x + START_BUTTON[0] + START_BUTTON[2] // 2,
              window.y + START_BUTTON[1] + START_BUTTON[3] // 2)
        print("clicked 'Пусни'")

        def red_rows():
            if process.poll() is not None:
                raise Failure(f"the program exited with status {process.returncode} while running")
            return gauge_red_rows(grab(), GAUGE_INSIDE)

        first = wait_for(red_rows, TIMEOUT, "the bottom of the gauge to turn red")
        print(f"ok: the gauge shows red at the bottom ({first} rows)")
        grown = wait_for(lambda: (rows := red_rows()) >= first + 10 and rows, TIMEOUT,
                         f"the red part of the gauge to grow beyond {first} rows")
        print(f"ok: the red part grows ({first} -> {grown} rows)")

        image = grab()
        if image.crop(*READOUT) == readout_at_start:
            raise Failure("the readout under the buttons still looks as it did at temperature 0")
        print("ok: the readout changed")
        # At temperature 0, below the lower threshold (81), the heater is on.
        wait_for(lambda: heater_shown(grab()) == "on", TIMEOUT, "'Включено' to be selected")
        print("ok: 'Включено' is selected")

        click(x_display, window.x + STOP_BUTTON[0] + STOP_BUTTON[2] // 2,
              window.y + STOP_BUTTON[1] + STOP_BUTTON[3] // 2)
        print("clicked 'Спри'")
        # Stop selects "Изключено" and disables the timer in one handler, so
        # once the indicators look as at start the gauge is final.
        wait_for(lambda: heater_shown(grab()) == "off", TIMEOUT, "'Изключено' to be selected again")
        if indicators(grab()) != options_at_start:
            raise Failure("after 'Спри' the option buttons do not look as they did at start")
        print("ok: the indicators show 'Изключено' again, exactly as at start")
        stopped_at = red_rows()
        if stopped_at < grown:
            raise Failure(f"after 'Спри' the gauge shows {stopped_at} red rows, fewer than the "
                          f"{grown} seen while running")
        for _ in range(10):
            time.sleep(0.1)
            rows = red_rows()
            if rows != stopped_at:
                raise Failure(f"after 'Спри' the gauge still moves: {stopped_at} -> {rows} red rows")
        print(f"ok: after 'Спри' the gauge stays at {stopped_at} red rows")

        close_window(x_display, window.window, process, TIMEOUT)
    finally:
        x_display.close()


def check_gauge_border(image):
    """The gauge's border is drawn sunken: darker on the left than at the bottom."""
    x0, y0, width, height = GAUGE
    inside_x, inside_y, inside_width, inside_height = GAUGE_INSIDE
    left = [image.pixel(x, y) for x in range(x0, inside_x) for y in range(inside_y, inside_y + inside_height)]
    bottom = [image.pixel(x, y) for y in range(inside_y + inside_height, y0 + height)
              for x in range(inside_x, inside_x + inside_width)]
    for pixels, edge in ((left, "left"), (bottom, "bottom")):
        if any(pixel in (GAUGE_BLUE, GAUGE_RED, WINDOW_BACKGROUND) for pixel in pixels):
            raise Failure(f"the gauge's {edge} border is missing: its pixels include the gauge's or the "
                          f"window's colour")

    def brightness(pixels):
        return sum(sum(pixel) for pixel in pixels) / len(pixels)

    if not brightness(left) < brightness(bottom):
        raise Failure("the gauge's border does not look sunken: its left edge is not darker than its bottom")
    print("ok: the gauge has a sunken border")


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    try:
        importlib.import_module("Xlib")
    except ImportError:
        print(f"FAIL: python3-xlib is missing for {sys.executable} (Debian package python3-xlib)")
        return 1

    def checks(program, runtime_dir):
        check_without_display(program)
        check_without_display(program, ":7777")  # no X server listens there
        check_window(program, runtime_dir)

    return run_checks(sys.argv[1], "dulmeri-e2e-", checks)

if __name__ == "__main__":
    sys.exit(main())
