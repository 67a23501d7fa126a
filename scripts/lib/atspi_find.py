#!/usr/bin/python3
"""Prints the screen centre "x y" of a widget of a running client, found by
its accessible name through the AT-SPI bridge (the session bus in
DBUS_SESSION_BUS_ADDRESS). Exits 1 when no such widget is shown.

    atspi_find.py <pid> <top-level window title regex> <accessible name regex>
"""
import re
import sys

import pyatspi


def find(node, pattern, depth=0):
    if depth > 40:
        return None
    try:
        # The window itself is not one of its widgets.
        if depth > 0 and pattern.fullmatch(node.name or "") and node.getState().contains(pyatspi.STATE_SHOWING):
            return node
        count = node.childCount
    except Exception:  # a widget that went away while looked at
        return None
    for i in range(count):
        try:
            hit = find(node.getChildAtIndex(i), pattern, depth + 1)
        except Exception:
            hit = None
        if hit is not None:
            return hit
    return None


def main():
    if len(sys.argv) != 4:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    pid, window, name = int(sys.argv[1]), re.compile(sys.argv[2]), re.compile(sys.argv[3])
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app.get_process_id() != pid:
                continue
        except Exception:
            continue
        for j in range(app.childCount):
            top = app.getChildAtIndex(j)
            if not window.fullmatch(top.name or ""):
                continue
            hit = find(top, name)
            if hit is None:
                continue
            x, y, w, h = hit.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            if w <= 0 or h <= 0:
                continue
            print(x + w // 2, y + h // 2)
            return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
