#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Right-to-left texts scroll visibly: a Hebrew and an Arabic text, longer than the field,
are shown at every tick to the left and to the right, never an empty field."""

import tempfile
from pathlib import Path

from desktop import Tickora, XServer, arguments, check, differs, step

TEXTS = {"hebrew": "שלום עולם, מה שלומך היום? " * 3, "arabic": "مرحبا بالعالم، كيف حالك اليوم؟ " * 3}
SPEED_12 = b",".join([b'"False"'] * 11 + [b'"True"']) + b"\r\n"


def main():
    args, artefacts = arguments(__doc__)
    with XServer() as x:
        empty = None
        for name, text in {"empty": "", **TEXTS}.items():
            with tempfile.TemporaryDirectory(prefix="tickora-e2e-") as folder:
                step(f"a {name} text at speed 12, to the left and then to the right")
                (Path(folder) / "text").write_bytes(b'"' + text.encode() + b'"\r\n')
                (Path(folder) / "speed").write_bytes(SPEED_12)
                with Tickora(args.binary, x, folder, artefacts / f"tickora-{name}.log") as app:
                    app.park_mouse()
                    if empty is None:
                        empty = app.field_shot()
                        continue
                    check(differs(app.field_shot(), empty), f"the {name} text does not show at rest")
                    for direction in ("Left", "Right"):
                        app.click_direction(direction)
                        app.click_button("Start")
                        app.park_mouse()
                        for number, shot in enumerate(app.next_field_shots(4, empty)):
                            shot.save(artefacts / f"{name}-{direction}-{number}.png")
                        app.click_button("Stop")
    print("PASS")


if __name__ == "__main__":
    main()
