#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Tickora as a native Wayland client, with no X server anywhere: under Weston's headless
backend a text is typed into the field through the accessibility bus (as an on-screen
keyboard or a screen reader does), speed 1 and Right are chosen, the text scrolls (Save
while it runs writes it turned to the right, step by step, and a screen reader still reads
it as typed) and stops, a Qt dialog speaks the user's German, and with speed 12 chosen Exit
writes the four settings files.

Run it inside its own D-Bus session: dbus-run-session -- e2e_wayland.py ...
"""

import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

import pyatspi

from desktop import Artefacts, arguments, check, step, stop, wait_until
from e2e_accessibility import application, checked, descendants, find, press, rotated_right
from e2e_scroll_save import SETTINGS, read_settings

SOCKET = "tickora-wayland-0"
TEXT = "HELLO"


class Weston:
    """Weston's headless backend on a socket in a private runtime folder, stopped on exit."""

    def __init__(self, log_path):
        self.log_path = log_path

    def __enter__(self):
        self.runtime = tempfile.mkdtemp(prefix="tickora-weston-")  # made with mode 0700, as Wayland asks
        env = {key: value for key, value in os.environ.items() if key not in ("DISPLAY", "WAYLAND_DISPLAY")}
        self.log = open(self.log_path, "ab")
        self.proc = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", f"--socket={SOCKET}", "--no-config", "--idle-time=0",
             "--width=1280", "--height=1024"],
            env=dict(env, XDG_RUNTIME_DIR=self.runtime), stdout=self.log, stderr=subprocess.STDOUT)
        wait_until(lambda: Path(self.runtime, SOCKET).exists() or self.proc.poll() is not None, 20,
                   "Weston's socket")
        check(self.proc.poll() is None, f"Weston ended with status {self.proc.returncode}; see {self.log_path}")
        return self

    def __exit__(self, *exc):
        stop(self.proc)
        self.log.close()
        shutil.rmtree(self.runtime, ignore_errors=True)

    def start(self, binary, cwd, log):
        """The program on this compositor alone: Qt's Wayland platform, no fallback, no X display."""
        env = {key: value for key, value in os.environ.items()
               if not key.startswith(("QT_", "LC_")) and key not in ("DISPLAY", "LANGUAGE")}
        env.update(XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=SOCKET, QT_QPA_PLATFORM="wayland",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LANG="de_DE.UTF-8")
        if "ASAN_OPTIONS" in env:
            # libwayland-client and the EGL driver that Qt's Wayland plugin loads keep
            # allocations to the end of the process; every other test checks for leaks.
            env["ASAN_OPTIONS"] += ":detect_leaks=0"
        return subprocess.Popen([binary], cwd=cwd, env=env, stdout=log, stderr=subprocess.STDOUT)


def choose(window, *captions):
    for caption in captions:
        option = find(window, pyatspi.ROLE_RADIO_BUTTON, caption)
        press(option)
        wait_until(lambda: checked(option), 5, f"{caption!r} to be checked")


def field_text(field):
    return field.queryText().getText(0, -1)


def main():
    args = arguments(__doc__)
    artefacts = Artefacts(args.artefacts)
    with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder, \
            Weston(artefacts.path("weston.log")) as weston, open(artefacts.path("tickora.log"), "ab") as log:
        step("start the program on Wayland")
        proc = weston.start(args.binary, folder, log)
        try:
            tickora = wait_until(lambda: proc.poll() is None and application("tickora"), 20,
                                 "the program on the accessibility bus (see tickora.log)")
            window = wait_until(lambda: tickora.childCount and tickora.getChildAtIndex(0), 5, "its window")

            step("type a text into the field")
            field = find(window, pyatspi.ROLE_TEXT, "Marquee text")
            field.queryEditableText().insertText(0, TEXT, len(TEXT))
            wait_until(lambda: field_text(field) == TEXT, 5, f"the field to read {TEXT!r}")
            choose(window, "1", "Right")

            step("Start scrolls the text to the right, Stop puts it back")
            press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Start"))
            save = find(window, pyatspi.ROLE_PUSH_BUTTON, "Save")
            # A step each 900 ms; a press clicks the button 100 ms later. A busy machine may
            # let a step pass unseen.
            readings = []
            deadline = time.monotonic() + 10
            while len(readings) < 4 and time.monotonic() < deadline:
                press(save)
                time.sleep(0.2)
                saved = (Path(folder) / "text").read_bytes() if (Path(folder) / "text").exists() else b""
                text = saved.decode().strip().strip('"')
                if text and (not readings or text != readings[-1]):
                    readings.append(text)
            print(f"   saved {readings}")
            check(len(readings) == 4, f"the text moved only {len(readings) - 1} times in 10 s")
            check(readings[0] in {rotated_right(TEXT + " ", n) for n in range(len(TEXT) + 1)},
                  f"{readings[0]!r} is not the started text")
            for before, after in zip(readings, readings[1:]):
                check(after in (rotated_right(before, 1), rotated_right(before, 2)),
                      f"{before!r} became {after!r}, not a step to the right")
            check(field_text(field) == TEXT, f"while running the field read {field_text(field)!r}")
            stop = find(window, pyatspi.ROLE_PUSH_BUTTON, "Stop")
            press(stop)
            wait_until(lambda: field_text(field) == TEXT, 5, f"the field to read {TEXT!r} again")

            step("a Qt dialog's buttons speak German")
            press(find(window, pyatspi.ROLE_PUSH_BUTTON, "FG Color"))
            cancel = wait_until(lambda: [node for node in descendants(tickora) if node.name == "Abbrechen"], 10,
                                'a dialog with the button "Abbrechen"')[0]
            press(cancel)
            wait_until(lambda: tickora.childCount == 1, 10, "the dialog to close")

            step("with speed 12, Exit writes the four settings files and ends the program")
            choose(window, "12")
            press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Exit"))
            check(proc.wait(10) == 0, f"Exit ended the program with status {proc.returncode}")
            check(read_settings(folder) == SETTINGS, f"Exit wrote {read_settings(folder)}")
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
    print("PASS")


if __name__ == "__main__":
    main()
