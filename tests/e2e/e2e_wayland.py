#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Tickora as a native Wayland client, with no X server anywhere, seen and driven as a
screen reader or an on-screen keyboard does, through the accessibility bus (AT-SPI), under
Weston's headless backend: every control speaks its caption and tooltip; a text typed into
the field reads back; speed 12 and Right are chosen and "Start" is pressed by their
actions; the text scrolls (Save while it runs writes it turned) while the field reads as
typed; with 65,535 characters Start and Stop send one text change at most and 10 s of
running none; Exit writes the four settings files.

Run it inside its own D-Bus session: dbus-run-session -- e2e_wayland.py ...
"""

import shutil
import subprocess
import tempfile
import time
from pathlib import Path

import pyatspi
from gi.repository import GLib

from desktop import arguments, check, environment, step, stop, wait_until
from e2e_scroll_save import SETTINGS, read_settings

SOCKET = "tickora-wayland-0"
CONTROLS = {
    "Start": "Starts Scolling", "FG Color": "Sets ForeGround Color", "Fonts": "Sets Fonts",
    "Delete": "Delets Text and Settings", "Import": "Imports Text", "HTML": "Exports Marquee HTML code",
    "Clear": "Clears Text", "BG Color": "Sets BackGround Color", "Load": "Loads Text and Settings",
    "Save": "Saves Text and Settings", "Export": "Exports Text",
    "Exit": "Saves Text and Settings and Exits Application.", "Left": "Left Direction", "Right": "Right Direction",
} | {str(level): "Speed" for level in range(1, 13)}
TEXT = "HELLO"
LONG = ("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ" * 2000)[:65535]


def descendants(node):
    for child in map(node.getChildAtIndex, range(node.childCount)):
        if child is not None:
            yield child
            yield from descendants(child)


def find(root, role, name):
    """The one accessible of that role and name below root, once there is one."""
    found = wait_until(lambda: [node for node in descendants(root) if node.getRole() == role and node.name == name],
                       5, f"an accessible with role {role} and name {name!r}")
    check(len(found) == 1, f"{len(found)} accessibles with role {role} and name {name!r}")
    return found[0]


def press(node):
    action = node.queryAction()
    names = [action.getName(index).lower() for index in range(action.nActions)]
    check(names and action.doAction(names.index("press") if "press" in names else 0), f"{node.name!r}: {names}")


def button(window, caption):
    return find(window, pyatspi.ROLE_PUSH_BUTTON, caption)


def text_changes(field, act, seconds):
    """How many text changes of the field reach the bus from `act` on, listened to for that long."""
    heard = []
    listener = lambda event: heard.append(event) if event.source == field else None  # noqa: E731
    pyatspi.Registry.registerEventListener(listener, "object:text-changed")
    act()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not GLib.MainContext.default().iteration(False):
            time.sleep(0.005)
    pyatspi.Registry.deregisterEventListener(listener, "object:text-changed")
    return len(heard)


def run(folder):
    step("every control has its caption as name and its tooltip as description")
    desktop = pyatspi.Registry.getDesktop(0)
    tickora = wait_until(lambda: next((app for app in map(desktop.getChildAtIndex, range(desktop.childCount))
                                       if app is not None and app.name == "tickora"), None), 20,
                         "the program on the accessibility bus (see tickora.log)")
    window = wait_until(lambda: tickora.childCount and tickora.getChildAtIndex(0), 5, "its window")
    check(window.getRole() == pyatspi.ROLE_FRAME, f"the window is a {window.getRoleName()}")
    controls = {node.name: node.description for node in descendants(window)
                if node.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_RADIO_BUTTON)}
    check(controls == CONTROLS, f"the controls read {controls}")
    frames = {node.name for node in descendants(window) if node.getRole() == pyatspi.ROLE_PANEL}
    check({"Speed", "Direction"} <= frames, f"the frames are named {frames}")

    step("a text typed into the field reads back; speed 12 and Right are chosen by their actions")
    field = find(window, pyatspi.ROLE_TEXT, "Marquee text")
    reads = lambda: field.queryText().getText(0, -1)  # noqa: E731
    field.queryEditableText().insertText(0, TEXT, len(TEXT))
    wait_until(lambda: reads() == TEXT, 5, f"the field to read {TEXT!r}")
    for caption in ("12", "Right"):
        option = find(window, pyatspi.ROLE_RADIO_BUTTON, caption)
        press(option)
        wait_until(lambda: option.getState().contains(pyatspi.STATE_CHECKED), 5, f"{caption!r} to be checked")

    step('"Start" scrolls the text, as Save while it runs shows; the field reads as typed; Stop')
    press(button(window, "Start"))
    turns = {(TEXT + " ")[n:] + (TEXT + " ")[:n] for n in range(len(TEXT) + 1)}
    saved = set()
    for _ in range(50):
        press(button(window, "Save"))  # the press clicks the button 100 ms later
        time.sleep(0.2)
        if (Path(folder) / "text").exists():
            saved.add((Path(folder) / "text").read_bytes().decode().strip().strip('"'))
        if len(saved) >= 3:
            break
    check(len(saved) >= 3 and saved <= turns, f"while running Save wrote {saved}, not turns of {TEXT!r}")
    check(reads() == TEXT, f"while running the field read {reads()!r}")
    press(button(window, "Stop"))

    step("65,535 characters at speed 12: Start and Stop send one change at most, the run none")
    text_changes(field, lambda: None, 1)  # the program learns that someone listens
    on_arrival = text_changes(field, lambda: field.queryEditableText().setTextContents(LONG), 1)
    check(on_arrival >= 1 and field.queryText().characterCount == len(LONG), "the long text did not arrive")
    on_start = text_changes(field, lambda: press(button(window, "Start")), 1)
    while_running = text_changes(field, lambda: None, 10)
    on_stop = text_changes(field, lambda: press(button(window, "Stop")), 1)
    print(f"   text changes: {on_start} at Start, {while_running} in 10 s of running, {on_stop} at Stop")
    check(on_start <= 1 and on_stop <= 1 and while_running == 0, "text changes reached the bus")
    check(field.queryText().characterCount == len(LONG), "Stop did not put the long text back")

    step("after the typed text again, Exit writes the four settings files and ends the program")
    field.queryEditableText().setTextContents(TEXT)
    press(button(window, "Exit"))


def main():
    args, artefacts = arguments(__doc__)
    runtime = tempfile.mkdtemp(prefix="tickora-weston-")  # made with mode 0700, as Wayland asks
    env = environment({"DISPLAY": None, "WAYLAND_DISPLAY": None, "XDG_RUNTIME_DIR": runtime})
    with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder, \
            open(artefacts / "weston.log", "ab") as weston_log, open(artefacts / "tickora.log", "ab") as log:
        weston = subprocess.Popen(["weston", "--backend=headless-backend.so", f"--socket={SOCKET}", "--no-config",
                                   "--idle-time=0", "--width=1280", "--height=1024"],
                                  env=env, stdout=weston_log, stderr=subprocess.STDOUT)
        proc = None
        try:
            wait_until(lambda: Path(runtime, SOCKET).exists() or weston.poll() is not None, 20, "Weston's socket")
            check(weston.poll() is None, f"Weston ended with status {weston.returncode}; see weston.log")
            step("start the program on Wayland alone: Qt's Wayland platform, no fallback, no X display")
            env.update(WAYLAND_DISPLAY=SOCKET, QT_QPA_PLATFORM="wayland", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
            if "ASAN_OPTIONS" in env:
                # libwayland-client and the EGL driver that Qt's Wayland plugin loads keep
                # allocations to the end of the process; every other test checks for leaks.
                env["ASAN_OPTIONS"] += ":detect_leaks=0"
            proc = subprocess.Popen([args.binary], cwd=folder, env=env, stdout=log, stderr=subprocess.STDOUT)
            run(folder)
            check(proc.wait(10) == 0, f"Exit ended the program with status {proc.returncode}")
            check(read_settings(folder) == SETTINGS, f"Exit wrote {read_settings(folder)}")
        finally:
            if proc and proc.poll() is None:
                proc.kill()
                proc.wait()
            stop(weston)
            shutil.rmtree(runtime, ignore_errors=True)
    print("PASS")


if __name__ == "__main__":
    main()
