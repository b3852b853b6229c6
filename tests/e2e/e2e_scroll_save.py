#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""A person types a text, picks speed 12 and Right, starts and stops the marquee, saves,
and leaves by "Exit"; at the next start changes then the close box write nothing, and the
start after that finds everything back. All at a device pixel ratio of 2: the window is
twice as large, centred, and its controls stand where the doubled layout puts them. (Enter
and Esc opening their dialogs are tst_mainwindow's.)"""

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
SCALE = 2


def files_in(folder):
    return sorted(path.name for path in Path(folder).iterdir())


def read_settings(folder):
    return {name: (Path(folder) / name).read_bytes() for name in SETTINGS if (Path(folder) / name).exists()}


def first_run(app, folder, artefacts):
    step("the window comes up twice as large (the start waits for that), centred, and its title rotates")
    x, y, width, height = app.geometry()
    check(abs((x + width / 2) - app.x.width / 2) <= 1 and abs((y + height / 2) - app.x.height / 2) <= 1,
          f"window at {x},{y} size {width}x{height} is not centred")
    titles = {app.window_name(app.window)}
    wait_until(lambda: titles.add(app.window_name(app.window)) or len(titles) >= 3, 5, "the title to rotate")
    check(all(title in CAPTION + CAPTION for title in titles), f"titles {titles} are not rotations of the caption")
    check(files_in(folder) == [], f"files appeared at start: {files_in(folder)}")
    app.park_mouse()
    empty = app.field_shot()

    step("type a text, pick speed 12 and Right, then click back into the field")
    app.click_field()
    app.type("HELLO")
    wait_until(lambda: differs(app.field_shot(), empty), 5, "the typed text to show")
    app.click_speed(12)
    app.click_direction("Right")
    app.click_field()

    step("Start: the text moves; Stop puts it back as typed, as Save shows")
    app.click_button("Start")
    app.park_mouse()
    for number, shot in enumerate(app.next_field_shots(4, empty)):
        shot.save(artefacts / f"running-{number}.png")
    app.click_button("Stop")
    app.park_mouse()
    app.shot().save(artefacts / "stopped.png")

    step('"Save", then "Exit", each write the four settings files byte for byte; Exit ends the program')
    for caption in ("Save", "Exit"):
        for name in SETTINGS:
            (Path(folder) / name).unlink(missing_ok=True)
        app.click_button(caption)
        wait_until(lambda: read_settings(folder) == SETTINGS, 5, f"{caption} to write the four files")
    check(app.wait_for_exit() == 0, "Exit did not end the program cleanly")
    check(files_in(folder) == sorted(SETTINGS), f"Save and Exit left {files_in(folder)}")


def later_runs(binary, x, folder, log):
    step("changes, then the close box: the program ends and the saved files stay as they were")
    with Tickora(binary, x, folder, log, scale=SCALE) as app:
        app.click_field()
        app.type("Z")
        app.click_speed(5)
        app.click_direction("Left")
        app.close_by_close_box()
        check(app.wait_for_exit() == 0, "closing did not end the program cleanly")
    check(read_settings(folder) == SETTINGS, f"closing changed the files: {read_settings(folder)}")
    step('the next start brings back the saved text, colours, speed and direction: "Exit" writes them again')
    with Tickora(binary, x, folder, log, scale=SCALE) as app:
        for name in SETTINGS:
            (Path(folder) / name).unlink()
        app.click_button("Exit")
        check(app.wait_for_exit() == 0, "Exit did not end the program cleanly")
    check(read_settings(folder) == SETTINGS and files_in(folder) == sorted(SETTINGS), f"Exit wrote {files_in(folder)}")


def main():
    args, artefacts = arguments(__doc__)
    with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder, XServer(2048, 1536) as x:
        with Tickora(args.binary, x, folder, artefacts / "tickora.log", scale=SCALE) as app:
            first_run(app, folder, artefacts)
        later_runs(args.binary, x, folder, artefacts / "tickora.log")
    print("PASS")


if __name__ == "__main__":
    main()
