#!/usr/bin/python3
"""A screen reader's view of the running game, through AT-SPI (the same bus Orca reads).

Finds the game by its application name, reads its tree, presses Start through the action
interface and watches the clock run, finds the fifteen tiles of the 4 x 4 board with their
positions, presses the tile beside the gap and sees the board change, and hears "Game Clear"
(the program deals a board one slide from solved). Exit status 0 when all holds; every failure
names what was missing.
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

DEADLINE = 30.0
heard = []


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


def wait_for(what, test, seconds=DEADLINE):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            value = test()
        except Exception:  # the tree changes while it is read
            value = None
        if value:
            return value
        pump(0.1)
    fail(what)


def find(root, role, name=None, contains=None):
    def match(a):
        if a is None or a.getRoleName() != role:
            return False
        if name is not None and a.name != name:
            return False
        return contains is None or contains in a.name
    return pyatspi.findDescendant(root, match)


def press(accessible):
    action = accessible.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    for wanted in ("press", "click"):
        if wanted in names:
            action.doAction(names.index(wanted))
            return
    fail("%s has no press action (it has %s)" % (accessible.name, names))


def click(accessible, button=1):
    """Clicks the middle of `accessible` as the player does: for what opens a modal window, whose
    event loop would hold back the answer to a press."""
    x, y, width, height = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + width // 2), str(y + height // 2), "click", str(button)], check=True)


def listen(event):
    for text in (event.source.name if event.source else "", event.source.description if event.source else "",
                 str(event.any_data)):
        if text:
            heard.append(text)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == "Tavorin":
            return app
    return None


def main():
    pyatspi.Registry.registerEventListener(listen, "object:state-changed:showing",
                                           "object:property-change:accessible-description",
                                           "object:property-change:accessible-name", "object:announcement")
    app = wait_for("no application named Tavorin on the accessibility bus", application)

    start = wait_for("no push button named Start", lambda: find(app, "push button", "Start"))
    for name in ("Menu", "End"):
        if not find(app, "push button", name):
            fail("no push button named " + name)
    clock = wait_for("no clock label", lambda: find(app, "label", "Time"))
    press(start)
    def time():
        return clock.queryText().getText(0, -1)
    wait_for("the clock did not run after Start was pressed", lambda: time() not in ("", "00:00:00") and time()[2] == ":")
    print("clock after Start: " + time())
    # Queried, not announced: its ticks send no stream of changes to the reader.
    told = len([t for t in heard if t[:2].isdigit() and t[2:3] == ":"])
    pump(2.5)
    ticks = len([t for t in heard if t[:2].isdigit() and t[2:3] == ":"]) - told
    print("clock changes announced in 2.5 s: %d (the clock reads %s)" % (ticks, time()))
    if ticks > 0:
        fail("the clock announced %d changes in 2.5 s" % ticks)

    board = wait_for("no table named Board", lambda: find(app, "table", "Board"))
    table = board.queryTable()
    if (table.nRows, table.nColumns) != (4, 4):
        fail("the board is %d x %d" % (table.nRows, table.nColumns))
    tiles = [board.getChildAtIndex(i) for i in range(board.childCount)]
    if len(tiles) != 15:
        fail("the board offers %d tiles, not 15 (the hidden one is no tile)" % len(tiles))
    for tile in tiles:
        if tile.getRoleName() != "push button" or not tile.name.startswith("Tile "):
            fail("a tile reads as %s %r" % (tile.getRoleName(), tile.name))
        if "now in column" not in tile.description:
            fail("%s does not tell its place: %r" % (tile.name, tile.description))
    if any(tile.name == "Tile 1" for tile in tiles):
        fail("the hidden tile is offered")
    gaps = [(r, c) for r in range(4) for c in range(4) if table.getAccessibleAt(r, c) is None]
    if gaps != [(0, 1)]:
        fail("the empty cells are %s, not the gap at row 1, column 2" % gaps)

    # The tile left of the gap: pressing it slides it in, and this deal is then solved.
    tile = table.getAccessibleAt(0, 0)
    before = tile.description
    press(tile)
    wait_for("pressing %s did not move it" % tile.name,
             lambda: table.getAccessibleAt(0, 0) is None or tile.description != before)
    print("after the press: " + tile.description)
    wait_for("'Game Clear' never reached the client (heard: %s)" % heard[-10:],
             lambda: any("Game Clear" in text for text in heard), seconds=15)
    print("PASS: the screen reader sees buttons, a 4 x 4 board of 15 tiles, the running clock, and hears Game Clear")


if __name__ == "__main__":   # the other clients take its helpers
    main()
