// Draws that take a per-pixel alpha or opacity from a second picture, and
// the draw through a transition rule picture.
#pragma once

namespace qf {

class Pictures;

// Row blend whose alpha is the mask's red channel at the source pixel's
// index (0 shows the source, 255 keeps the target); with an empty mask the
// constant alpha. Source pixels beyond the mask's pixels are not drawn.
void DrawMasked(Pictures& pics, int slot, int maskSlot, int alpha, int x, int y, int w, int h, int sx, int sy);
// Copy through an opacity mask (red channel, 255 opaque) using the target's copy rectangle.
void MaskedCopy(Pictures& pics, int slot, int maskSlot);
// Whole-source draw where the rule picture's green channel plus level is below 255.
void DrawTransit(Pictures& pics, int slot, int ruleSlot, int level, int x, int y);

}  // namespace qf
