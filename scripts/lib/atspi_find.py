#!/usr/bin/python3
"""Prints the screen centre "x y" of a widget of a running client, found by
its accessible name through the AT-SPI bridge (the session bus in
DBUS_SESSION_BUS_ADDRESS). Exits 1 when no such widget is shown.

    atspi_find.py <pid> <top-level window title regex> <accessible name regex> [<x> <y>]

Several widgets may share a name (each video tile has its "Microphone",
each timetable row its "Enter classroom"): with a screen point given, the
one whose centre is nearest to it is taken, else the first in the tree.
"""
import re
import sys

import pyatspi

# Deeper than any form of the client nests its widgets.
MAX_DEPTH = 40


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def centre(node):
    """The node's centre on the screen, or None when it has no area."""
    x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    if w <= 0 or h <= 0:
        return None
    return x + w // 2, y + h // 2


def matches(node, pattern, depth=0):
    """Yields the centres of the shown widgets under node whose name matches.
    A widget that is not shown hides all of its children too, so its
    subtree is not looked into."""
    if depth > MAX_DEPTH:
        return
    try:
        if depth > 0 and not showing(node):
            return
        # The window itself is not one of its widgets.
        if depth > 0 and pattern.fullmatch(node.name or ""):
            at = centre(node)
            if at is not None:
                yield at
        count = node.childCount
    except Exception:  # a widget that went away while looked at
        return
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            yield from matches(child, pattern, depth + 1)


def main():
    if len(sys.argv) not in (4, 6):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    pid, window, name = int(sys.argv[1]), re.compile(sys.argv[2]), re.compile(sys.argv[3])
    near = (int(sys.argv[4]), int(sys.argv[5])) if len(sys.argv) == 6 else None
    desktop = pyatspi.Registry.getDesktop(0)
    found = []
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is None or app.get_process_id() != pid:
                continue
        except Exception:
            continue
        for j in range(app.childCount):
            top = app.getChildAtIndex(j)
            if top is None or not window.fullmatch(top.name or ""):
                continue
            for at in matches(top, name):
                if near is None:
                    print(*at)
                    return 0
                found.append(at)
    if not found:
        return 1
    best = min(found, key=lambda at: (at[0] - near[0]) ** 2 + (at[1] - near[1]) ** 2)
    print(*best)
    return 0


if __name__ == "__main__":
    sys.exit(main())
