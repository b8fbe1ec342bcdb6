#!/usr/bin/env python3
"""Makes the demo's town: the chip sheet (chips.bmp), the ground layer
(town.map, a raw map of 4-byte cells) and its roofs and tree tops (town.flr).

    tools/make-demo-map.py [OUTPUT_DIR]    (default: games/demo)

The output is the same on every run."""
import os
import struct
import sys

CHIP = 16
PER_ROW = 8
ROWS = 3
MAP_W, MAP_H = 32, 28

# Chip numbers. Chip 0 is all transparent: the ground layer never uses it,
# the upper layer leaves its empty cells at 0. Under a roof the upper layer
# drops chip 14 and fills its empty cells with chip 23.
EMPTY, GRASS, FLOWERS, PATH, WATER, TRUNK, WALL, FLOOR, DOOR, STONE = range(10)
ROOF, CANOPY, DARK = 14, 15, 23

MAGENTA = (255, 0, 255)


class Rng:
    """A small linear congruential generator, so the pictures never change."""

    def __init__(self, seed):
        self.state = seed

    def next(self, n):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return (self.state >> 8) % n


def chip_pixels(k, rng):
    """The 16 × 16 pixels of chip k as rows of (r, g, b)."""
    px = [[MAGENTA] * CHIP for _ in range(CHIP)]
    def fill(colour, jitter=0):
        for y in range(CHIP):
            for x in range(CHIP):
                d = rng.next(jitter * 2 + 1) - jitter if jitter else 0
                px[y][x] = tuple(max(0, min(254, c + d)) for c in colour)
    if k == GRASS:
        fill((60, 150, 60), 12)
    elif k == FLOWERS:
        fill((60, 150, 60), 12)
        for fx, fy, col in ((3, 4, (240, 220, 60)), (11, 9, (240, 120, 160)), (6, 12, (250, 250, 250))):
            for dx, dy in ((0, 0), (1, 0), (0, 1), (-1, 0), (0, -1)):
                px[fy + dy][fx + dx] = col
    elif k == PATH:
        fill((190, 160, 110), 10)
    elif k == WATER:
        fill((50, 90, 200), 8)
        for y in (4, 11):
            for x in range(2 + y % 3, 14, 5):
                px[y][x] = px[y][x + 1] = (150, 190, 250)
    elif k == TRUNK:
        fill((60, 150, 60), 12)
        for y in range(6, 16):
            for x in range(6, 10):
                px[y][x] = (110, 70, 30)
    elif k == WALL:
        fill((200, 190, 170), 6)
        for y in range(CHIP):
            for x in range(CHIP):
                if y % 5 == 4 or (x + (y // 5) * 4) % 8 == 0:
                    px[y][x] = (140, 130, 120)
    elif k == FLOOR:
        fill((170, 120, 70), 6)
        for y in range(0, CHIP, 4):
            for x in range(CHIP):
                px[y][x] = (120, 80, 40)
    elif k == DOOR:
        fill((170, 120, 70), 6)
        for y in range(2, CHIP):
            for x in range(3, 13):
                px[y][x] = (100, 60, 30)
        px[9][10] = (240, 210, 80)
    elif k == STONE:
        fill((110, 110, 120), 14)
    elif k == ROOF:
        fill((180, 50, 40), 8)
        for y in range(CHIP):
            for x in range(CHIP):
                if y % 4 == 3 or (x + (y // 4) * 3) % 6 == 0:
                    px[y][x] = (120, 30, 25)
    elif k == CANOPY:
        for y in range(CHIP):
            for x in range(CHIP):
                if (x - 7.5) ** 2 + (y - 9) ** 2 < 56:
                    d = rng.next(25) - 12
                    px[y][x] = (30, 110 + d, 40)
    elif k == DARK:
        fill((12, 10, 24), 3)
    return px


def write_bmp(path, pixels):
    h = len(pixels)
    w = len(pixels[0])
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        body += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def sheet():
    rng = Rng(7)
    pixels = [[MAGENTA] * (CHIP * PER_ROW) for _ in range(CHIP * ROWS)]
    for k in range(PER_ROW * ROWS):
        cp = chip_pixels(k, rng)
        ox, oy = (k % PER_ROW) * CHIP, (k // PER_ROW) * CHIP
        for y in range(CHIP):
            pixels[oy + y][ox:ox + CHIP] = cp[y]
    return pixels


def town():
    rng = Rng(11)
    ground = [[FLOWERS if rng.next(9) == 0 else GRASS for _ in range(MAP_W)] for _ in range(MAP_H)]
    upper = [[EMPTY] * MAP_W for _ in range(MAP_H)]
    # Paths: one across, one down.
    for x in range(MAP_W):
        ground[7][x] = ground[8][x] = PATH
    for y in range(MAP_H):
        ground[y][8] = ground[y][9] = PATH
    # A pond.
    for y in range(17, 23):
        for x in range(20, 27):
            ground[y][x] = WATER
    # Trees round the edge and a few in the meadow: a trunk below, its top above.
    trees = [(x, 1) for x in range(1, MAP_W - 1, 2)] + [(x, MAP_H - 2) for x in range(1, MAP_W - 1, 2)]
    trees += [(1, y) for y in range(3, MAP_H - 2, 2)] + [(MAP_W - 2, y) for y in range(3, MAP_H - 2, 2)]
    trees += [(4, 14), (5, 19), (14, 22), (25, 5), (28, 12)]
    for x, y in trees:
        if ground[y][x] != PATH:
            ground[y][x] = TRUNK
            upper[y - 1][x] = CANOPY
    # A house: walls round a wooden floor, a door at the bottom, and a roof
    # over all of it in the upper layer.
    hx0, hy0, hx1, hy1 = 12, 10, 18, 15
    for y in range(hy0, hy1 + 1):
        for x in range(hx0, hx1 + 1):
            edge = x in (hx0, hx1) or y in (hy0, hy1)
            ground[y][x] = WALL if edge else FLOOR
            upper[y][x] = ROOF
    ground[hy1][15] = DOOR
    # The path to the door.
    for y in range(9, hy0):
        ground[y][15] = PATH
    return ground, upper


def write_map(path, grid):
    with open(path, "wb") as f:
        f.write(struct.pack("<ii", len(grid[0]), len(grid)))
        for row in grid:
            f.write(struct.pack("<%di" % len(row), *row))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "games", "demo")
    write_bmp(os.path.join(out, "chips.bmp"), sheet())
    ground, upper = town()
    write_map(os.path.join(out, "town.map"), ground)
    write_map(os.path.join(out, "town.flr"), upper)


if __name__ == "__main__":
    main()
