#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The real program's command line. "arguments": help and version on standard output, usage
errors with the hint on standard error and status 2, a folder that cannot be made or entered
and a missing display with one line and status 1, all without a display server and never
with a core dump. "folders": on a virtual X server, --folder and --own-folder (as the menu
launcher starts it) keep the settings files in their folder, made private, and leave the
user's own files in the home folder byte for byte as they were through Delete and Exit."""

import os
import re
import stat
import subprocess
import tempfile
from pathlib import Path

from desktop import Tickora, XServer, arguments, check, environment, step

HINT = r"Try 'tickora --help' for more information\.\n"
NO_DISPLAY = {"DISPLAY": None, "WAYLAND_DISPLAY": None, "QT_QPA_PLATFORM": None}
DISPLAY_LINE = r"tickora: cannot show the window \([^\n]*\); set DISPLAY or WAYLAND_DISPLAY[^\n]*\n"

# name, arguments, environment, exit status, standard output, standard error (whole, as patterns).
# With no display at hand, a run that tried to open its window would end with status 1 instead.
ARGUMENT_CASES = [
    ("help", ["--help"], {}, 0,
     r"Usage: tickora \[options\]\n.*\n  -h, --help .*\n  -v, --version .*\n"
     r"  --folder <DIR> .*\n  --own-folder .*\n  --text <TEXT> .*\n  --import <FILE> .*\n  --speed <LEVEL> .*\n"
     r"  --direction <left\|right> .*\n  --start .*\n  --fullscreen .*\n  --screen <NAME\|N> .*\n  --follow <FILE> .*", ""),
    ("short help", ["-h", "--own-folder"], {}, 0, r"Usage: tickora \[options\]\n.*", ""),
    ("version", ["--version"], {}, 0, r"tickora 1\.7\n", ""),
    ("short version", ["-v"], {}, 0, r"tickora 1\.7\n", ""),
    ("unknown option", ["--bogus"], {}, 2, "", r"tickora: Unknown option 'bogus'\.\n" + HINT),
    ("stray argument", ["notes.txt"], {}, 2, "", r"tickora: Unexpected argument 'notes\.txt'\.\n" + HINT),
    ("folder without its value", ["--folder"], {}, 2, "", r"tickora: Missing value after '--folder'\.\n" + HINT),
    ("empty folder", ["--folder", ""], {}, 2, "", r"tickora: Empty value for option '--folder'\.\n" + HINT),
    ("both folders", ["--own-folder", "--folder", "x"], {}, 2, "", r"tickora: .*exclude each other\.\n" + HINT),
    ("speed 13", ["--speed", "13"], {}, 2, "", r"tickora: Invalid speed '13': give a level from 1 to 12\.\n" + HINT),
    ("speed not a number", ["--speed", "fast"], {}, 2, "", r"tickora: Invalid speed 'fast'.*\n" + HINT),
    ("direction up", ["--direction", "up"], {}, 2, "", r"tickora: Invalid direction 'up': give left or right\.\n" + HINT),
    ("two texts", ["--text", "a", "--follow", "b"], {}, 2, "", r"tickora: .*exclude each other\.\n" + HINT),
    ("import of a missing file", ["--import", "missing.txt"], {}, 2, "",
     r"tickora: Cannot import \"/.*/missing\.txt\": .*\.\n" + HINT),
    ("folder below a file", ["--folder", "file/sub"], {}, 1, "",
     r"tickora: cannot create the folder 'file/sub': Not a directory\n"),
    ("folder that is a file", ["--folder", "file"], {}, 1, "",
     r"tickora: cannot enter the folder 'file': Not a directory\n"),
    ("no display", [], {}, 1, "", DISPLAY_LINE),
    ("X display that does not exist", [], {"QT_QPA_PLATFORM": "xcb", "DISPLAY": ":987"}, 1, "", DISPLAY_LINE),
]

OWN_FILES = {"text": b"my own notes\nline two\n", "color": b"blue\n", "font": b"\x00\xff binary"}

# name, arguments, environment, the folders the run makes (relative to the test folder; the
# last one gets the settings). The home folder holds the user's own files and is the current
# directory, as for a program started from the desktop's menu.
FOLDER_CASES = [
    ("--folder into a fresh nested folder", ["--folder", "new/private"], {"XDG_DATA_HOME": None},
     ["home/new", "home/new/private"]),
    ("--own-folder with the default data folder", ["--own-folder"], {"XDG_DATA_HOME": None},
     ["home/.local", "home/.local/share", "home/.local/share/tickora"]),
    ("--own-folder with XDG_DATA_HOME", ["--own-folder"], {"XDG_DATA_HOME": "{top}/data"}, ["data", "data/tickora"]),
]


def arguments_cases(binary):
    for name, args, changes, status, out, err in ARGUMENT_CASES:
        step(name)
        with tempfile.TemporaryDirectory(prefix="tickora-cli-") as folder:
            (Path(folder) / "file").write_bytes(b"")
            result = subprocess.run([binary, *args], cwd=folder, env=environment(NO_DISPLAY | changes),
                                    capture_output=True, text=True, timeout=30)
            shown = f"status {result.returncode}, stdout {result.stdout!r}, stderr {result.stderr!r}"
            check(result.returncode == status and re.fullmatch(out, result.stdout, re.S)
                  and re.fullmatch(err, result.stderr), f"expected status {status}, {out!r}, {err!r}: {shown}")
            check(os.listdir(folder) == ["file"], f"the run left {os.listdir(folder)}")


def folder_cases(binary, artefacts):
    with XServer() as x:
        for name, args, changes, made in FOLDER_CASES:
            step(name)
            with tempfile.TemporaryDirectory(prefix="tickora-cli-") as top:
                home = Path(top) / "home"
                home.mkdir()
                for file, content in OWN_FILES.items():
                    (home / file).write_bytes(content)
                env = {key: value and value.format(top=top) for key, value in changes.items()} | {"HOME": str(home)}
                with Tickora(binary, x, home, artefacts / "tickora.log", extra_env=env, args=args) as app:
                    modes = {folder: stat.S_IMODE((Path(top) / folder).stat().st_mode) for folder in made}
                    check(set(modes.values()) == {0o700}, f"the folders were made with modes {modes}")
                    app.click_button("Delete")
                    app.click_button("Exit")
                    check(app.wait_for_exit() == 0, "Exit did not end the program cleanly")
                settings = Path(top) / made[-1]
                check(sorted(os.listdir(settings)) == ["color", "dirct", "speed", "text"],
                      f"{made[-1]} holds {os.listdir(settings)}")
                check((settings / "text").read_bytes() == b'""\r\n', "the start read a text from elsewhere")
                check(all((home / file).read_bytes() == content for file, content in OWN_FILES.items()),
                      "the user's own files were changed")
                made_in_home = {folder.split("/")[1] for folder in made if folder.startswith("home/")}
                check(set(os.listdir(home)) == set(OWN_FILES) | made_in_home, f"the home holds {os.listdir(home)}")


def main():
    args, artefacts = arguments(__doc__, lambda parser: parser.add_argument(
        "--cases", choices=["arguments", "folders"], required=True))
    if args.cases == "arguments":
        arguments_cases(args.binary)
    else:
        folder_cases(args.binary, artefacts)
    print("PASS")


if __name__ == "__main__":
    main()
