#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Right-to-left texts scroll visibly: a Hebrew and an Arabic text, longer than the field,
are shown at every tick to the left and to the right, never an empty field."""

import tempfile
from pathlib import Path

from desktop import Artefacts, Tickora, XServer, arguments, check, differs, step, wait_until

TEXTS = {
    "hebrew": "שלום עולם, מה שלומך היום? " * 3,
    "arabic": "مرحبا بالعالم، كيف حالك اليوم؟ " * 3,
}
SPEED_12 = b",".join([b'"False"'] * 11 + [b'"True"']) + b"\r\n"


def ticks(app, empty, count=4):
    """The field's next `count` pictures, each one new and none of them the empty field."""
    shots = [app.field_shot()]
    while len(shots) < count:
        def moved():
            shot = app.field_shot()
            return shot if all(differs(shot, seen) for seen in shots) else None
        shots.append(wait_until(moved, 5, "the text to move on"))
    for shot in shots:
        check(differs(shot, empty), "the field shows nothing while the text runs")
    return shots


def main():
    args = arguments(__doc__)
    artefacts = Artefacts(args.artefacts)
    with XServer() as x:
        with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder:
            step("the empty field, for comparison")
            app = Tickora(args.binary, x, folder, artefacts.path("tickora-empty.log"))
            try:
                app.park_mouse()
                empty = app.field_shot()
            finally:
                app.stop()
        for name, text in TEXTS.items():
            with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder:
                step(f"a {name} text at speed 12, to the left and then to the right")
                (Path(folder) / "text").write_bytes(b'"' + text.encode() + b'"\r\n')
                (Path(folder) / "speed").write_bytes(SPEED_12)
                (Path(folder) / "dirct").write_bytes(b'"True","False"\r\n')
                app = Tickora(args.binary, x, folder, artefacts.path(f"tickora-{name}.log"))
                try:
                    app.park_mouse()
                    check(differs(app.field_shot(), empty), f"the {name} text does not show at rest")
                    for direction in ("Left", "Right"):
                        app.click_direction(direction)
                        app.click_button("Start")
                        app.park_mouse()
                        for number, shot in enumerate(ticks(app, empty)):
                            artefacts.save(shot, f"{name}-{direction}-{number}")
                        app.click_button("Stop")
                finally:
                    app.stop()
    print("PASS")


if __name__ == "__main__":
    main()
