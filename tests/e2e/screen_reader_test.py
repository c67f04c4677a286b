#!/usr/bin/python3
"""What a blind pupil hears: the real program read by the real Orca.

    screen_reader_test.py PROGRAM

Runs in a private D-Bus session with its own Xvfb and accessibility bus (as
accessibility_test.py does) and starts Orca there with a settings folder and
a debug log of its own. Orca needs no sound device: every utterance is in
its log as a "SPEECH OUTPUT" line, which the test reads as it is written
(the log is a pseudo-terminal, so Orca writes it line by line). The keys are
real key presses (xdotool) on the program's window; the program's state is
read through AT-SPI, never assumed. It checks, from what Orca says:

  - Tab through every control that takes the focus: each is spoken with its
    name; the threshold boxes with their whole text (81, 100, 90, and later
    13.2 and an empty box); the gauge with the heater's state;
  - "Пусни" and "Спри" confirmed;
  - a run with a narrow band (30 / 40, the heater switches every second):
    every switch of the indicator that AT-SPI reports is announced, once and
    in order, whichever control has the focus; with the scroll bar focused
    the run's steps are read at most about once a second, and the pupil's
    own arrow key is read, while running and stopped; with the gauge focused
    no step is read;
  - closing the window ends the program with status 0.

Where Orca is missing or does not start the test fails.
"""

import os
import re
import shutil
import subprocess
import sys
import threading
import time

sys.dont_write_bytecode = True  # keep the source tree clean when run from it
from atspi_session import AccessibilityBus, find_application, in_private_session, restart_in_private_session
from x11_session import (CAPTION_WORD, Failure, Xvfb, close_window, find_program_window,
                         program_environment, run_checks, running_program, stop_process, wait_for)

TIMEOUT = 30  # seconds for anything to be said or done on a loaded machine

ON = "Включено"
OFF = "Изключено"
STARTED = "Симулацията е пусната"
STOPPED = "Симулацията е спряна"
STATE_PREFIX = "Състояние на системата:"
# The controls Tab visits, from the explanation on.
TAB_ORDER = ["Термометър", "Температура", "Долен праг", "Базова максимална стойност", "Горен праг",
             "Пусни", "Спри", "Обяснение"]

SPEECH = re.compile(r"SPEECH OUTPUT: '(.*)' ?\{'")
# What Orca says for a value alone, with no name: a step of a slider, or a
# progress bar's periodic update.
BARE_VALUE = re.compile(r"^\d+(\.\d+)?( percent)?\.?$")
KEY_ECHO = re.compile(r"^(tab|left shift|space|backspace|up|\w) $")


class OrcaLog:
    """Orca's debug log, read from a pseudo-terminal as Orca writes it."""

    def __init__(self, copy_path):
        self.master, slave = os.openpty()
        self.slave_path = os.ttyname(slave)
        self._slave = slave  # kept open, so the terminal outlives Orca's reopening
        self.utterances = []  # (time, text)
        self._lock = threading.Lock()
        self._copy = open(copy_path, "wb")
        self._thread = threading.Thread(target=self._read, daemon=True)
        self._thread.start()

    def _read(self):
        pending = b""
        while True:
            try:
                chunk = os.read(self.master, 65536)
            except OSError:
                return
            if not chunk:
                return
            self._copy.write(chunk)
            pending += chunk
            *lines, pending = pending.split(b"\n")
            for line in lines:
                match = SPEECH.search(line.decode("utf-8", "replace"))
                if match:
                    with self._lock:
                        self.utterances.append((time.monotonic(), match.group(1)))

    def mark(self):
        with self._lock:
            return len(self.utterances)

    def since(self, mark):
        """The texts said since mark, key echoes left out."""
        with self._lock:
            return [text for _, text in self.utterances[mark:] if not KEY_ECHO.match(text)]

    def timed_between(self, start, end=None):
        """(time, text) of what was said from mark start to mark end."""
        with self._lock:
            return [(at, text) for at, text in self.utterances[start:end] if not KEY_ECHO.match(text)]

    def close(self):
        for fd in (self.master, self._slave):
            try:
                os.close(fd)
            except OSError:
                pass
        self._thread.join(timeout=5)
        self._copy.close()


# Orca takes a few seconds to start on an idle machine, and much longer when
# the other tests load both processors: its not starting is a failure, so it
# is given time.
ORCA_START_SECONDS = 150


def start_orca(env, runtime_dir, log):
    """Starts Orca with its own settings; returns it once it has spoken."""
    orca = shutil.which("orca")
    if orca is None:
        raise Failure("Orca is not installed (Debian package orca, installed by tools/setup.sh)")
    prefs = os.path.join(runtime_dir, "orca-settings")
    os.makedirs(prefs)
    output = open(os.path.join(runtime_dir, "orca-output.txt"), "wb")
    process = subprocess.Popen([orca, "--user-prefs=" + prefs, "--debug-file=" + log.slave_path], env=env,
                               stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.STDOUT,
                               start_new_session=True)
    deadline = time.monotonic() + ORCA_START_SECONDS
    while not any(text == "Screen reader on." for text in log.since(0)):
        if process.poll() is not None or time.monotonic() > deadline:
            stop_process(process, "Orca")
            output.close()
            with open(os.path.join(runtime_dir, "orca-output.txt"), "rb") as said:
                tail = said.read().decode("utf-8", "replace").strip().splitlines()[-15:]
            raise Failure(f"Orca did not start (no \"Screen reader on.\" within {ORCA_START_SECONDS} s); it said:\n  "
                       + "\n  ".join(tail))
        time.sleep(0.2)
    output.close()
    return process


class Session:
    """The program, Orca's log and the accessible tree, driven by keys."""

    def __init__(self, pyatspi, display, window, process, log):
        self.P = pyatspi
        self.display = display
        self.window = window
        self.process = process
        self.log = log
        from gi.repository import GLib
        self._context = GLib.MainContext.default()
        application = wait_for(lambda: self._pumped(find_application(pyatspi, process)), TIMEOUT,
                               "the program on the accessibility bus", interval=0.2)
        self.objects = []
        self._walk(application, 0)
        self.switches = []  # (time, name) of every indicator that became checked
        pyatspi.Registry.registerEventListener(self._on_checked, "object:state-changed:checked")

    def _walk(self, accessible, depth):
        self.objects.append(accessible)
        for index in range(accessible.childCount if depth < 12 else 0):
            child = accessible.getChildAtIndex(index)
            if child is not None:
                self._walk(child, depth + 1)

    def _on_checked(self, event):
        if event.detail1 and event.source.getRole() == self.P.ROLE_RADIO_BUTTON:
            self.switches.append((time.monotonic(), event.source.name))

    def _pumped(self, result=True):
        """Lets AT-SPI events in (they arrive through GLib's main loop)."""
        while self._context.iteration(False):
            pass
        if self.process.poll() is not None:
            raise Failure(f"the program exited with status {self.process.returncode}")
        return result

    def stay(self, seconds):
        """The run goes on for seconds, events taken in meanwhile."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self._pumped()
            time.sleep(0.05)

    def wait(self, condition, what):
        return wait_for(lambda: self._pumped() and condition(), TIMEOUT, what)

    def named(self, name, role=None):
        for accessible in self.objects:
            if accessible.name == name and (role is None or accessible.getRole() == role):
                return accessible
        raise Failure(f"no accessible object is named {name!r}")

    def focused(self):
        for accessible in self.objects:
            accessible.clearCache()
            if accessible.getState().contains(self.P.STATE_FOCUSED):
                return accessible
        return None

    def text(self, name):
        text = self.named(name, self.P.ROLE_TEXT).queryText()
        return text.getText(0, text.characterCount)

    def press(self, *keys):
        subprocess.run(["xdotool", "key", "--delay", "60"] + list(keys), check=True,
                       env=dict(os.environ, DISPLAY=self.display))

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "120", text], check=True,
                       env=dict(os.environ, DISPLAY=self.display))

    def focus_key(self, key, name):
        """Presses key, which must move the focus to the control named name;
        returns what Orca said for it, from its name on."""
        mark = self.log.mark()
        self.press(key)
        self.wait(lambda: (focused := self.focused()) is not None and focused.name == name,
                  f"{key} to move the focus to {name!r} (it is on "
                  f"{getattr(self.focused(), 'name', None)!r})")

        def spoken():
            said = self.log.since(mark)
            return next((said[i:] for i, text in enumerate(said) if text.startswith(name)), None)

        return self.wait(spoken, f"Orca to speak the name {name!r} after {key}; it said {self.log.since(mark)}")

    def expect_said(self, mark, wanted, what):
        """Waits for Orca to say exactly wanted after mark."""
        self.wait(lambda: wanted in self.log.since(mark), f"Orca to say {wanted!r} ({what}); it said "
                  f"{self.log.since(mark)}")


def tour(session):
    """Tab through every control from the explanation and back."""
    P = session.P
    heard = {}
    for name in TAB_ORDER:
        mark = session.log.mark()
        session.focus_key("Tab", name)
        value = None
        try:
            value = session.text(name) if session.named(name).getRole() == P.ROLE_TEXT else None
        except Failure:
            pass
        if name in ("Долен праг", "Базова максимална стойност", "Горен праг"):
            session.expect_said(mark, f"{value} selected.", f"the whole text of {name!r}")
        if name == "Термометър":
            session.expect_said(mark, f"{STATE_PREFIX} {OFF}.", "the heater's state on the gauge")
        time.sleep(0.3)  # what follows the name in the same presentation
        heard[name] = session.log.since(mark)
        print(f"ok: Tab to {name!r}: Orca says {heard[name]}")
    for name, said in heard.items():
        for wrong in ("8 selected.", "10 selected.", "9 selected."):
            if wrong in said:
                raise Failure(f"{name!r} is spoken with a digit missing: {said}")


def fraction_and_empty(session):
    """13.2 written by the program, and an empty box, spoken whole."""
    session.focus_key("Tab", "Термометър")
    session.focus_key("Tab", "Температура")
    session.focus_key("Tab", "Долен праг")
    session.type("99")
    session.focus_key("Tab", "Базова максимална стойност")
    session.focus_key("Tab", "Горен праг")
    session.type("11")
    session.focus_key("Tab", "Пусни")
    start = session.log.mark()
    session.press("space")
    session.expect_said(start, f"notification {STARTED}.", "the start confirmed")
    session.focus_key("Tab", "Спри")
    # The first tick puts the pair in order: 11 / 13.2.
    session.wait(lambda: session.text("Горен праг") == "13.2", "the upper box to read 13.2")
    stop = session.log.mark()
    session.press("space")
    session.expect_said(stop, f"notification {STOPPED}.", "the stop confirmed")
    upper = session.log.mark()
    session.focus_key("shift+Tab", "Пусни")
    session.focus_key("shift+Tab", "Горен праг")
    session.expect_said(upper, "13.2 selected.", "the program's 13.2 spoken whole")
    print("ok: 13.2 written by the program is spoken whole")
    session.focus_key("shift+Tab", "Базова максимална стойност")
    session.focus_key("shift+Tab", "Долен праг")
    session.press("BackSpace")
    session.wait(lambda: session.text("Долен праг") == "", "the lower box to be empty")
    session.focus_key("Tab", "Базова максимална стойност")
    empty = session.log.mark()
    session.focus_key("shift+Tab", "Долен праг")
    time.sleep(0.5)
    said = session.log.since(empty)
    after_name = said[[i for i, text in enumerate(said) if text.startswith("Долен праг")][0] + 1:]
    if any(re.search(r"\d", text) for text in after_name):
        raise Failure(f"the empty lower box is spoken with a value: {said}")
    print(f"ok: the empty lower box is spoken as {said}")


def narrow_band_run(session):
    """A run that switches the heater every second, heard from three controls."""
    session.type("30")
    session.focus_key("Tab", "Базова максимална стойност")
    session.focus_key("Tab", "Горен праг")
    session.press("ctrl+a")
    session.type("40")
    session.wait(lambda: session.text("Долен праг") == "30" and session.text("Горен праг") == "40",
                 "the boxes to read 30 and 40")
    session.focus_key("Tab", "Пусни")
    first_switch = len(session.switches)
    run = session.log.mark()
    session.press("space")
    session.expect_said(run, f"notification {STARTED}.", "the start confirmed")
    print("ok: the start is confirmed")

    for name in ("Горен праг", "Базова максимална стойност", "Долен праг", "Температура"):
        session.focus_key("shift+Tab", name)
    quiet = session.log.mark()
    quiet_time = time.monotonic()
    session.stay(4)
    arrow = session.log.mark()
    arrow_time = time.monotonic()
    session.press("Up")
    session.stay(2)
    on_gauge = session.log.mark()
    on_gauge_time = time.monotonic()
    session.focus_key("shift+Tab", "Термометър")
    session.stay(4)
    leave = session.log.mark()
    for name in ("Температура", "Долен праг", "Базова максимална стойност", "Горен праг", "Пусни", "Спри"):
        session.focus_key("Tab", name)
    stop = session.log.mark()
    session.press("space")
    session.expect_said(stop, f"notification {STOPPED}.", "the stop confirmed")
    print("ok: the stop is confirmed")
    session.stay(0.5)

    # Every switch announced once, in order, against the program's own record.
    switches = [name for _, name in session.switches[first_switch:]]
    if len(switches) < 5:
        raise Failure(f"the run switched the indicator only {len(switches)} times: {switches}")
    announced = lambda: [text[len("notification "):-1] for text in session.log.since(run)
                         if text in (f"notification {ON}.", f"notification {OFF}.")]
    try:
        session.wait(lambda: len(announced()) >= len(switches), "Orca to announce every switch")
    except Failure:
        pass
    if announced() != switches:
        raise Failure(f"the indicator switched {len(switches)} times {switches}, Orca announced "
                      f"{len(announced())}: {announced()}")
    print(f"ok: {len(switches)} switches of the indicator, each announced once in order")

    # With the scroll bar focused the run's steps are read at most about once
    # a second, and the pupil's own arrow key is read; with the gauge focused
    # no step is read at all.
    values = [(at, text) for at, text in session.log.timed_between(quiet, on_gauge) if BARE_VALUE.match(text)]
    seconds = on_gauge_time - quiet_time
    after_arrow = [text for at, text in values if arrow_time <= at <= arrow_time + 3]
    if not after_arrow:
        raise Failure(f"the Up key on the scroll bar was not spoken: {session.log.since(arrow)[:10]}")
    if len(values) > seconds + 2:
        raise Failure(f"the run's steps are spoken: {len(values)} bare values in {seconds:.0f} s with the "
                      f"scroll bar focused: {[text for _, text in values]}")
    on_gauge_values = [text for _, text in session.log.timed_between(on_gauge, leave) if BARE_VALUE.match(text)]
    if on_gauge_values:
        raise Failure(f"the run's steps are spoken with the gauge focused: {on_gauge_values}")
    print(f"ok: with the scroll bar focused {len(values)} values are read in {seconds:.0f} s "
          f"{[text for _, text in values]}, the Up key's among them; with the gauge focused none")

    # Stopped, the pupil's arrow key is read at once, as the new temperature.
    for name in ("Пусни", "Горен праг", "Базова максимална стойност", "Долен праг", "Температура"):
        session.focus_key("shift+Tab", name)
    session.stay(1)
    scale = session.named("Температура")
    before = scale.queryValue().currentValue
    key = session.log.mark()
    session.press("Up")
    wanted = f"{before + 1:g}"
    session.wait(lambda: any(BARE_VALUE.match(text) and text.rstrip(".").split(" ")[0] == wanted
                             for text in session.log.since(key)),
                 f"Orca to read {wanted} after the Up key on the stopped scale; it said {session.log.since(key)}")
    print(f"ok: stopped, the Up key on the scroll bar is read as {wanted}")


def run(program, runtime_dir):
    with Xvfb() as server:
        env = program_environment(server.display, runtime_dir)
        for name, folder in (("HOME", "home"), ("XDG_CONFIG_HOME", "config"), ("XDG_DATA_HOME", "data"),
                             ("XDG_CACHE_HOME", "cache")):
            env[name] = os.path.join(runtime_dir, folder)
            os.makedirs(env[name], exist_ok=True)
        env["GSETTINGS_BACKEND"] = "memory"
        env["LANG"] = env["LC_ALL"] = "C.UTF-8"  # Orca's own words in English, a point in 13.2
        with AccessibilityBus(env) as bus:
            os.environ["DISPLAY"] = server.display
            os.environ["AT_SPI_BUS_ADDRESS"] = bus.address
            try:
                import pyatspi
            except ImportError as error:
                raise Failure(f"pyatspi cannot be imported ({error}); Debian package python3-pyatspi")
            log = OrcaLog(os.path.join(runtime_dir, "orca-debug.txt"))
            orca = None
            try:
                orca = start_orca(env, runtime_dir, log)
                print(f"Orca runs on {server.display}")
                program_env = dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
                with running_program(program, program_env) as process:
                    drive(pyatspi, server, process, log)
            except Failure:
                print("Orca said last:\n  " + "\n  ".join(log.since(max(0, log.mark() - 40))))
                raise
            finally:
                stop_process(orca, "Orca")
                log.close()


def drive(pyatspi, server, process, log):
    from Xlib import display as xdisplay
    x_display = xdisplay.Display(server.display)
    try:
        window = wait_for(lambda: find_program_window(x_display, CAPTION_WORD), TIMEOUT, "the program's window")
        session = Session(pyatspi, server.display, window, process, log)
        mark = log.mark()
        subprocess.run(["xdotool", "windowfocus", "--sync", str(window.id)], check=True,
                       env=dict(os.environ, DISPLAY=server.display))
        session.wait(lambda: any(text.startswith("Обяснение") for text in log.since(mark)),
                     "Orca to speak the explanation, which has the focus")
        tour(session)
        fraction_and_empty(session)
        narrow_band_run(session)
        close_window(x_display, window, process, TIMEOUT)
    finally:
        x_display.close()


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    if not in_private_session():
        return restart_in_private_session(__file__)
    return run_checks(sys.argv[1], "dulmeri-orca-", run)


if __name__ == "__main__":
    sys.exit(main())
