// Per-channel formulas of the row-blend modes 0..9. d is the destination
// channel, s the source channel, a the alpha (0 opaque .. 254).
// The 16-bit arithmetic is exact: no intermediate exceeds 65 535.
#pragma once

#include <cstdint>

namespace qf::blend_ops {

struct Normal {
    uint16_t a, inv;  // a and 255 − a
    explicit Normal(int alpha) : a(uint16_t(alpha)), inv(uint16_t(255 - alpha)) {}
    uint8_t operator()(uint8_t d, uint8_t s) const {
        return uint8_t(uint16_t(uint16_t(d * a) + uint16_t(s * inv)) >> 8);
    }
};

struct Add {
    uint8_t operator()(uint8_t d, uint8_t s) const {
        unsigned t = unsigned(d) + s;
        return uint8_t(t < 255 ? t : 255);
    }
};

struct Sub {
    uint8_t operator()(uint8_t d, uint8_t s) const { return uint8_t(d > s ? d - s : 0); }
};

struct Multiply {
    uint16_t a, inv;
    explicit Multiply(int alpha) : a(uint16_t(alpha)), inv(uint16_t(255 - alpha)) {}
    uint8_t operator()(uint8_t d, uint8_t s) const {
        uint16_t m = uint16_t(uint16_t(d * s) >> 8);
        return uint8_t(uint16_t(uint16_t(d * a) + uint16_t(inv * m)) >> 8);
    }
};

struct Screen {
    uint8_t operator()(uint8_t d, uint8_t s) const {
        return uint8_t(255 - unsigned(uint16_t((255 - d) * (255 - s))) / 255u);
    }
};

struct Overlay {
    uint8_t operator()(uint8_t d, uint8_t s) const {
        if (d < 128) return uint8_t(unsigned(s * d) / 127u);
        return uint8_t(255 - unsigned((255 - d) * (255 - s)) / 127u);
    }
};

struct SoftLight {
    uint8_t operator()(uint8_t d, uint8_t) const { return d; }
};

struct HardLight {
    uint8_t operator()(uint8_t d, uint8_t s) const {
        if (s < 128) return uint8_t((d * s) >> 7);
        return uint8_t(255 - (((255 - s) * (255 - d)) >> 7));
    }
};

struct Dodge {
    uint8_t operator()(uint8_t d, uint8_t s) const {
        if (s == 255) return 255;
        unsigned q = unsigned(d) * 256u / unsigned(255 - s);
        return uint8_t(q < 255 ? q : 255);
    }
};

struct Burn {
    uint8_t operator()(uint8_t d, uint8_t s) const {
        if (s == 0) return 0;
        int q = 255 - int(unsigned(255 - d) * 256u / s);
        return uint8_t(q > 0 ? q : 0);
    }
};

}  // namespace qf::blend_ops
