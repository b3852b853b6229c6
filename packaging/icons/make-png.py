#!/usr/bin/env python3
"""Draws the 32 x 32, 16-colour window icon as an indexed PNG (no imaging library needed)."""
import struct
import sys
import zlib

PALETTE = [(0x10, 0x20, 0x60), (0xFF, 0xD8, 0x20), (0xC0, 0x10, 0x10), (0xFF, 0xFF, 0xFF)]
PALETTE += [(0, 0, 0)] * (16 - len(PALETTE))
NAVY, YELLOW, RED, WHITE = range(4)

pixels = [[NAVY] * 32 for _ in range(32)]


def fill(left, top, width, height, colour):
    for y in range(top, top + height):
        for x in range(left, left + width):
            pixels[y][x] = colour


fill(0, 7, 32, 18, YELLOW)           # the display band
fill(3, 10, 11, 3, RED)              # the letter T, top bar
fill(7, 13, 3, 9, RED)               # the letter T, stem
for step in range(5):                # an arrow pointing left: the text runs
    fill(18 + step, 15 - step, 1, 2 * step + 2, RED)
fill(23, 14, 6, 4, RED)
fill(0, 27, 32, 2, WHITE)            # underline of the window's title

raw = b"".join(b"\x00" + bytes((row[x] << 4) | row[x + 1] for x in range(0, 32, 2)) for row in pixels)


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


png = b"\x89PNG\r\n\x1a\n"
png += chunk(b"IHDR", struct.pack(">IIBBBBB", 32, 32, 4, 3, 0, 0, 0))
png += chunk(b"PLTE", b"".join(bytes(c) for c in PALETTE))
png += chunk(b"IDAT", zlib.compress(raw, 9))
png += chunk(b"IEND", b"")
sys.stdout.buffer.write(png)
