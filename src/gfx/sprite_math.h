// Integer helpers of the sprite and gauge arithmetic: conversions and sums
// that stay defined for any value a script or a plug-in leaves in a record.
#pragma once

#include <algorithm>
#include <cstdint>

namespace qf {

// Truncation toward zero; NaN and values outside the 32-bit range give
// -2147483648, as the x86 conversion does.
inline int32_t truncToInt(double d) {
    if (!(d > -2147483649.0 && d < 2147483648.0)) return INT32_MIN;
    return int32_t(d);
}

// a + b in 32-bit two's complement.
inline int32_t wrapAdd(int32_t a, int64_t b) { return int32_t(uint32_t(a) + uint32_t(uint64_t(b))); }

inline int colourByte(int c) { return std::clamp(c, 0, 255); }

}  // namespace qf
