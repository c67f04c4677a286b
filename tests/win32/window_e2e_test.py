#!/usr/bin/python3
"""End-to-end test of the built dulmeri.exe under Wine on the tests' Xvfb.

    window_e2e_test.py WINE_RUN PREFIX DISPLAY_FILE PROGRAM

Starts the program through tools/wine-run, finds its window by its caption
and checks what is really on the screen: the client size and the centring
of the window, the window background, the gauge (all blue at start) and the
colours of the two buttons. Then it clicks "Пусни" with real pointer events
(XTest), watches the gauge fill with red from the bottom, and stops the run
with "Спри". A real F2 opens the view "Наблюдение": it must leave every pixel
of the main window's client area as it was (compared at the window's
position after F2, which may have moved to make room) but for the focus of
the button clicked, which goes to the view, and it must show as many
drawings as the design's table has picture boxes, each with pixels of its
own on its background. F2 closes it again, the window staying where it is,
and a real click on the window's close box ends the program, with status 0.

Geometry and colours come from the design (expected_layout.json, named by
DULMERI_EXPECTED_LAYOUT), in pixels of the client area at 96 DPI.
"""

import json
import os
import sys
import time

sys.dont_write_bytecode = True
from wine_session import (TIMEOUT, Failure, ScreenReader, Wine, check_area,  # noqa: E402
                          close_and_expect_status_0, expected_layout, find_program_window, gauge_red_rows,
                          ProgramWindow, stop, wait_for, wait_for_window, wait_until_painted, window_name,
                          x11_session)

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

with open(os.environ["DULMERI_EXPECTED_LAYOUT"], encoding="utf-8") as layout_file:
    _VIEW = json.load(layout_file)
VIEW_WIDTH, VIEW_HEIGHT = _VIEW["observation"]
# The view's drawings, in the order of its table.
DRAWINGS = [(name, widget["box"]) for name, widget in _VIEW["observationWidgets"].items()
            if widget["kind"] == "PictureBox"]
VIEW_CAPTION = "Наблюдение"


def press(display, keysym_name):
    """A real key press and release, through XTest."""
    from Xlib import X, XK
    from Xlib.ext import xtest
    keycode = display.keysym_to_keycode(XK.string_to_keysym(keysym_name))
    xtest.fake_input(display, X.KeyPress, keycode)
    display.sync()
    time.sleep(0.05)
    xtest.fake_input(display, X.KeyRelease, keycode)
    display.sync()


def view_window(x_display):
    """The view's X window with its client area, or None while it is not shown."""
    window = find_program_window(x_display, VIEW_CAPTION)
    if window is None:
        return None
    view = x11_session.ProgramWindow(x_display, window)
    border = (view.width - VIEW_WIDTH) // 2
    view.client_x, view.client_y = view.x + border, view.y + view.height - border - VIEW_HEIGHT
    return view


def check_view_beside(x_display, window, grab_at, focused):
    """F2 opens the view without covering the window (all but the focused
    control's box must be unchanged) and shows each drawing; F2 closes it.
    Returns the window where it stands after."""
    before = grab_at(window)
    press(x_display, "F2")
    view = wait_for(lambda: view_window(x_display), TIMEOUT, f"the view {VIEW_CAPTION!r} to open")
    moved = ProgramWindow(x_display, window.window)
    print(f"ok: the view opened at ({view.x}, {view.y}), {view.width} x {view.height}; "
          f"the window at ({moved.x}, {moved.y}), was ({window.x}, {window.y})")
    if view.x < moved.x + moved.width and moved.x < view.x + view.width and \
            view.y < moved.y + moved.height and moved.y < view.y + view.height:
        raise Failure("the view overlaps the window")
    fx, fy, fw, fh = focused

    def uncovered(image):
        changed = [(x, y) for y in range(CLIENT_HEIGHT) for x in range(CLIENT_WIDTH)
                   if image.pixel(x, y) != before.pixel(x, y) and not (fx <= x < fx + fw and fy <= y < fy + fh)]
        return image if not changed else None

    after = wait_until_painted(lambda: grab_at(moved), lambda image: True, TIMEOUT)
    if uncovered(after) is None:
        changed = [(x, y) for y in range(CLIENT_HEIGHT) for x in range(CLIENT_WIDTH)
                   if after.pixel(x, y) != before.pixel(x, y) and not (fx <= x < fx + fw and fy <= y < fy + fh)]
        raise Failure(f"{len(changed)} pixels of the window's client area changed when the view opened; "
                      f"the first at {changed[0]}")
    print(f"ok: all {CLIENT_WIDTH * CLIENT_HEIGHT} pixels of the window's client area are uncovered")

    reader = ScreenReader(x_display)
    image = wait_until_painted(lambda: reader.grab(view.client_x, view.client_y, VIEW_WIDTH, VIEW_HEIGHT),
                               lambda image: True, TIMEOUT)
    if not DRAWINGS:
        raise Failure("the design lists no drawings")
    seen = []
    for name, (x, y, width, height) in DRAWINGS:
        inside = image.crop(x + 2, y + 2, width - 4, height - 4)  # within the sunken border
        counts = {}
        for row in inside.rows:
            for pixel in row:
                counts[pixel] = counts.get(pixel, 0) + 1
        background, most = max(counts.items(), key=lambda item: item[1])
        drawn = inside.width * inside.height - most
        if drawn < inside.width:
            raise Failure(f"the drawing {name!r} has only {drawn} pixels off its background {background}")
        if any(inside == other for other in seen):
            raise Failure(f"the drawing {name!r} shows what another drawing shows")
        seen.append(inside)
        print(f"ok: the drawing {name!r} has {drawn} pixels off its background, in {len(counts) - 1} colours")
    print(f"ok: the view shows the {len(DRAWINGS)} drawings of its design")

    press(x_display, "F2")
    wait_for(lambda: view_window(x_display) is None, TIMEOUT, "the view to close")
    stayed = ProgramWindow(x_display, window.window)
    if (stayed.x, stayed.y) != (moved.x, moved.y):
        raise Failure(f"closing the view moved the window from ({moved.x}, {moved.y}) to ({stayed.x}, {stayed.y})")
    print("ok: F2 closed the view; the window stays where it is")
    return stayed


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

        window.click_client(STOP_BUTTON[0] + STOP_BUTTON[2] // 2, STOP_BUTTON[1] + STOP_BUTTON[3] // 2)
        print("clicked 'Спри'")

        def grab_at(where):
            if process.poll() is not None:
                raise Failure(f"the program exited with status {process.returncode}")
            return reader.grab(where.client_x, where.client_y, CLIENT_WIDTH, CLIENT_HEIGHT)

        wait_until_painted(lambda: grab_at(window), lambda image: True, TIMEOUT)
        window = check_view_beside(x_display, window, grab_at, STOP_BUTTON)

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
