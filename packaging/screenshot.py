#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Takes the screenshot that the AppStream metainfo shows: the real program on a virtual X
server with a window manager (openbox) for the title bar, the name "Tickora" running at
speed 3 and caught as its end leaves and its start comes back in, the title part-way
through its own run, and the Start button saying Stop.

    packaging/screenshot.py build/default/src/app/tickora docs/tickora-scrolling.png
"""

import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from desktop import Tickora, XServer, check, differs, wait_until  # noqa: E402  (the shared X harness)
from Xlib import Xatom, display  # noqa: E402


def cardinals(display_name, window_id, name):
    connection = display.Display(display_name)
    window = connection.create_resource_object("window", int(window_id) if window_id else connection.screen().root.id)
    prop = window.get_full_property(connection.intern_atom(name), Xatom.CARDINAL if window_id else Xatom.WINDOW)
    connection.close()
    return list(prop.value) if prop else None


class FramedTickora(Tickora):
    """The program under a reparenting window manager: its window's place is measured from
    the screen's corner, not from the frame around it."""

    def geometry(self):
        connection = display.Display(self.x.display)
        window = connection.create_resource_object("window", int(self.window))
        size = window.get_geometry()
        origin = connection.screen().root.translate_coords(window, 0, 0)
        connection.close()
        return origin.x, origin.y, size.width, size.height


def main():
    binary, output = str(Path(sys.argv[1]).resolve()), sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="tickora-shot-") as folder, XServer(1024, 768) as x:
        manager = subprocess.Popen(["openbox", "--sm-disable"], env={"DISPLAY": x.display, "HOME": folder},
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_until(lambda: cardinals(x.display, None, "_NET_SUPPORTING_WM_CHECK"), 20, "openbox to start")
            app = FramedTickora(binary, x, folder, Path(folder) / "tickora.log")
            try:
                app.click_field()
                app.type("Tickora")
                app.click_speed(3)
                app.click_button("Start")
                app.park_mouse()
                # Five ticks turn "Tickora " into "ra Ticko". The first comes 100 ms after Start,
                # the next ones 700 ms apart: the field is looked at between the first two.
                time.sleep(0.4)
                field = app.field_shot()
                for _ in range(4):
                    field = wait_until(lambda: (lambda now: now if differs(now, field) else None)(app.field_shot()),
                                       5, "the next tick")
                check(not app.window_name(app.window).startswith("TICKORA"), "the title stands at its start")
                left, right, top, bottom = wait_until(
                    lambda: cardinals(x.display, app.window, "_NET_FRAME_EXTENTS"), 10, "the window's frame")
                x0, y0, width, height = app.geometry()
                shot = x.screenshot((x0 - left, y0 - top, x0 + width + right, y0 + height + bottom))
                check(app.window_name(app.window) != "", "the window has no title")
                shot.save(output, optimize=True)
                print(f"{output}: {shot.width} x {shot.height}")
            finally:
                app.stop()
        finally:
            manager.terminate()
            manager.wait(10)


if __name__ == "__main__":
    main()
