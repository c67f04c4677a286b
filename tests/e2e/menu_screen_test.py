#!/usr/bin/python3
"""The scroll bar's context menu on the screen of an X server without a
compositor, the first time it is opened.

    menu_screen_test.py PROGRAM

Starts PROGRAM under its own Xvfb (no window manager, no compositor), waits
for its window to be painted, right-clicks the scroll bar with real pointer
events (XTest) before any other menu has been opened, and reads the root
window where the menu lies, in the two ways the screen is read:

  - the X server's own copy of the screen (a GetImage of the root window):
    what the monitor shows and what a VNC server sends;
  - `xwd -root`, which assembles the screen window by window, grouped by
    visual and colormap, as screen grabs of that kind do.

Both must show the menu as drawn: a light background with dark writing on it.
The menu lies wholly inside the program's window there. Qt gives each window
a colormap of its own; the grab then took the menu's area from the main
window beneath it, and the X server gives black for a window's hidden parts:
the menu showed as a black rectangle (src/qt/x11_colormap.h).
"""

import importlib
import os
import shutil
import struct
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean when run from it
from x11_session import (CAPTION_WORD, Failure, ProgramWindow, ScreenImage, ScreenReader, Xvfb, click,
                         close_window, find_program_window, program_environment, run_checks, running_program,
                         wait_for, wait_until_painted)

WINDOW_BACKGROUND = (192, 192, 255)
# VScroll1 at (104, 32), 25 x 209 pixels in the client area (widget_table.cpp
# gives it in twips, 15 to a pixel); the right click goes to its middle.
SCROLL_BAR = (104, 32, 25, 209)

TIMEOUT = 20  # seconds for any one condition to come true on a slow machine

# A menu as drawn: most of it light (the background), some of it dark (the
# writing). Black everywhere, or any one flat colour, is neither.
LIGHT_SHARE = 0.5
DARK_PIXELS = 100


def light(pixel):
    return min(pixel) >= 200


def dark(pixel):
    return max(pixel) <= 100


def menu_shown(image):
    """(whether `image` shows a drawn menu, what it shows, in words)."""
    pixels = [pixel for row in image.rows for pixel in row]
    lights = sum(1 for pixel in pixels if light(pixel))
    darks = sum(1 for pixel in pixels if dark(pixel))
    blacks = sum(1 for pixel in pixels if pixel == (0, 0, 0))
    words = (f"{lights / len(pixels):.0%} light, {darks} dark pixels "
             f"({blacks / len(pixels):.0%} of all pure black)")
    return lights >= LIGHT_SHARE * len(pixels) and darks >= DARK_PIXELS, words


def read_xwd(data, area):
    """The pixels of `area` (x, y, width, height) in an XWD screen dump.

    The header is 25 big-endian 32-bit fields, then the window name, then
    the colour map (12 bytes an entry), then the pixels in Z format with the
    header's bits per pixel, line length, byte order and colour masks.
    """
    (header_size, _version, pixmap_format, _depth, width, height, _xoffset, byte_order, _unit,
     _bit_order, _pad, bits_per_pixel, bytes_per_line, _visual_class, red_mask, green_mask, blue_mask,
     _bits_per_rgb, _entries, colours) = struct.unpack(">20I", data[:80])
    if pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise Failure(f"xwd wrote a dump in a form this test does not read (pixmap format {pixmap_format}, "
                      f"{bits_per_pixel} bits a pixel)")
    x0, y0, area_width, area_height = area
    if x0 < 0 or y0 < 0 or x0 + area_width > width or y0 + area_height > height:
        raise Failure(f"the area {area} is not on the {width} x {height} screen that xwd dumped")
    pixels = header_size + colours * 12
    size = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"
    channels = []
    for mask in (red_mask, green_mask, blue_mask):
        shift = (mask & -mask).bit_length() - 1
        channels.append((shift, mask >> shift))
    rows = []
    for y in range(y0, y0 + area_height):
        start = pixels + y * bytes_per_line
        row = []
        for x in range(x0, x0 + area_width):
            value = int.from_bytes(data[start + x * size:start + (x + 1) * size], order)
            row.append(tuple(((value >> shift) & top) * 255 // top for shift, top in channels))
        rows.append(row)
    return ScreenImage(area_width, area_height, rows)


def xwd_grab(display_name, area):
    result = subprocess.run(["xwd", "-root", "-silent"], env=dict(os.environ, DISPLAY=display_name),
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=TIMEOUT)
    if result.returncode != 0:
        raise Failure(f"xwd -root failed with status {result.returncode}: "
                      f"{result.stderr.decode(errors='replace').strip()}")
    return read_xwd(result.stdout, area)


def viewable_top_levels(display):
    """{window id: window} of the viewable children of the root window."""
    from Xlib import X
    windows = {}
    for window in display.screen().root.query_tree().children:
        try:
            if window.get_attributes().map_state == X.IsViewable:
                windows[window.id] = window
        except Exception:  # gone while it was looked at
            continue
    return windows


def check_menu(program, runtime_dir):
    from Xlib import display as xdisplay

    if shutil.which("xwd") is None:
        raise Failure("xwd is not installed (Debian package x11-apps)")
    with Xvfb() as server:
        print(f"Xvfb on {server.display}")
        with running_program(program, program_environment(server.display, runtime_dir)) as process:
            x_display = xdisplay.Display(server.display)
            try:
                run_menu_checks(x_display, server, process)
            finally:
                x_display.close()


def run_menu_checks(x_display, server, process):
    if not x_display.has_extension("XTEST"):
        raise Failure("the X server has no XTEST extension")

    def alive_window():
        if process.poll() is not None:
            raise Failure(f"the program exited with status {process.returncode} before its window appeared")
        return find_program_window(x_display, CAPTION_WORD)

    window = ProgramWindow(x_display, wait_for(alive_window, TIMEOUT, f"a window whose caption contains "
                                                                     f"{CAPTION_WORD!r}"))
    reader = ScreenReader(x_display)
    wait_until_painted(lambda: reader.grab(window.x, window.y, window.width, window.height),
                       lambda image: image.pixel(440, 10) == WINDOW_BACKGROUND, TIMEOUT)
    print(f"ok: the window is painted at ({window.x}, {window.y})")

    before = viewable_top_levels(x_display)
    x, y, width, height = SCROLL_BAR
    click(x_display, window.x + x + width // 2, window.y + y + height // 2, button=3)
    print("right-clicked the scroll bar")

    def new_window():
        if process.poll() is not None:
            raise Failure(f"the program exited with status {process.returncode} after the right click")
        added = [w for key, w in viewable_top_levels(x_display).items() if key not in before]
        return added[0] if len(added) == 1 else None

    menu = ProgramWindow(x_display, wait_for(new_window, TIMEOUT, "the context menu's window"))
    area = (menu.x, menu.y, menu.width, menu.height)
    inside = (menu.x >= window.x and menu.y >= window.y and menu.x + menu.width <= window.x + window.width
              and menu.y + menu.height <= window.y + window.height)
    print(f"the menu is at {area}, {'wholly inside' if inside else 'not wholly inside'} the window")
    if not inside:
        raise Failure("the menu does not lie wholly inside the program's window, where the black grab "
                      "showed; the click position no longer tests it")

    seen = {}

    def both_show_menu():
        if process.poll() is not None:
            raise Failure(f"the program exited with status {process.returncode} with its menu open")
        reads = (("the X server's screen (GetImage of the root window)", lambda: reader.grab(*area)),
                 ("xwd -root", lambda: xwd_grab(server.display, area)))
        shown = True
        for name, grab in reads:
            ok, words = menu_shown(grab())
            seen[name] = words
            shown = shown and ok
        return shown

    deadline = time.monotonic() + TIMEOUT
    while not both_show_menu():
        if time.monotonic() > deadline:
            raise Failure(f"after {TIMEOUT} s the screen, read where the menu lies, does not show a drawn menu "
                          f"(at least {LIGHT_SHARE:.0%} light, {DARK_PIXELS} dark pixels) both ways: "
                          + "; ".join(f"{name}: {words}" for name, words in seen.items()))
        time.sleep(0.2)
    for name, words in seen.items():
        print(f"ok: {name} shows the menu drawn: {words}")

    # Close the menu, then the window; the program must end with status 0.
    from Xlib import XK, X
    from Xlib.ext import xtest
    escape = x_display.keysym_to_keycode(XK.string_to_keysym("Escape"))
    xtest.fake_input(x_display, X.KeyPress, escape)
    xtest.fake_input(x_display, X.KeyRelease, escape)
    x_display.sync()
    wait_for(lambda: menu.window.id not in viewable_top_levels(x_display), TIMEOUT, "the menu to close on Escape")
    print("ok: Escape closed the menu")
    close_window(x_display, window.window, process, TIMEOUT)


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    try:
        importlib.import_module("Xlib")
    except ImportError:
        print(f"FAIL: python3-xlib is missing for {sys.executable} (Debian package python3-xlib)")
        return 1
    return run_checks(sys.argv[1], "dulmeri-menu-", check_menu)


if __name__ == "__main__":
    sys.exit(main())
