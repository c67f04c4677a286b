"""The Windows program under Wine on the tests' private X server.

Wine is told not to hand its windows to a window manager (there is none on
Xvfb), so it draws the window's border, caption and close box itself, and
the X window is the whole Windows window. The client area is found inside
it from the design's client size (expected_layout.json, named by
DULMERI_EXPECTED_LAYOUT).
"""

import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source tree clean when run from it
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import x11_session  # noqa: E402
from x11_session import (CAPTION_WORD, Failure, ScreenReader, check_area,  # noqa: E402
                         click, expected_layout, find_program_window, gauge_red_rows, wait_for,
                         wait_until_painted, window_name)

# The Windows tests take everything from here: the helpers below and, shared
# with the Linux tests, the X11 session's.
__all__ = ["TIMEOUT", "Wine", "ProgramWindow", "wait_for_window", "close_and_expect_status_0", "stop", "Failure",
           "ScreenReader", "check_area", "expected_layout", "gauge_red_rows", "wait_for", "wait_until_painted",
           "window_name", "find_program_window", "x11_session"]

TIMEOUT = 30


class Wine:
    """tools/wine-run with the tests' prefix and display."""

    def __init__(self, wine_run, prefix, display_file):
        self.wine_run = wine_run
        self.prefix = prefix
        self.display_file = display_file
        with open(display_file) as f:
            self.display = f.read().strip()
        if not self.display:
            raise Failure(f"no X display in {display_file}")

    def command(self, program, *arguments):
        return [self.wine_run, f"--prefix={self.prefix}", f"--display-file={self.display_file}", program,
                *arguments]

    def environment(self):
        env = dict(os.environ)
        env["LC_ALL"] = "C.UTF-8"
        return env

    def run(self, program, *arguments, timeout=120):
        return subprocess.run(self.command(program, *arguments), env=self.environment(),
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)

    def start(self, program, *arguments):
        output = tempfile.TemporaryFile()
        process = subprocess.Popen(self.command(program, *arguments), env=self.environment(),
                                   stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.STDOUT)
        process.output_file = output
        return process


class ProgramWindow(x11_session.ProgramWindow):
    """The program's window: its X window and its client area on the screen."""

    def __init__(self, display, window):
        super().__init__(display, window)
        client_width, client_height = expected_layout().width, expected_layout().height
        border = (self.width - client_width) // 2
        if border < 0 or self.height < client_height + 2 * border:
            raise Failure(f"the window is {self.width} x {self.height}, too small for a client area of "
                          f"{client_width} x {client_height}")
        self.client_x = self.x + border
        self.client_y = self.y + self.height - border - client_height
        self.border = border

    def click_client(self, x, y):
        click(self.display, self.client_x + x, self.client_y + y)

    def click_close_box(self):
        """A real click on the close box at the right end of the caption."""
        caption_height = self.client_y - self.y - self.border
        click(self.display, self.x + self.width - self.border - 2 - caption_height // 2,
              self.y + self.border + caption_height // 2)


def wait_for_window(display, process):
    def alive_window():
        if process.poll() is not None:
            raise Failure(f"the program exited with status {process.returncode} before its window appeared")
        return find_program_window(display, CAPTION_WORD)

    window = wait_for(alive_window, TIMEOUT, f"a window whose caption contains {CAPTION_WORD!r}")
    return ProgramWindow(display, window)


def close_and_expect_status_0(window, process):
    window.click_close_box()
    x11_session.expect_exit_status_0(process, TIMEOUT, "a click on its close box")
    print("ok: closed with the close box, the program exited with status 0")


def stop(process):
    if process is not None and process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
