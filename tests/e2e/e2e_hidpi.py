#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""At a device pixel ratio of 2 the real window is twice as large on the screen, and its
controls stand where the layout puts them, at twice the distance."""

import tempfile

from desktop import Artefacts, Tickora, XServer, arguments, check, differs, step, wait_until


def main():
    args = arguments(__doc__)
    artefacts = Artefacts(args.artefacts)
    with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder, XServer(2048, 1536) as x:
        step("the window at a device pixel ratio of 2 is twice as large, and centred")
        app = Tickora(args.binary, x, folder, artefacts.path("tickora.log"), scale=2)
        try:
            # Starting waits for the window to take twice the layout's width.
            double = app.geometry()
            check(abs(double[0] + double[2] / 2 - x.width / 2) <= 1, "the window is not centred")

            step("typing, Start and Stop where the doubled layout puts them")
            app.park_mouse()
            empty = app.field_shot()
            app.click_field()
            app.type("WIDE")
            wait_until(lambda: differs(app.field_shot(), empty), 5, "the typed text to show")
            app.click_speed(12)
            app.click_button("Start")
            app.park_mouse()
            first = app.field_shot()
            wait_until(lambda: differs(app.field_shot(), first), 5, "the text to move")
            artefacts.save(app.shot(), "window-at-2x")
            app.click_button("Stop")
            app.close_by_close_box()
            check(app.wait_for_exit() == 0, "the program did not end cleanly")
        finally:
            app.stop()
    print("PASS")


if __name__ == "__main__":
    main()
