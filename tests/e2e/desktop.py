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
    "Start": (480, 6720), "FG Color": (1440, 6720), "Fonts": (2400, 6720), "Delete": (3360, 6720),
    "Import": (4320, 6720), "HTML": (5280, 6720), "Clear": (480, 7200), "BG Color": (1440, 7200),
    "Load": (2400, 7200), "Save": (3360, 7200), "Export": (4320, 7200), "Exit": (5280, 7200),
    "Stop": (480, 6720),  # Start turns into Stop while the text runs
}
FIELD = (240, 240, 11415, 6255)
SPEED_FRAME = (6480, 6600, 2895, 975)
DIRECTION_FRAME = (9960, 6600, 1455, 975)
PICTURE2 = (120, 240)
DIRECTION_BUTTONS = {"Left": (0, 0, 1095, 195), "Right": (0, 360, 855, 255)}


def px(twips):
    """Twips to logical pixels, rounded as the window rounds them."""
    return (twips * 2 + 15) // 30


def speed_button(level):
    """The rectangle of speed option button 1..12 inside its frame, in twips."""
    index = level - 1
    widths = [495, 495, 495, 495, 495, 735, 495, 615, 615, 615, 615, 615]
    return (240 + (index // 3) * 600, 200 + (index % 3) * 240, widths[index], 255)


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


class XServer:
    """A private Xvfb on the first free display, stopped on exit."""

    def __init__(self, width=1280, height=1024):
        self.width, self.height = width, height
        self.proc = None
        self.display = None

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
    """The real program, started in cwd on the given X server."""

    def __init__(self, binary, xserver, cwd, log_path, scale=1, extra_env=None, args=()):
        self.x = xserver
        self.scale = scale
        self.cwd = Path(cwd)
        env = {key: value for key, value in os.environ.items() if not key.startswith("QT_")}
        runtime = tempfile.mkdtemp(prefix="tickora-runtime-")
        env.update(DISPLAY=xserver.display, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime)
        if scale != 1:
            env["QT_SCALE_FACTOR"] = str(scale)
        env.update(extra_env or {})  # a value of None removes the variable
        env = {key: value for key, value in env.items() if value is not None}
        self.runtime = runtime
        self.log = open(log_path, "ab")
        self.proc = subprocess.Popen([binary, *args], cwd=cwd, env=env, stdout=self.log, stderr=subprocess.STDOUT)
        try:
            self.window = self.x.xdotool("search", "--sync", "--onlyvisible", "--pid", self.proc.pid,
                                         timeout=60).split()[0]
            self.wait_for_map()
        except BaseException:
            self.stop()
            raise

    def wait_for_map(self):
        """Waits until the window stands where it will stay and has drawn its controls."""
        def placed():
            geometry = self.geometry()
            return geometry if geometry[2] == self.pixels(CLIENT_TWIPS[0]) else None
        wait_until(placed, 10, "the window to take its size")
        # Unpainted, the window shows the black screen behind it; painted, its light field.
        wait_until(lambda: self.shot().convert("L").getextrema()[1] > 128, 10, "the window to be drawn")

    def pixels(self, twips):
        return px(twips) * self.scale

    def geometry(self):
        """(x, y, width, height) of the window on the screen."""
        values = dict(line.split("=") for line in
                      self.x.xdotool("getwindowgeometry", "--shell", self.window).split())
        return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def client_origin(self):
        """The top-left corner of the client area, below the menu bar."""
        x, y, _, height = self.geometry()
        return x, y + height - self.pixels(CLIENT_TWIPS[1])

    def screen_rect(self, left, top, width, height, within=(0, 0)):
        """A rectangle of the layout (twips, relative to a container at 'within' twips) on the screen."""
        ox, oy = self.client_origin()
        x = ox + self.pixels(within[0]) + self.pixels(left)
        y = oy + self.pixels(within[1]) + self.pixels(top)
        return (x, y, x + self.pixels(width), y + self.pixels(height))

    def click_at(self, x, y):
        self.x.xdotool("mousemove", "--sync", x, y, "click", "1")

    def click_button(self, caption):
        left, top = BUTTONS[caption]
        x0, y0, x1, y1 = self.screen_rect(left, top, 855, 375)
        self.click_at((x0 + x1) // 2, (y0 + y1) // 2)

    def click_option(self, rect, within):
        # The round indicator sits at the left end of the option button.
        x0, y0, _, y1 = self.screen_rect(*rect, within=within)
        self.click_at(x0 + 7 * self.scale, (y0 + y1) // 2)

    def click_speed(self, level):
        self.click_option(speed_button(level), SPEED_FRAME[:2])

    def click_direction(self, caption):
        within = (DIRECTION_FRAME[0] + PICTURE2[0], DIRECTION_FRAME[1] + PICTURE2[1])
        self.click_option(DIRECTION_BUTTONS[caption], within)

    def click_field(self):
        x0, y0, x1, y1 = self.screen_rect(*FIELD)
        self.click_at((x0 + x1) // 2, (y0 + y1) // 2)

    def park_mouse(self):
        """Moves the pointer off the window, so that no control shows a hover highlight."""
        self.x.xdotool("mousemove", "--sync", 1, 1)

    def type(self, text):
        self.x.xdotool("type", "--delay", 30, text)

    def key(self, name):
        self.x.xdotool("key", name)

    def shot(self, rect=None):
        """A screenshot of the window, or of a rectangle given in twips of the client area."""
        if rect is None:
            x, y, width, height = self.geometry()
            return self.x.screenshot((x, y, x + width, y + height))
        return self.x.screenshot(self.screen_rect(*rect))

    def field_shot(self):
        return self.shot(FIELD)

    def windows(self):
        """The visible top-level windows of the program."""
        try:
            return set(self.x.xdotool("search", "--onlyvisible", "--pid", self.proc.pid).split())
        except AssertionError:  # xdotool fails when nothing matches
            return set()

    def window_name(self, window):
        return self.x.xdotool("getwindowname", window).strip()

    def wait_for_dialog(self, timeout=10):
        """Waits for a second visible window of the program (a modal dialog) and gives its id and title."""
        def dialog():
            others = self.windows() - {self.window}
            return sorted(others)[0] if others else None
        window = wait_until(dialog, timeout, "a dialog to open")
        wait_until(lambda: self.window_name(window), 5, "the dialog's title")
        return window, self.window_name(window)

    def wait_for_no_dialog(self, timeout=10):
        wait_until(lambda: self.windows() == {self.window}, timeout, "the dialog to close")

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

    def size_hints(self):
        from Xlib import display
        connection = display.Display(self.x.display)
        hints = connection.create_resource_object("window", int(self.window)).get_wm_normal_hints()
        connection.close()
        return hints

    def wait_for_exit(self, timeout=10):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            state = Path(f"/proc/{self.proc.pid}/status").read_text().splitlines()[2]
            wchan = Path(f"/proc/{self.proc.pid}/wchan").read_text()
            shown = "still" if self.window in self.windows() else "no longer"
            raise AssertionError(f"the program did not end within {timeout} s "
                                 f"({state}, waiting in {wchan}, window {shown} shown)") from None

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.log.close()
        shutil.rmtree(self.runtime, ignore_errors=True)


def differs(a, b):
    return ImageChops.difference(a.convert("RGB"), b.convert("RGB")).getbbox() is not None


def differing_columns(a, b):
    """How many pixel columns differ between two images of the same size."""
    box = ImageChops.difference(a.convert("RGB"), b.convert("RGB")).convert("L").point(lambda v: 255 if v else 0)
    columns = box.resize((box.width, 1), reducing_gap=None)  # any lit pixel lights its column
    return sum(1 for value in columns.getdata() if value)


class Artefacts:
    """Where a test keeps its screenshots and the program's output."""

    def __init__(self, folder):
        self.folder = Path(folder)
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir(parents=True)

    def save(self, image, name):
        image.save(self.folder / f"{name}.png")

    def path(self, name):
        return self.folder / name


def arguments(description):
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--binary", required=True, help="the tickora program")
    parser.add_argument("--artefacts", required=True, help="folder for screenshots and logs")
    return parser.parse_args()


def step(name):
    """Announces the next step of a test, so that a failure shows where it happened."""
    print(f"-- {name}", flush=True)
