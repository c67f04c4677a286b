"""A private D-Bus session with its own accessibility bus, for the tests
that read the program as a screen reader does.

A test restarts itself under dbus-run-session (restart_in_private_session),
then starts at-spi-bus-launcher on that session (AccessibilityBus); the
registry daemon is started on demand by the bus. Nothing of the user's
session is touched.
"""

import os
import shutil
import subprocess
import sys
import tempfile

from x11_session import CAPTION_WORD, Failure, stop_process, wait_for

SESSION_MARK = "DULMERI_E2E_PRIVATE_DBUS_SESSION"
BUS_LAUNCHERS = ["/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher"]
TIMEOUT = 20  # seconds for the bus to come up on a slow machine


def in_private_session():
    return os.environ.get(SESSION_MARK) == "1"


def restart_in_private_session(script):
    """Runs script again, with this process's arguments, inside its own D-Bus
    session bus; returns only on failure."""
    dbus_run_session = shutil.which("dbus-run-session")
    if dbus_run_session is None:
        print("FAIL: dbus-run-session is missing (Debian package dbus-daemon)")
        return 1
    env = dict(os.environ)
    for name in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "DISPLAY"):
        env.pop(name, None)
    env[SESSION_MARK] = "1"
    sys.stdout.flush()
    os.execve(dbus_run_session, [dbus_run_session, "--", sys.executable, os.path.abspath(script)]
              + sys.argv[1:], env)


class AccessibilityBus:
    """at-spi-bus-launcher on the private session bus, stopped when the block ends."""

    def __init__(self, env):
        self.env = env
        self.process = None
        self.address = None

    def __enter__(self):
        launcher = next((path for path in BUS_LAUNCHERS if os.access(path, os.X_OK)), None)
        if launcher is None:
            raise Failure("at-spi-bus-launcher is missing (Debian package at-spi2-core)")
        self._log = tempfile.TemporaryFile()
        self.process = subprocess.Popen([launcher, "--launch-immediately", "--a11y=1"], env=self.env,
                                        stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT)
        try:
            self.address = wait_for(self._address, TIMEOUT, "the accessibility bus to come up", interval=0.1)
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        stop_process(self.process, "at-spi-bus-launcher")
        self._log.close()
        return False

    def _address(self):
        from gi.repository import Gio, GLib
        if self.process.poll() is not None:
            self._log.seek(0)
            raise Failure(f"at-spi-bus-launcher exited with status {self.process.returncode}:\n"
                          + self._log.read().decode("utf-8", "replace"))
        bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        try:
            reply = bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                                  GLib.VariantType("(s)"), Gio.DBusCallFlags.NO_AUTO_START, 2000, None)
        except GLib.Error:
            return None  # not on the bus yet
        return reply.unpack()[0]


def find_application(pyatspi, process):
    """The accessible application whose window caption names the program."""
    desktop = pyatspi.Registry.getDesktop(0)
    if process.poll() is not None:
        raise Failure(f"the program exited with status {process.returncode} before it appeared "
                      f"on the accessibility bus")
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is None:
            continue
        for window_index in range(application.childCount):
            window = application.getChildAtIndex(window_index)
            if window is not None and CAPTION_WORD in (window.name or ""):
                return application
    return None
