#!/usr/bin/python3
"""A screen reader's view of the window, through the desktop's accessibility bus (AT-SPI):
every control speaks its caption and tooltip, "Start" is found by name and pressed by its
action, and the field's text can be read as it scrolls.

Run it inside its own D-Bus session: dbus-run-session -- e2e_accessibility.py ...
"""

import tempfile
import time

import pyatspi

from desktop import Artefacts, Tickora, XServer, arguments, check, step, wait_until

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


def checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


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

            step('"Start", found by name and pressed by its action, scrolls the text to the right')
            press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Start"))
            stop = wait_until(lambda: [node for node in descendants(window)
                                       if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name == "Stop"],
                              5, 'the button to be named "Stop"')[0]
            running = TEXT + " "
            readings = [field.queryText().getText(0, -1)]
            deadline = time.monotonic() + 10
            while len(readings) < 5 and time.monotonic() < deadline:
                text = field.queryText().getText(0, -1)
                if text != readings[-1]:
                    readings.append(text)
                time.sleep(0.01)
            print(f"   read {readings}")
            check(len(readings) == 5, f"the text moved only {len(readings) - 1} times in 10 s")
            check(readings[0] in {rotated_right(running, n) for n in range(len(running))},
                  f"{readings[0]!r} is not the started text")
            for before, after in zip(readings, readings[1:]):
                # A reading may miss a tick or two, never turn back to the left.
                check(any(after == rotated_right(before, n) for n in range(1, 4)),
                      f"{before!r} became {after!r}, not a turn to the right")
            artefacts.save(app.shot(), "running")

            step('"Stop" by its action puts the typed text back')
            press(stop)
            wait_until(lambda: field.queryText().getText(0, -1) == TEXT, 5, f"the field to read {TEXT!r} again")
            find(window, pyatspi.ROLE_PUSH_BUTTON, "Start")
        finally:
            app.stop()
    print("PASS")


if __name__ == "__main__":
    main()
