#include "gfx/blend_rows.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "gfx/blend_modes.h"
#include "gfx/blend_ops.h"
#include "gfx/blend_hue_avx2.h"
#include "gfx/blend_spans_avx2.h"
#include "gfx/hue.h"

namespace qf {

namespace {

constexpr int kChunkBytes = BlendScratch::kChunkBytes;

// For byte i of a chunk (which starts at a pixel), 0xFF when i is the
// pixel's first, second or third byte.
struct PhaseTable {
    std::array<uint8_t, kChunkBytes> first{}, second{}, third{};
};
constexpr PhaseTable makePhaseTable() {
    PhaseTable t;
    for (int i = 0; i < kChunkBytes; ++i) {
        t.first[i] = i % 3 == 0 ? 0xFF : 0;
        t.second[i] = i % 3 == 1 ? 0xFF : 0;
        t.third[i] = i % 3 == 2 ? 0xFF : 0;
    }
    return t;
}
constexpr PhaseTable kPhase = makePhaseTable();

uint32_t pixelKey(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16; }

void preparePattern(BlendScratch& scratch, uint32_t key) {
    if (scratch.patternKey == key) return;
    for (int i = 0; i < kChunkBytes; i += 3) {
        scratch.keyPattern[i] = uint8_t(key);
        scratch.keyPattern[i + 1] = uint8_t(key >> 8);
        scratch.keyPattern[i + 2] = uint8_t(key >> 16);
    }
    scratch.patternKey = key;
}

// Byte-wise combine of n pixels, skipping pixels equal to the key. Written as
// flat byte loops so that the compiler vectorises them: first the byte-wise
// equality with the repeated key, then, per byte, the AND of its pixel's
// three equalities selects between the old and the combined value.
template <class Op>
[[gnu::always_inline]] inline void spanKeyedBody(uint8_t* __restrict d, const uint8_t* __restrict s, int64_t n,
                                                 uint32_t key, Op op, BlendScratch& scratch) {
    const int64_t bytes = n * 3;
    if (key == kNoTransKey) {
        for (int64_t i = 0; i < bytes; ++i) d[i] = op(d[i], s[i]);
        return;
    }
    preparePattern(scratch, key);
    const uint8_t* __restrict pattern = scratch.keyPattern;
    const uint8_t* __restrict first = kPhase.first.data();
    const uint8_t* __restrict second = kPhase.second.data();
    const uint8_t* __restrict third = kPhase.third.data();
    uint8_t* __restrict eq = scratch.equal + 2;
    for (int64_t start = 0; start < bytes; start += kChunkBytes) {
        const int m = int(std::min<int64_t>(kChunkBytes, bytes - start));
        uint8_t* __restrict dd = d + start;
        const uint8_t* __restrict ss = s + start;
        for (int i = 0; i < m; ++i) eq[i] = ss[i] == pattern[i] ? 0xFF : 0;
        eq[-2] = eq[-1] = eq[m] = eq[m + 1] = 0;
        for (int i = 0; i < m; ++i) {
            const uint8_t* e = eq + i;
            uint8_t transparent = uint8_t(e[0] & ((first[i] & e[1] & e[2]) | (second[i] & e[-1] & e[1]) |
                                                  (third[i] & e[-2] & e[-1])));
            uint8_t v = op(dd[i], ss[i]);
            dd[i] = uint8_t((dd[i] & transparent) | (v & ~transparent));
        }
    }
}

// The same loops built for AVX2 (32 bytes a step), chosen at run time.
template <class Op>
[[gnu::target("avx2"), gnu::flatten]] void spanKeyedAvx2(uint8_t* d, const uint8_t* s, int64_t n, uint32_t key, Op op,
                                                           BlendScratch& scratch) {
    spanKeyedBody(d, s, n, key, op, scratch);
}

template <class Op>
[[gnu::flatten]] void spanKeyedBaseline(uint8_t* d, const uint8_t* s, int64_t n, uint32_t key, Op op,
                                        BlendScratch& scratch) {
    spanKeyedBody(d, s, n, key, op, scratch);
}

template <class Op>
void spanKeyed(uint8_t* d, const uint8_t* s, int64_t n, uint32_t key, Op op, BlendScratch& scratch) {
    if (scratch.useAvx2)
        spanKeyedAvx2(d, s, n, key, op, scratch);
    else
        spanKeyedBaseline(d, s, n, key, op, scratch);
}

// Pixel by pixel in drawing order; used where source and target share pixels.
template <class Op>
void spanOrdered(uint8_t* d, const uint8_t* s, int64_t n, uint32_t key, Op op) {
    for (int64_t i = 0; i < n; ++i, d += 3, s += 3) {
        if (pixelKey(s) == key) continue;
        d[0] = op(d[0], s[0]);
        d[1] = op(d[1], s[1]);
        d[2] = op(d[2], s[2]);
    }
}

struct HueOp {
    bool saturation;
    void operator()(uint8_t* d, const uint8_t* s) const {
        Hsv dst = rgbToHsv(d[2], d[1], d[0]), src = rgbToHsv(s[2], s[1], s[0]);
        if (saturation)
            hsvToRgb(dst.h, src.s, dst.v, d[2], d[1], d[0]);
        else
            hsvToRgb(src.h, dst.s, dst.v, d[2], d[1], d[0]);
    }
};

void spanHue(uint8_t* d, const uint8_t* s, int64_t n, uint32_t key, HueOp op) {
    for (int64_t i = 0; i < n; ++i, d += 3, s += 3)
        if (pixelKey(s) != key) op(d, s);
}

bool sharePixels(const S_Dib& target, const S_Dib& source) {
    const uint8_t* sBegin = source.m_pBits;
    const uint8_t* sEnd = sBegin + source.PixelCount() * 3;
    const uint8_t* tBegin = target.m_pBits;
    const uint8_t* tEnd = tBegin + target.PixelCount() * 3;
    return sBegin < tEnd && tBegin < sEnd;
}

// run(d, s, n, count) for each stretch of count consecutive rows that draw
// the same n columns: one stretch for all rows that stay clear of both ends
// of the source picture, one per row near them.
template <class Run>
void forEachRun(S_Dib& target, const S_Dib& source, const BlendFrame& f, Run run) {
    const int64_t r1 = f.rowEnd(), sw = f.sourceWidth;
    const int64_t cx0 = std::max<int64_t>(0, -f.x), cx1 = std::min(f.w, f.targetWidth - f.x);
    if (cx0 >= cx1 || sw <= 0) return;
    for (int64_t r = f.rowBegin(); r < r1;) {
        const int64_t start = f.sourceRowStart(r);
        const int64_t c0 = std::max(cx0, -start), c1 = std::min(cx1, f.sourcePixels - start);
        int64_t next = r + 1;
        if (c0 == cx0 && c1 == cx1) {
            const int64_t lastStart = f.sourceRowStart(r1 - 1);
            next = lastStart + cx1 <= f.sourcePixels ? r1 : std::min(r1, next + (f.sourcePixels - cx1 - start) / sw);
        }
        if (c0 < c1)
            run(target.m_pBits + ((f.y + r) * f.targetWidth + f.x + c0) * 3, source.m_pBits + (start + c0) * 3,
                c1 - c0, next - r);
        r = next;
    }
}

// row(d, s, n) for the clipped part of every row of the frame.
template <class Row>
void forEachRow(S_Dib& target, const S_Dib& source, const BlendFrame& f, Row row) {
    const int64_t dStride = f.targetWidth * 3, sStride = f.sourceWidth * 3;
    forEachRun(target, source, f, [&](uint8_t* d, const uint8_t* s, int64_t n, int64_t count) {
        for (; count > 0; --count, d += dStride, s += sStride) row(d, s, n);
    });
}

template <class Op>
void blendWith(S_Dib& target, const S_Dib& source, const BlendFrame& f, Op op, BlendScratch& scratch) {
    const uint32_t key = source.TransKey();
    if constexpr (std::is_same_v<Op, HueOp>)
        forEachRow(target, source, f, [&](uint8_t* d, const uint8_t* s, int64_t n) { spanHue(d, s, n, key, op); });
    else if (sharePixels(target, source))
        forEachRow(target, source, f, [&](uint8_t* d, const uint8_t* s, int64_t n) { spanOrdered(d, s, n, key, op); });
    else
        forEachRow(target, source, f,
                   [&](uint8_t* d, const uint8_t* s, int64_t n) { spanKeyed(d, s, n, key, op, scratch); });
}

constexpr int kCopyMode = -1;  // the exact copy, as a mode of its own

#ifdef QF_HAVE_AVX2_SPANS
// The AVX2 rows of a mode, or none.
avx2_spans::RowsFn avx2Rows(int mode, int alpha, bool keyed) {
    using namespace avx2_spans;
    switch (mode) {
    case kCopyMode: return rowsFor<Copy>(keyed);
    case kBlendNormal: return alpha == 0 ? rowsFor<NormalOpaque>(keyed) : rowsFor<avx2_spans::Normal>(keyed);
    case kBlendAdd: return rowsFor<avx2_spans::Add>(keyed);
    case kBlendSub: return rowsFor<avx2_spans::Sub>(keyed);
    case kBlendMultiply: return rowsFor<avx2_spans::Multiply>(keyed);
    default: return nullptr;
    }
}

// Draws with the AVX2 span of the mode where there is one and the pixels
// are apart; false leaves the draw to the portable loops.
bool blendAvx2(S_Dib& target, const S_Dib& source, const BlendFrame& f, int alpha, int mode,
               const BlendScratch& scratch) {
    if (!scratch.useAvx2 || sharePixels(target, source)) return false;
    const uint32_t key = source.TransKey();
    const int64_t dStride = f.targetWidth * 3, sStride = f.sourceWidth * 3;
    if (mode == kBlendHue || mode == kBlendSaturation) {
        const auto hueRows = mode == kBlendHue ? &avx2_hue::rows<false> : &avx2_hue::rows<true>;
        forEachRun(target, source, f, [&](uint8_t* d, const uint8_t* s, int64_t n, int64_t count) {
            hueRows(d, s, n, count, dStride, sStride, key);
        });
        return true;
    }
    const avx2_spans::RowsFn rows = avx2Rows(mode, alpha, key != kNoTransKey);
    if (!rows) return false;
    forEachRun(target, source, f, [&](uint8_t* d, const uint8_t* s, int64_t n, int64_t count) {
        rows(d, s, n, count, dStride, sStride, key, alpha);
    });
    return true;
}
#else
bool blendAvx2(S_Dib&, const S_Dib&, const BlendFrame&, int, int, const BlendScratch&) { return false; }
#endif

struct CopyOp {
    uint8_t operator()(uint8_t, uint8_t s) const { return s; }
};

}  // namespace

bool cpuHasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

int64_t BlendFrame::rowBegin() const { return std::max<int64_t>(0, -y); }
int64_t BlendFrame::rowEnd() const { return std::max<int64_t>(0, std::min(h, targetHeight - y)); }
int64_t BlendFrame::columnBegin(int64_t r) const { return std::max({int64_t(0), -x, -sourceRowStart(r)}); }
int64_t BlendFrame::columnEnd(int64_t r) const {
    return std::min({w, targetWidth - x, sourcePixels - sourceRowStart(r)});
}

BlendFrame makeFrame(const S_Dib& target, const S_Dib& source, int64_t x, int64_t y, int64_t w, int64_t h,
                     int64_t sx, int64_t sy) {
    return {x, y, w, h, sx, sy, target.Width(), target.Height(), source.Width(), int64_t(source.PixelCount())};
}

void blendRect(S_Dib& target, const S_Dib& source, int64_t x, int64_t y, int64_t w, int64_t h, int64_t sx,
               int64_t sy, int alpha, int mode, BlendScratch& scratch) {
    if (!target.HasPixels() || !source.HasPixels()) return;
    const int a = std::max(alpha, 0);
    if (a >= 255) return;
    const BlendFrame f = makeFrame(target, source, x, y, w, h, sx, sy);
    if (blendAvx2(target, source, f, a, mode, scratch)) return;
    using namespace blend_ops;
    switch (mode) {
    case kBlendNormal: blendWith(target, source, f, Normal(a), scratch); break;
    case kBlendAdd: blendWith(target, source, f, Add(), scratch); break;
    case kBlendSub: blendWith(target, source, f, Sub(), scratch); break;
    case kBlendMultiply: blendWith(target, source, f, Multiply(a), scratch); break;
    case kBlendScreen: blendWith(target, source, f, Screen(), scratch); break;
    case kBlendOverlay: blendWith(target, source, f, Overlay(), scratch); break;
    case kBlendSoftLight: break;  // accepted, writes nothing
    case kBlendHardLight: blendWith(target, source, f, HardLight(), scratch); break;
    case kBlendDodge: blendWith(target, source, f, Dodge(), scratch); break;
    case kBlendBurn: blendWith(target, source, f, Burn(), scratch); break;
    case kBlendHue: blendWith(target, source, f, HueOp{false}, scratch); break;
    case kBlendSaturation: blendWith(target, source, f, HueOp{true}, scratch); break;
    default: break;
    }
}

void copyRect(S_Dib& target, const S_Dib& source, int64_t x, int64_t y, int64_t w, int64_t h, int64_t sx,
              int64_t sy, BlendScratch& scratch) {
    if (!target.HasPixels() || !source.HasPixels()) return;
    const BlendFrame f = makeFrame(target, source, x, y, w, h, sx, sy);
    if (blendAvx2(target, source, f, 0, kCopyMode, scratch)) return;
    blendWith(target, source, f, CopyOp(), scratch);
}

void flashRect(S_Dib& target, const S_Dib& source, int64_t x, int64_t y, int64_t w, int64_t h, int64_t sx,
               int64_t sy, int r, int g, int b) {
    if (!target.HasPixels() || !source.HasPixels()) return;
    const BlendFrame f = makeFrame(target, source, x, y, w, h, sx, sy);
    const uint32_t key = source.TransKey();
    for (int64_t row = f.rowBegin(), end = f.rowEnd(); row < end; ++row) {
        const int64_t c0 = f.columnBegin(row), c1 = f.columnEnd(row);
        uint8_t* d = target.m_pBits + ((f.y + row) * f.targetWidth + f.x + c0) * 3;
        const uint8_t* s = source.m_pBits + (f.sourceRowStart(row) + c0) * 3;
        for (int64_t c = c0; c < c1; ++c, d += 3, s += 3) {
            if (pixelKey(s) == key) continue;
            d[0] = uint8_t(b), d[1] = uint8_t(g), d[2] = uint8_t(r);
        }
    }
}

}  // namespace qf
