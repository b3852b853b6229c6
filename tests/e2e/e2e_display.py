#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The real program set up from its command line for a display that runs by itself: the
options scroll a text at the chosen speed and direction, a bad screen ends it before any
window shows, --follow keeps up with a file that other programs rewrite, and other
programs drive it over D-Bus, all without writing a file. (The presentation view is
tst_presentation's, offscreen.)

Run it inside its own D-Bus session: dbus-run-session -- e2e_display.py ...
"""

import contextlib
import os
import re
import subprocess
import tempfile
import time
from pathlib import Path
from types import SimpleNamespace

from desktop import Tickora, XServer, arguments, check, environment, step, wait_until

NAME = "org.example.Tickora"
PATH = "/org/example/Tickora"


def gdbus(*args):
    """One call to the running program; gives (status, output)."""
    result = subprocess.run(["gdbus", "call", "--session", "--dest", NAME, "--object-path", PATH, *args],
                            capture_output=True, text=True, timeout=20)
    return result.returncode, (result.stdout + result.stderr).strip()


def call(method, *args):
    return gdbus("--method", f"{NAME}.{method}", *args)


def properties():
    status, output = gdbus("--method", "org.freedesktop.DBus.Properties.GetAll", NAME)
    check(status == 0, f"reading the properties failed: {output}")
    return output


def shows(text, running=None, speed=None, direction=None):
    """Whether the properties read so; None: whatever they read."""
    wanted = [f"'Text': <{text!r}>", running is not None and f"'Running': <{str(running).lower()}>",
              speed and f"'Speed': <{speed}>", direction and f"'Direction': <{direction!r}>"]
    return lambda: all(part in properties() for part in wanted if part)


def scrolls_right_at_level_12(run):
    """--text --speed 12 --direction right --start: the text runs at level 12 to the right (the
    speed table and its timing are the window tests')."""
    app = run.window(["--text", "ABCDEFGHIJ" * 6, "--speed", "12", "--direction", "right", "--start"])
    app.park_mouse()
    app.next_field_shots(3)
    check(shows("ABCDEFGHIJ" * 6, True, 12, "right")(), f"the properties read {properties()}")


def bad_screen(run):
    """--screen that names no screen: status 2 and the hint, and no window ever shows."""
    result = subprocess.run([run.binary, "--screen", "HDMI-9"], env=run.env, cwd=run.folder,
                            capture_output=True, text=True, timeout=30)
    check(result.returncode == 2 and re.search(
        r"^tickora: There is no screen 'HDMI-9'; the screens are 0 \([^)]*\)\.\n"
        r"Try 'tickora --help' for more information\.\n\Z", result.stderr, re.M), f"{result.stderr!r}")


def follows_a_file(run):
    """--follow: a rewrite in place, a rename over the file, a deletion (the text stays) and
    a file too long (the text stays, said once)."""
    followed = Path(run.folder) / "now.txt"
    followed.write_text("first\n")
    run.window(["--follow", str(followed)])
    wait_until(shows("first"), 5, "the first text")
    with open(followed, "r+") as file:  # in place: same file, new content
        file.write("again")
        file.truncate()
    wait_until(shows("again"), 5, "the text rewritten in place")
    followed.with_name("fresh.txt").write_text("renamed\r\n")
    os.replace(followed.with_name("fresh.txt"), followed)
    wait_until(shows("renamed"), 5, "the text renamed over the file")
    followed.unlink()
    time.sleep(0.5)
    followed.write_text("x" * 65536)
    time.sleep(1.0)
    check(shows("renamed")(), "the deletion or a file too long replaced the text")
    followed.write_text("back\n")
    wait_until(shows("back"), 5, "the text of the file created again")
    log = run.log_path.read_text(errors="replace")
    check(len(re.findall(r"^tickora: Cannot follow .*more than 65,535", log, re.M)) == 1, f"the messages: {log}")


def remote_control(run):
    """D-Bus: text, start, stop, speed and direction; bad arguments change nothing."""
    run.window([])
    wait_until(lambda: gdbus("--method", "org.freedesktop.DBus.Peer.Ping")[0] == 0, 10, "the name on the bus")
    for method, args in [("SetText", ["Hello there"]), ("SetSpeed", ["3"]), ("SetDirection", ["right"]),
                         ("Start", [])]:
        status, output = call(method, *args)
        check(status == 0, f"{method} failed: {output}")
    wait_until(shows("Hello there", True, 3, "right"), 5, "the text as typed, running at 3 to the right")
    for method, value in [("SetSpeed", "13"), ("SetDirection", "up")]:
        status, output = call(method, value)
        check(status != 0 and "org.freedesktop.DBus.Error.InvalidArgs" in output, f"{method} {value}: {output}")
    check(call("Stop")[0] == 0, "Stop failed")
    wait_until(shows("Hello there", False, 3, "right"), 5, "stopped, and nothing else changed")


def main():
    args, artefacts = arguments(__doc__)
    with XServer() as x:
        for index, case in enumerate([scrolls_right_at_level_12, bad_screen, follows_a_file, remote_control]):
            step(case.__doc__.splitlines()[0])
            with tempfile.TemporaryDirectory(prefix="tickora-display-") as folder:
                log = artefacts / f"case{index}.log"
                with contextlib.ExitStack() as apps:  # the programs a case starts end with it
                    case(SimpleNamespace(
                        binary=args.binary, folder=folder, log_path=log,
                        env=environment({"DISPLAY": x.display, "QT_QPA_PLATFORM": "xcb"}),
                        window=lambda options: apps.enter_context(Tickora(args.binary, x, folder, log, args=options))))
                check(set(os.listdir(folder)) <= {"now.txt"}, f"the run wrote {os.listdir(folder)}")
    print("PASS")


if __name__ == "__main__":
    main()
