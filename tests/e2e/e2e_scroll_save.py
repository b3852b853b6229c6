#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""A person types a text, picks speed 12 and Right, starts and stops the marquee and saves;
changes then the close box write nothing, and the next start finds everything back, as
"Exit" shows. Then a Hebrew and an Arabic text, longer than the field, scroll visibly to
the left and to the right. All at a device pixel ratio of 2: the window is twice as large,
centred, and its controls stand where the doubled layout puts them. (Enter and Esc opening
their dialogs are tst_mainwindow's.)"""

import tempfile
from pathlib import Path

from desktop import Tickora, XServer, arguments, check, differs, step, wait_until

CAPTION = "TICKORA VER 1.7" + " " * 17 + "Type in text and press Start to start..."
SETTINGS = {
    "text": b'"HELLO"\r\n',
    "color": b'"-2147483640","-2147483643"\r\n',
    "speed": b",".join([b'"False"'] * 11 + [b'"True"']) + b"\r\n",
    "dirct": b'"False","True"\r\n',
}
TEXTS = {"hebrew": "שלום עולם, מה שלומך היום? " * 3, "arabic": "مرحبا بالعالم، كيف حالك اليوم؟ " * 3}


def read_settings(folder):
    return {name: (Path(folder) / name).read_bytes() for name in SETTINGS if (Path(folder) / name).exists()}


def scrolls(app, empty, artefacts, name):
    """Start: the field shows a new picture at every tick, never an empty field; then Stop."""
    app.click_button("Start")
    app.park_mouse()
    for number, shot in enumerate(app.next_field_shots(4, empty)):
        shot.save(artefacts / f"{name}-{number}.png")
    app.click_button("Stop")


def main():
    args, artefacts = arguments(__doc__)
    with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder, XServer(2048, 1536) as x:
        start = lambda: Tickora(args.binary, x, folder, artefacts / "tickora.log", scale=2)  # noqa: E731
        with start() as app:
            step("the window comes up twice as large (the start waits for that), centred, and its title rotates")
            left, top, width, height = app.geometry()
            check(abs(left + width / 2 - x.width / 2) <= 1 and abs(top + height / 2 - x.height / 2) <= 1,
                  f"window at {left},{top} size {width}x{height} is not centred")
            titles = {app.window_name(app.window)}
            wait_until(lambda: titles.add(app.window_name(app.window)) or len(titles) >= 3, 5, "the title to rotate")
            check(all(title in CAPTION + CAPTION for title in titles), f"titles {titles} are not the caption's")
            app.park_mouse()
            empty = app.field_shot()

            step("type a text, pick speed 12 and Right; Start moves it, Stop puts it back, as Save shows")
            app.click_field()
            app.type("HELLO")
            wait_until(lambda: differs(app.field_shot(), empty), 5, "the typed text to show")
            app.click_speed(12)
            app.click_direction("Right")
            app.click_field()
            scrolls(app, empty, artefacts, "typed")
            app.click_button("Save")
            wait_until(lambda: read_settings(folder) == SETTINGS, 5, "Save to write the four files")

            step("changes, then the close box: the program ends and the saved files stay as they were")
            app.click_field()
            app.type("Z")
            app.click_speed(5)
            app.click_direction("Left")
            app.close_by_close_box()
            check(app.wait_for_exit() == 0, "closing did not end the program cleanly")
        check(read_settings(folder) == SETTINGS, f"closing changed the files: {read_settings(folder)}")

        step('the next start brings back the text, colours, speed and direction: "Exit" writes them again')
        with start() as app:
            for name in SETTINGS:
                (Path(folder) / name).unlink()
            app.click_button("Exit")
            check(app.wait_for_exit() == 0, "Exit did not end the program cleanly")
        check(read_settings(folder) == SETTINGS, f"Exit wrote {read_settings(folder)}")

        for name, text in TEXTS.items():
            step(f"a {name} text at speed 12 shows at rest and scrolls to the left and to the right")
            (Path(folder) / "text").write_bytes(b'"' + text.encode() + b'"\r\n')
            with start() as app:
                app.park_mouse()
                check(differs(app.field_shot(), empty), f"the {name} text does not show at rest")
                for direction in ("Left", "Right"):
                    app.click_direction(direction)
                    scrolls(app, empty, artefacts, f"{name}-{direction}")
    print("PASS")


if __name__ == "__main__":
    main()
