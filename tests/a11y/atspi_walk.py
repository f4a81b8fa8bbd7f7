#!/usr/bin/env python3
"""Walks Tessaron's main window over AT-SPI, the bus Orca and accerciser read, as a screen
reader client would: every key of the keyboard picture and every control must be there, named,
and the key page, the macro manager and the profiles panel open through actions with theirs.

Run inside a session bus with the accessibility bus up and Tessaron started with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 (atspi_walk.sh does all that). Exits 77 when pyatspi is
missing, so a test run without a screen-reader stack skips it."""

import sys
import time

try:
    import pyatspi
except ImportError:
    print("pyatspi is missing (Debian: python3-pyatspi)", file=sys.stderr)
    sys.exit(77)

KEYS = 108
CONTROLS = ["Help", "Minimize", "Close", "Light", "Macro Management", "Game Mode and Win Lock",
            "Response Time", "USB Report Rate", "Profile", "Return", "Cancel", "Save"]


def find_app(name, timeout=20.0):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name and name in app.name.lower():
                return app
        time.sleep(0.5)
    return None


def walk(node, depth=0, out=None):
    out = [] if out is None else out
    out.append((depth, node))
    for child in node:
        if child is not None:
            walk(child, depth + 1, out)
    return out


def check_page(app, window, opener, title, controls, closer, failures, press=None):
    button = next((n for _, n in walk(window) if n.name == opener), None)
    if button is None:
        failures.append(f"no {opener!r} to open {title!r} with")
        return
    button.queryAction().doAction(0)
    page = None
    end = time.time() + 10
    while page is None and time.time() < end:
        page = next((w for w in app if w is not None and w.getRoleName() == "dialog"
                     and w.name == title), None)
        time.sleep(0.3)
    if page is None:
        failures.append(f"{title!r} did not open from {opener!r}")
        return
    names = {n.name for _, n in walk(page) if n.name}
    print(f"{title}: {len(names)} names")
    for control in controls:
        if control not in names:
            failures.append(f"no {control!r} in {title!r}")
    if press is not None:
        # Tab to a button that fills a list, Space: the focus stays on the button.
        FOCUS_EVENTS.clear()
        for _ in range(12):
            if FOCUS_EVENTS and FOCUS_EVENTS[-1][0] == press:
                break
            pyatspi.Registry.generateKeyboardEvent(0xff09, None, pyatspi.KEY_SYM)
            pump(0.4)
        if not FOCUS_EVENTS or FOCUS_EVENTS[-1][0] != press:
            failures.append(f"Tab never reached {press!r} in {title!r}: {FOCUS_EVENTS}")
        else:
            FOCUS_EVENTS.clear()
            pyatspi.Registry.generateKeyboardEvent(0x20, None, pyatspi.KEY_SYM)  # Space
            pump(1.0)
            if FOCUS_EVENTS:
                failures.append(f"{press!r} in {title!r} moved the focus: {FOCUS_EVENTS}")
    close = next((n for _, n in walk(page) if n.name == closer), None)
    if close is not None:
        close.queryAction().doAction(0)
        end = time.time() + 10
        while time.time() < end and any(w is not None and w.getRoleName() == "dialog"
                                        and w.name == title and w.childCount for w in app):
            time.sleep(0.3)


FOCUS_EVENTS = []


def on_focus(event):
    try:
        source = event.source
        FOCUS_EVENTS.append((source.name, source.getIndexInParent(), source.getRoleName()))
    except Exception as e:  # a dead object: the reader could not read it either
        FOCUS_EVENTS.append((None, -1, repr(e)))


def pump(seconds):
    """Lets the reader's events arrive for a while."""
    from gi.repository import GLib
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.iteration(False):
            pass
        time.sleep(0.05)


def focus_walk(window, failures, steps=12):
    """Tabs through the window as a keyboard user does: every focus event must name a live,
    named object that its parent lists."""
    seen = FOCUS_EVENTS
    try:
        window.queryComponent().grabFocus()
    except Exception:  # the window has the focus already on a bare X server
        pass
    pump(0.5)
    seen.clear()
    for _ in range(steps):
        pyatspi.Registry.generateKeyboardEvent(0xff09, None, pyatspi.KEY_SYM)  # Tab
        pump(0.4)
    print("focus walk:", [name for name, _, _ in seen])
    if len(seen) < steps:
        failures.append(f"{len(seen)} focus events for {steps} presses of Tab")
    for name, index, role in seen:
        if not name or index < 0:
            failures.append(f"a focus event on an object outside the tree: {name!r} {role}")


def main():
    app = find_app("tessaron")
    if app is None:
        print("FAIL: no tessaron application on the accessibility bus")
        return 1
    # The main window comes after the start-up read of the keyboard.
    windows = []
    end = time.time() + 20
    while not windows and time.time() < end:
        windows = [w for w in app if w is not None and w.childCount > 20]
        if not windows:
            time.sleep(0.5)
    print("top-level objects:", [(w.getRoleName(), w.name, w.childCount) for w in app if w])
    if not windows:
        print("FAIL: the application shows no window")
        return 1
    nodes = walk(windows[0])
    named = [(d, n) for d, n in nodes if n.name]
    keys = [n for _, n in nodes if n.description and n.description.startswith(n.name + ": ")]
    names = {n.name for _, n in named}
    print(f"{len(nodes)} objects, {len(named)} named, {len(keys)} keys of the picture")
    failures = []
    if len(keys) != KEYS:
        failures.append(f"{len(keys)} keys instead of {KEYS}")
    if len({k.name for k in keys}) != len(keys):
        failures.append("keys of the picture share a name")
    for control in CONTROLS:
        if control not in names:
            failures.append(f"no control named {control!r}")
    caps = [k for k in keys if k.name == "Caps Lock"]
    if caps:
        print("Caps Lock:", caps[0].description, "/", caps[0].getRoleName())
    unnamed = [n for _, n in nodes[1:] if not n.name and n.getRoleName() not in ("filler",)]
    if unnamed:
        failures.append(f"{len(unnamed)} unnamed objects: " +
                        ", ".join(sorted({n.getRoleName() for n in unnamed})))

    pyatspi.Registry.registerEventListener(on_focus, "focus:")
    focus_walk(windows[0], failures)

    # A control acts for the reader: Light opens, and the panel shows its controls.
    light = next((n for _, n in named if n.name == "Light"), None)
    if light is not None:
        action = light.queryAction()
        actions = [action.getName(i) for i in range(action.nActions)]
        print("Light:", light.getRoleName(), "actions", actions)
        action.doAction(0)
        end = time.time() + 10
        while True:
            names = {n.name for _, n in walk(windows[0]) if n.name}
            if "Effect" in names or time.time() > end:
                break
            time.sleep(0.3)
        print("after Light:", windows[0].childCount, "children; Light expanded:",
              light.getState().contains(pyatspi.STATE_EXPANDED))
        for control in ("Effect", "Brightness"):
            if control not in names:
                failures.append(f"no {control!r} after opening Light")
        # The values a reader speaks: the effect's text, the slider's number.
        nodes = {n.name: n for _, n in walk(windows[0]) if n.name}
        try:
            text = nodes["Effect"].queryText()
            effect = text.getText(0, text.characterCount)
            level = nodes["Brightness"].queryValue().currentValue
            print(f"Effect: {effect!r}; Brightness: {level}")
            if not effect:
                failures.append("the Effect combo box has no text")
        except (KeyError, NotImplementedError) as e:
            failures.append(f"no value to read: {e!r}")
    # Each page opens through an action and shows its controls named; its own button ends it.
    check_page(app, windows[0], "Caps Lock", "Key Settings",
               ["Current Key: Caps Lock", "Single/Combine", "Macro", "Basic", "Advance",
                "Single", "Combine", "Disable", "Default", "Cancel", "Save"], "Cancel", failures)
    check_page(app, windows[0], "Macro Management", "Macro Manager",
               ["Select Macro", "Keystrobe Sequence", "Start Recording", "Number of Loops",
                "New", "Delete", "OK", "Cancel"], "Cancel", failures, press="New")
    check_page(app, windows[0], "Profile", "Profile", ["Close", "New", "Delete"], "Close",
               failures)
    for failure in failures:
        print("FAIL:", failure)
    print("PASS" if not failures else "FAILED")
    return 0 if not failures else 1


if __name__ == "__main__":
    sys.exit(main())
