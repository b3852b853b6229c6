#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""A screen reader's view of the window, through the desktop's accessibility bus (AT-SPI):
every control speaks its caption and tooltip, "Start" is found by name and pressed by its
action, and while the text scrolls the field reads as typed and the bus stays quiet, even
with 65,535 characters at the fastest speed.

Run it inside its own D-Bus session: dbus-run-session -- e2e_accessibility.py ...
"""

import tempfile
import time

import pyatspi
from gi.repository import GLib

from desktop import Tickora, XServer, arguments, check, differs, step, wait_until

CONTROLS = {
    "Start": "Starts Scolling", "FG Color": "Sets ForeGround Color", "Fonts": "Sets Fonts",
    "Delete": "Delets Text and Settings", "Import": "Imports Text", "HTML": "Exports Marquee HTML code",
    "Clear": "Clears Text", "BG Color": "Sets BackGround Color", "Load": "Loads Text and Settings",
    "Save": "Saves Text and Settings", "Export": "Exports Text",
    "Exit": "Saves Text and Settings and Exits Application.", "Left": "Left Direction", "Right": "Right Direction",
} | {str(level): "Speed" for level in range(1, 13)}
TEXT = "ABCDEFGH"
LONG = ("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ" * 2000)[:65535]


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    return next((child for child in map(desktop.getChildAtIndex, range(desktop.childCount))
                 if child is not None and child.name == name), None)


def descendants(node):
    for child in map(node.getChildAtIndex, range(node.childCount)):
        if child is not None:
            yield child
            yield from descendants(child)


def find(root, role, name, timeout=5):
    """The one accessible of that role and name below root, once there is one."""
    found = wait_until(lambda: [node for node in descendants(root) if node.getRole() == role and node.name == name],
                       timeout, f"an accessible with role {role} and name {name!r}")
    check(len(found) == 1, f"{len(found)} accessibles with role {role} and name {name!r}")
    return found[0]


def press(node):
    action = node.queryAction()
    names = [action.getName(index).lower() for index in range(action.nActions)]
    index = names.index("press") if "press" in names else 0
    check(names and action.doAction(index), f"{node.name!r} could not be pressed: {names}")


def choose(window, *captions):
    for caption in captions:
        option = find(window, pyatspi.ROLE_RADIO_BUTTON, caption)
        press(option)
        wait_until(lambda: option.getState().contains(pyatspi.STATE_CHECKED), 5, f"{caption!r} to be checked")


def rotated_right(text, times):
    times %= len(text)
    return text[len(text) - times:] + text[:len(text) - times]


def reads(field):
    return field.queryText().getText(0, -1)


class TextChanges:
    """The text changes of one accessible that reach the bus."""

    def __init__(self, node):
        self.node, self.events = node, 0
        pyatspi.Registry.registerEventListener(self.heard, "object:text-changed")

    def heard(self, event):
        self.events += event.source == self.node

    def after(self, act, seconds):
        """The events heard from `act` on, while the bus is listened to for that long."""
        before = self.events
        act()
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if not GLib.MainContext.default().iteration(False):
                time.sleep(0.005)
        return self.events - before


def main():
    args, artefacts = arguments(__doc__)
    with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder, XServer() as x, \
            Tickora(args.binary, x, folder, artefacts.path("tickora.log"),
                    extra_env={"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}) as app:
        step("every control has its caption as name and its tooltip as description")
        tickora = wait_until(lambda: application("tickora"), 10, "the program on the accessibility bus")
        window = wait_until(lambda: tickora.childCount and tickora.getChildAtIndex(0), 5, "its window")
        check(window.getRole() == pyatspi.ROLE_FRAME, f"the window is a {window.getRoleName()}")
        controls = {node.name: node.description for node in descendants(window)
                    if node.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_RADIO_BUTTON)}
        check(controls == CONTROLS, f"the controls read {controls}")
        frames = {node.name for node in descendants(window) if node.getRole() == pyatspi.ROLE_PANEL}
        check({"Speed", "Direction"} <= frames, f"the frames are named {frames}")
        field = find(window, pyatspi.ROLE_TEXT, "Marquee text")

        step("the field reads back what is typed; Right is chosen by its action")
        app.click_field()
        app.type(TEXT)
        wait_until(lambda: reads(field) == TEXT, 5, f"the field to read {TEXT!r}")
        choose(window, "Right")

        step('"Start", found by name and pressed by its action, scrolls the text; it reads as typed')
        app.park_mouse()
        still = app.field_shot()
        press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Start"))
        stop = find(window, pyatspi.ROLE_PUSH_BUTTON, "Stop")
        wait_until(lambda: differs(app.field_shot(), still), 5, "the text to move on the screen")
        readings = {reads(field) for _ in range(20) if time.sleep(0.05) is None}
        check(readings == {TEXT}, f"while running the field read {readings}")
        press(stop)
        start = find(window, pyatspi.ROLE_PUSH_BUTTON, "Start")

        step("65,535 characters at speed 12: Start and Stop send one change at most, the run none")
        changes = TextChanges(field)
        changes.after(lambda: None, 1)  # the program learns that someone listens
        on_arrival = changes.after(lambda: field.queryEditableText().setTextContents(LONG), 1)
        check(on_arrival >= 1 and field.queryText().characterCount == len(LONG), "the long text did not arrive")
        choose(window, "12")
        on_start = changes.after(lambda: press(start), 1)
        while_running = changes.after(lambda: None, 10)
        on_stop = changes.after(lambda: press(stop), 1)
        print(f"   text changes: {on_start} at Start, {while_running} in 10 s of running, {on_stop} at Stop")
        check(on_start <= 1 and on_stop <= 1, "Start or Stop sent more than one text change")
        check(while_running == 0, f"{while_running} text changes reached the bus while the text ran")
        check(field.queryText().characterCount == len(LONG), "Stop did not put the long text back")
    print("PASS")


if __name__ == "__main__":
    main()
