#!/usr/bin/python3
"""What a screen reader sees of the real program, through AT-SPI.

    accessibility_test.py PROGRAM

Runs in a private D-Bus session (it restarts itself under dbus-run-session),
with its own Xvfb and its own accessibility bus (at-spi-bus-launcher; the
registry daemon is started on demand by that bus). PROGRAM is started with
Qt's AT-SPI bridge switched on, and the test reads its accessible tree with
pyatspi: the names, roles, states, texts and values of the controls. Then it
presses "Пусни" through the Action interface, as a screen reader would,
waits for the temperature to rise and "Включено" to be selected, presses
"Спри", checks that everything stops with "Изключено" selected, and closes
the window; the program must exit with status 0. Along the way it checks
the window's announcements (notification objects that screen readers speak
when they become showing) for the start, the heater and the stop, and counts
the value changes the controls raise while the run moves them: the scale's
at most about one a second (a screen reader reads out every one while the
scale has the focus), none at all from the gauge.
"""

import os
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean when run from it
from atspi_session import AccessibilityBus, find_application, in_private_session, restart_in_private_session
from x11_session import (CAPTION_WORD, Failure, Xvfb, find_program_window, program_environment,
                         close_window, run_checks, running_program, wait_for)

TIMEOUT = 20  # seconds for any one condition to come true on a slow machine

# Accessible names of the controls, and what each must be.
LOWER_BOX = "Долен праг"
UPPER_BOX = "Горен праг"
BASE_MAXIMUM_BOX = "Базова максимална стойност"
SCALE = "Температура"
GAUGE = "Термометър"
START = "Пусни"
STOP = "Спри"
STARTED = "Симулацията е пусната"
STOPPED = "Симулацията е спряна"
ON = "Включено"
OFF = "Изключено"
EXPLANATION = "Обяснение"


class Tree:
    """The program's accessible objects, searched by name and role."""

    def __init__(self, pyatspi, application):
        self.pyatspi = pyatspi
        self.application = application
        self.everything = []
        self._walk(application, 0)

    def _walk(self, accessible, depth):
        if depth > 12:
            raise Failure("the accessible tree is deeper than 12 levels")
        self.everything.append(accessible)
        for index in range(accessible.childCount):
            child = accessible.getChildAtIndex(index)
            if child is not None:
                self._walk(child, depth + 1)

    def showing(self, accessible):
        return accessible.getState().contains(self.pyatspi.STATE_SHOWING)

    def one(self, name, roles):
        """The one showing object with this accessible name and one of roles.

        Another showing object may carry the same name in another role: the
        window's announcement of a heater switch is named after the indicator.
        """
        named = [item for item in self.everything if item.name == name and self.showing(item)]
        if not named:
            names = sorted({item.name for item in self.everything if item.name and self.showing(item)})
            raise Failure(f"no showing accessible object is named {name!r}; the named ones are: {names}")
        found = [item for item in named if item.getRole() in roles]
        if not found:
            raise Failure(f"{name!r} has the role(s) {[item.getRoleName() for item in named]}; expected one of "
                          f"{[getattr(role, 'value_nick', str(role)) for role in roles]}")
        if len(found) > 1:
            raise Failure(f"{len(found)} showing accessible objects are named {name!r}: "
                          f"{[item.getRoleName() for item in found]}")
        return found[0]

    def announcements(self):
        """The window's announcements: notifications, by name."""
        return {item.name: item for item in self.everything if item.getRole() == self.pyatspi.ROLE_NOTIFICATION}


def states(accessible):
    accessible.clearCache()  # read the states afresh, not from the client's cache
    return accessible.getState()


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def value_of(accessible):
    return accessible.queryValue().currentValue


def press(pyatspi, accessible):
    """Triggers the button's press action, as a screen reader does."""
    action = accessible.queryAction()
    names = [action.getName(index) for index in range(action.nActions)]
    for index, name in enumerate(names):
        if name.lower() in ("press", "click"):
            if not action.doAction(index):
                raise Failure(f"the action {name!r} of {accessible.name!r} reported failure")
            return
    raise Failure(f"{accessible.name!r} has no press action; its actions are {names}")


def check_tree(pyatspi, tree):
    P = pyatspi

    def ok(message):
        print("ok: " + message)

    for name, content, editable in ((LOWER_BOX, "81", True), (UPPER_BOX, "90", True),
                                    (BASE_MAXIMUM_BOX, "100", False)):
        box = tree.one(name, [P.ROLE_TEXT, P.ROLE_ENTRY])
        state = states(box)
        if state.contains(P.STATE_READ_ONLY) == editable:
            raise Failure(f"{name!r} should be {'editable' if editable else 'read-only'}")
        if text_of(box) != content:
            raise Failure(f"{name!r} holds {text_of(box)!r}, expected {content!r} at start")
        ok(f"{name!r}: {'an editable' if editable else 'a read-only'} text box holding {content!r}")

    scale = tree.one(SCALE, [P.ROLE_SCROLL_BAR, P.ROLE_SLIDER])
    value = scale.queryValue()
    if (value.currentValue, value.minimumValue, value.maximumValue) != (0, 0, 100):
        raise Failure(f"{SCALE!r} should report the temperature 0 on a scale 0..100 at start; it reports "
                      f"{value.currentValue} on {value.minimumValue}..{value.maximumValue}")
    ok(f"{SCALE!r}: a {scale.getRoleName()} with the value 0 on 0..100")

    gauge = tree.one(GAUGE, [P.ROLE_PROGRESS_BAR, P.ROLE_LEVEL_BAR, P.ROLE_IMAGE, P.ROLE_SLIDER])
    try:
        value = gauge.queryValue()
    except NotImplementedError:
        raise Failure(f"{GAUGE!r} has no Value interface: a screen reader cannot read the temperature")
    if (value.currentValue, value.maximumValue) != (0, 100):
        raise Failure(f"{GAUGE!r} should report 0 of 100 at start; it reports {value.currentValue} of "
                      f"{value.maximumValue}")
    ok(f"{GAUGE!r}: a {gauge.getRoleName()} with the value 0 of 100")

    for name in (START, STOP):
        tree.one(name, [P.ROLE_PUSH_BUTTON])
        ok(f"{name!r}: a push button")

    on = tree.one(ON, [P.ROLE_RADIO_BUTTON])
    off = tree.one(OFF, [P.ROLE_RADIO_BUTTON])
    if states(on).contains(P.STATE_CHECKED) or not states(off).contains(P.STATE_CHECKED):
        raise Failure(f"at start {OFF!r} should be checked and {ON!r} not")
    ok(f"{ON!r} and {OFF!r}: option buttons, {OFF!r} checked")

    explanation = tree.one(EXPLANATION, [P.ROLE_TEXT, P.ROLE_DOCUMENT_TEXT, P.ROLE_PARAGRAPH])
    state = states(explanation)
    if not state.contains(P.STATE_READ_ONLY) or not state.contains(P.STATE_MULTI_LINE):
        raise Failure(f"{EXPLANATION!r} should be a read-only multi-line text")
    content = text_of(explanation)
    if "хистерезис" not in content.lower() or len(content.splitlines()) < 8:
        raise Failure(f"{EXPLANATION!r} does not hold the explanation of hysteresis: {content[:200]!r}")
    ok(f"{EXPLANATION!r}: a read-only multi-line text of {len(content.splitlines())} lines")

    announcements = tree.announcements()
    if sorted(announcements) != sorted([ON, OFF, STARTED, STOPPED]):
        raise Failure(f"the window's announcements are {sorted(announcements)}; expected {[ON, OFF, STARTED, STOPPED]}")
    showing = sorted(name for name, item in announcements.items() if showing_now(P, item))
    if showing:
        raise Failure(f"at start the announcements {showing} are showing; nothing has been said yet")
    ok(f"announcements {sorted(announcements)}: notifications, none showing")

    hidden = [item for item in tree.everything if item.name == EXPLANATION and not tree.showing(item)]
    if hidden:
        print(f"note: {len(hidden)} hidden object(s) are also named {EXPLANATION!r}")
    return scale, gauge, on, off


def showing_now(pyatspi, accessible):
    return states(accessible).contains(pyatspi.STATE_SHOWING)


def expect_announced(pyatspi, tree, shown, hidden):
    """The announcement named shown is showing and the one named hidden is not."""
    announcements = tree.announcements()
    wait_for(lambda: showing_now(pyatspi, announcements[shown]) and not showing_now(pyatspi, announcements[hidden]),
             TIMEOUT, f"the announcement {shown!r} to be showing and {hidden!r} not")
    print(f"ok: the announcement {shown!r} is showing, {hidden!r} is not")


def run(program, runtime_dir):
    with Xvfb() as server:
        print(f"Xvfb on {server.display}")
        env = program_environment(server.display, runtime_dir)
        with AccessibilityBus(env) as bus:
            print(f"accessibility bus at {bus.address}")
            os.environ["DISPLAY"] = server.display
            os.environ["AT_SPI_BUS_ADDRESS"] = bus.address
            try:
                import pyatspi
            except ImportError as error:
                raise Failure(f"pyatspi cannot be imported for {sys.executable} ({error}); "
                              f"Debian package python3-pyatspi")
            env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
            with running_program(program, env) as process:
                drive(pyatspi, server, process)


def drive(pyatspi, server, process):
    P = pyatspi
    application = wait_for(lambda: find_application(P, process), TIMEOUT,
                           "the program's application on the accessibility bus", interval=0.2)
    print(f"ok: application {application.name!r} is on the accessibility bus")
    tree = Tree(P, application)
    scale, gauge, on, off = check_tree(P, tree)

    # Value changes arrive through GLib's main loop, let in whenever the
    # values are read.
    from gi.repository import GLib
    context = GLib.MainContext.default()
    value_changes = []  # names of the sources
    P.Registry.registerEventListener(lambda event: value_changes.append(event.source.name),
                                     "object:property-change:accessible-value")

    def pump():
        while context.iteration(False):
            pass

    run_start = time.monotonic()
    press(P, tree.one(START, [P.ROLE_PUSH_BUTTON]))
    print(f"pressed {START!r} through its action")
    expect_announced(P, tree, STARTED, STOPPED)

    def running_values():
        pump()
        if process.poll() is not None:
            raise Failure(f"the program exited with status {process.returncode} while running")
        return value_of(gauge), value_of(scale)

    first = wait_for(lambda: min(running_values()) > 0 and running_values(), TIMEOUT,
                     "the gauge's and the scale's values to rise above 0")
    print(f"ok: the temperature rises: gauge {first[0]:g}, scale {first[1]:g}")
    wait_for(lambda: states(on).contains(P.STATE_CHECKED) and not states(off).contains(P.STATE_CHECKED),
             TIMEOUT, f"{ON!r} to be checked and {OFF!r} not")
    print(f"ok: {ON!r} is checked")
    expect_announced(P, tree, ON, OFF)
    later = wait_for(lambda: min(values := running_values()) >= max(first) + 5 and values, TIMEOUT,
                     "the temperature to go on rising")
    print(f"ok: the temperature goes on rising: gauge {later[0]:g}, scale {later[1]:g}")

    press(P, tree.one(STOP, [P.ROLE_PUSH_BUTTON]))
    print(f"pressed {STOP!r} through its action")
    expect_announced(P, tree, STOPPED, STARTED)
    wait_for(lambda: states(off).contains(P.STATE_CHECKED) and not states(on).contains(P.STATE_CHECKED),
             TIMEOUT, f"{OFF!r} to be checked again")
    stopped = running_values()
    if stopped[0] != stopped[1]:
        raise Failure(f"after {STOP!r} the gauge reports {stopped[0]:g} but the scale {stopped[1]:g}")
    if stopped[0] < max(later):
        raise Failure(f"after {STOP!r} the temperature is {stopped[0]:g}, below the {max(later):g} "
                      f"seen while running")
    for _ in range(10):
        time.sleep(0.1)
        if running_values() != stopped:
            raise Failure(f"after {STOP!r} the values still move: {stopped} -> {running_values()}")
    print(f"ok: after {STOP!r}: {OFF!r} checked, the temperature stays at {stopped[0]:g}")

    # The run moved the scale ten times a second; its value changes are
    # raised at most once a second, and once more on the stop.
    run_seconds = time.monotonic() - run_start
    scale_changes = value_changes.count(SCALE)
    if not 1 <= scale_changes <= run_seconds + 2:
        raise Failure(f"in {run_seconds:.1f} s of running {SCALE!r} raised {scale_changes} value changes; "
                      f"expected at least one and at most one a second")
    if value_changes.count(GAUGE):
        raise Failure(f"{GAUGE!r} raised {value_changes.count(GAUGE)} value changes; it should raise none")
    print(f"ok: in {run_seconds:.1f} s of running {SCALE!r} raised {scale_changes} value changes, "
          f"{GAUGE!r} none")

    from Xlib import display as xdisplay
    x_display = xdisplay.Display(server.display)
    try:
        window = find_program_window(x_display, CAPTION_WORD)
        if window is None:
            raise Failure("the program's window is not on the screen")
        close_window(x_display, window, process, TIMEOUT)
    finally:
        x_display.close()


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    if not in_private_session():
        return restart_in_private_session(__file__)
    return run_checks(sys.argv[1], "dulmeri-a11y-", run)

if __name__ == "__main__":
    sys.exit(main())
