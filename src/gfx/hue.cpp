#include "gfx/hue.h"

#include <algorithm>

namespace qf {

namespace {

int doubledRounded(float v) {
    float twice = 2.0f * v;
    return twice >= 0.0f ? int(twice + 0.5f) : int(twice - 0.5f);
}

int roundHalfAway(float v) { return v >= 0.0f ? int(v + 0.5f) : int(v - 0.5f); }

}  // namespace

Hsv rgbToHsv(int r, int g, int b) {
    int max = std::max({r, g, b}), min = std::min({r, g, b});
    int delta = max - min;
    float hue = 0.0f, saturation = 0.0f;
    if (delta != 0) {
        saturation = float(delta) * 255.0f / float(max);
        if (max == r)
            hue = float(g - b) * 255.0f / float(delta);
        else if (max == g)
            hue = float(b - r) * 255.0f / float(delta) + 512.0f;
        else
            hue = float(r - g) * 255.0f / float(delta) + 1024.0f;
    }
    if (hue < 0.0f) hue += 1536.0f;
    return {doubledRounded(hue), doubledRounded(saturation), doubledRounded(float(max))};
}

void hsvToRgb(int h, int s, int v, uint8_t& r, uint8_t& g, uint8_t& b) {
    if (h >= 3072) h = 0;
    float hh = float(h) * 0.5f, ss = float(s) * 0.5f, vv = float(v) * 0.5f;
    float c[3] = {0, 0, 0};
    switch (int(hh / 256.0f)) {
    case 0: c[0] = 255, c[1] = hh, c[2] = 0; break;
    case 1: c[0] = 512 - hh, c[1] = 255, c[2] = 0; break;
    case 2: c[0] = 0, c[1] = 255, c[2] = hh - 512; break;
    case 3: c[0] = 0, c[1] = 1024 - hh, c[2] = 255; break;
    case 4: c[0] = hh - 1024, c[1] = 0, c[2] = 255; break;
    default: c[0] = 255, c[1] = 0, c[2] = 1536 - hh; break;
    }
    uint8_t out[3];
    for (int i = 0; i < 3; ++i) {
        int value = roundHalfAway(((255.0f - c[i]) * (255.0f - ss) / 255.0f + c[i]) * vv / 255.0f);
        out[i] = uint8_t(std::clamp(value, 0, 255));
    }
    r = out[0], g = out[1], b = out[2];
}

}  // namespace qf
