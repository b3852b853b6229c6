#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Tickora as a native Wayland client, with no X server anywhere: under Weston's headless
backend a text is typed into the field through the accessibility bus (as an on-screen
keyboard or a screen reader does), speed 12 and Right are chosen, the text scrolls (Save
while it runs writes it turned, and a screen reader still reads it as typed) and stops, and
Exit writes the four settings files.

Run it inside its own D-Bus session: dbus-run-session -- e2e_wayland.py ...
"""

import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

import pyatspi

from desktop import arguments, check, environment, step, stop, wait_until
from e2e_accessibility import application, choose, find, press, reads, rotated_right
from e2e_scroll_save import SETTINGS, read_settings

SOCKET = "tickora-wayland-0"
TEXT = "HELLO"


def main():
    args, artefacts = arguments(__doc__)
    runtime = tempfile.mkdtemp(prefix="tickora-weston-")  # made with mode 0700, as Wayland asks
    env = environment({"DISPLAY": None, "WAYLAND_DISPLAY": None, "XDG_RUNTIME_DIR": runtime})
    with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder, \
            open(artefacts.path("weston.log"), "ab") as weston_log, open(artefacts.path("tickora.log"), "ab") as log:
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
            tickora = wait_until(lambda: proc.poll() is None and application("tickora"), 20,
                                 "the program on the accessibility bus (see tickora.log)")
            window = wait_until(lambda: tickora.childCount and tickora.getChildAtIndex(0), 5, "its window")

            step("type a text into the field, choose speed 12 and Right")
            field = find(window, pyatspi.ROLE_TEXT, "Marquee text")
            field.queryEditableText().insertText(0, TEXT, len(TEXT))
            wait_until(lambda: reads(field) == TEXT, 5, f"the field to read {TEXT!r}")
            choose(window, "12", "Right")

            step("Start scrolls the text, as Save while it runs shows; Stop puts it back")
            press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Start"))
            save = find(window, pyatspi.ROLE_PUSH_BUTTON, "Save")
            turns = {rotated_right(TEXT + " ", n) for n in range(len(TEXT) + 1)}
            saved = set()
            for _ in range(50):
                press(save)  # the press clicks the button 100 ms later
                time.sleep(0.2)
                wait_until(lambda: (Path(folder) / "text").exists(), 5, "Save to write the text")
                saved.add((Path(folder) / "text").read_bytes().decode().strip().strip('"'))
                if len(saved) >= 3:
                    break
            check(len(saved) >= 3 and saved <= turns, f"while running Save wrote {saved}, not turns of {TEXT!r}")
            check(reads(field) == TEXT, f"while running the field read {reads(field)!r}")
            press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Stop"))
            find(window, pyatspi.ROLE_PUSH_BUTTON, "Start")

            step("Exit writes the four settings files and ends the program")
            press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Exit"))
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
