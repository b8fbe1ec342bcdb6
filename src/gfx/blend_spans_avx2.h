// Row spans written with AVX2 intrinsics for the modes that dominate drawing:
// copy, normal, add, sub and multiply. Call them only where cpuHasAvx2().
//
// A row of n pixels goes in blocks of 32 pixels (96 bytes, three registers)
// and of 16, none reaching past the row (see row() for the end of a row).
// The transparent colour is found per pixel without branches: each group
// of four pixels is spread into four 32-bit words (the fourth byte
// zeroed) and compared with the key, the word results are packed to one
// byte per pixel, and a byte shuffle spreads each pixel's byte over its
// three channel bytes; transparent pixels keep the destination.
#pragma once

#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#define QF_HAVE_AVX2_SPANS 1

#include <immintrin.h>

#include <array>
#include <cstring>

namespace qf::avx2_spans {

#define QF_AVX2_INLINE [[gnu::target("avx2"), gnu::always_inline]] inline

namespace detail {

using Table = std::array<uint8_t, 32>;

// Per 128-bit lane: words of pixels 0..3 from bytes 0..11 (or 4..15 when
// the group was loaded four bytes early), with a zero top byte.
constexpr Table expandTable(int lowShift, int highShift) {
    Table t{};
    for (int lane = 0; lane < 2; ++lane)
        for (int i = 0; i < 16; ++i) {
            int shift = lane ? highShift : lowShift;
            t[size_t(lane * 16 + i)] = i % 4 == 3 ? 0x80 : uint8_t(i / 4 * 3 + i % 4 + shift);
        }
    return t;
}

// For the 16 bytes of each lane starting at byte firstByte[lane] of a block,
// the index (less base[lane]) of the pixel each byte belongs to.
constexpr Table spreadTable(int lowFirst, int highFirst, int lowBase, int highBase) {
    Table t{};
    for (int i = 0; i < 16; ++i) {
        t[size_t(i)] = uint8_t((lowFirst + i) / 3 - lowBase);
        t[size_t(16 + i)] = uint8_t((highFirst + i) / 3 - highBase);
    }
    return t;
}

alignas(32) inline constexpr Table kExpand = expandTable(0, 0);
alignas(32) inline constexpr Table kExpandHighLate = expandTable(0, 4);
alignas(32) inline constexpr Table kSpread0 = spreadTable(0, 16, 0, 0);     // bytes 0..31, pixels 0..10
alignas(32) inline constexpr Table kSpread1 = spreadTable(32, 48, 0, 16);   // bytes 32..63, pixels 10..21
alignas(32) inline constexpr Table kSpread2 = spreadTable(64, 80, 16, 16);  // bytes 64..95, pixels 21..31

QF_AVX2_INLINE __m256i table(const Table& t) { return _mm256_load_si256(reinterpret_cast<const __m256i*>(t.data())); }
QF_AVX2_INLINE __m256i load32(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
QF_AVX2_INLINE __m128i load16(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
QF_AVX2_INLINE void store32(uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
QF_AVX2_INLINE void store16(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// All-ones words for the pixels of two groups of four (loaded from byte
// offsets low and high) that equal the key.
QF_AVX2_INLINE __m256i groupsEqual(const uint8_t* s, int low, int high, __m256i expand, __m256i key) {
    __m256i v = _mm256_inserti128_si256(_mm256_castsi128_si256(load16(s + low)), load16(s + high), 1);
    return _mm256_cmpeq_epi32(_mm256_shuffle_epi8(v, expand), key);
}

// One byte per pixel (0xFF transparent) of a 32-pixel block: lane 0 holds
// pixels 0..15, lane 1 pixels 16..31. The last group is loaded from byte 80
// so that no load passes byte 96.
QF_AVX2_INLINE __m256i transparentPixels32(const uint8_t* s, __m256i key) {
    const __m256i expand = table(kExpand);
    __m256i q0 = groupsEqual(s, 0, 48, expand, key);
    __m256i q1 = groupsEqual(s, 12, 60, expand, key);
    __m256i q2 = groupsEqual(s, 24, 72, expand, key);
    __m256i q3 = groupsEqual(s, 36, 80, table(kExpandHighLate), key);
    return _mm256_packs_epi16(_mm256_packs_epi32(q0, q1), _mm256_packs_epi32(q2, q3));
}

// The same for a 16-pixel block, pixels 0..15 in both lanes; no load passes byte 48.
QF_AVX2_INLINE __m256i transparentPixels16(const uint8_t* s, __m256i key) {
    __m256i q0 = groupsEqual(s, 0, 24, table(kExpand), key);
    __m256i q1 = groupsEqual(s, 12, 32, table(kExpandHighLate), key);
    __m256i words = _mm256_packs_epi32(q0, q1);  // lane 0: pixels 0..7, lane 1: 8..15
    return _mm256_permute4x64_epi64(_mm256_packs_epi16(words, words), _MM_SHUFFLE(2, 0, 2, 0));
}

template <class Op, bool kKeyed>
QF_AVX2_INLINE void block32(uint8_t* d, const uint8_t* s, __m256i key, const Op& op) {
    __m256i s0 = load32(s), s1 = load32(s + 32), s2 = load32(s + 64);
    __m256i d0 = load32(d), d1 = load32(d + 32), d2 = load32(d + 64);
    __m256i r0 = op(d0, s0), r1 = op(d1, s1), r2 = op(d2, s2);
    if constexpr (kKeyed) {
        __m256i pixels = transparentPixels32(s, key);
        __m256i low = _mm256_permute4x64_epi64(pixels, _MM_SHUFFLE(1, 0, 1, 0));
        __m256i high = _mm256_permute4x64_epi64(pixels, _MM_SHUFFLE(3, 2, 3, 2));
        r0 = _mm256_blendv_epi8(r0, d0, _mm256_shuffle_epi8(low, table(kSpread0)));
        r1 = _mm256_blendv_epi8(r1, d1, _mm256_shuffle_epi8(pixels, table(kSpread1)));
        r2 = _mm256_blendv_epi8(r2, d2, _mm256_shuffle_epi8(high, table(kSpread2)));
    }
    store32(d, r0), store32(d + 32, r1), store32(d + 64, r2);
}

// The 48 bytes of a 16-pixel block, computed but not yet stored.
struct Block16 {
    __m256i low, high;
};

template <class Op, bool kKeyed>
QF_AVX2_INLINE Block16 compute16(const uint8_t* d, const uint8_t* s, __m256i key, const Op& op) {
    __m256i s0 = load32(s), s1 = _mm256_castsi128_si256(load16(s + 32));
    __m256i d0 = load32(d), d1 = _mm256_castsi128_si256(load16(d + 32));
    __m256i r0 = op(d0, s0), r1 = op(d1, s1);
    if constexpr (kKeyed) {
        __m256i pixels = transparentPixels16(s, key);
        r0 = _mm256_blendv_epi8(r0, d0, _mm256_shuffle_epi8(pixels, table(kSpread0)));
        r1 = _mm256_blendv_epi8(r1, d1, _mm256_shuffle_epi8(pixels, table(kSpread1)));
    }
    return {r0, r1};
}

QF_AVX2_INLINE void store48(uint8_t* d, const Block16& b) {
    store32(d, b.low), store16(d + 32, _mm256_castsi256_si128(b.high));
}

// A row of 16 pixels or more whose length is not a multiple of 16 ends with
// a block that overlaps the one before it. It is computed from the
// untouched pixels first and stored last, so the overlapped pixels get the
// same values twice. Shorter rows go through a local copy.
template <class Op, bool kKeyed>
QF_AVX2_INLINE void row(uint8_t* d, const uint8_t* s, int64_t n, __m256i key, const Op& op) {
    if (n < 16) {
        alignas(32) uint8_t ss[48] = {}, dd[48] = {};
        const size_t bytes = size_t(n) * 3;
        std::memcpy(ss, s, bytes);
        std::memcpy(dd, d, bytes);
        store48(dd, compute16<Op, kKeyed>(dd, ss, key, op));
        std::memcpy(d, dd, bytes);
        return;
    }
    if (n % 16 == 0) {
        for (; n >= 32; n -= 32, d += 96, s += 96) block32<Op, kKeyed>(d, s, key, op);
        if (n) store48(d, compute16<Op, kKeyed>(d, s, key, op));
        return;
    }
    uint8_t* const dLast = d + (n - 16) * 3;
    const Block16 last = compute16<Op, kKeyed>(dLast, s + (n - 16) * 3, key, op);
    while (n > 16) {
        if (n >= 32) {
            block32<Op, kKeyed>(d, s, key, op);
            n -= 32, d += 96, s += 96;
        } else {
            store48(d, compute16<Op, kKeyed>(d, s, key, op));
            n -= 16, d += 48, s += 48;
        }
    }
    store48(dLast, last);
}

template <class Op, bool kKeyed>
[[gnu::target("avx2")]] void rows(uint8_t* d, const uint8_t* s, int64_t n, int64_t count, int64_t dStride,
                                  int64_t sStride, uint32_t key, int alpha) {
    const Op op(alpha);
    const __m256i k = _mm256_set1_epi32(int(key));
    for (; count > 0; --count, d += dStride, s += sStride) row<Op, kKeyed>(d, s, n, k, op);
}

// 16-bit halves of the bytes of each lane, and back.
QF_AVX2_INLINE __m256i low16(__m256i v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
QF_AVX2_INLINE __m256i high16(__m256i v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }
QF_AVX2_INLINE __m256i highBytes(__m256i lo, __m256i hi) {
    return _mm256_packus_epi16(_mm256_srli_epi16(lo, 8), _mm256_srli_epi16(hi, 8));
}

}  // namespace detail

// The operations, each exact to its formula in blend_ops.h. Every 16-bit
// intermediate stays within 0..65 025.
struct Copy {
    explicit Copy(int) {}
    QF_AVX2_INLINE __m256i operator()(__m256i, __m256i s) const { return s; }
};

// Alpha 0: (s × 255) >> 8 is s − 1 for s ≥ 1 and 0 for s = 0.
struct NormalOpaque {
    __m256i one;
    [[gnu::target("avx2")]] explicit NormalOpaque(int) : one(_mm256_set1_epi8(1)) {}
    QF_AVX2_INLINE __m256i operator()(__m256i, __m256i s) const { return _mm256_subs_epu8(s, one); }
};

// d × a + s × (255 − a) as one multiply-add of the byte pairs (d, s): the
// weight of 128 or more is split into w − 128, which fits a signed byte,
// and 128 × the byte, subtracted as a multiply-add with −128. Neither
// multiply-add leaves −32 768..32 767.
struct Normal {
    __m256i weights, half;
    [[gnu::target("avx2")]] explicit Normal(int alpha)
        : weights(alpha < 128 ? _mm256_set1_epi16(int16_t(alpha | (127 - alpha) << 8))
                              : _mm256_set1_epi16(int16_t((alpha - 128) | (255 - alpha) << 8))),
          half(alpha < 128 ? _mm256_set1_epi16(int16_t(0x8000)) : _mm256_set1_epi16(0x0080)) {}
    QF_AVX2_INLINE __m256i sum(__m256i pairs) const {
        return _mm256_sub_epi16(_mm256_maddubs_epi16(pairs, weights), _mm256_maddubs_epi16(pairs, half));
    }
    QF_AVX2_INLINE __m256i operator()(__m256i d, __m256i s) const {
        return detail::highBytes(sum(_mm256_unpacklo_epi8(d, s)), sum(_mm256_unpackhi_epi8(d, s)));
    }
};

// d + s below 255, else 255: the saturating sum.
struct Add {
    explicit Add(int) {}
    QF_AVX2_INLINE __m256i operator()(__m256i d, __m256i s) const { return _mm256_adds_epu8(d, s); }
};

struct Sub {
    explicit Sub(int) {}
    QF_AVX2_INLINE __m256i operator()(__m256i d, __m256i s) const { return _mm256_subs_epu8(d, s); }
};

struct Multiply {
    __m256i a, inv;
    [[gnu::target("avx2")]] explicit Multiply(int alpha)
        : a(_mm256_set1_epi16(int16_t(alpha))), inv(_mm256_set1_epi16(int16_t(255 - alpha))) {}
    QF_AVX2_INLINE __m256i half(__m256i d, __m256i s) const {
        __m256i m = _mm256_srli_epi16(_mm256_mullo_epi16(d, s), 8);
        return _mm256_add_epi16(_mm256_mullo_epi16(d, a), _mm256_mullo_epi16(m, inv));
    }
    QF_AVX2_INLINE __m256i operator()(__m256i d, __m256i s) const {
        using namespace detail;
        return highBytes(half(low16(d), low16(s)), half(high16(d), high16(s)));
    }
};

// count rows of n pixels, dStride and sStride bytes apart; target and
// source pixels do not overlap. Source pixels equal to key (as
// B | G << 8 | R << 16) are left alone. alpha is 0..254.
using RowsFn = void (*)(uint8_t* d, const uint8_t* s, int64_t n, int64_t count, int64_t dStride, int64_t sStride,
                        uint32_t key, int alpha);

template <class Op>
RowsFn rowsFor(bool keyed) {
    return keyed ? &detail::rows<Op, true> : &detail::rows<Op, false>;
}

#undef QF_AVX2_INLINE

}  // namespace qf::avx2_spans

#endif
