// The hue model of the hue and saturation modes, in single precision. Hue,
// saturation and value travel doubled and rounded: hue 0..3071, the others 0..510.
#pragma once

#include <cstdint>

namespace qf {

struct Hsv {
    int h = 0, s = 0, v = 0;
};

Hsv rgbToHsv(int r, int g, int b);
// Writes red, green and blue.
void hsvToRgb(int h, int s, int v, uint8_t& r, uint8_t& g, uint8_t& b);

}  // namespace qf
