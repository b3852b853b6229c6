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

from desktop import Artefacts, Tickora, XServer, arguments, check, differs, step, wait_until

BUTTONS = {
    "Start": "Starts Scolling", "FG Color": "Sets ForeGround Color", "Fonts": "Sets Fonts",
    "Delete": "Delets Text and Settings", "Import": "Imports Text", "HTML": "Exports Marquee HTML code",
    "Clear": "Clears Text", "BG Color": "Sets BackGround Color", "Load": "Loads Text and Settings",
    "Save": "Saves Text and Settings", "Export": "Exports Text",
    "Exit": "Saves Text and Settings and Exits Application.",
}
OPTIONS = {str(level): "Speed" for level in range(1, 13)} | {"Left": "Left Direction", "Right": "Right Direction"}
MENUS = ["Files", "New", "Open", "Save", "Options", "ForeGround", "BackGround", "TextClear", "TextFonts",
         "Speeds"] + [f"{item:02d}" for item in range(1, 13)] + ["About", "Specs", "About"]
TEXT = "ABCDEFGH"
LONG = ("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ" * 2000)[:65535]


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        child = desktop.getChildAtIndex(index)
        if child is not None and child.name == name:
            return child
    return None


def descendants(node):
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield child
            yield from descendants(child)


def find(root, role, name):
    """The one accessible of that role and name below root."""
    found = [node for node in descendants(root) if node.getRole() == role and node.name == name]
    check(len(found) == 1, f"{len(found)} accessibles with role {role} and name {name!r}")
    return found[0]


def press(node):
    action = node.queryAction()
    names = [action.getName(index).lower() for index in range(action.nActions)]
    check(names, f"{node.name!r} offers no action")
    index = names.index("press") if "press" in names else 0
    check(action.doAction(index), f"the action {names[index]!r} of {node.name!r} failed")


def renamed(window, caption):
    """The Start/Stop button, once its caption has become `caption`."""
    return wait_until(lambda: [node for node in descendants(window)
                               if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name == caption],
                      5, f"the button to be named {caption!r}")[0]


def checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


class TextChanges:
    """The text changes of one accessible that reach the bus, and the characters they carry."""

    def __init__(self, node):
        self.node, self.events, self.characters = node, 0, 0
        pyatspi.Registry.registerEventListener(self.heard, "object:text-changed")

    def heard(self, event):
        if event.source == self.node:
            self.events += 1
            self.characters += len(event.any_data or "")

    def after(self, act, seconds):
        """The events heard from `act` on, while the bus is listened to for that long."""
        before = self.events
        act()
        deadline = time.monotonic() + seconds
        context = GLib.MainContext.default()
        while time.monotonic() < deadline:
            if not context.iteration(False):
                time.sleep(0.005)
        return self.events - before


def rotated_right(text, times):
    times %= len(text)
    return text[len(text) - times:] + text[:len(text) - times]


def main():
    args = arguments(__doc__)
    artefacts = Artefacts(args.artefacts)
    with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder, XServer() as x:
        step("start the program with accessibility on")
        app = Tickora(args.binary, x, folder, artefacts.path("tickora.log"),
                      extra_env={"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
        try:
            tickora = wait_until(lambda: application("tickora"), 10, "the program on the accessibility bus")
            window = wait_until(lambda: tickora.childCount and tickora.getChildAtIndex(0), 5, "its window")
            check(window.getRole() == pyatspi.ROLE_FRAME, f"the window is a {window.getRoleName()}")

            step("every control has its caption as name and its tooltip as description")
            for caption, tooltip in BUTTONS.items():
                button = find(window, pyatspi.ROLE_PUSH_BUTTON, caption)
                check(button.description == tooltip, f"{caption!r} describes itself as {button.description!r}")
            for caption, tooltip in OPTIONS.items():
                option = find(window, pyatspi.ROLE_RADIO_BUTTON, caption)
                check(option.description == tooltip, f"{caption!r} describes itself as {option.description!r}")
            frames = {node.name for node in descendants(window) if node.getRole() == pyatspi.ROLE_PANEL}
            check({"Speed", "Direction"} <= frames, f"the frames are named {frames}")
            items = [node.name for node in descendants(window) if node.getRole() == pyatspi.ROLE_MENU_ITEM]
            check(items == MENUS, f"the menus read {items}")
            field = find(window, pyatspi.ROLE_TEXT, "Marquee text")
            check(checked(find(window, pyatspi.ROLE_RADIO_BUTTON, "7")), "speed 7 is not checked at start")
            check(checked(find(window, pyatspi.ROLE_RADIO_BUTTON, "Left")), "Left is not checked at start")

            step("the field reads back what is typed")
            app.click_field()
            app.type(TEXT)
            wait_until(lambda: field.queryText().getText(0, -1) == TEXT, 5, f"the field to read {TEXT!r}")

            step("speed 10 and Right chosen by their actions")
            for caption in ("10", "Right"):
                option = find(window, pyatspi.ROLE_RADIO_BUTTON, caption)
                press(option)
                wait_until(lambda: checked(option), 5, f"{caption!r} to be checked")
            check(not checked(find(window, pyatspi.ROLE_RADIO_BUTTON, "Left")), "Left stayed checked")

            step('"Start", found by name and pressed by its action, scrolls the text; it reads as typed')
            app.park_mouse()
            still = app.field_shot()
            press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Start"))
            stop = renamed(window, "Stop")
            wait_until(lambda: differs(app.field_shot(), still), 5, "the text to move on the screen")
            readings = set()
            for _ in range(20):
                readings.add(field.queryText().getText(0, -1))
                time.sleep(0.05)
            check(readings == {TEXT}, f"while running the field read {readings}")
            artefacts.save(app.shot(), "running")

            step('"Stop" by its action puts the typed text back')
            press(stop)
            wait_until(lambda: field.queryText().getText(0, -1) == TEXT, 5, f"the field to read {TEXT!r} again")
            start = renamed(window, "Start")

            step("65,535 characters at speed 12: Start and Stop send one change at most, the run none")
            changes = TextChanges(field)
            changes.after(lambda: None, 1)  # the program learns that someone listens
            on_arrival = changes.after(lambda: field.queryEditableText().setTextContents(LONG), 1)
            check(field.queryText().characterCount == len(LONG), "the long text is not in the field")
            check(on_arrival >= 1, "the listener did not hear the long text arrive")
            press(find(window, pyatspi.ROLE_RADIO_BUTTON, "12"))
            on_start = changes.after(lambda: press(start), 1)
            while_running = changes.after(lambda: None, 10)
            on_stop = changes.after(lambda: press(stop), 1)
            print(f"   text changes: {on_arrival} as the text arrived, {on_start} at Start, {while_running} in 10 s "
                  f"of running, {on_stop} at Stop; {changes.characters} characters in all")
            check(on_start <= 1 and on_stop <= 1, "Start or Stop sent more than one text change")
            check(while_running == 0, f"{while_running} text changes reached the bus while the text ran")
            check(field.queryText().characterCount == len(LONG), "Stop did not put the long text back")
        finally:
            app.stop()
    print("PASS")


if __name__ == "__main__":
    main()
