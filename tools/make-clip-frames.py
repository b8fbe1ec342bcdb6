#!/usr/bin/env python3
"""Draws numbered 24-bit BMP frames for "#clipLoad".

  tools/make-clip-frames.py star BASE [COUNT] [DIGITS]
      the demo's clip: a star turning in a lantern, 48 x 48 on pure green
      (the transparent colour), COUNT frames (default 8)
  tools/make-clip-frames.py bars BASE COUNT DIGITS
      test frames of 32 x 24: frame i is grey with i + 1 white bars, so a
      screenshot tells which frame is shown

Files are BASE followed by the frame number written with DIGITS digits
(1: "%d", 2: "%02d", 3: "%03d") and ".bmp", as the engine names them.
Example: tools/make-clip-frames.py star games/demo/lantern 8 2
"""
import math
import struct
import sys

GREEN = (0, 255, 0)


def write_bmp(path, pixels):
    h, w = len(pixels), len(pixels[0])
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        body += line + bytes(stride - len(line))
    header = b"BM" + struct.pack("<IHHI", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def star_frame(i, count):
    size = 48
    px = [[GREEN for _ in range(size)] for _ in range(size)]
    turn = 2 * math.pi * i / count / 4
    glow = 0.5 + 0.5 * math.cos(2 * math.pi * i / count)
    for y in range(size):
        for x in range(size):
            dx, dy = x + 0.5 - 24, y + 0.5 - 24
            r = math.hypot(dx, dy)
            if r > 22:
                continue
            a = math.atan2(dy, dx) - turn
            edge = 5 + 13 * abs(math.cos(2 * a)) ** 4
            if r <= edge:
                px[y][x] = (255, 220 + int(35 * glow), 80 + int(120 * glow))
            elif r > 20:
                px[y][x] = (120, 70, 30)
            else:
                shade = int(40 + 30 * glow)
                px[y][x] = (shade, shade // 2, 60 + shade)
    return px


def bars_frame(i, count):
    w, h = 32, 24
    px = [[(96, 96, 96) for _ in range(w)] for _ in range(h)]
    for bar in range(i + 1):
        for y in range(4, 20):
            for x in range(3 + 5 * bar, 6 + 5 * bar):
                if x < w:
                    px[y][x] = (255, 255, 255)
    return px


def main(argv):
    if len(argv) < 3 or argv[1] not in ("star", "bars"):
        sys.stderr.write(__doc__)
        return 2
    kind, base = argv[1], argv[2]
    count = int(argv[3]) if len(argv) > 3 else 8
    digits = min(max(int(argv[4]) if len(argv) > 4 else 2, 1), 3)
    draw = star_frame if kind == "star" else bars_frame
    for i in range(count):
        write_bmp(f"{base}{i:0{digits}d}.bmp", draw(i, count))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
