#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""A person types a text, picks speed 12 and Right, starts and stops the marquee, saves,
leaves by "Exit", and finds everything back at the next start; there Enter opens the HTML
export's save dialog, Esc the colour dialog, and the close box ends the program without
writing anything. All at a device pixel ratio of 2: the window is twice as large, centred,
and its controls stand where the doubled layout puts them."""

import tempfile
from pathlib import Path

from desktop import (DIRECTION_FRAME, SPEED_FRAME, Tickora, XServer, arguments, check, differing_columns, differs,
                     step, wait_until)

CAPTION = "TICKORA VER 1.7" + " " * 17 + "Type in text and press Start to start..."
SETTINGS = {
    "text": b'"HELLO"\r\n',
    "color": b'"-2147483640","-2147483643"\r\n',
    "speed": b",".join([b'"False"'] * 11 + [b'"True"']) + b"\r\n",
    "dirct": b'"False","True"\r\n',
}
SCALE = 2
CARET_COLUMNS = 4 * SCALE  # the caret may blink in one shot and not in the other


def files_in(folder):
    return sorted(path.name for path in Path(folder).iterdir())


def read_settings(folder):
    return {name: (Path(folder) / name).read_bytes() for name in SETTINGS if (Path(folder) / name).exists()}


def settle(app):
    """Waits until the field shows the same picture twice in a row, and gives that picture."""
    previous = [app.field_shot()]

    def still():
        current, before = app.field_shot(), previous[0]
        previous[0] = current
        return current if differing_columns(before, current) <= CARET_COLUMNS else None
    return wait_until(still, 5, "the field to stand still", interval=0.15)


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
    app.park_mouse()
    chosen = app.shot(SPEED_FRAME), app.shot(DIRECTION_FRAME)

    step("Start: the text moves; Stop: it stands still as typed")
    app.click_button("Start")
    app.park_mouse()
    for number, shot in enumerate(app.next_field_shots(4, empty)):
        artefacts.save(shot, f"running-{number}")
    app.click_button("Stop")
    app.park_mouse()
    stopped = settle(app)
    artefacts.save(app.shot(), "stopped")

    step('"Save", then "Exit", each write the four settings files byte for byte; Exit ends the program')
    for caption in ("Save", "Exit"):
        for name in SETTINGS:
            (Path(folder) / name).unlink(missing_ok=True)
        app.click_button(caption)
        wait_until(lambda: read_settings(folder) == SETTINGS, 5, f"{caption} to write the four files")
    check(app.wait_for_exit() == 0, "Exit did not end the program cleanly")
    check(files_in(folder) == sorted(SETTINGS), f"Save and Exit left {files_in(folder)}")
    return stopped, chosen


def dialog_opens(app, key, title):
    """Presses key in the field, sees a dialog with that word in its title, and cancels it by Esc."""
    app.key(key)
    window, shown = app.wait_for_dialog()
    check(title in shown.lower(), f"{key} opened a window titled {shown!r}")
    app.x.xdotool("windowfocus", "--sync", window)
    app.key("Escape")
    wait_until(lambda: app.x.windows(app.proc.pid) == [app.window], 10, "the dialog to close")
    # Without a window manager nobody hands the focus back to the window: do its part.
    app.x.xdotool("windowfocus", "--sync", app.window)


def second_run(app, folder, artefacts, stopped, chosen):
    step("the next start shows the saved text, speed 12 and Right")
    app.park_mouse()
    artefacts.save(app.shot(), "restored")
    columns = differing_columns(settle(app), stopped)
    check(columns <= CARET_COLUMNS, f"the restored field differs from the saved one in {columns} columns")
    check(not differs(app.shot(SPEED_FRAME), chosen[0]), "speed 12 is not selected after the restart")
    check(not differs(app.shot(DIRECTION_FRAME), chosen[1]), "Right is not selected after the restart")

    step("Enter opens the HTML export's save dialog, Esc the colour dialog")
    app.click_field()
    dialog_opens(app, "Return", "save")
    dialog_opens(app, "Escape", "colo")

    step("changes, then the close box: the program ends and the saved files stay as they were")
    app.type("Z")
    app.click_speed(5)
    app.click_button("Start")
    app.close_by_close_box()
    check(app.wait_for_exit() == 0, "closing did not end the program cleanly")
    check(read_settings(folder) == SETTINGS, f"closing changed the files: {read_settings(folder)}")
    check(files_in(folder) == sorted(SETTINGS), f"closing left {files_in(folder)}")


def main():
    args, artefacts = arguments(__doc__)
    with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder, XServer(2048, 1536) as x:
        with Tickora(args.binary, x, folder, artefacts.path("tickora.log"), scale=SCALE) as app:
            stopped, chosen = first_run(app, folder, artefacts)
        with Tickora(args.binary, x, folder, artefacts.path("tickora.log"), scale=SCALE) as app:
            second_run(app, folder, artefacts, stopped, chosen)
    print("PASS")


if __name__ == "__main__":
    main()
