"""A private X server for the end-to-end tests and a way to read its screen.

Each test starts its own Xvfb on a display number the server picks itself
(-displayfd), so tests can run side by side and never touch the user's
display. There is no window manager: the program's window is placed exactly
where the program asks, and closing it is done by sending the same message a
window manager would send.
"""

import contextlib
import functools
import json
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768
# A word of the program's window caption, by which its window is found.
CAPTION_WORD = "терморегулатор"


class Failure(Exception):
    """A check failed; the message says what was expected and what was seen."""


def wait_for(condition, timeout, what, interval=0.05):
    """Polls condition() until it returns a true value, which is returned.

    Fails with a message naming `what` when the timeout passes first. The
    timeout is a safety net for a slow machine, not a measurement.
    """
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise Failure(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


class Xvfb:
    """An Xvfb server with a 24-bit screen, stopped when the block ends."""

    def __init__(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT):
        self.width = width
        self.height = height
        self.process = None
        self.display = None

    def __enter__(self):
        if shutil.which("Xvfb") is None:
            raise Failure("Xvfb is not installed (Debian package xvfb)")
        read_end, write_end = os.pipe()
        self._log = tempfile.TemporaryFile()
        try:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end),
                 "-screen", "0", f"{self.width}x{self.height}x24",
                 "-dpi", "96", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                stdout=self._log, stderr=subprocess.STDOUT,
                start_new_session=True)
        finally:
            os.close(write_end)
        try:
            number = b""
            deadline = time.monotonic() + 30
            while not number.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                ready, _, _ = select.select([read_end], [], [], max(remaining, 0))
                if not ready:
                    raise Failure("Xvfb did not report a display number within 30 s" + self._log_text())
                chunk = os.read(read_end, 64)
                if not chunk:
                    raise Failure("Xvfb exited before it was ready" + self._log_text())
                number += chunk
        except BaseException:
            self.stop()
            raise
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def _log_text(self):
        self._log.seek(0)
        text = self._log.read().decode(errors="replace").strip()
        return "\nXvfb said:\n" + text if text else ""

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self._log.close()


def stop_process(process, name):
    """Ends a process the test started, politely first; returns its status."""
    if process is None:
        return None
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            print(f"{name} did not end on SIGTERM; killing it")
            process.kill()
            process.wait()
    return process.returncode


def program_environment(display, runtime_dir):
    """The environment for the program under test on the private server.

    Everything that would steer Qt elsewhere (another display, Wayland, the
    offscreen platform, a scale factor) is removed.
    """
    env = dict(os.environ)
    for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                 "QT_ENABLE_HIGHDPI_SCALING", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_FONT_DPI",
                 "QT_STYLE_OVERRIDE", "QT_QPA_PLATFORMTHEME", "XAUTHORITY"):
        env.pop(name, None)
    env["DISPLAY"] = display
    env["XDG_RUNTIME_DIR"] = runtime_dir
    return env


class ScreenImage:
    """A rectangle of the screen as RGB triples, addressed by (x, y)."""

    def __init__(self, width, height, rows):
        self.width = width
        self.height = height
        self.rows = rows  # rows[y][x] == (r, g, b)

    def pixel(self, x, y):
        return self.rows[y][x]

    def crop(self, x, y, width, height):
        return ScreenImage(width, height, [row[x:x + width] for row in self.rows[y:y + height]])

    def __eq__(self, other):
        return isinstance(other, ScreenImage) and self.rows == other.rows


def _mask_shift(mask):
    """(shift, mask >> shift) of a visual's colour mask."""
    shift = 0
    while mask and not mask & 1:
        mask >>= 1
        shift += 1
    return shift, mask


_BGRX = [(16, 0xFF), (8, 0xFF), (0, 0xFF)]


class ScreenReader:
    """Reads real pixels from the root window of an X display."""

    def __init__(self, display):
        from Xlib import X
        self._X = X
        self.display = display
        self.root = display.screen().root
        screen = display.screen()
        visual = None
        for depth in screen.allowed_depths:
            for candidate in depth.visuals:
                if candidate.visual_id == screen.root_visual:
                    visual = candidate
        if visual is None:
            raise Failure("cannot find the root window's visual")
        self._channels = [_mask_shift(mask) for mask in (visual.red_mask, visual.green_mask, visual.blue_mask)]
        info = display.display.info
        formats = {f.depth: f for f in info.pixmap_formats}
        pixmap_format = formats.get(screen.root_depth)
        if pixmap_format is None or pixmap_format.bits_per_pixel not in (24, 32):
            raise Failure(f"unexpected pixel format for depth {screen.root_depth}")
        self._bytes_per_pixel = pixmap_format.bits_per_pixel // 8
        self._pad = pixmap_format.scanline_pad // 8
        self._byte_order = "little" if info.image_byte_order == X.LSBFirst else "big"

    def grab(self, x, y, width, height):
        reply = self.root.get_image(x, y, width, height, self._X.ZPixmap, 0xFFFFFFFF)
        data = reply.data
        stride = width * self._bytes_per_pixel
        stride = (stride + self._pad - 1) // self._pad * self._pad
        if self._bytes_per_pixel == 4 and self._byte_order == "little" and self._channels == _BGRX:
            # The usual layout (B, G, R, unused per pixel): slice the bytes.
            rows = []
            for row in range(height):
                line = data[row * stride:row * stride + width * 4]
                rows.append(list(zip(line[2::4], line[1::4], line[0::4])))
            return ScreenImage(width, height, rows)
        rows = []
        for row in range(height):
            start = row * stride
            line = []
            for column in range(width):
                offset = start + column * self._bytes_per_pixel
                value = int.from_bytes(data[offset:offset + self._bytes_per_pixel], self._byte_order)
                line.append(tuple(((value >> shift) & mask) * 255 // mask for shift, mask in self._channels))
            rows.append(line)
        return ScreenImage(width, height, rows)


class Layout:
    """The window as the design lays it out, in pixels of the client area at
    96 DPI: expected_layout.json, written at build time from the design table
    by tests/design/design_layout.cpp."""

    def __init__(self, data):
        self.width, self.height = data["client"]
        self.colours = {name: tuple(rgb) for name, rgb in data["colours"].items()}
        self.widgets = data["widgets"]
        # The view's widgets at its design height, in the design table's order.
        self.view_size = tuple(data["observation"])
        self.view_widgets = data["observationWidgets"]

    def box(self, name):
        """(x, y, width, height) of a widget in the client area."""
        return tuple(self.widgets[name]["box"])

    def background(self, name):
        return tuple(self.widgets[name]["background"])

    def point(self, name, dx, dy):
        """A point of a widget, dx and dy from its top left corner (a
        negative one from its right or bottom edge)."""
        x, y, width, height = self.box(name)
        return x + (dx if dx >= 0 else width + dx), y + (dy if dy >= 0 else height + dy)

    def inside(self, name, border):
        """The widget's box less a border of that many pixels on every side."""
        x, y, width, height = self.box(name)
        return x + border, y + border, width - 2 * border, height - 2 * border

    def bare(self, areas):
        """areas (x, y, width, height), each checked to lie in the client area
        clear of every widget shown, so that it must show the bare window; a
        test whose areas do not stops at once."""
        for area in areas:
            x, y, width, height = area
            if x < 0 or y < 0 or x + width > self.width or y + height > self.height:
                raise SystemExit(f"FAIL: the area {area} lies outside the client area")
            for name, widget in self.widgets.items():
                wx, wy, ww, wh = widget["box"]
                if widget["visible"] and x < wx + ww and wx < x + width and y < wy + wh and wy < y + height:
                    raise SystemExit(f"FAIL: the area {area}, meant to be bare window, overlaps {name} "
                                     f"{tuple(widget['box'])}")
        return areas


@functools.cache
def expected_layout():
    """The Layout from the file named by DULMERI_EXPECTED_LAYOUT (CTest sets it)."""
    path = os.environ.get("DULMERI_EXPECTED_LAYOUT")
    if not path:
        raise SystemExit("FAIL: DULMERI_EXPECTED_LAYOUT is not set: it names the build's expected_layout.json")
    try:
        with open(path, encoding="utf-8") as layout:
            return Layout(json.load(layout))
    except (OSError, ValueError, KeyError) as error:
        raise SystemExit(f"FAIL: cannot read the expected layout {path}: {error}")


def describe(colour):
    return "RGB(%d, %d, %d)" % colour


def check_area(image, area, colour, what):
    """Every pixel of area (x, y, width, height) in image must be colour."""
    x0, y0, width, height = area
    wrong = [(x, y, image.pixel(x, y)) for y in range(y0, y0 + height) for x in range(x0, x0 + width)
             if image.pixel(x, y) != colour]
    if wrong:
        x, y, seen = wrong[0]
        raise Failure(f"{what}: expected {describe(colour)} in the area {area} of the client area, "
                      f"but {len(wrong)} of {width * height} pixels differ; the first is ({x}, {y}) "
                      f"showing {describe(seen)}")
    print(f"ok: {what} is {describe(colour)}")


def gauge_red_rows(image, inside):
    """How many rows at the bottom of the gauge's inside (x, y, width,
    height in image) are red.

    Every column must be blue from the top down to the level and red from the
    level to the bottom, at the same level in every column; anything else
    fails.
    """
    x0, y0, width, height = inside
    colours = expected_layout().colours
    gauge_red, gauge_blue = colours["gaugeRed"], colours["gaugeBlue"]
    levels = set()
    for x in range(x0, x0 + width):
        column = [image.pixel(x, y) for y in range(y0, y0 + height)]
        red = 0
        while red < height and column[height - 1 - red] == gauge_red:
            red += 1
        for y in range(height - red):
            if column[y] != gauge_blue:
                raise Failure(f"the gauge column at x={x} shows {describe(column[y])} at y={y0 + y}; "
                              f"expected blue above the level and red below it "
                              f"({red} red rows at the bottom of that column)")
        levels.add(red)
    if len(levels) != 1:
        raise Failure(f"the gauge's level differs between columns: {sorted(levels)} red rows")
    return levels.pop()


def window_name(display, window):
    """The window's caption: _NET_WM_NAME in UTF-8, else WM_NAME."""
    utf8 = display.intern_atom("UTF8_STRING")
    net_name = display.intern_atom("_NET_WM_NAME")
    try:
        prop = window.get_full_property(net_name, utf8)
        if prop is not None and prop.value:
            value = prop.value
            return value.decode("utf-8", "replace") if isinstance(value, bytes) else str(value)
        name = window.get_wm_name()
        if isinstance(name, bytes):
            return name.decode("latin-1")
        return name or ""
    except Exception:  # the window went away while it was looked at
        return ""


def find_program_window(display, caption_word):
    """The viewable top-level window whose caption contains caption_word, or None."""
    from Xlib import X
    root = display.screen().root
    for window in root.query_tree().children:
        if caption_word not in window_name(display, window):
            continue
        try:
            if window.get_attributes().map_state != X.IsViewable:
                continue
        except Exception:
            continue
        return window
    return None


def click(display, x, y, button=1):
    """A real click at screen position (x, y), through XTest: the left
    button unless another is given (3 is the right one)."""
    from Xlib import X
    from Xlib.ext import xtest
    xtest.fake_input(display, X.MotionNotify, x=x, y=y)
    display.sync()
    time.sleep(0.05)
    xtest.fake_input(display, X.ButtonPress, button)
    display.sync()
    time.sleep(0.05)
    xtest.fake_input(display, X.ButtonRelease, button)
    display.sync()


class ProgramWindow:
    """The program's top-level window: where it is on the screen and its size."""

    def __init__(self, display, window):
        self.display = display
        self.window = window
        root = display.screen().root
        geometry = window.get_geometry()
        origin = window.translate_coords(root, 0, 0)
        self.x, self.y = -origin.x, -origin.y
        self.width, self.height = geometry.width, geometry.height


def wait_until_painted(grab, painted, timeout, interval=0.2):
    """The first paint may come a little after the window is mapped: waits
    until two grabs in a row agree and painted(image) holds; the image."""
    previous = [None]

    def settled():
        image = grab()
        stable = image == previous[0] and painted(image)
        previous[0] = image
        return image if stable else None

    return wait_for(settled, timeout, "the window to be painted", interval=interval)


def expect_exit_status_0(process, timeout, after):
    """Waits for the program to end after something; it must end with status 0."""
    try:
        status = process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        raise Failure(f"the program did not exit within {timeout} s of {after}")
    if status != 0:
        raise Failure(f"after {after} the program exited with status {status}, expected 0")


def close_window(display, window, process, timeout=30):
    """Closes the window as a window manager's close box does (a
    WM_DELETE_WINDOW client message) and expects the program to exit 0."""
    from Xlib import X, protocol
    wm_protocols = display.intern_atom("WM_PROTOCOLS")
    wm_delete = display.intern_atom("WM_DELETE_WINDOW")
    if wm_delete not in (window.get_wm_protocols() or []):
        raise Failure("the window does not take part in WM_DELETE_WINDOW (not in its WM_PROTOCOLS)")
    event = protocol.event.ClientMessage(window=window, client_type=wm_protocols,
                                         data=(32, [wm_delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(event, event_mask=X.NoEventMask)
    display.sync()
    expect_exit_status_0(process, timeout, "WM_DELETE_WINDOW")
    print("ok: window closed, the program exited with status 0")


@contextlib.contextmanager
def running_program(program, env):
    """Runs the program for the block, its output kept aside.

    When a check in the block fails, the program's output is printed with the
    failure; in every outcome the program is stopped.
    """
    output = tempfile.TemporaryFile()
    process = None
    try:
        process = subprocess.Popen([program], env=env, stdin=subprocess.DEVNULL, stdout=output,
                                   stderr=subprocess.STDOUT)
        yield process
    except Failure:
        output.seek(0)
        text = output.read().decode("utf-8", "replace").strip()
        if text:
            print("the program's output:\n" + text)
        raise
    finally:
        stop_process(process, "the program")
        output.close()


def run_checks(program, prefix, checks):
    """Runs checks(program, runtime_dir) and reports PASS or FAIL.

    The program must be an executable file; it gets a private runtime folder.
    Returns the exit status for the test: 0 on success, 1 on a failure.
    A test never skips: what it needs, tools/setup.sh installs, so a tool
    that is missing or does not start is a failure.
    """
    program = os.path.abspath(program)
    if not os.access(program, os.X_OK):
        print(f"FAIL: {program} is not an executable file")
        return 1
    return report_checks(prefix, lambda runtime_dir: checks(program, runtime_dir))


def report_checks(prefix, checks):
    """Runs checks(runtime_dir) in a private runtime folder and reports PASS
    or FAIL; returns the test's exit status as run_checks does."""
    started = time.monotonic()
    try:
        with tempfile.TemporaryDirectory(prefix=prefix) as runtime_dir:
            os.chmod(runtime_dir, 0o700)
            checks(runtime_dir)
    except Failure as failure:
        print(f"FAIL: {failure}")
        return 1
    print(f"PASS ({time.monotonic() - started:.1f} s)")
    return 0
