#!/usr/bin/python3
"""End-to-end test of the view "Наблюдение" in the real program.

    observation_e2e_test.py PROGRAM

Runs in a private D-Bus session (it restarts itself under dbus-run-session)
with its own Xvfb at 1280 x 800 (a common laptop screen, on which the two
windows do not fit side by side where the main window opens, centred; no
window manager) and accessibility bus. With the main window focused, a real
F2 (xdotool) opens a second top-level window titled "Наблюдение", of its
designed width, on the screen, transient for the main window and clear of
it: every pixel of the main window's client area, grabbed before F2 and
again after it where the main window now stands, is unchanged. A real click
on "Пусни" starts a run: the trace in the view turns red on the screen.
Through AT-SPI the view is a frame holding a table "Опитани прагове" with
its five column headers and as many images, named by their titles, as the
design has picture boxes, whose descriptions follow the run; on the screen
each of them shows the run in colour. F2 closes the view; a
right click on the gauge and a click on the menu's item open it again; and
closing the main window with the view open ends the program with status 0.
"""

import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean when run from it
from atspi_session import AccessibilityBus, find_application, in_private_session, restart_in_private_session
from x11_session import (CAPTION_WORD, Failure, ProgramWindow, ScreenReader, Xvfb, click, close_window,
                         expected_layout, find_program_window, program_environment, run_checks, running_program,
                         wait_for, window_name)

TIMEOUT = 20  # seconds for any one condition to come true on a slow machine

SCREEN = (1280, 800)
MAIN_SIZE = (476, 396)
VIEW_TITLE = "Наблюдение"

START_BUTTON = (168, 176, 81, 25)  # Command1_0 in the main window
GAUGE = (8, 48, 97, 177)           # Picture1
BORDER = 2  # a drawing's sunken border

TRACE = "Температура във времето"
LOOP = "Хистерезисна примка"
NO_DATA = "Няма данни: натиснете „Пусни“."
BANDS = "Опитани прагове"
HEADERS = ["Долен праг", "Горен праг", "Ширина", "Превключвания в минута", "По правилото"]


def find_view(x_display):
    """The viewable top-level window titled exactly like the view, or None."""
    from Xlib import X
    for window in x_display.screen().root.query_tree().children:
        if window_name(x_display, window) != VIEW_TITLE:
            continue
        try:
            if window.get_attributes().map_state == X.IsViewable:
                return window
        except Exception:
            continue
    return None


def xdotool(display, *arguments):
    subprocess.run(["xdotool", *arguments], check=True, env=dict(os.environ, DISPLAY=display))


def red_pixels(reader, box):
    """The gauge's red within a drawing's box (x, y, width, height on the screen), inside its border."""
    x, y, width, height = box
    image = reader.grab(x + BORDER, y + BORDER, width - 2 * BORDER, height - 2 * BORDER)
    gauge_red = expected_layout().colours["gaugeRed"]
    return sum(row.count(gauge_red) for row in image.rows)


def coloured_pixels(reader, box):
    """Pixels neither white, black nor grey inside a drawing's border: the run's own colours."""
    x, y, width, height = box
    image = reader.grab(x + BORDER, y + BORDER, width - 2 * BORDER, height - 2 * BORDER)
    return sum(1 for row in image.rows for (r, g, b) in row if max(r, g, b) - min(r, g, b) > 40)


def main_client_pixels(x_display, reader, main_window):
    """The main window's client area as it stands now, and its place."""
    main = ProgramWindow(x_display, main_window)
    return (main.x, main.y), reader.grab(main.x, main.y, main.width, main.height)


def check_view_window(x_display, main, view_window):
    view = ProgramWindow(x_display, view_window)
    width, height = expected_layout().view_size
    if view.width != width or view.height > height:
        raise Failure(f"the view is {view.width} x {view.height}, expected {width} wide and at most {height} high")
    if not (0 <= view.x and view.x + view.width <= SCREEN[0] and 0 <= view.y and view.y + view.height <= SCREEN[1]):
        raise Failure(f"the view at ({view.x}, {view.y}) reaches past the {SCREEN[0]} x {SCREEN[1]} screen")
    main = ProgramWindow(x_display, main.window)  # where it stands now
    if (view.x < main.x + main.width and main.x < view.x + view.width and view.y < main.y + main.height
            and main.y < view.y + view.height):
        raise Failure(f"the view at ({view.x}, {view.y}) {view.width} x {view.height} overlaps the main window at "
                      f"({main.x}, {main.y})")
    transient = view_window.get_wm_transient_for()
    if transient is None or transient.id != main.window.id:
        raise Failure(f"the view is transient for {transient and hex(transient.id)}, expected the main window "
                      f"{hex(main.window.id)}")
    print(f"ok: F2 opened {VIEW_TITLE!r}, {view.width} x {view.height} at ({view.x}, {view.y}), clear of the main "
          f"window at ({main.x}, {main.y}) and transient for it")
    return view


class ViewTree:
    """The view's accessible objects."""

    def __init__(self, pyatspi, application):
        self.P = pyatspi
        frames = [application.getChildAtIndex(i) for i in range(application.childCount)]
        views = [frame for frame in frames if frame is not None and frame.name == VIEW_TITLE]
        if len(views) != 1:
            raise Failure(f"the application's windows are {[frame.name for frame in frames if frame]}; expected "
                          f"one named {VIEW_TITLE!r}")
        self.frame = views[0]
        self.objects = []
        self._walk(self.frame, 0)

    def _walk(self, accessible, depth):
        if depth > 8:
            return
        self.objects.append(accessible)
        if accessible.getRole() == self.P.ROLE_TABLE:
            return  # its cells are read through the table
        for index in range(accessible.childCount):
            child = accessible.getChildAtIndex(index)
            if child is not None:
                self._walk(child, depth + 1)

    def one(self, name, role):
        """The one object of this name and role (a drawing's title is also a label's text)."""
        named = [item for item in self.objects if item.name == name]
        found = [item for item in named if item.getRole() == role]
        if len(found) != 1:
            raise Failure(f"{len(found)} objects in the view are a {role} named {name!r}; the ones "
                          f"of that name are {[item.getRoleName() for item in named]}")
        return found[0]


def description(accessible):
    accessible.clearCache()
    return accessible.description


def check_accessible_view(pyatspi, process, running):
    """The view's table and drawings as a screen reader finds them."""
    P = pyatspi
    application = wait_for(lambda: find_application(P, process), TIMEOUT, "the program on the accessibility bus",
                           interval=0.2)
    tree = wait_for(lambda: ViewTree(P, application), TIMEOUT, "the view on the accessibility bus", interval=0.2)
    if tree.frame.getRole() not in (P.ROLE_FRAME, P.ROLE_WINDOW, P.ROLE_DIALOG):
        raise Failure(f"the view is a {tree.frame.getRoleName()}, expected a frame")

    table = tree.one(BANDS, P.ROLE_TABLE).queryTable()
    headers = [table.getColumnDescription(column) for column in range(table.nColumns)]
    if headers != HEADERS:
        raise Failure(f"the table's column headers are {headers}, expected {HEADERS}")
    if running:
        # A cell's header, as a screen reader reads it with the cell.
        wait_for(lambda: table.nRows > 0, TIMEOUT, "the table's first row")
        cell_headers = [getattr(table.getColumnHeader(column), "name", None) for column in range(table.nColumns)]
        if cell_headers != HEADERS:
            raise Failure(f"the header cells of the table's columns are {cell_headers}, expected {HEADERS}")
    print(f"ok: {BANDS!r} is a table of {table.nRows} row(s) with the headers {headers}")

    # One image for each picture box of the design, each named by its title.
    drawings = [item for item in tree.objects if item.getRole() == P.ROLE_IMAGE]
    expected = [name for name, widget in expected_layout().view_widgets.items() if widget["kind"] == "PictureBox"]
    if len(drawings) != len(expected):
        raise Failure(f"the view has {len(drawings)} images ({[item.name for item in drawings]}); the design has "
                      f"{len(expected)} picture boxes ({expected})")
    boxes = []
    for drawing in drawings:
        extents = drawing.queryComponent().getExtents(P.DESKTOP_COORDS)
        boxes.append((drawing.name, (extents.x, extents.y, extents.width, extents.height)))
    if not {TRACE, LOOP} <= {drawing.name for drawing in drawings}:
        raise Failure(f"the view's images are {[item.name for item in drawings]}; expected {TRACE!r} and {LOOP!r}")
    for drawing in drawings:
        name = drawing.name
        if running:
            text = wait_for(lambda: (text := description(drawing)) not in ("", NO_DATA) and text, TIMEOUT,
                            f"{name!r} to describe the run")
        else:
            text = description(drawing)
            if name in (TRACE, LOOP) and text != NO_DATA or not text:
                raise Failure(f"before the run {name!r} is described as {text!r}, expected {NO_DATA!r}")
        print(f"ok: {name!r} is an image described as {text!r}")
    return boxes


def run(program, runtime_dir):
    from Xlib import display as xdisplay

    with Xvfb(*SCREEN) as server:
        print(f"Xvfb on {server.display}")
        env = program_environment(server.display, runtime_dir)
        with AccessibilityBus(env) as bus:
            os.environ["DISPLAY"] = server.display
            os.environ["AT_SPI_BUS_ADDRESS"] = bus.address
            try:
                import pyatspi
            except ImportError as error:
                raise Failure(f"pyatspi cannot be imported for {sys.executable} ({error}); "
                              f"Debian package python3-pyatspi")
            env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
            with running_program(program, env) as process:
                x_display = xdisplay.Display(server.display)
                try:
                    drive(pyatspi, x_display, server, process)
                finally:
                    x_display.close()


def drive(pyatspi, x_display, server, process):
    def alive(condition):
        def check():
            if process.poll() is not None:
                raise Failure(f"the program exited with status {process.returncode}")
            return condition()
        return check

    main = ProgramWindow(x_display, wait_for(alive(lambda: find_program_window(x_display, CAPTION_WORD)), TIMEOUT,
                                             "the main window"))
    if (main.width, main.height) != MAIN_SIZE:
        raise Failure(f"the main window is {main.width} x {main.height}, expected {MAIN_SIZE}")
    if find_view(x_display) is not None:
        raise Failure("the view is open at start")
    reader = ScreenReader(x_display)

    xdotool(server.display, "windowfocus", "--sync", str(main.window.id))
    # The main window idle, as it looks: with the text caret shown and hidden.
    seen = []
    for _ in range(8):
        _, image = main_client_pixels(x_display, reader, main.window)
        if image not in seen:
            seen.append(image)
        time.sleep(0.2)
    xdotool(server.display, "key", "F2")
    check_view_window(x_display, main, wait_for(alive(lambda: find_view(x_display)), TIMEOUT,
                                               f"F2 to open a window titled {VIEW_TITLE!r}"))
    boxes = check_accessible_view(pyatspi, process, running=False)
    place, after = wait_for(alive(lambda: (grab := main_client_pixels(x_display, reader, main.window))[1] in seen
                                  and grab), TIMEOUT, "every pixel of the main window to show as before F2")
    print(f"ok: with the view open, all {main.width} x {main.height} pixels of the main window show as before, "
          f"the window at {place} (was ({main.x}, {main.y}))")
    main = ProgramWindow(x_display, main.window)

    click(x_display, main.x + START_BUTTON[0] + START_BUTTON[2] // 2, main.y + START_BUTTON[1] + START_BUTTON[3] // 2)
    print("clicked 'Пусни'")
    trace = dict(boxes)[TRACE]
    first = wait_for(alive(lambda: red_pixels(reader, trace)), TIMEOUT, "the view's trace to show red")
    grown = wait_for(alive(lambda: (count := red_pixels(reader, trace)) > first + 20 and count), TIMEOUT,
                     "the view's trace to grow")
    print(f"ok: the trace shows the run in red ({first} -> {grown} pixels)")
    boxes = check_accessible_view(pyatspi, process, running=True)
    for name, box in boxes:
        count = wait_for(alive(lambda: coloured_pixels(reader, box)), TIMEOUT, f"{name!r} to show the run in colour")
        print(f"ok: {name!r} at {box} shows the run in colour ({count} pixels)")

    # F2 again, wherever the focus is among the program's windows.
    xdotool(server.display, "windowfocus", "--sync", str(main.window.id))
    xdotool(server.display, "key", "F2")
    wait_for(alive(lambda: find_view(x_display) is None), TIMEOUT, "F2 to close the view")
    print("ok: F2 closed the view")

    # The gauge's context menu: a right click, then its one item.
    gauge = (main.x + GAUGE[0] + GAUGE[2] // 2, main.y + GAUGE[1] + GAUGE[3] // 2)
    from Xlib import X
    from Xlib.ext import xtest
    xtest.fake_input(x_display, X.MotionNotify, x=gauge[0], y=gauge[1])
    x_display.sync()
    time.sleep(0.05)
    xtest.fake_input(x_display, X.ButtonPress, 3)
    x_display.sync()
    time.sleep(0.05)
    xtest.fake_input(x_display, X.ButtonRelease, 3)
    x_display.sync()
    time.sleep(0.5)  # the menu opens below and right of the pointer
    click(x_display, gauge[0] + 30, gauge[1] + 12)
    wait_for(alive(lambda: find_view(x_display)), TIMEOUT, "the gauge's menu item to open the view again")
    print("ok: the gauge's context menu opened the view again")

    # Closing the main window ends the program, the view's open or not.
    close_window(x_display, main.window, process, TIMEOUT)


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    if not in_private_session():
        return restart_in_private_session(__file__)
    return run_checks(sys.argv[1], "dulmeri-view-", run)


if __name__ == "__main__":
    sys.exit(main())
