#!/usr/bin/python3
"""Enter in the field opens the HTML export's save dialog, Esc opens the colour dialog, and
closing the window by its close box ends the program without writing anything."""

import re
import tempfile
from pathlib import Path

from desktop import Artefacts, Tickora, XServer, arguments, check, step, wait_until


def files_in(folder):
    return sorted(path.name for path in Path(folder).iterdir())


def open_and_answer(app, key, title_pattern, artefacts, name, answer=None):
    """Presses key, waits for the dialog it opens and checks its title; then types answer
    and Enter into it, or cancels it with Esc."""
    app.key(key)
    window, title = app.wait_for_dialog()
    artefacts.save(app.x.screenshot(), name)
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
    print(f"   {key} opened {title!r}")


def main():
    args = arguments(__doc__)
    artefacts = Artefacts(args.artefacts)
    with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder, XServer() as x:
        step("start the program in an empty folder and type a text")
        app = Tickora(args.binary, x, folder, artefacts.path("tickora.log"))
        try:
            app.click_field()
            app.type("ABC")

            step("Enter in the field opens the save dialog of the HTML export; Esc cancels it")
            open_and_answer(app, "Return", r"save", artefacts, "01-enter-save-dialog")
            check(files_in(folder) == [], f"the cancelled export left {files_in(folder)}")

            step("Enter again, a name and Enter write the marquee, with no line break typed into it")
            open_and_answer(app, "Return", r"save", artefacts, "02-enter-save-as", answer="page.htm")
            page = Path(folder) / "page.htm"
            wait_until(page.exists, 5, "the HTML export to write page.htm")
            check(page.read_bytes() == b"<MARQUEE> ABC </MARQUEE>\r\n", f"page.htm holds {page.read_bytes()!r}")
            page.unlink()

            step("Esc opens the colour dialog")
            open_and_answer(app, "Escape", r"colou?r", artefacts, "03-escape-colour-dialog")

            step("pick speed 3 and start, then close by the close box")
            app.click_speed(3)
            app.click_button("Start")
            artefacts.save(app.shot(), "04-before-close")
            app.close_by_close_box()
            code = app.wait_for_exit()
            check(code == 0, f"closing ended the program with code {code}")
            check(files_in(folder) == [], f"closing the window wrote {files_in(folder)}")
        finally:
            app.stop()

        step("after a Save, closing by the close box keeps the saved files unchanged")
        app = Tickora(args.binary, x, folder, artefacts.path("tickora.log"))
        try:
            app.click_field()
            app.type("XY")
            app.click_button("Save")
            wait_until(lambda: len(files_in(folder)) == 4, 5, "Save to write the four files")
            saved = {name: (Path(folder) / name).read_bytes() for name in files_in(folder)}
            check(saved["text"] == b'"XY"\r\n', f"Save wrote the text {saved['text']!r}")
            app.click_field()
            app.type("Z")
            app.click_speed(5)
            app.close_by_close_box()
            app.wait_for_exit()
            now = {name: (Path(folder) / name).read_bytes() for name in files_in(folder)}
            check(now == saved, f"closing changed the files: {now}")
        finally:
            app.stop()
    print("PASS")


if __name__ == "__main__":
    main()
