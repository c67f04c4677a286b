"""A private Xvfb for the measurements in bench/, and small X helpers.

The server picks its own display number (-displayfd), so a measurement never
touches another display. There is no window manager: a top-level window is
mapped the moment the program maps it.
"""

import os
import select
import shutil
import subprocess
import sys
import tempfile

from Xlib import display as xdisplay


class Xvfb:
    """An Xvfb with a 24-bit 1024x768 screen at 96 DPI, stopped on exit."""

    def __init__(self, width=1024, height=768):
        self.size = (width, height)
        self.process = None
        self.display = None

    def __enter__(self):
        if shutil.which("Xvfb") is None:
            sys.exit("Xvfb is not installed (Debian package xvfb)")
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end),
             "-screen", "0", f"{self.size[0]}x{self.size[1]}x24",
             "-dpi", "96", "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], 10)
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                self.process.kill()
                sys.exit("Xvfb did not start")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait()


def program_environment(display, workdir):
    """The environment both timed programs get: the caller's, on the private
    display, with no session bus (libdbus would otherwise start one for the
    display on the first program's behalf) and a private runtime folder."""
    env = dict(os.environ)
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("WAYLAND_DISPLAY", None)
    env["DISPLAY"] = display
    env["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={workdir}/no-session-bus"
    runtime = os.path.join(workdir, "runtime")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env["XDG_RUNTIME_DIR"] = runtime
    return env


def temporary_folder():
    return tempfile.TemporaryDirectory(prefix="dulmeri-bench-")


def open_display(name):
    return xdisplay.Display(name)

