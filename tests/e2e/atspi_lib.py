"""What the AT-SPI clients of the checks share: reading the game's tree as a screen reader does,
pressing through the action interface, and clicking and typing as the player does (xdotool)."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

DEADLINE = 30.0


def fail(what):
    print("FAIL: " + what, file=sys.stderr)
    sys.exit(1)


def pump(seconds):
    """Runs the event loop for a while, so that events reach the listener."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        context.iteration(False)
        time.sleep(0.01)


def poll(test, seconds=DEADLINE):
    """The first true value of test() within `seconds`, else None."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            value = test()
        except Exception:  # the tree changes while it is read
            value = None
        if value:
            return value
        pump(0.1)
    return None


def wait_for(what, test, seconds=DEADLINE):
    return poll(test, seconds) or fail(what)


def find(root, role, name=None, contains=None):
    def match(a):
        if a is None or a.getRoleName() != role:
            return False
        if name is not None and a.name != name:
            return False
        return contains is None or contains in a.name
    return pyatspi.findDescendant(root, match)


def press(accessible):
    """Presses through the action interface; only for what opens no modal window, whose nested
    event loop would hold the reply back (click() that instead)."""
    action = accessible.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    for wanted in ("press", "click"):
        if wanted in names:
            action.doAction(names.index(wanted))
            return
    fail("%s has no press action (it has %s)" % (accessible.name, names))


def click(accessible, button=1):
    """Clicks the middle of the accessible on the screen, as the player does."""
    x, y, width, height = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + width // 2), str(y + height // 2), "click", str(button)], check=True)


def key(*keys):
    subprocess.run(["xdotool", "key", *keys], check=True)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == "Tavorin":
            return app
    return None
