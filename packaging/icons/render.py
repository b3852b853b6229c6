#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Renders the hicolor PNGs from tickora.svg, or with --check tells whether the committed ones
still match it. The 32 px image, which is also the window's main icon, is reduced to 16
colours, as the window's icon has always been."""

import argparse
import io
import subprocess
import sys
from pathlib import Path

from PIL import Image, ImageChops

HERE = Path(__file__).resolve().parent
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
SIXTEEN_COLOURS = 32


def render(size):
    png = subprocess.run(["rsvg-convert", "--width", str(size), "--height", str(size), str(HERE / "tickora.svg")],
                         check=True, capture_output=True).stdout
    image = Image.open(io.BytesIO(png)).convert("RGBA")
    if size == SIXTEEN_COLOURS:
        image = image.quantize(colors=16, method=Image.Quantize.FASTOCTREE)
        # The quantizer may leave unused palette entries: keep the sixteen in use, for a 4-bit PNG.
        palette = image.getpalette("RGBA")
        used = sorted(index for _, index in image.getcolors())
        image = image.remap_palette(used)
        image.putpalette([value for index in used for value in palette[4 * index:4 * index + 4]], "RGBA")
    return image


def path(size):
    return HERE / f"tickora-{size}.png"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--check", action="store_true", help="compare instead of writing")
    stale = []
    for size in SIZES:
        image = render(size)
        if not parser.parse_args().check:
            image.save(path(size), optimize=True, bits=4 if image.mode == "P" else 8)  # PIL writes no time stamp: the output is reproducible
            continue
        committed = Image.open(path(size))
        difference = ImageChops.difference(committed.convert("RGBA"), image.convert("RGBA"))
        if committed.size != (size, size) or max(high for _, high in difference.getextrema()) > 8:
            stale.append(path(size).name)
    if stale:
        sys.exit(f"out of date with tickora.svg: {', '.join(stale)}; run {Path(__file__).name} and commit them")


if __name__ == "__main__":
    main()
