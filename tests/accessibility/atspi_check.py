#!/usr/bin/env python3
"""KestrinWidget's boxes read through AT-SPI as a screen reader reads them.

Run by scripts/accessibility.sh beside the Qt example program (kestrinx_qt_example: a date box
"Due" and a numeric box "Amount", telling the outcome of each check). Checks, through the
accessibility bus only:
  - each box is a text named by its caption;
  - leaving the date box with "T+1" gives one description event ("T+1 -> <tomorrow>") and no
    invalid-entry state; with "xyz" one description event ("Invalid date"), the invalid-entry
    state on and its state-changed event; with "T+1" again the state off and its event;
  - the numeric box's text is its number without the spaces that right-align it.
Prints one line per check and exits 1 when any fails (2 when the program never appeared).
"""
import sys
import time

import pyatspi
from gi.repository import GLib

APP = "kestrinx_qt_example"
TIMEOUT = 30  # seconds for the program to appear, and for each step's events

failures = []
events = []  # (kind, source name, detail1, text)


def check(ok, what):
    print(("ok      " if ok else "FAILED  ") + what, flush=True)
    if not ok:
        failures.append(what)


def on_event(event):
    try:
        name = event.source.name
    except Exception:  # a source gone meanwhile
        name = ""
    if event.type.startswith("object:property-change:accessible-description"):
        events.append(("description", name, 0, event.source.description))
    elif event.type.startswith("object:state-changed:invalid-entry"):
        events.append(("invalid-entry", name, event.detail1, ""))


def find_app():
    deadline = time.time() + TIMEOUT
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == APP:
                return app
        time.sleep(0.5)
    return None


def boxes(app):
    found = {}

    def walk(node, depth=0):
        if node is None or depth > 12:
            return
        if node.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY):
            found[node.name] = node
        for child in node:
            walk(child, depth + 1)

    walk(app)
    return found


def pump(seconds):
    """Runs the event loop for a while, so that the listeners hear what was sent."""
    context = GLib.MainContext.default()
    deadline = time.time() + seconds
    while time.time() < deadline:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def wait_for(predicate, seconds=TIMEOUT):
    deadline = time.time() + seconds
    while time.time() < deadline:
        pump(0.1)
        if predicate():
            return True
    return False


def leave_with(box, other, text):
    """Focuses `box`, puts `text` in it as the user's edit, and moves focus to `other`."""
    box.queryComponent().grabFocus()
    wait_for(lambda: box.getState().contains(pyatspi.STATE_FOCUSED), 5)
    box.queryEditableText().setTextContents(text)
    other.queryComponent().grabFocus()
    wait_for(lambda: other.getState().contains(pyatspi.STATE_FOCUSED), 5)


def main():
    pyatspi.Registry.registerEventListener(on_event, "object:property-change:accessible-description",
                                           "object:state-changed:invalid-entry")
    app = find_app()
    if app is None:
        print(f"FAILED  {APP} never appeared on the accessibility bus", flush=True)
        return 2
    found = {}
    wait_for(lambda: found.update(boxes(app)) or ("Due" in found and "Amount" in found), TIMEOUT)
    check("Due" in found and "Amount" in found, f"each box is named by its caption (found {sorted(found)})")
    if "Due" not in found or "Amount" not in found:
        return 1
    due, amount = found["Due"], found["Amount"]
    check(due.getRole() == pyatspi.ROLE_TEXT, "the date box is a text")

    steps = [("T+1", False, "T+1 \u2192 "), ("xyz", True, "Invalid date"), ("T+1", False, "T+1 \u2192 ")]
    invalid = False
    for typed, now_invalid, told in steps:
        events.clear()
        leave_with(due, amount, typed)
        wait_for(lambda: any(e[0] == "description" and e[1] == "Due" for e in events))
        pump(1.0)  # anything sent twice arrives meanwhile
        described = [e for e in events if e[0] == "description" and e[1] == "Due"]
        check(len(described) == 1, f'leaving with "{typed}": one description event (got {len(described)})')
        check(due.description.startswith(told), f'leaving with "{typed}": described "{due.description}"')
        state = due.getState().contains(pyatspi.STATE_INVALID_ENTRY)
        check(state == now_invalid, f'leaving with "{typed}": invalid-entry state {"on" if now_invalid else "off"}')
        changes = [e for e in events if e[0] == "invalid-entry" and e[1] == "Due"]
        expected = [1 if now_invalid else 0] if now_invalid != invalid else []
        check([e[2] for e in changes] == expected,
              f'leaving with "{typed}": invalid-entry events {expected} (got {[e[2] for e in changes]})')
        invalid = now_invalid

    leave_with(amount, due, "1234567")
    text = amount.queryText()
    read = text.getText(0, -1)
    check(read == "1,234,567", f'the numeric box reads "{read}", without its alignment spaces')
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
