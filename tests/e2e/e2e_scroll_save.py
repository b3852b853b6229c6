#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""A person types a text, picks speed 12 and Right, starts and stops the marquee, saves,
leaves by "Exit", and finds everything back at the next start; there Enter opens the HTML
export's save dialog, Esc the colour dialog, and the close box ends the program without
writing anything."""

import re
import tempfile
from pathlib import Path

from desktop import (DIRECTION_FRAME, SPEED_FRAME, Artefacts, Tickora, XServer, arguments, check,
                     differing_columns, differs, step, wait_until)

CAPTION = "TICKORA VER 1.7" + " " * 17 + "Type in text and press Start to start..."
TYPED = "HELLO"
SETTINGS = {
    "text": b'"HELLO"\r\n',
    "color": b'"-2147483640","-2147483643"\r\n',
    "speed": b",".join([b'"False"'] * 11 + [b'"True"']) + b"\r\n",
    "dirct": b'"False","True"\r\n',
}
# The caret may blink in one shot and not in the other: a few columns may differ.
CARET_COLUMNS = 4


def files_in(folder):
    return sorted(path.name for path in Path(folder).iterdir())


def read_settings(folder):
    return {name: (Path(folder) / name).read_bytes() for name in SETTINGS if (Path(folder) / name).exists()}


def next_picture(app, previous):
    """Waits for the field to show something other than previous, and gives that picture."""
    def changed():
        shot = app.field_shot()
        return shot if differs(shot, previous) else None
    return wait_until(changed, 5, "the text to move on")


def settle(app, timeout=5):
    """Waits until the field shows the same picture twice in a row, and gives that picture."""
    previous = [app.field_shot()]

    def still():
        current = app.field_shot()
        same = differing_columns(previous[0], current) <= CARET_COLUMNS
        previous[0] = current
        return current if same else None
    return wait_until(still, timeout, "the field to stand still", interval=0.15)


def first_run(app, folder, artefacts):
    step("the window comes up stopped, empty, centred, of fixed size, and its title rotates")
    x, y, width, height = app.geometry()
    check(abs((x + width / 2) - app.x.width / 2) <= 1 and abs((y + height / 2) - app.x.height / 2) <= 1,
          f"window at {x},{y} size {width}x{height} is not centred")
    hints = app.size_hints()
    check((hints.min_width, hints.min_height) == (hints.max_width, hints.max_height) == (width, height),
          f"the window can be resized: {hints}")
    titles = {app.window_name(app.window)}
    wait_until(lambda: titles.add(app.window_name(app.window)) or len(titles) >= 3, 5, "the title to rotate")
    for title in titles:
        check(title in CAPTION + CAPTION, f"title {title!r} is not a rotation of the initial caption")
    check(files_in(folder) == [], f"files appeared at start: {files_in(folder)}")
    app.park_mouse()
    empty = app.field_shot()
    artefacts.save(app.shot(), "01-start")

    step("type a text into the field")
    app.click_field()
    app.type(TYPED)
    wait_until(lambda: differs(app.field_shot(), empty), 5, "the typed text to show")

    step("pick speed 12 and Right, then click back into the field")
    app.click_speed(12)
    app.click_direction("Right")
    app.click_field()
    app.park_mouse()
    chosen = app.shot(SPEED_FRAME), app.shot(DIRECTION_FRAME)
    artefacts.save(app.shot(), "02-typed")

    step("Start: the text moves")
    before_start = app.shot((480, 6720, 855, 375))
    app.click_button("Start")
    app.park_mouse()
    wait_until(lambda: differs(app.shot((480, 6720, 855, 375)), before_start), 5, 'the caption "Stop"')
    shots = [app.field_shot()]
    for _ in range(3):
        shots.append(next_picture(app, shots[-1]))
    for number, shot in enumerate(shots):
        artefacts.save(shot, f"03-running-{number}")

    step("Save while running stores the rotated text with the blank Start appends")
    app.click_button("Save")
    wait_until(lambda: (Path(folder) / "dirct").exists(), 5, "Save to write the files")
    stored = (Path(folder) / "text").read_bytes()
    match = re.fullmatch(rb'"(.*)"\r\n', stored, re.S)
    check(match and match.group(1) in (b"HELLO " * 2) and len(match.group(1)) == 6,
          f"the running text was saved as {stored!r}")

    step("Stop: the text stands still as typed")
    app.click_button("Stop")
    app.park_mouse()
    wait_until(lambda: not differs(app.shot((480, 6720, 855, 375)), before_start), 5, 'the caption "Start"')
    stopped = settle(app)
    artefacts.save(app.shot(), "04-stopped")

    step("Save writes the four settings files byte for byte")
    for name in SETTINGS:
        (Path(folder) / name).unlink()
    app.click_button("Save")
    wait_until(lambda: len(read_settings(folder)) == 4, 5, "Save to write the four files")
    check(read_settings(folder) == SETTINGS, f"Save wrote {read_settings(folder)}")
    check(files_in(folder) == sorted(SETTINGS), f"Save left {files_in(folder)}")

    step('"Exit" writes the same four files and ends the program')
    for name in SETTINGS:
        (Path(folder) / name).unlink()
    app.click_button("Exit")
    code = app.wait_for_exit()
    check(code == 0, f"Exit ended the program with code {code}")
    check(read_settings(folder) == SETTINGS, f"Exit wrote {read_settings(folder)}")
    check(files_in(folder) == sorted(SETTINGS), f"Exit left {files_in(folder)}")
    return stopped, chosen


def open_dialog(app, key, title_pattern, artefacts, answer=None):
    """Presses key in the field, checks the title of the dialog it opens, then types answer
    and Enter into it, or cancels it with Esc."""
    app.key(key)
    window, title = app.wait_for_dialog()
    artefacts.save(app.x.screenshot(), f"06-{key}-dialog")
    check(re.search(title_pattern, title, re.I), f"{key} opened a window titled {title!r}")
    app.x.xdotool("windowfocus", "--sync", window)
    if answer is None:
        app.key("Escape")
    else:
        app.type(answer)
        app.key("Return")
    app.wait_for_no_dialog()
    # Without a window manager nobody hands the focus back to the window: do its part.
    app.x.xdotool("windowfocus", "--sync", app.window)


def second_run(app, folder, artefacts, stopped, chosen):
    step("the next start shows the saved text, speed 12 and Right")
    app.park_mouse()
    artefacts.save(app.shot(), "05-restored")
    restored = settle(app)
    columns = differing_columns(restored, stopped)
    check(columns <= CARET_COLUMNS, f"the restored field differs from the saved one in {columns} columns")
    check(not differs(app.shot(SPEED_FRAME), chosen[0]), "speed 12 is not selected after the restart")
    check(not differs(app.shot(DIRECTION_FRAME), chosen[1]), "Right is not selected after the restart")

    step("Enter opens the HTML export's save dialog: cancelled, then a name; Esc opens the colour dialog")
    app.click_field()
    open_dialog(app, "Return", r"save", artefacts)
    check(files_in(folder) == sorted(SETTINGS), f"the cancelled export left {files_in(folder)}")
    open_dialog(app, "Return", r"save", artefacts, answer="page.htm")
    page = Path(folder) / "page.htm"
    wait_until(page.exists, 5, "the HTML export to write page.htm")
    check(page.read_bytes() == b"<MARQUEE> HELLO </MARQUEE>\r\n", f"page.htm holds {page.read_bytes()!r}")
    page.unlink()
    open_dialog(app, "Escape", r"colou?r", artefacts)

    step("changes, then the close box: the program ends and the saved files stay as they were")
    app.type("Z")
    app.click_speed(5)
    app.click_button("Start")
    app.close_by_close_box()
    check(app.wait_for_exit() == 0, "closing did not end the program cleanly")
    check(read_settings(folder) == SETTINGS, f"closing changed the files: {read_settings(folder)}")
    check(files_in(folder) == sorted(SETTINGS), f"closing left {files_in(folder)}")


def main():
    args = arguments(__doc__)
    artefacts = Artefacts(args.artefacts)
    with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder, XServer() as x:
        step("start the program in an empty folder")
        app = Tickora(args.binary, x, folder, artefacts.path("tickora.log"))
        try:
            stopped, chosen = first_run(app, folder, artefacts)
        finally:
            app.stop()
        step("start the program again in the same folder")
        app = Tickora(args.binary, x, folder, artefacts.path("tickora.log"))
        try:
            second_run(app, folder, artefacts, stopped, chosen)
        finally:
            app.stop()
    print("PASS")


if __name__ == "__main__":
    main()
