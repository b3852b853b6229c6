# SPDX-License-Identifier: MIT
"""Drives the real Tickora binary on a private X server, as a person would.

Each test starts its own Xvfb (on a display number the server picks itself), runs the
program in a temporary current directory, moves the mouse and types with xdotool, and
looks at the screen with screenshots. Nothing needs to run beforehand.
"""

import argparse
import os
import select
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

from PIL import ImageChops, ImageGrab

# The window's layout, in twips (15 twips are one logical pixel).
CLIENT_TWIPS = (11910, 8025)
BUTTONS = {  # caption: (left, top), all 855 x 375
    "Start": (480, 6720), "Delete": (3360, 6720), "Save": (3360, 7200),
    "Exit": (5280, 7200), "Stop": (480, 6720),  # Start turns into Stop while the text runs
}
FIELD = (240, 240, 11415, 6255)
SPEED_FRAME = (6480, 6600, 2895, 975)
DIRECTION_FRAME = (9960, 6600, 1455, 975)
DIRECTION_TOPS = {"Left": (0, 195), "Right": (360, 255)}  # top and height inside the frame's picture box


def px(twips):
    """Twips to logical pixels, rounded as the window rounds them."""
    return (twips * 2 + 15) // 30


def wait_until(predicate, timeout, what, interval=0.05):
    """Polls predicate until it gives a true value, which it returns; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def stop(proc):
    """Asks a server to end, and ends it when it does not within 10 s."""
    proc.terminate()
    try:
        proc.wait(10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def environment(changes):
    """This process's environment without Qt's settings, with changes (None removes a variable)."""
    env = {key: value for key, value in os.environ.items() if not key.startswith("QT_")} | changes
    return {key: value for key, value in env.items() if value is not None}


class XServer:
    """A private Xvfb on the first free display, stopped on exit."""

    def __init__(self, width=1280, height=1024):
        self.width, self.height = width, height

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{self.width}x{self.height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        ready, _, _ = select.select([read_end], [], [], 30)
        number = os.read(read_end, 64).decode().strip() if ready else ""
        # The server stops answering once the other end of its display pipe is closed.
        self.display_pipe = read_end
        if not number:
            self.proc.kill()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        return self

    def __exit__(self, *exc):
        stop(self.proc)
        os.close(self.display_pipe)

    def xdotool(self, *args, timeout=20):
        try:
            result = subprocess.run(["xdotool", *map(str, args)], env=dict(os.environ, DISPLAY=self.display),
                                    capture_output=True, text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"xdotool {' '.join(map(str, args))} took over {timeout} s") from None
        if result.returncode != 0:
            raise AssertionError(f"xdotool {' '.join(map(str, args))} failed: {result.stderr.strip()}")
        return result.stdout

    def screenshot(self, box=None):
        return ImageGrab.grab(bbox=box, xdisplay=self.display)


class Tickora:
    """The real program, started in cwd on the given X server; a context that ends it."""

    def __init__(self, binary, xserver, cwd, log_path, scale=1, extra_env=None, args=()):
        self.x, self.scale, self.cwd = xserver, scale, Path(cwd)
        self.runtime = tempfile.mkdtemp(prefix="tickora-runtime-")
        env = environment({"DISPLAY": xserver.display, "QT_QPA_PLATFORM": "xcb", "XDG_RUNTIME_DIR": self.runtime,
                           "QT_SCALE_FACTOR": str(scale) if scale != 1 else None} | (extra_env or {}))
        self.log = open(log_path, "ab")
        self.proc = subprocess.Popen([binary, *args], cwd=cwd, env=env, stdout=self.log, stderr=subprocess.STDOUT)
        try:
            self.window = self.x.xdotool("search", "--sync", "--onlyvisible", "--pid", self.proc.pid,
                                         timeout=60).split()[0]
            # Placed at its size, then drawn: unpainted, it shows the black screen behind it.
            wait_until(lambda: self.geometry()[2] == self.pixels(CLIENT_TWIPS[0]), 10, "the window to take its size")
            wait_until(lambda: self.shot().convert("L").getextrema()[1] > 128, 10, "the window to be drawn")
        except BaseException:
            self.stop()
            raise

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()

    def pixels(self, twips):
        return px(twips) * self.scale

    def geometry(self):
        """(x, y, width, height) of the window on the screen."""
        values = dict(line.split("=") for line in
                      self.x.xdotool("getwindowgeometry", "--shell", self.window).split())
        return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def screen_rect(self, left, top, width, height, within=(0, 0)):
        """A rectangle of the layout (twips, relative to a container at 'within' twips) on the screen,
        measured from the client area below the menu bar."""
        x, y, _, window_height = self.geometry()
        x += self.pixels(within[0]) + self.pixels(left)
        y += window_height - self.pixels(CLIENT_TWIPS[1]) + self.pixels(within[1]) + self.pixels(top)
        return (x, y, x + self.pixels(width), y + self.pixels(height))

    def click_at(self, x, y):
        self.x.xdotool("mousemove", "--sync", x, y, "click", "1")

    def click_in(self, rect, within=(0, 0), left_end=False):
        """Clicks the middle of a rectangle of the layout, or the round indicator at its left end."""
        x0, y0, x1, y1 = self.screen_rect(*rect, within=within)
        self.click_at(x0 + 7 * self.scale if left_end else (x0 + x1) // 2, (y0 + y1) // 2)

    def click_button(self, caption):
        self.click_in((*BUTTONS[caption], 855, 375))

    def click_speed(self, level):
        index = level - 1
        self.click_in((240 + (index // 3) * 600, 200 + (index % 3) * 240, 495, 255), SPEED_FRAME[:2], True)

    def click_direction(self, caption):
        top, height = DIRECTION_TOPS[caption]
        self.click_in((0, top, 855, height), (DIRECTION_FRAME[0] + 120, DIRECTION_FRAME[1] + 240), True)

    def click_field(self):
        self.click_in(FIELD)

    def park_mouse(self):
        """Moves the pointer off the window, so that no control shows a hover highlight."""
        self.x.xdotool("mousemove", "--sync", 1, 1)

    def type(self, text):
        self.x.xdotool("type", "--delay", 30, text)

    def shot(self, rect=None):
        """A screenshot of the window, or of a rectangle given in twips of the client area."""
        if rect is None:
            x, y, width, height = self.geometry()
            return self.x.screenshot((x, y, x + width, y + height))
        return self.x.screenshot(self.screen_rect(*rect))

    def field_shot(self):
        return self.shot(FIELD)

    def next_field_shots(self, count, empty=None):
        """The field's next `count` pictures, each new; none of them `empty`."""
        shots = [self.field_shot()]
        while len(shots) < count:
            shots.append(wait_until(lambda: (lambda shot: shot if all(differs(shot, seen) for seen in shots)
                                             else None)(self.field_shot()), 5, "the text to move on"))
        check(empty is None or all(differs(shot, empty) for shot in shots), "the field shows nothing")
        return shots

    def window_name(self, window):
        return self.x.xdotool("getwindowname", window).strip()

    def close_by_close_box(self):
        """Does what a window manager does when the close box is clicked: asks the window to close."""
        from Xlib import X, display, protocol
        connection = display.Display(self.x.display)
        window = connection.create_resource_object("window", int(self.window))
        protocols = connection.intern_atom("WM_PROTOCOLS")
        delete = connection.intern_atom("WM_DELETE_WINDOW")
        check(delete in (window.get_wm_protocols() or []), "the window does not take WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event, event_mask=X.NoEventMask)
        connection.sync()
        connection.close()

    def wait_for_exit(self, timeout=10):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program did not end within {timeout} s") from None

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.log.close()
        shutil.rmtree(self.runtime, ignore_errors=True)


def differs(a, b):
    return ImageChops.difference(a.convert("RGB"), b.convert("RGB")).getbbox() is not None


def arguments(description, extra=None):
    """The test's command line, and the folder for its artefacts."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--binary", required=True, help="the tickora program")
    parser.add_argument("--artefacts", required=True, help="folder for screenshots and logs")
    if extra:
        extra(parser)
    args = parser.parse_args()
    artefacts = Path(args.artefacts)
    shutil.rmtree(artefacts, ignore_errors=True)
    artefacts.mkdir(parents=True)
    return args, artefacts


def step(name):
    """Announces the next step of a test, so that a failure shows where it happened."""
    print(f"-- {name}", flush=True)
