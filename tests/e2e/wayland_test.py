#!/usr/bin/python3
"""The real program on a Wayland compositor, and what the compositor does to it.

    wayland_test.py PROGRAM

Starts weston nested in a private Xvfb (weston's X11 backend with the pixman
renderer), so the compositor's output can be read back as X pixels and
xdotool's keys and clicks reach the compositor. The program is started as a
Wayland session starts it: WAYLAND_DISPLAY and DISPLAY both set, no
QT_QPA_PLATFORM. It checks that

  - the window is a Wayland client (no X window of its own; its Wayland
    requests, logged by libwayland, name the application id
    org.example.Dulmeri, the desktop entry's name), in its colours and at
    its fixed size (both from the design: expected_layout.json, named by
    DULMERI_EXPECTED_LAYOUT);
  - the title bar, which the program draws itself on Wayland, has the close
    box and no other button, ignores a double click (which would maximise),
    and moves the window when dragged;
  - weston's maximise shortcut (super+shift+M), idle and during a run, and
    its full-screen shortcut (super+shift+F) leave the program running, back
    at its fixed size, without a protocol error;
  - F2 shows the view "Наблюдение" inside the window's own toplevel, to its
    right (a program cannot place windows of its own on Wayland): every
    pixel of the main window's client area is as before, and beside it,
    under a title bar of its own, each of the design's drawings shows;
    its own close box shrinks the window back to its size;
  - a click on the title bar's close box ends the program with status 0.

Weston places a new window at its own choice; the window's client area is
found by its background colour. Fails where weston is not installed.
"""

import os
import re
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean when run from it
from x11_session import (CAPTION_WORD, Failure, ScreenReader, Xvfb, expect_exit_status_0, expected_layout,
                         find_program_window, program_environment, run_checks, stop_process, wait_for)

TIMEOUT = 30  # seconds for anything to happen on a loaded machine
SCREEN = (1280, 1024)
OUTPUT_WIDTH, OUTPUT_HEIGHT = 1250, 990  # weston's output, inside the X screen: room for the view beside
SOCKET = "wayland-dulmeri-test"
APP_ID = "org.example.Dulmeri"

LAYOUT = expected_layout()
WIDTH, HEIGHT = LAYOUT.width, LAYOUT.height  # the client area
BACKGROUND = LAYOUT.colours["window"]
GAUGE_RED, GAUGE_BLUE = LAYOUT.colours["gaugeRed"], LAYOUT.colours["gaugeBlue"]
# Points of the client area and their colours (see window_e2e_test.py); the
# start button only until it takes the focus, which changes its look.
COLOURS = [("title label", LAYOUT.point("Label1_0", -3, -3), LAYOUT.background("Label1_0")),
           ("stop button", LAYOUT.point("Command1_1", 4, 12), LAYOUT.background("Command1_1")),
           ("right edge", (WIDTH - 1, 200), BACKGROUND), ("bottom edge", (100, HEIGHT - 1), BACKGROUND)]
START_BUTTON = ("start button", LAYOUT.point("Command1_0", 4, 12), LAYOUT.background("Command1_0"))
GAUGE_BOTTOM = LAYOUT.point("Picture1", 48, -6)  # inside the gauge, just above its lower border
# The program's title bar on Wayland (src/qt/wayland_frame.h): 22 pixels
# high above the client area, in the classic caption colour, within a
# 1-pixel border; the 16 x 14 close box 3 pixels from its right end.
TITLE_HEIGHT, BORDER = 22, 1
TITLE_COLOUR = (0, 0, 128)
CLOSE_BUTTON = (WIDTH - 3 - 8, -TITLE_HEIGHT // 2)
# Where any other button would be: the title bar's right end up to the
# close box, clear of the caption's text.
BUTTONLESS_STRIP = (WIDTH - 110, WIDTH - 22)
# The view beside the client area, in the same toplevel: the design's gap,
# then its own border; its client area level with the main one.
VIEW_GAP = 8
VIEW_LEFT = WIDTH + BORDER + VIEW_GAP + BORDER
VIEW_WIDTH, VIEW_HEIGHT = LAYOUT.view_size
DRAWINGS = [(name, tuple(widget["box"])) for name, widget in LAYOUT.view_widgets.items()
            if widget["kind"] == "PictureBox"]
WHITE = (255, 255, 255)


class Weston:
    """weston nested in the X server, stopped when the block ends."""

    def __init__(self, display, runtime_dir):
        self.display = display
        self.runtime_dir = runtime_dir
        self.process = None

    def __enter__(self):
        if shutil.which("weston") is None:
            raise Failure("weston is not installed (Debian package weston, installed by tools/setup.sh)")
        env = dict(os.environ, DISPLAY=self.display, XDG_RUNTIME_DIR=self.runtime_dir,
                   XDG_CONFIG_HOME=os.path.join(self.runtime_dir, "config"))
        env.pop("WAYLAND_DISPLAY", None)
        self.log_path = os.path.join(self.runtime_dir, "weston.log")
        self.process = subprocess.Popen(
            ["weston", "--backend=x11-backend.so", "--use-pixman", f"--width={OUTPUT_WIDTH}",
             f"--height={OUTPUT_HEIGHT}", f"--socket={SOCKET}", "--idle-time=0", f"--log={self.log_path}"],
            env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        try:
            wait_for(lambda: self._alive() and os.path.exists(os.path.join(self.runtime_dir, SOCKET)),
                     TIMEOUT, "weston's socket")
            from Xlib import display as xdisplay
            self.x = xdisplay.Display(self.display)
            self.window = wait_for(self._find_window, TIMEOUT, "weston's window on the X server")
            # The X server's pointer starts inside weston's window before weston
            # listens to it; weston takes no pointer input until the pointer has
            # come in from outside. Bring it in once, now (leaving the window
            # later would lose the pointer again), to a corner the program's
            # window will not cover.
            for x, y in ((OUTPUT_WIDTH + 10, OUTPUT_HEIGHT + 10), (OUTPUT_WIDTH - 40, OUTPUT_HEIGHT - 40),
                         (OUTPUT_WIDTH - 20, OUTPUT_HEIGHT - 20)):
                xdotool(self.display, "mousemove", str(x), str(y))
                time.sleep(0.2)
            # Keys go to weston's window, given the X focus once, before any
            # client: focusing it again later takes the keyboard from the
            # window weston has activated.
            xdotool(self.display, "windowfocus", "--sync", str(self.window.id))
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        stop_process(self.process, "weston")
        return False

    def _alive(self):
        if self.process.poll() is not None:
            raise Failure(f"weston exited with status {self.process.returncode}:\n{self.log()}")
        return True

    def _find_window(self):
        for window in self.x.screen().root.query_tree().children:
            try:
                geometry = window.get_geometry()
            except Exception:
                continue
            if (geometry.width, geometry.height) == (OUTPUT_WIDTH, OUTPUT_HEIGHT):
                return window
        return None

    def log(self):
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as log:
                return log.read()[-3000:]
        except OSError:
            return ""


def xdotool(display, *arguments):
    subprocess.run(["xdotool", *arguments], check=True, env=dict(os.environ, DISPLAY=display))


def client_area(reader):
    """The top-left corner of the window's client area in weston's output:
    the first row with a run of the window's background colour."""
    image = reader.grab(0, 0, OUTPUT_WIDTH, OUTPUT_HEIGHT)
    for y in range(OUTPUT_HEIGHT):
        row = image.rows[y]
        x = 0
        while x < OUTPUT_WIDTH - 30:
            if row[x] == BACKGROUND and all(row[x + k] == BACKGROUND for k in range(30)):
                return x, y
            x += 1
    return None


def check_window(reader, what, points=COLOURS):
    """The client area at its fixed size and in its colours; returns its corner."""
    def as_designed():
        corner = client_area(reader)
        if corner is None:
            return None
        x0, y0 = corner
        if x0 + WIDTH + BORDER > OUTPUT_WIDTH or y0 + HEIGHT + BORDER > OUTPUT_HEIGHT:
            return None
        image = reader.grab(x0, y0, WIDTH + 1, HEIGHT + 1)
        for _, (x, y), colour in points:
            if image.pixel(x, y) != colour:
                return None
        # One pixel further the window ends: Qt's border, not the client area.
        if image.pixel(WIDTH, 200) == BACKGROUND or image.pixel(100, HEIGHT) == BACKGROUND:
            return None
        return corner
    try:
        corner = wait_for(as_designed, TIMEOUT, f"the window {what} at {WIDTH} x {HEIGHT} in its colours")
    except Failure:
        corner = client_area(reader)
        if corner:
            x0, y0 = corner
            image = reader.grab(x0, y0, WIDTH + 1, HEIGHT + 1)
            seen = {name: image.pixel(x, y) for name, (x, y), _ in points}
            raise Failure(f"the window {what}: client area at {corner}, colours {seen}")
        raise
    print(f"ok: the window {what}: {WIDTH} x {HEIGHT} at {corner} in weston's output, in its colours")
    return corner


def gauge_colour(reader, corner):
    return reader.grab(corner[0] + GAUGE_BOTTOM[0], corner[1] + GAUGE_BOTTOM[1], 1, 1).pixel(0, 0)


def click(display, x, y):
    """A click, the pointer brought there in small steps (weston follows motion)."""
    for step in (12, 6, 0):
        xdotool(display, "mousemove", str(x - step), str(y))
        time.sleep(0.1)
    xdotool(display, "mousedown", "1")
    time.sleep(0.1)
    xdotool(display, "mouseup", "1")


class Program:
    """The program on weston, its libwayland log kept aside."""

    def __init__(self, program, display, runtime_dir):
        env = program_environment(display, runtime_dir)
        env.update(WAYLAND_DISPLAY=SOCKET, XDG_SESSION_TYPE="wayland", WAYLAND_DEBUG="client")
        self.log_path = os.path.join(runtime_dir, "program.log")
        self._log = open(self.log_path, "wb")
        self.process = subprocess.Popen([program], env=env, stdin=subprocess.DEVNULL, stdout=self._log,
                                        stderr=subprocess.STDOUT)

    def log(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as log:
            return log.read()

    def requests(self, pattern):
        return re.findall(pattern, self.log())

    def check_alive(self, what):
        if self.process.poll() is not None:
            errors = [line for line in self.log().splitlines() if "error" in line.lower()][-5:]
            raise Failure(f"the program ended (status {self.process.returncode}) {what}:\n  " + "\n  ".join(errors))
        errors = [line for line in self.log().splitlines() if "Protocol error" in line or ".error(" in line]
        if errors:
            raise Failure(f"a Wayland protocol error {what}: {errors[:3]}")

    def stop(self):
        stop_process(self.process, "the program")
        self._log.close()


def press_until(display, keys, condition, what, program):
    """Presses keys until condition() holds. Weston takes keys only once it
    has handled the X server's focus, which nothing tells; a lost press is
    pressed again."""
    for _ in range(6):
        xdotool(display, "key", keys)
        try:
            return wait_for(condition, 5, what)
        except Failure:
            pass
    raise Failure(f"timed out waiting for {what} after pressing {keys} six times; the window's keyboard: "
                  f"{keyboard_record(program)}")


def input_record(program, device, kinds):
    """What the window's keyboard or pointer heard, from its libwayland log
    (for a failure's message)."""
    log = program.log()
    return ", ".join(f"{len(re.findall(rf'wl_{device}@[0-9]+[.]{kind}[(]', log))} {kind}" for kind in kinds)


def keyboard_record(program):
    return input_record(program, "keyboard", ("enter", "leave", "key"))


def maximise_requests(program):
    """Configures the compositor sent with a size of its own (maximised or
    full screen; the normal state comes with 0 x 0)."""
    return program.requests(r"xdg_toplevel@\d+\.configure\((?!0, 0,)(\d+, \d+)")


def check_title_bar(display, reader, program, corner):
    """One button only, no maximising by a double click, moving by a drag;
    returns the client area's corner after the move."""
    x0, x1 = BUTTONLESS_STRIP
    strip = reader.grab(corner[0] + x0, corner[1] - TITLE_HEIGHT + 2, x1 - x0, TITLE_HEIGHT - 4)
    others = {strip.pixel(x, y) for y in range(TITLE_HEIGHT - 4) for x in range(x1 - x0)} - {TITLE_COLOUR}
    if others:
        raise Failure(f"the title bar has something beside the close box (colours {sorted(others)[:4]})")
    print("ok: the title bar has the close box and no other button")

    title = (corner[0] + 200, corner[1] - TITLE_HEIGHT // 2)
    for step in (12, 6, 0):
        xdotool(display, "mousemove", str(title[0] - step), str(title[1]))
        time.sleep(0.1)
    requested = len(program.requests(r"set_maximized\(\)"))
    xdotool(display, "click", "--repeat", "2", "--delay", "80", "1")
    time.sleep(1)
    program.check_alive("after a double click on its title bar")
    if len(program.requests(r"set_maximized\(\)")) > requested:
        raise Failure("a double click on the title bar asked to maximise the window")
    corner = check_window(reader, "after a double click on its title bar")

    def dragged():
        moved = client_area(reader)
        return moved if moved is not None and moved[0] >= corner[0] + 60 else None
    xdotool(display, "mousedown", "1")
    for step in range(1, 9):
        xdotool(display, "mousemove", str(title[0] + 10 * step), str(title[1]))
        time.sleep(0.1)
    xdotool(display, "mouseup", "1")
    try:
        moved = wait_for(dragged, TIMEOUT, "a drag on the title bar to move the window to the right")
    except Failure as failure:
        raise Failure(f"{failure}; the window's pointer: "
                      f"{input_record(program, 'pointer', ('enter', 'leave', 'motion', 'button'))}")
    print(f"ok: a drag on the title bar moved the window from {corner} to {moved}")
    return check_window(reader, "after it was moved")


def check_view(display, reader, program, corner):
    """F2 shows the view beside the main window's client area, which shows
    as before, pixel for pixel; its close box takes it away, and F2 (the
    logic told it was closed) shows it again and takes it away again."""
    # Weston placed the window where it chose: dragged by its title bar to
    # the output's top left, the window and the view fit on the output.
    title = (corner[0] + 200, corner[1] - TITLE_HEIGHT // 2)
    target = (40 + 200, 40 - TITLE_HEIGHT // 2)
    for step in (12, 6, 0):
        xdotool(display, "mousemove", str(title[0] - step), str(title[1]))
        time.sleep(0.1)
    xdotool(display, "mousedown", "1")
    for step in range(1, 21):
        xdotool(display, "mousemove", str(title[0] + (target[0] - title[0]) * step // 20),
                str(title[1] + (target[1] - title[1]) * step // 20))
        time.sleep(0.05)
    xdotool(display, "mouseup", "1")
    wait_for(lambda: (moved := client_area(reader)) is not None and moved[1] < corner[1] - 100, TIMEOUT,
             "a drag on the title bar to move the window up")
    corner = check_window(reader, "moved to the output's top")
    x0, y0 = corner
    if y0 + VIEW_HEIGHT + BORDER > OUTPUT_HEIGHT or x0 + VIEW_LEFT + VIEW_WIDTH + BORDER > OUTPUT_WIDTH:
        raise Failure(f"the window at {corner} leaves no room for the view on the output")
    # The client area idle, with the text caret shown and hidden.
    seen = []
    for _ in range(8):
        image = reader.grab(x0, y0, WIDTH, HEIGHT)
        if image not in seen:
            seen.append(image)
        time.sleep(0.2)

    def view_shown():
        view = reader.grab(x0 + VIEW_LEFT, y0, VIEW_WIDTH, VIEW_HEIGHT)
        return view if all(view.pixel(x, y) == BACKGROUND for x, y in ((VIEW_WIDTH - 2, 2), (2, VIEW_HEIGHT - 2))) \
            else None
    view = press_until(display, "F2", view_shown, "F2 to show the view beside the window", program)
    program.check_alive("after F2")
    gap = reader.grab(x0 + WIDTH + BORDER, y0, VIEW_GAP, HEIGHT)
    if {pixel for row in gap.rows for pixel in row} != {BACKGROUND}:
        raise Failure("the gap between the window and the view is not all the window's background")
    wait_for(lambda: reader.grab(x0, y0, WIDTH, HEIGHT) in seen, TIMEOUT,
             "every pixel of the main window's client area to show as before F2")
    print(f"ok: F2 showed the view {VIEW_WIDTH} x {VIEW_HEIGHT} beside the window at {corner}, whose "
          f"{WIDTH} x {HEIGHT} pixels show as before")
    for name, (x, y, width, height) in DRAWINGS:
        inside = view.crop(x + 2, y + 2, width - 4, height - 4)
        colours = {inside.pixel(i, j) for j in range(height - 4) for i in range(width - 4)}
        drawn = sum(1 for j in range(height - 4) for i in range(width - 4) if inside.pixel(i, j) != WHITE)
        if WHITE not in colours or drawn < 200:
            raise Failure(f"the drawing {name} at {(x, y, width, height)} in the view shows {drawn} drawn pixels, "
                          f"colours {sorted(colours)[:6]}")
        print(f"ok: the view's drawing {name} shows ({drawn} drawn pixels)")

    # The view's own close box, at the right end of its title bar.
    click(display, x0 + VIEW_LEFT + VIEW_WIDTH - 3 - 8, y0 - TITLE_HEIGHT // 2)
    wait_for(lambda: view_shown() is None, TIMEOUT, "the view's close box to take the view away")
    # The pointer away from where the view shows, whose pixels are read.
    for step in (12, 6, 0):
        xdotool(display, "mousemove", str(OUTPUT_WIDTH - 20 - step), str(OUTPUT_HEIGHT - 20))
        time.sleep(0.1)
    program.check_alive("after the view's close box")
    press_until(display, "F2", view_shown, "F2 to show the view again after its close box", program)
    press_until(display, "F2", lambda: view_shown() is None, "F2 to take the view away again", program)
    return check_window(reader, "back at its size after the view closed")


def run(program, runtime_dir):
    with Xvfb(*SCREEN) as server, Weston(server.display, runtime_dir) as weston:
        reader = ScreenReader(weston.x)
        started = Program(program, server.display, runtime_dir)
        try:
            drive(server, weston, reader, started)
        finally:
            started.stop()


def drive(server, weston, reader, program):
    display = server.display
    corner = check_window(reader, "opens", COLOURS + [START_BUTTON])
    program.check_alive("after opening")
    if find_program_window(weston.x, CAPTION_WORD) is not None:
        raise Failure("the program opened an X window: it is not running on Wayland (is qt6-wayland installed?)")
    app_ids = program.requests(r'xdg_toplevel@\d+\.set_app_id\("([^"]*)"\)')
    if app_ids != [APP_ID]:
        raise Failure(f"the window's application id is {app_ids}, expected [{APP_ID!r}]")
    print(f"ok: a Wayland client (no X window of its own), application id {APP_ID}")
    if gauge_colour(reader, corner) != GAUGE_BLUE:
        raise Failure(f"the gauge is {gauge_colour(reader, corner)} at start, expected blue {GAUGE_BLUE}")
    corner = check_view(display, reader, program, corner)

    def maximise_by_shortcut(what):
        before = len(maximise_requests(program))
        press_until(display, "super+shift+m", lambda: len(maximise_requests(program)) > before,
                    f"weston to maximise the window ({what})", program)
        time.sleep(0.5)  # frames drawn meanwhile would end the connection
        program.check_alive(f"after weston maximised it ({what})")
        return check_window(reader, f"after weston's maximise shortcut ({what})")

    corner = maximise_by_shortcut("idle")
    # Tab to "Пусни" and start: the window now draws a frame every tick.
    xdotool(display, "key", "--delay", "150", *["Tab"] * 6, "space")
    wait_for(lambda: gauge_colour(reader, corner) == GAUGE_RED, TIMEOUT, "the run to fill the gauge with red")
    print("ok: the run started from the keyboard")
    corner = maximise_by_shortcut("running")
    program.check_alive("running after the maximise")

    before = len(maximise_requests(program))
    press_until(display, "super+shift+f", lambda: len(maximise_requests(program)) > before,
                "weston to make the window full screen", program)
    time.sleep(0.5)
    program.check_alive("after weston's full-screen shortcut")
    corner = check_window(reader, "after weston's full-screen shortcut")

    corner = check_title_bar(display, reader, program, corner)

    click(display, corner[0] + CLOSE_BUTTON[0], corner[1] + CLOSE_BUTTON[1])
    expect_exit_status_0(program.process, TIMEOUT, "a click on its close box")
    print("ok: the close box ends the program with status 0")


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    return run_checks(sys.argv[1], "dulmeri-wayland-", run)


if __name__ == "__main__":
    sys.exit(main())
