#!/usr/bin/python3
"""What a Linux screen reader gets from the web page, in Chromium.

    page_screen_reader_test.py PAGE [--orca]

PAGE is the single-file page (opened from file://) or the site's folder
(served on 127.0.0.1 by a small server the test starts, its index.html
opened). The test restarts itself in a private D-Bus session with its own
Xvfb and accessibility bus (tests/e2e/atspi_session.py), starts Debian's
Chromium there with the renderer's accessibility on and a fresh profile,
and reads the page as a screen reader does, through AT-SPI:

  - the temperature slider "Температура" reports the temperature as its
    value (0 of 0..100 at first, later the readout's number), the gauge is
    named "Термометър", the start and stop buttons are push buttons, and
    "Изключено" is the checked option at first;
  - with a narrow band typed into the threshold boxes (1 and 10, which
    validation keeps as they are), "Пусни" pressed through its AT-SPI
    action: the live region's text insertions (events whose source carries
    the container-live attribute, which is what a screen reader speaks) say
    "Симулацията е пусната", then "Включено" on the first tick and
    "Изключено" when the temperature reaches 10; "Спри" through its action
    is followed by "Симулацията е спряна", and the slider and the readout
    then agree;
  - while the run goes on with the slider focused (as a pupil who tabbed to
    it), its value changes reach AT-SPI at most 6 times in 3 s, though the
    thumb moves ten times a second: a screen reader reads out every value
    change of the focused slider.

With --orca, Orca runs in the same session, and what it says decides too:
in those 3 s it reads out at most 6 bare numbers, and it speaks every switch
of the heater the live region received, in order. Its debug log is a
pseudo-terminal, so Orca writes it line by line and nothing waits in a
buffer. (Orca drops a polite message that comes within about 100 ms of a key
press, so no key is pressed while the run goes on: the buttons are pressed
and the slider focused through AT-SPI.)

A program the test needs that is missing is a failure.

A program the test needs that is not installed is a failure: tools/setup.sh
installs them all.
"""

import functools
import http.server
import importlib.util
import json
import os
import re
import shutil
import subprocess
import sys
import threading
import time
import urllib.parse

sys.dont_write_bytecode = True  # keep the source tree clean when run from it
E2E = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e")
sys.path.insert(0, E2E)
from accessibility_test import press, states, text_of, value_of  # noqa: E402
from atspi_session import (BUS_LAUNCHERS, AccessibilityBus, in_private_session,  # noqa: E402
                           restart_in_private_session)
from x11_session import (Failure, Xvfb, report_checks, stop_process,  # noqa: E402
                         wait_for, window_name)

TIMEOUT = 30  # seconds for any one thing to happen on a loaded machine
CHROMIUM = "/usr/bin/chromium"
CHROMIUM_FLAGS = ["--no-sandbox", "--force-renderer-accessibility", "--disable-gpu",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--no-first-run", "--no-default-browser-check", "--test-type",
                  "--window-position=0,0", "--window-size=1024,768"]

SCALE = "Температура"
GAUGE = "Термометър"
START = "Пусни"
STOP = "Спри"
ON = "Включено"
OFF = "Изключено"
STARTED = "Симулацията е пусната"
STOPPED = "Симулацията е спряна"
READOUT_PREFIX = "Моментна стойност: "
# A band this narrow switches the heater on at the first tick (0 <= 1) and
# off ten ticks later (10 >= 10); validation leaves both values as typed.
LOWER, UPPER = "1", "10"
# What AT-SPI inserts for a child element in its parent's text; no words.
EMBEDDED_OBJECT = "\ufffc"
# With the slider focused this long while the run moves it ten times a
# second, a screen reader is given (and reads out) at most this many values.
FOCUSED_RUN_SECONDS = 3
MAX_VALUES_IN_FOCUSED_RUN = 6
# What Orca says for a value alone, with no name: a step of a slider.
BARE_VALUE = re.compile(r"^\d+(\.\d+)?( percent)?\.?$")


def required_programs():
    """What must be installed for the test to run at all; a missing one fails it."""
    missing = [f"{name} (Debian package {package})" for name, package in
               (("dbus-run-session", "dbus-daemon"), ("Xvfb", "xvfb"), ("xdotool", "xdotool"))
               if shutil.which(name) is None]
    if not os.access(CHROMIUM, os.X_OK):
        missing.append(f"{CHROMIUM} (Debian package chromium)")
    if not any(os.access(path, os.X_OK) for path in BUS_LAUNCHERS):
        missing.append("at-spi-bus-launcher (Debian package at-spi2-core)")
    for module, package in (("gi", "python3-gi"), ("pyatspi", "python3-pyatspi"), ("Xlib", "python3-xlib")):
        if importlib.util.find_spec(module) is None:
            missing.append(f"the Python module {module} for {sys.executable} (Debian package {package})")
    return missing


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript", ".mjs": "text/javascript",
                      ".webmanifest": "application/manifest+json", ".woff2": "font/woff2",
                      ".svg": "image/svg+xml"}

    def log_message(self, *args):
        pass


class PageAddress:
    """The address Chromium opens: a file:// URL, or a folder served on 127.0.0.1."""

    def __init__(self, page):
        self.page = os.path.abspath(page)
        self.server = None

    def __enter__(self):
        if os.path.isdir(self.page):
            if not os.path.isfile(os.path.join(self.page, "index.html")):
                raise Failure(f"{self.page} has no index.html")
            handler = functools.partial(QuietHandler, directory=self.page)
            self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
            threading.Thread(target=self.server.serve_forever, daemon=True).start()
            return f"http://127.0.0.1:{self.server.server_address[1]}/"
        if not os.path.isfile(self.page):
            raise Failure(f"{self.page} is neither the page nor the site's folder; build the web preset first")
        return "file://" + urllib.parse.quote(self.page)

    def __exit__(self, *exc):
        if self.server is not None:
            self.server.shutdown()
            self.server.server_close()
        return False


class Page:
    """The page's accessible objects, found by their element ids, and the live
    region's insertions as the AT-SPI events report them."""

    def __init__(self, pyatspi, browser):
        from gi.repository import GLib
        self.P = pyatspi
        self.browser = browser
        self._context = GLib.MainContext.default()
        self.spoken = []  # (time, text) inserted into a live region
        self.values = []  # (time, value) the slider reported through events
        pyatspi.Registry.registerEventListener(self._on_insert, "object:text-changed:insert")
        pyatspi.Registry.registerEventListener(self._on_value, "object:property-change:accessible-value")
        self.by_id = {}
        self.document = self.wait(self._find_document, "the page with id=\"MainForm\" in Chromium's accessible tree")

    def _on_insert(self, event):
        try:
            attributes = event.source.getAttributes()
        except Exception:  # the node went away before it could be read
            return
        text = str(event.any_data).replace(EMBEDDED_OBJECT, "").strip()
        if text and any(attribute.startswith("container-live:") for attribute in attributes):
            self.spoken.append((time.monotonic(), text))

    def _on_value(self, event):
        try:
            if "id:VScroll1" in event.source.getAttributes():
                self.values.append((time.monotonic(), event.source.queryValue().currentValue))
        except Exception:
            return

    def pump(self):
        """Lets AT-SPI events in (they arrive through GLib's main loop)."""
        while self._context.iteration(False):
            pass
        if self.browser.poll() is not None:
            raise Failure(f"Chromium exited with status {self.browser.returncode}")
        return True

    def stay(self, seconds):
        """Lets events in for this long."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.pump()
            time.sleep(0.02)

    def wait(self, condition, what, seen=None, timeout=TIMEOUT):
        """Waits for condition(); on a timeout the failure ends with seen(),
        what was seen instead."""
        try:
            return wait_for(lambda: self.pump() and condition(), timeout, what)
        except Failure as failure:
            if seen is None:
                raise
            raise Failure(f"{failure}; {seen()}") from None

    def _find_document(self):
        desktop = self.P.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            application = desktop.getChildAtIndex(index)
            if application is None:
                continue
            for document in self._documents(application, 0):
                found = {}
                self._index(document, found, 0)
                if "MainForm" in found:
                    self.by_id = found
                    return document
        return None

    def _documents(self, accessible, depth):
        if accessible.getRole() == self.P.ROLE_DOCUMENT_WEB:
            yield accessible
            return
        for index in range(accessible.childCount if depth < 20 else 0):
            child = accessible.getChildAtIndex(index)
            if child is not None:
                yield from self._documents(child, depth + 1)

    def _index(self, accessible, found, depth):
        for attribute in accessible.getAttributes():
            if attribute.startswith("id:"):
                found[attribute[3:]] = accessible
        for index in range(accessible.childCount if depth < 30 else 0):
            child = accessible.getChildAtIndex(index)
            if child is not None:
                self._index(child, found, depth + 1)

    def element(self, element_id, name, roles):
        """The accessible object of the element with this id, or of the one
        inside it (a label around its radio button): it must carry one of the
        roles and, where one is given, the accessible name."""
        top = self.by_id.get(element_id)
        if top is None:
            # An element that only wraps another (a label around its radio
            # button) has no node of its own in the tree: what a screen
            # reader finds is the named control.
            named = [item for item in self._descendants(self.document, limit=30)
                     if name is not None and item.name == name and item.getRole() in roles]
            if len(named) == 1:
                return named[0]
            raise Failure(f"no element with id={element_id!r} is in the accessible tree, and {len(named)} "
                          f"objects are named {name!r} in the expected roles; the ids are {sorted(self.by_id)}")
        candidates = [top] + [item for item in self._descendants(top) if item.getRole() in roles]
        accessible = next((item for item in candidates if item.getRole() in roles), None)
        if accessible is None:
            raise Failure(f"#{element_id} ({name!r}) has the role {top.getRoleName()!r} and nothing inside it "
                          f"has one of {[getattr(role, 'value_nick', str(role)) for role in roles]}")
        if name is not None and accessible.name != name:
            raise Failure(f"#{element_id} is named {accessible.name!r} for a screen reader; expected {name!r}")
        return accessible

    def _descendants(self, accessible, depth=0, limit=5):
        for index in range(accessible.childCount if depth < limit else 0):
            child = accessible.getChildAtIndex(index)
            if child is not None:
                yield child
                yield from self._descendants(child, depth + 1, limit)

    def readout(self):
        """The number in the readout "Моментна стойност: N"."""
        label = self.by_id.get("Label1_1")
        if label is None:
            raise Failure("no element with id='Label1_1' (the readout) is in the accessible tree")
        label.clearCache()
        text = text_of(label).strip()
        if not text.startswith(READOUT_PREFIX):
            raise Failure(f"the readout reads {text!r}; expected {READOUT_PREFIX!r} and a number")
        return int(text[len(READOUT_PREFIX):])

    def said_since(self, mark):
        return [text for _, text in self.spoken[mark:]]

    def expect_said(self, mark, wanted, what):
        """Waits for the live region's insertions after mark to contain the
        texts wanted, in that order (other insertions may come between)."""
        def in_order():
            position = 0
            for text in self.said_since(mark):
                if position < len(wanted) and text == wanted[position]:
                    position += 1
            return position == len(wanted)

        self.wait(in_order, f"the live region to say {wanted} ({what})",
                  seen=lambda: f"it said {self.said_since(mark)}")
        print(f"ok: the live region says {wanted} ({what}); all it said: {self.said_since(mark)}")


def browser_window(display, title):
    """The X window of Chromium that shows the page (its caption is the page's title)."""
    from Xlib import X
    for window in display.screen().root.query_tree().children:
        try:
            if title in window_name(display, window) and window.get_attributes().map_state == X.IsViewable:
                return window
        except Exception:  # the window went away while it was looked at
            continue
    return None


def type_into(page, display_name, box, text):
    """Gives the box the focus, as a screen reader does, and types text over
    its content with real key presses."""
    P = page.P
    if not box.queryComponent().grabFocus():
        raise Failure(f"{box.name!r} refused the focus")
    page.wait(lambda: states(box).contains(P.STATE_FOCUSED), f"{box.name!r} to have the focus")
    env = dict(os.environ, DISPLAY=display_name)
    # On a loaded machine, with Orca's key listener in the way, a synthetic
    # key is now and then lost before it reaches the browser: the typing is
    # only the run's preparation, so it is tried again, from a new selection.
    attempts = 3
    for attempt in range(1, attempts + 1):
        subprocess.run(["xdotool", "key", "--delay", "60", "ctrl+a"], check=True, env=env)
        subprocess.run(["xdotool", "type", "--delay", "80", text], check=True, env=env)
        try:
            page.wait(lambda: text_of(box) == text, f"{box.name!r} to read {text!r}",
                      seen=lambda: f"it reads {text_of(box)!r}", timeout=TIMEOUT if attempt == attempts else 5)
            break
        except Failure as failure:
            if attempt == attempts:
                raise
            print(f"note: typing again: {failure}")
    print(f"ok: typed {text!r} into {box.name!r}")


def check_at_rest(page):
    """What a screen reader finds before anything is done."""
    P = page.P
    page.element("MainForm", None, [P.ROLE_LANDMARK, P.ROLE_FRAME, P.ROLE_APPLICATION, P.ROLE_PANEL,
                                    P.ROLE_SECTION, P.ROLE_FORM, P.ROLE_GROUPING, P.ROLE_DIALOG])
    scale = page.element("VScroll1", SCALE, [P.ROLE_SLIDER, P.ROLE_SCROLL_BAR])
    value = scale.queryValue()
    if (value.currentValue, value.minimumValue, value.maximumValue) != (0, 0, 100):
        raise Failure(f"{SCALE!r} should report the temperature 0 on 0..100 at first; it reports "
                      f"{value.currentValue:g} on {value.minimumValue:g}..{value.maximumValue:g}")
    if page.readout() != 0:
        raise Failure(f"the readout shows {page.readout()} at first, expected 0")
    print(f"ok: {SCALE!r} is a {scale.getRoleName()} with the value 0 on 0..100, as the readout says")
    gauge = page.element("Picture1", GAUGE, [P.ROLE_IMAGE, P.ROLE_PROGRESS_BAR, P.ROLE_LEVEL_BAR, P.ROLE_CANVAS])
    if gauge_value(page, gauge) not in (None, 0):
        raise Failure(f"{GAUGE!r} reports the value {gauge_value(page, gauge):g} at first, expected 0")
    print(f"ok: {GAUGE!r} is a {gauge.getRoleName()}"
          + ("" if gauge_value(page, gauge) is None else " with the value 0"))
    for element_id, name in (("Command1_0", START), ("Command1_1", STOP)):
        page.element(element_id, name, [P.ROLE_PUSH_BUTTON])
    on = page.element("Option1_0", ON, [P.ROLE_RADIO_BUTTON])
    off = page.element("Option1_1", OFF, [P.ROLE_RADIO_BUTTON])
    if states(on).contains(P.STATE_CHECKED) or not states(off).contains(P.STATE_CHECKED):
        raise Failure(f"at first {OFF!r} should be checked and {ON!r} not")
    print(f"ok: {START!r} and {STOP!r} are push buttons; {ON!r} and {OFF!r} radio buttons, {OFF!r} checked")
    return scale, gauge, off


def gauge_value(page, gauge):
    """The gauge's value where it is a meter (it must have one then), None
    where it is a picture."""
    if gauge.getRole() == page.P.ROLE_IMAGE or gauge.getRole() == page.P.ROLE_CANVAS:
        return None
    gauge.clearCache()
    try:
        return value_of(gauge)
    except NotImplementedError:
        raise Failure(f"{GAUGE!r} is a {gauge.getRoleName()} without a value: a screen reader cannot read it")


def run_narrow_band(page, display_name, scale, gauge, off, orca_log):
    P = page.P
    lower = page.element("Text2_0", None, [P.ROLE_ENTRY, P.ROLE_TEXT])
    upper = page.element("Text2_2", None, [P.ROLE_ENTRY, P.ROLE_TEXT])
    type_into(page, display_name, lower, LOWER)
    type_into(page, display_name, upper, UPPER)

    mark = len(page.spoken)
    heard = orca_log.mark() if orca_log else 0
    press(P, page.element("Command1_0", START, [P.ROLE_PUSH_BUTTON]))
    print(f"pressed {START!r} through its AT-SPI action")
    page.expect_said(mark, [STARTED], "the start")
    focused_run = run_with_slider_focused(page, scale)
    page.expect_said(mark, [STARTED, ON, OFF], f"the start, then the heater on at 0 and off at {UPPER}")

    press(P, page.element("Command1_1", STOP, [P.ROLE_PUSH_BUTTON]))
    print(f"pressed {STOP!r} through its AT-SPI action")
    page.expect_said(mark, [STARTED, ON, OFF, STOPPED], "the stop")
    page.wait(lambda: states(off).contains(P.STATE_CHECKED), f"{OFF!r} to be checked after {STOP!r}")

    # Stopped: the slider's value is the temperature the readout shows, and
    # it stays within the band the run went round in.
    def settled():
        scale.clearCache()
        first = (value_of(scale), page.readout())
        page.stay(0.3)
        return first if first == (value_of(scale), page.readout()) else None

    value, shown = page.wait(settled, "the slider's value and the readout to settle after the stop")
    if value != shown:
        raise Failure(f"after {STOP!r} the slider reports {value:g} but the readout shows {shown}")
    if gauge_value(page, gauge) not in (None, value):
        raise Failure(f"after {STOP!r} {GAUGE!r} reports {gauge_value(page, gauge):g}, the slider {value:g}")
    if not 0 <= value <= int(UPPER):
        raise Failure(f"after {STOP!r} the temperature is {value:g}, outside 0..{UPPER}")
    values = [reported for _, reported in page.values]
    if values and max(values) < int(UPPER) - 1:
        raise Failure(f"the slider reported at most {max(values):g} during the run, yet the heater "
                      f"switched off, which needs {UPPER}: {values}")
    boxes = (text_of(lower), text_of(upper))
    if boxes != (LOWER, UPPER):
        raise Failure(f"after the run the threshold boxes read {boxes}; validation should have kept {(LOWER, UPPER)}")
    print(f"ok: after {STOP!r} the slider reports {value:g}, as the readout"
          f"{'' if gauge_value(page, gauge) is None else ' and the gauge'} show; during the run it reported "
          f"{len(values)} values: {[f'{reported:g}' for reported in values]}")
    if orca_log:
        check_orca(page, orca_log, heard, mark, focused_run)


def run_with_slider_focused(page, scale):
    """Gives the slider the focus while the run goes on, as a pupil's Tab
    would, and counts the value changes it reports for FOCUSED_RUN_SECONDS:
    a screen reader reads each of them out. Returns the span (start, end)."""
    P = page.P
    if not scale.queryComponent().grabFocus():
        raise Failure(f"{SCALE!r} refused the focus")
    page.wait(lambda: states(scale).contains(P.STATE_FOCUSED), f"{SCALE!r} to have the focus")
    page.stay(0.5)  # what a screen reader says for the focus itself
    start = time.monotonic()
    page.stay(FOCUSED_RUN_SECONDS)
    end = time.monotonic()
    values = [value for at, value in page.values if start <= at <= end]
    if len(values) > MAX_VALUES_IN_FOCUSED_RUN:
        raise Failure(f"with {SCALE!r} focused the run reported {len(values)} values in {end - start:.1f} s, "
                      f"each read out by a screen reader; at most {MAX_VALUES_IN_FOCUSED_RUN} expected: {values}")
    if not values:
        raise Failure(f"with {SCALE!r} focused the run reported no value in {end - start:.1f} s: a screen "
                      f"reader's user would not hear it move")
    print(f"ok: with {SCALE!r} focused the run reported {len(values)} values in {end - start:.1f} s: "
          f"{[f'{value:g}' for value in values]}")
    return start, end


def check_orca(page, orca_log, heard, mark, focused_run):
    """What Orca said: every switch of the heater the live region received,
    in order, and few bare numbers while the slider had the focus."""
    switches = [text for text in page.said_since(mark) if text in (ON, OFF)]
    if not switches:
        raise Failure("the live region received no switch of the heater")

    def spoken_switches():
        return [text.rstrip(". ") for text in orca_log.since(heard) if text.rstrip(". ") in (ON, OFF)]

    try:
        page.wait(lambda: len(spoken_switches()) >= len(switches), "Orca to speak every switch of the heater")
    except Failure:
        pass
    if spoken_switches() != switches:
        raise Failure(f"the live region received {len(switches)} switches {switches}, Orca spoke "
                      f"{len(spoken_switches())}: {spoken_switches()}; all it said: {orca_log.since(heard)}")
    print(f"ok: Orca spoke each of the {len(switches)} switches of the heater, in order")

    start, end = focused_run
    latency = 0.5  # Orca speaks a change a little after it
    numbers = [text for at, text in orca_log.timed_between(heard)
               if start <= at <= end + latency and BARE_VALUE.match(text)]
    if len(numbers) > MAX_VALUES_IN_FOCUSED_RUN:
        raise Failure(f"with {SCALE!r} focused Orca read out {len(numbers)} bare numbers in "
                      f"{end - start:.1f} s; at most {MAX_VALUES_IN_FOCUSED_RUN} expected: {numbers}")
    said = [text for at, text in orca_log.timed_between(heard) if start <= at <= end + latency]
    print(f"ok: with {SCALE!r} focused Orca read out {len(numbers)} bare numbers in {end - start:.1f} s; "
          f"all it said then: {said}")


def fresh_profile(runtime_dir):
    """An empty Chromium profile that does not offer to translate the
    Bulgarian page (an offer a screen reader would speak first)."""
    profile = os.path.join(runtime_dir, "profile")
    os.makedirs(os.path.join(profile, "Default"))
    with open(os.path.join(profile, "Default", "Preferences"), "w") as preferences:
        json.dump({"translate": {"enabled": False}}, preferences)
    return profile


def start_orca_with_log(env, runtime_dir):
    """Orca with its own settings and a debug log: (process, log)."""
    from screen_reader_test import OrcaLog, start_orca
    log = OrcaLog(os.path.join(runtime_dir, "orca-debug.txt"))
    try:
        return start_orca(env, runtime_dir, log), log
    except Failure:
        log.close()
        raise


def run(page_path, runtime_dir, with_orca):
    with Xvfb() as server:
        print(f"Xvfb on {server.display}")
        env = dict(os.environ)
        for name in ("WAYLAND_DISPLAY", "XAUTHORITY", "CHROME_PATH"):
            env.pop(name, None)
        env["DISPLAY"] = server.display
        for name, folder in (("HOME", "home"), ("XDG_CONFIG_HOME", "config"), ("XDG_CACHE_HOME", "cache"),
                             ("XDG_DATA_HOME", "data"), ("XDG_RUNTIME_DIR", "runtime")):
            env[name] = os.path.join(runtime_dir, folder)
            os.makedirs(env[name], mode=0o700, exist_ok=True)
        env["GSETTINGS_BACKEND"] = "memory"
        env["LANG"] = env["LC_ALL"] = "C.UTF-8"
        with AccessibilityBus(env) as bus, PageAddress(page_path) as url:
            os.environ["DISPLAY"] = server.display
            os.environ["AT_SPI_BUS_ADDRESS"] = bus.address
            import pyatspi  # after the bus's address is set: it connects on import
            orca = start_orca_with_log(env, runtime_dir) if with_orca else None
            output = open(os.path.join(runtime_dir, "chromium-output.txt"), "w+b")
            browser = None
            profile = fresh_profile(runtime_dir)
            try:
                browser = subprocess.Popen([CHROMIUM, *CHROMIUM_FLAGS, "--user-data-dir=" + profile,
                                            "--app=" + url], env=env, stdin=subprocess.DEVNULL,
                                           stdout=output, stderr=subprocess.STDOUT, start_new_session=True)
                print(f"Chromium shows {url}")
                page = Page(pyatspi, browser)
                drive(page, server.display, orca)
            except Failure:
                output.seek(0)
                tail = output.read().decode("utf-8", "replace").strip().splitlines()[-20:]
                print("Chromium said last:\n  " + "\n  ".join(tail))
                if orca is not None:
                    print(f"Orca said last: {orca[1].since(0)[-20:]}")
                raise
            finally:
                stop_process(browser, "Chromium")
                output.close()
                if orca is not None:
                    stop_process(orca[0], "Orca")
                    orca[1].close()


def drive(page, display_name, orca):
    from Xlib import display as xdisplay
    print(f"ok: the page {page.document.name!r} is in Chromium's accessible tree")
    scale, gauge, off = check_at_rest(page)
    x_display = xdisplay.Display(display_name)
    try:
        window = wait_for(lambda: browser_window(x_display, page.document.name), TIMEOUT,
                          f"Chromium's window titled {page.document.name!r}")
        subprocess.run(["xdotool", "windowfocus", "--sync", str(window.id)], check=True,
                       env=dict(os.environ, DISPLAY=display_name))
    finally:
        x_display.close()
    run_narrow_band(page, display_name, scale, gauge, off, orca[1] if orca else None)


def main():
    arguments = [argument for argument in sys.argv[1:] if argument != "--orca"]
    if len(arguments) != 1:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    missing = required_programs()
    if missing:
        print("FAIL: not installed: " + "; ".join(missing))
        return 1
    if not in_private_session():
        return restart_in_private_session(__file__)
    return report_checks("dulmeri-web-a11y-", lambda runtime_dir: run(arguments[0], runtime_dir,
                                                                       "--orca" in sys.argv[1:]))


if __name__ == "__main__":
    sys.exit(main())
