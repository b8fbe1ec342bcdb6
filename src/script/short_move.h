// A memmove for short texts, inlined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace qf {

// memmove for the short texts names and numbers mostly are: both halves are read
// before either is written, so overlapping ranges move correctly.
inline void moveShort(char* dst, const char* src, size_t n) {
    if (n >= 8 && n <= 16) {
        uint64_t a, b;
        std::memcpy(&a, src, 8);
        std::memcpy(&b, src + n - 8, 8);
        std::memcpy(dst, &a, 8);
        std::memcpy(dst + n - 8, &b, 8);
    } else if (n >= 4 && n < 8) {
        uint32_t a, b;
        std::memcpy(&a, src, 4);
        std::memcpy(&b, src + n - 4, 4);
        std::memcpy(dst, &a, 4);
        std::memcpy(dst + n - 4, &b, 4);
    } else if (n > 0 && n < 4) {
        const char a = src[0], b = src[n / 2], c = src[n - 1];
        dst[0] = a;
        dst[n / 2] = b;
        dst[n - 1] = c;
    } else if (n > 16) {
        std::memmove(dst, src, n);
    }
}

}  // namespace qf
