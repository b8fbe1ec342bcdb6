// What the debug overlay draws with: boxes, lines of text at a position and
// right-aligned numbers, the strip fill of the frames-per-second line and
// the half-transparent picture of the page viewer. The engine's canvas draws
// with the text primitives into the back buffer; tests record the calls.
#pragma once

#include <cstdint>
#include <string_view>

namespace qf {

class OverlayCanvas {
public:
    virtual ~OverlayCanvas() = default;
    virtual void box(int x, int y, int w, int h, int keep, int outline) = 0;
    // One line with its top-left corner at (x, y).
    virtual void text(int x, int y, std::string_view sjis) = 0;
    // A number right-aligned to end at x, as the number primitive draws it.
    virtual void number(int x, int y, int n, int digits) = 0;
    virtual void fill(int x, int y, int w, int h, uint32_t colour) = 0;
    // The current text colour, R | G << 8 | B << 16.
    virtual uint32_t textColour() = 0;
    virtual int lineHeight() = 0;
    // Picture slot table entry `index` drawn whole at (0, 0) with alpha 127.
    virtual void picture(int index) = 0;
};

}  // namespace qf
