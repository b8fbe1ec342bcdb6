#include "res/sfmt.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qf {

namespace {

constexpr int kN = 156;  // 128-bit words
constexpr int kPos1 = 122;
constexpr int kSl1 = 18;
constexpr int kSl2 = 1;  // bytes
constexpr int kSr1 = 11;
constexpr int kSr2 = 1;  // bytes
constexpr uint32_t kMask[4] = {0xdfffffefu, 0xddfecb7fu, 0xbffaffffu, 0xbffffff6u};
constexpr uint32_t kParity[4] = {0x00000001u, 0x00000000u, 0x00000000u, 0x13c9e684u};

#if !defined(__SSE2__)

struct W128 {
    uint32_t u[4];
};

inline W128 shiftLeftBytes(const uint32_t* w, int bytes) {
    uint64_t hi = (static_cast<uint64_t>(w[3]) << 32) | w[2];
    uint64_t lo = (static_cast<uint64_t>(w[1]) << 32) | w[0];
    int t = bytes * 8;
    uint64_t hi2 = (hi << t) | (lo >> (64 - t));
    uint64_t lo2 = lo << t;
    return {{static_cast<uint32_t>(lo2), static_cast<uint32_t>(lo2 >> 32), static_cast<uint32_t>(hi2),
             static_cast<uint32_t>(hi2 >> 32)}};
}

inline W128 shiftRightBytes(const uint32_t* w, int bytes) {
    uint64_t hi = (static_cast<uint64_t>(w[3]) << 32) | w[2];
    uint64_t lo = (static_cast<uint64_t>(w[1]) << 32) | w[0];
    int t = bytes * 8;
    uint64_t lo2 = (lo >> t) | (hi << (64 - t));
    uint64_t hi2 = hi >> t;
    return {{static_cast<uint32_t>(lo2), static_cast<uint32_t>(lo2 >> 32), static_cast<uint32_t>(hi2),
             static_cast<uint32_t>(hi2 >> 32)}};
}

inline void recursion(uint32_t* r, const uint32_t* a, const uint32_t* b, const uint32_t* c, const uint32_t* d) {
    W128 x = shiftLeftBytes(a, kSl2);
    W128 y = shiftRightBytes(c, kSr2);
    for (int i = 0; i < 4; ++i) r[i] = a[i] ^ x.u[i] ^ ((b[i] >> kSr1) & kMask[i]) ^ y.u[i] ^ (d[i] << kSl1);
}

#endif

}  // namespace

void Sfmt19937::reseed(uint32_t seed) {
    m_state[0] = seed;
    for (int i = 1; i < kWords; ++i)
        m_state[i] = 1812433253u * (m_state[i - 1] ^ (m_state[i - 1] >> 30)) + static_cast<uint32_t>(i);
    m_index = kWords;
    certifyPeriod();
}

void Sfmt19937::certifyPeriod() {
    uint32_t inner = 0;
    for (int i = 0; i < 4; ++i) inner ^= m_state[i] & kParity[i];
    for (int k = 16; k > 0; k >>= 1) inner ^= inner >> k;
    if (inner & 1) return;
    for (int i = 0; i < 4; ++i) {
        if (kParity[i] == 0) continue;
        uint32_t bit = kParity[i] & (~kParity[i] + 1);  // lowest set bit
        m_state[i] ^= bit;
        return;
    }
}

#if defined(__SSE2__)

namespace {

// The recursion on whole 128-bit words: the byte shifts are the SSE2 whole-register shifts.
inline __m128i recursion128(__m128i a, __m128i b, __m128i c, __m128i d, __m128i mask) {
    __m128i x = _mm_slli_si128(a, kSl2);
    __m128i y = _mm_srli_si128(c, kSr2);
    __m128i r = _mm_xor_si128(a, x);
    r = _mm_xor_si128(r, _mm_and_si128(_mm_srli_epi32(b, kSr1), mask));
    r = _mm_xor_si128(r, y);
    return _mm_xor_si128(r, _mm_slli_epi32(d, kSl1));
}

}  // namespace

void Sfmt19937::generateBlock() {
    auto* s = reinterpret_cast<__m128i*>(m_state);
    const __m128i mask = _mm_set_epi32(static_cast<int>(kMask[3]), static_cast<int>(kMask[2]),
                                       static_cast<int>(kMask[1]), static_cast<int>(kMask[0]));
    __m128i r1 = _mm_load_si128(&s[kN - 2]);
    __m128i r2 = _mm_load_si128(&s[kN - 1]);
    int i = 0;
    for (; i < kN - kPos1; ++i) {
        __m128i r = recursion128(_mm_load_si128(&s[i]), _mm_load_si128(&s[i + kPos1]), r1, r2, mask);
        _mm_store_si128(&s[i], r);
        r1 = r2;
        r2 = r;
    }
    for (; i < kN; ++i) {
        __m128i r = recursion128(_mm_load_si128(&s[i]), _mm_load_si128(&s[i + kPos1 - kN]), r1, r2, mask);
        _mm_store_si128(&s[i], r);
        r1 = r2;
        r2 = r;
    }
    m_index = 0;
}

#else

void Sfmt19937::generateBlock() {
    uint32_t* s = m_state;
    const uint32_t* r1 = &s[(kN - 2) * 4];
    const uint32_t* r2 = &s[(kN - 1) * 4];
    int i = 0;
    for (; i < kN - kPos1; ++i) {
        recursion(&s[i * 4], &s[i * 4], &s[(i + kPos1) * 4], r1, r2);
        r1 = r2;
        r2 = &s[i * 4];
    }
    for (; i < kN; ++i) {
        recursion(&s[i * 4], &s[i * 4], &s[(i + kPos1 - kN) * 4], r1, r2);
        r1 = r2;
        r2 = &s[i * 4];
    }
    m_index = 0;
}

#endif

void Sfmt19937::nextLowBytes(uint8_t* out, size_t n) {
    while (n > 0) {
        if (m_index >= kWords) generateBlock();
        size_t take = static_cast<size_t>(kWords - m_index);
        if (take > n) take = n;
        const uint32_t* src = &m_state[m_index];
        size_t k = 0;
#if defined(__SSE2__)
        // Sixteen outputs at a time: mask to the low byte, then narrow twice.
        const __m128i low = _mm_set1_epi32(0xFF);
        for (; k + 16 <= take; k += 16) {
            const auto* p = reinterpret_cast<const __m128i*>(src + k);
            __m128i a = _mm_and_si128(_mm_loadu_si128(p), low);
            __m128i b = _mm_and_si128(_mm_loadu_si128(p + 1), low);
            __m128i c = _mm_and_si128(_mm_loadu_si128(p + 2), low);
            __m128i d = _mm_and_si128(_mm_loadu_si128(p + 3), low);
            __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), bytes);
        }
#endif
        for (; k < take; ++k) out[k] = static_cast<uint8_t>(src[k]);
        out += take;
        n -= take;
        m_index += static_cast<int>(take);
    }
}

void Sfmt19937::skip(uint64_t n) {
    while (n > 0) {
        if (m_index >= kWords) generateBlock();
        uint64_t take = static_cast<uint64_t>(kWords - m_index);
        if (take > n) take = n;
        m_index += static_cast<int>(take);
        n -= take;
    }
}

}  // namespace qf
