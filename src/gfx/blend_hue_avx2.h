// The hue and saturation modes eight pixels at a time with AVX2: the hue
// model of hue.cpp with the same single-precision operations in the same
// order, so every result matches it bit for bit. Call only where cpuHasAvx2().
#pragma once

#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#define QF_HAVE_AVX2_HUE 1

#include <immintrin.h>

#include "gfx/blend_spans_avx2.h"
#include "gfx/hue.h"

namespace qf::avx2_hue {

#define QF_AVX2_INLINE [[gnu::target("avx2"), gnu::always_inline]] inline

namespace detail {

using avx2_spans::detail::Table;

// Per lane, the 12 bytes of four pixels back from their 32-bit words; the
// high lane's land at bytes 4..15.
constexpr Table packTable() {
    Table t{};
    for (int i = 0; i < 16; ++i) {
        t[size_t(i)] = i < 12 ? uint8_t(i / 3 * 4 + i % 3) : 0x80;
        t[size_t(16 + i)] = i < 4 ? 0x80 : uint8_t((i - 4) / 3 * 4 + (i - 4) % 3);
    }
    return t;
}
alignas(32) inline constexpr Table kPack = packTable();

struct Channels {
    __m256i r, g, b;
};

QF_AVX2_INLINE Channels channels(__m256i words) {
    const __m256i byte = _mm256_set1_epi32(0xFF);
    return {_mm256_and_si256(_mm256_srli_epi32(words, 16), byte), _mm256_and_si256(_mm256_srli_epi32(words, 8), byte),
            _mm256_and_si256(words, byte)};
}

// 32-bit words B | G << 8 | R << 16 of eight pixels; reads exactly 24 bytes.
QF_AVX2_INLINE __m256i loadWords(const uint8_t* p) {
    using namespace avx2_spans::detail;
    __m256i v = _mm256_inserti128_si256(_mm256_castsi128_si256(load16(p)), load16(p + 8), 1);
    return _mm256_shuffle_epi8(v, table(kExpandHighLate));
}

// Writes exactly 24 bytes.
QF_AVX2_INLINE void storeWords(uint8_t* p, __m256i words) {
    using namespace avx2_spans::detail;
    __m256i packed = _mm256_shuffle_epi8(words, table(kPack));
    __m128i low = _mm256_castsi256_si128(packed), high = _mm256_extracti128_si256(packed, 1);
    store16(p, low);
    store16(p + 8, _mm_blend_epi32(high, _mm_srli_si128(low, 8), 1));
}

// trunc(2v + 0.5): doubled and rounded half away from zero, for v ≥ 0
// (every hue, saturation and value here is).
QF_AVX2_INLINE __m256i doubledRounded(__m256 v) {
    return _mm256_cvttps_epi32(_mm256_add_ps(_mm256_mul_ps(_mm256_set1_ps(2.0f), v), _mm256_set1_ps(0.5f)));
}

QF_AVX2_INLINE __m256i maxOf(const Channels& c) { return _mm256_max_epi32(c.r, _mm256_max_epi32(c.g, c.b)); }

QF_AVX2_INLINE __m256i hueOf(const Channels& c) {
    const __m256i max = maxOf(c), min = _mm256_min_epi32(c.r, _mm256_min_epi32(c.g, c.b));
    const __m256i delta = _mm256_sub_epi32(max, min);
    const __m256i redMax = _mm256_cmpeq_epi32(max, c.r);
    const __m256i greenMax = _mm256_andnot_si256(redMax, _mm256_cmpeq_epi32(max, c.g));
    __m256i numerator = _mm256_sub_epi32(c.r, c.g);
    numerator = _mm256_blendv_epi8(numerator, _mm256_sub_epi32(c.b, c.r), greenMax);
    numerator = _mm256_blendv_epi8(numerator, _mm256_sub_epi32(c.g, c.b), redMax);
    __m256 offset = _mm256_set1_ps(1024.0f);
    offset = _mm256_blendv_ps(offset, _mm256_set1_ps(512.0f), _mm256_castsi256_ps(greenMax));
    offset = _mm256_blendv_ps(offset, _mm256_setzero_ps(), _mm256_castsi256_ps(redMax));
    __m256 hue = _mm256_div_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(numerator), _mm256_set1_ps(255.0f)),
                               _mm256_cvtepi32_ps(delta));
    hue = _mm256_add_ps(hue, offset);
    const __m256 grey = _mm256_castsi256_ps(_mm256_cmpeq_epi32(delta, _mm256_setzero_si256()));
    hue = _mm256_blendv_ps(hue, _mm256_setzero_ps(), grey);
    const __m256 negative = _mm256_cmp_ps(hue, _mm256_setzero_ps(), _CMP_LT_OQ);
    hue = _mm256_add_ps(hue, _mm256_and_ps(negative, _mm256_set1_ps(1536.0f)));
    return doubledRounded(hue);
}

QF_AVX2_INLINE __m256i saturationOf(const Channels& c) {
    const __m256i max = maxOf(c), min = _mm256_min_epi32(c.r, _mm256_min_epi32(c.g, c.b));
    const __m256i delta = _mm256_sub_epi32(max, min);
    __m256 saturation = _mm256_div_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(delta), _mm256_set1_ps(255.0f)),
                                      _mm256_cvtepi32_ps(max));
    const __m256 grey = _mm256_castsi256_ps(_mm256_cmpeq_epi32(delta, _mm256_setzero_si256()));
    return doubledRounded(_mm256_blendv_ps(saturation, _mm256_setzero_ps(), grey));
}

QF_AVX2_INLINE __m256i valueOf(const Channels& c) { return _mm256_slli_epi32(maxOf(c), 1); }

// ((255 − c) × (255 − s') / 255 + c) × v' / 255, rounded, at most 255.
QF_AVX2_INLINE __m256i shade(__m256 c, __m256 ss, __m256 vv) {
    const __m256 k255 = _mm256_set1_ps(255.0f);
    __m256 x = _mm256_div_ps(_mm256_mul_ps(_mm256_sub_ps(k255, c), _mm256_sub_ps(k255, ss)), k255);
    x = _mm256_div_ps(_mm256_mul_ps(_mm256_add_ps(x, c), vv), k255);
    __m256i rounded = _mm256_cvttps_epi32(_mm256_add_ps(x, _mm256_set1_ps(0.5f)));
    return _mm256_min_epi32(rounded, _mm256_set1_epi32(255));
}

struct Rgb {
    __m256 r, g, b;
};

QF_AVX2_INLINE void pickSector(Rgb& c, __m256i sector, int n, __m256 r, __m256 g, __m256 b) {
    const __m256 in = _mm256_castsi256_ps(_mm256_cmpeq_epi32(sector, _mm256_set1_epi32(n)));
    c.r = _mm256_blendv_ps(c.r, r, in), c.g = _mm256_blendv_ps(c.g, g, in), c.b = _mm256_blendv_ps(c.b, b, in);
}

// HSVtoRGB of doubled h, s, v, as words B | G << 8 | R << 16.
QF_AVX2_INLINE __m256i hsvToWords(__m256i h, __m256i s, __m256i v) {
    h = _mm256_andnot_si256(_mm256_cmpgt_epi32(h, _mm256_set1_epi32(3071)), h);
    const __m256 half = _mm256_set1_ps(0.5f);
    const __m256 hh = _mm256_mul_ps(_mm256_cvtepi32_ps(h), half);
    const __m256 ss = _mm256_mul_ps(_mm256_cvtepi32_ps(s), half), vv = _mm256_mul_ps(_mm256_cvtepi32_ps(v), half);
    const __m256i sector = _mm256_cvttps_epi32(_mm256_div_ps(hh, _mm256_set1_ps(256.0f)));
    const __m256 zero = _mm256_setzero_ps(), full = _mm256_set1_ps(255.0f);
    // Sector 5 (and above) first, then each lower sector over it.
    Rgb c{full, zero, _mm256_sub_ps(_mm256_set1_ps(1536.0f), hh)};
    pickSector(c, sector, 4, _mm256_sub_ps(hh, _mm256_set1_ps(1024.0f)), zero, full);
    pickSector(c, sector, 3, zero, _mm256_sub_ps(_mm256_set1_ps(1024.0f), hh), full);
    pickSector(c, sector, 2, zero, full, _mm256_sub_ps(hh, _mm256_set1_ps(512.0f)));
    pickSector(c, sector, 1, _mm256_sub_ps(_mm256_set1_ps(512.0f), hh), full, zero);
    pickSector(c, sector, 0, full, hh, zero);
    const __m256i red = _mm256_slli_epi32(shade(c.r, ss, vv), 16), green = _mm256_slli_epi32(shade(c.g, ss, vv), 8);
    return _mm256_or_si256(_mm256_or_si256(red, green), shade(c.b, ss, vv));
}

template <bool kSaturation>
QF_AVX2_INLINE void block8(uint8_t* d, const uint8_t* s, __m256i key) {
    const __m256i dWords = loadWords(d), sWords = loadWords(s);
    const Channels dc = channels(dWords), sc = channels(sWords);
    __m256i out;
    if constexpr (kSaturation)
        out = hsvToWords(hueOf(dc), saturationOf(sc), valueOf(dc));
    else
        out = hsvToWords(hueOf(sc), saturationOf(dc), valueOf(dc));
    storeWords(d, _mm256_blendv_epi8(out, dWords, _mm256_cmpeq_epi32(sWords, key)));
}

}  // namespace detail

// count rows of n pixels, dStride and sStride bytes apart, that do not
// overlap; source pixels equal to key are left alone.
template <bool kSaturation>
[[gnu::target("avx2")]] void rows(uint8_t* d, const uint8_t* s, int64_t n, int64_t count, int64_t dStride,
                                  int64_t sStride, uint32_t key) {
    const __m256i k = _mm256_set1_epi32(int(key));
    for (; count > 0; --count, d += dStride, s += sStride) {
        int64_t i = 0;
        for (; i + 8 <= n; i += 8) detail::block8<kSaturation>(d + i * 3, s + i * 3, k);
        for (; i < n; ++i) {
            uint8_t* dp = d + i * 3;
            const uint8_t* sp = s + i * 3;
            if ((uint32_t(sp[0]) | uint32_t(sp[1]) << 8 | uint32_t(sp[2]) << 16) == key) continue;
            const Hsv dst = rgbToHsv(dp[2], dp[1], dp[0]), src = rgbToHsv(sp[2], sp[1], sp[0]);
            if (kSaturation)
                hsvToRgb(dst.h, src.s, dst.v, dp[2], dp[1], dp[0]);
            else
                hsvToRgb(src.h, dst.s, dst.v, dp[2], dp[1], dp[0]);
        }
    }
}

#undef QF_AVX2_INLINE

}  // namespace qf::avx2_hue

#endif
