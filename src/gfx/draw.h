// The picture draw into the current target, with every draw mode, and the
// plain, flash and mosaic draws built on it.
#pragma once

namespace qf {

class Pictures;

// Draws (sx, sy, w, h) of picture slot `slot` at (x, y) of the target.
// w or h < 0: the source's width or height; larger values are cut to it.
// Returns 1.
int DrawPicture(Pictures& pics, int slot, int x, int y, int w, int h, int sx, int sy, int alpha, int mode);
void DrawPlain(Pictures& pics, int slot, int alpha, int x, int y, int w, int h, int sx, int sy);
// Blocks of size × size at (x, y), each painted with the colour of the
// source pixel at (sx + size·bx + ox, sy + size·by + oy), clamped into the
// source, where (ox, oy) is the offset's place inside a block.
void Mosaic(Pictures& pics, int slot, int x, int y, int w, int h, int size, int offset, int sx = 0, int sy = 0);
void SetFlashColor(Pictures& pics, int r, int g, int b);

}  // namespace qf
