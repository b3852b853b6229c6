#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The real program set up from its command line for a display that runs by itself: the
options scroll a text at the chosen speed and direction, a bad screen ends it before any
window shows, --follow keeps up with a file that other programs rewrite, other programs
drive it over D-Bus, and the presentation view fills the screen and leaves by Esc, all
without writing a file.

Run it inside its own D-Bus session: dbus-run-session -- e2e_display.py ...
"""

import os
import re
import subprocess
import tempfile
import time
from pathlib import Path

from desktop import Artefacts, Tickora, XServer, arguments, check, differs, step, wait_until

NAME = "org.example.Tickora"
PATH = "/org/example/Tickora"
LONGEST = 65535


def gdbus(*args):
    """One call to the running program; gives (status, output)."""
    result = subprocess.run(["gdbus", "call", "--session", "--dest", NAME, "--object-path", PATH, *args],
                            capture_output=True, text=True, timeout=20)
    return result.returncode, (result.stdout + result.stderr).strip()


def call(method, *args):
    return gdbus("--method", f"{NAME}.{method}", *args)


def prop(name):
    status, output = gdbus("--method", "org.freedesktop.DBus.Properties.Get", NAME, name)
    check(status == 0, f"reading {name} failed: {output}")
    return output


def text_is(text):
    return lambda: prop("Text") == f"(<{text!r}>,)"


def accessible_field():
    import pyatspi
    desktop = pyatspi.Registry.getDesktop(0)
    stack = [desktop.getChildAtIndex(index) for index in range(desktop.childCount)]
    while stack:
        node = stack.pop()
        if node is None:
            continue
        if node.getRole() == pyatspi.ROLE_TEXT and node.name == "Marquee text":
            return node
        stack.extend(node.getChildAtIndex(index) for index in range(node.childCount))
    return None


def scrolls_right_at_level_12(x, run):
    """--text --speed 12 --direction right --start: the text runs at level 12 to the right (the
    speed table and its timing are the window tests'), and a screen reader reads it as typed."""
    typed = "".join(chr(ord("A") + index % 26) + str(index // 26) for index in range(60))
    app = run(["--text", typed, "--speed", "12", "--direction", "right", "--start"],
              {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
    field = wait_until(accessible_field, 10, "the field on the accessibility bus")
    app.park_mouse()
    first = app.field_shot()
    wait_until(lambda: differs(app.field_shot(), first), 5, "the text to move on the screen")
    check(field.queryText().getText(0, -1) == typed, "the field does not read as typed while it runs")
    check(prop("Running") == "(<true>,)" and prop("Speed") == "(<12>,)" and prop("Direction") == "(<'right'>,)",
          "the properties do not show level 12 to the right, running")


def bad_screen(x, run):
    """--screen that names no screen: status 2 and the hint, and no window ever shows."""
    result = subprocess.run([run.binary, "--screen", "HDMI-9"], env=run.env({}), cwd=run.folder,
                            capture_output=True, text=True, timeout=30)
    check(result.returncode == 2, f"status {result.returncode}: {result.stderr!r}")
    check(re.search(r"^tickora: There is no screen 'HDMI-9'; the screens are 0 \([^)]*\)\.\n"
                    r"Try 'tickora --help' for more information\.\n\Z", result.stderr, re.M), result.stderr)


def follows_a_file(x, run):
    """--follow: a rewrite in place, a rename over the file, a deletion (the text stays) and
    a file too long (the text stays, said once)."""
    followed = Path(run.folder) / "now.txt"
    followed.write_text("first\n")
    run(["--follow", str(followed)], {})
    wait_until(text_is("first"), 5, "the first text")
    with open(followed, "r+") as file:  # in place: same file, new content
        file.write("again")
        file.truncate()
    wait_until(text_is("again"), 5, "the text rewritten in place")
    fresh = followed.with_name("fresh.txt")
    fresh.write_text("renamed\r\n")
    os.replace(fresh, followed)
    wait_until(text_is("renamed"), 5, "the text renamed over the file")
    followed.unlink()
    time.sleep(0.5)
    check(text_is("renamed")(), "the deleted file took its text along")
    followed.write_text("x" * (LONGEST + 1))
    time.sleep(1.0)
    check(text_is("renamed")(), "a file too long replaced the text")
    followed.write_text("back\n")
    wait_until(text_is("back"), 5, "the text of the file created again")
    log = run.log().splitlines()
    too_long = [line for line in log
                if line.startswith("tickora: Cannot follow") and "more than 65,535" in line]
    check(len(too_long) == 1, f"the file too long was said {len(too_long)} times: {log}")


def remote_control(x, run):
    """D-Bus: text, start, stop, speed and direction; bad arguments change nothing."""
    run([], {})
    wait_until(lambda: gdbus("--method", "org.freedesktop.DBus.Peer.Ping")[0] == 0, 10, "the name on the bus")
    for method, args in [("SetText", ["Hello there"]), ("SetSpeed", ["3"]), ("SetDirection", ["right"]),
                         ("Start", [])]:
        status, output = call(method, *args)
        check(status == 0, f"{method} failed: {output}")
    wait_until(lambda: prop("Running") == "(<true>,)", 5, "Running to turn true")
    check(text_is("Hello there")(), "Text is not the text as typed while it runs")
    check(prop("Speed") == "(<3>,)" and prop("Direction") == "(<'right'>,)", "speed or direction not taken")
    for method, value in [("SetSpeed", "13"), ("SetDirection", "up")]:
        status, output = call(method, value)
        check(status != 0 and "org.freedesktop.DBus.Error.InvalidArgs" in output, f"{method} {value}: {output}")
    check(prop("Speed") == "(<3>,)" and prop("Direction") == "(<'right'>,)", "a refused value changed something")
    check(call("Stop")[0] == 0, "Stop failed")
    wait_until(lambda: prop("Running") == "(<false>,)", 5, "Running to turn false")
    status, output = gdbus("--method", "org.freedesktop.DBus.Properties.GetAll", NAME)
    check(status == 0 and "'Text': <'Hello there'>" in output and "'Speed': <3>" in output, output)


def presentation_view(x, run):
    """--fullscreen: the display alone covers the screen, a line most of its height;
    Esc leaves it and the window stays."""
    proc = run.spawn(["--text", "HH", "--fullscreen"])

    def geometry(window):
        values = dict(line.split("=") for line in x.xdotool("getwindowgeometry", "--shell", window).split())
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def windows():
        try:
            return x.xdotool("search", "--onlyvisible", "--pid", proc.pid).split()
        except AssertionError:  # nothing matches yet
            return []

    def view():
        return next((window for window in windows() if geometry(window) == (x.width, x.height)), None)

    shown = wait_until(view, 20, "a window covering the screen")

    def letter_rows():
        shot = x.screenshot().convert("L")
        background = shot.getpixel((2, 2))
        rows = [y for y in range(0, x.height, 4)
                if any(abs(shot.getpixel((column, y)) - background) > 64 for column in range(0, x.width, 8))]
        # Capitals stand about 0.7 of a line high, and the line is 0.8 of the screen.
        return rows if rows and (rows[-1] - rows[0]) / x.height > 0.45 else None
    rows = wait_until(letter_rows, 10, "capitals almost half the screen's height")
    run.artefacts.save(x.screenshot(), "presentation")
    print(f"   letters from row {rows[0]} to {rows[-1]} of {x.height}")
    x.xdotool("windowfocus", "--sync", shown)
    x.xdotool("key", "Escape")
    wait_until(lambda: len(windows()) == 1 and view() is None, 10, "the view to close and the window to stay")
    check(proc.poll() is None, "the program ended with the view")


# name, what it checks
CASES = [
    ("options run the text right at level 12", scrolls_right_at_level_12),
    ("a screen that does not exist", bad_screen),
    ("following a file", follows_a_file),
    ("remote control over D-Bus", remote_control),
    ("the presentation view", presentation_view),
]


class Runner:
    """Starts the program in a fresh folder of its own, which must stay free of settings files."""

    def __init__(self, binary, x, artefacts, name, folder):
        self.binary, self.x, self.artefacts, self.folder = binary, x, artefacts, folder
        self.log_path = artefacts.path(f"{name}.log")
        self.apps = []

    def env(self, changes):
        env = {key: value for key, value in os.environ.items() if not key.startswith("QT_")}
        return env | {"DISPLAY": self.x.display, "QT_QPA_PLATFORM": "xcb"} | changes

    def __call__(self, args, changes):
        self.apps.append(Tickora(self.binary, self.x, self.folder, self.log_path, extra_env=changes, args=args))
        return self.apps[-1]

    def spawn(self, args):
        log = open(self.log_path, "ab")
        self.apps.append(subprocess.Popen([self.binary, *args], cwd=self.folder, env=self.env({}), stdout=log,
                                          stderr=subprocess.STDOUT))
        log.close()
        return self.apps[-1]

    def stop(self):
        for app in self.apps:
            if isinstance(app, Tickora):
                app.stop()
            elif app.poll() is None:
                app.kill()
                app.wait()

    def log(self):
        return self.log_path.read_text(errors="replace")


def main():
    args = arguments(__doc__)
    artefacts = Artefacts(args.artefacts)
    with XServer() as x:
        for index, (name, case) in enumerate(CASES):
            step(name)
            with tempfile.TemporaryDirectory(prefix="tickora-display-") as folder:
                run = Runner(args.binary, x, artefacts, f"case{index}", folder)
                try:
                    case(x, run)
                finally:
                    run.stop()
                check(set(os.listdir(folder)) <= {"now.txt"}, f"the run wrote {os.listdir(folder)}")
    print("PASS")


if __name__ == "__main__":
    main()
