#!/usr/bin/env python3
"""Draws the demo game's sprite sheet: games/demo/sprites.bmp.

Six 16 x 16 cells on pure green (the engine's default transparent colour):
the hero, a star, a ghost and three frames of a turning coin.
Usage: tools/make-demo-art.py [OUT]
"""
import math
import struct
import sys

W, H, CELL = 96, 16, 16
GREEN = (0, 255, 0)
pixels = [[GREEN for _ in range(W)] for _ in range(H)]


def put(cell, x, y, colour):
    if 0 <= x < CELL and 0 <= y < CELL:
        pixels[y][cell * CELL + x] = colour


def disc(cell, cx, cy, rx, ry, colour):
    for y in range(CELL):
        for x in range(CELL):
            if ((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2 <= 1.0:
                put(cell, x, y, colour)


# The hero: a round head, a blue body, two feet.
disc(0, 8, 5, 4, 4, (255, 210, 170))
for y in range(9, 14):
    for x in range(4, 12):
        put(0, x, y, (40, 80, 220))
for x in (4, 5, 10, 11):
    put(0, x, 14, (90, 50, 20))
    put(0, x, 15, (90, 50, 20))
put(0, 6, 5, (0, 0, 0))
put(0, 10, 5, (0, 0, 0))

# A five-pointed star.
for y in range(CELL):
    for x in range(CELL):
        dx, dy = x + 0.5 - 8, y + 0.5 - 8
        r = math.hypot(dx, dy)
        a = math.atan2(dy, dx) + math.pi / 2
        edge = 3.2 + 4.3 * abs(math.cos(a * 2.5)) ** 3
        if r <= edge:
            put(1, x, y, (255, 230, 60))

# A ghost: a pale dome with a wavy hem and two eyes.
disc(2, 8, 7, 6, 6, (230, 230, 255))
for y in range(7, 14):
    for x in range(2, 14):
        if y < 13 or (x // 2) % 2 == 0:
            put(2, x, y, (230, 230, 255))
for x, y in ((6, 6), (10, 6)):
    put(2, x, y, (20, 20, 60))
    put(2, x, y + 1, (20, 20, 60))

# A coin seen from the front, at an angle and edge-on.
for frame, rx in enumerate((6.0, 3.5, 1.2)):
    disc(3 + frame, 8, 8, rx, 6, (200, 150, 20))
    disc(3 + frame, 8, 8, max(rx - 1.2, 0.4), 4.8, (255, 215, 0))


def write_bmp(path):
    stride = (W * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        body += line + bytes(stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(body), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + body)


write_bmp(sys.argv[1] if len(sys.argv) > 1 else 'games/demo/sprites.bmp')
