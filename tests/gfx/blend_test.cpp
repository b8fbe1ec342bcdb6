#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>

#include "gfx/blend_modes.h"
#include "gfx/blend_scratch.h"
#include "gfx/draw.h"
#include "gfx/hue.h"
#include "gfx/masked_draw.h"
#include "gfx/pictures.h"
#include "picture_helpers.h"
#include "platform/headless/headless_host.h"

namespace qf {
namespace {

using test::at;
using test::Bgr;
using test::paint;
using test::pixels;

// The per-channel formulas, written out plainly.
int referenceChannel(int mode, int d, int s, int a) {
    switch (mode) {
    case 0: return (d * a + s * (255 - a)) >> 8;
    case 1: return d + s < 255 ? d + s : 255;
    case 2: return d - s > 0 ? d - s : 0;
    case 3: { int m = (d * s) >> 8; return (d * a + (255 - a) * m) >> 8; }
    case 4: return 255 - ((255 - d) * (255 - s)) / 255;
    case 5: return d < 128 ? (s * d) / 127 : 255 - ((255 - d) * (255 - s)) / 127;
    case 6: return d;
    case 7: return s < 128 ? (d * s) >> 7 : 255 - (((255 - s) * (255 - d)) >> 7);
    case 8: return s < 255 ? std::min((d * 256) / (255 - s), 255) : 255;
    case 9: return s > 0 ? std::max(255 - ((255 - d) * 256) / s, 0) : 0;
    }
    return -1;
}

// One channel drawn through a 1 × 1 picture.
int drawOne(int mode, int d, int s, int alpha) {
    HeadlessHost host;
    Pictures pics(host);
    paint(*pics.Slot(0), 1, 1, [&](int, int) { return Bgr{uint8_t(d), uint8_t(d), uint8_t(d)}; });
    paint(*pics.Slot(1), 1, 1, [&](int, int) { return Bgr{uint8_t(s), uint8_t(s), uint8_t(s)}; });
    pics.SelectTarget(0);
    EXPECT_EQ(DrawPicture(pics, 1, 0, 0, -1, -1, 0, 0, alpha, mode), 1);
    return at(*pics.Slot(0), 0, 0).r;
}

TEST(Blend, ModesOnTheirCharacteristicValues) {
    EXPECT_EQ(drawOne(kBlendNormal, 0, 255, 0), 254);
    EXPECT_EQ(drawOne(kBlendNormal, 0, 128, 0), 127);
    EXPECT_EQ(drawOne(kBlendNormal, 0, 255, 128), 126);
    EXPECT_EQ(drawOne(kBlendNormal, 0, 255, -40), 254);  // negative alpha counts as 0
    EXPECT_EQ(drawOne(kBlendAdd, 200, 100, 0), 255);
    EXPECT_EQ(drawOne(kBlendAdd, 100, 154, 0), 254);
    EXPECT_EQ(drawOne(kBlendAdd, 100, 155, 0), 255);
    EXPECT_EQ(drawOne(kBlendAdd, 100, 100, 200), 200);  // alpha ignored
    EXPECT_EQ(drawOne(kBlendOverlay, 127, 255, 0), 255);
    EXPECT_EQ(drawOne(kBlendOverlay, 128, 0, 0), 0);
    EXPECT_EQ(drawOne(kBlendDodge, 3, 255, 0), 255);
    EXPECT_EQ(drawOne(kBlendBurn, 250, 0, 0), 0);
    EXPECT_EQ(drawOne(kBlendSoftLight, 90, 200, 0), 90);
    for (int mode = 0; mode < 12; ++mode) {
        EXPECT_EQ(drawOne(mode, 90, 200, 255), 90) << mode;
        EXPECT_EQ(drawOne(mode, 90, 200, 1000), 90) << mode;
    }
    for (int mode : {-1, 12, 19, 28, 29, int(kBlendExpand), int(kBlendFill), int(kBlendLight), 35, 1000})
        EXPECT_EQ(drawOne(mode, 90, 200, 0), 90) << mode;
}

// Every (d, s) pair at once: a 256 × 256 target whose rows hold d and a
// source whose columns hold s, with different pairs in each channel.
TEST(Blend, ExhaustiveSweepsMatchTheFormulas) {
    HeadlessHost host;
    Pictures pics(host);
    auto dst = [](int x, int y) { return Bgr{uint8_t(y), uint8_t(255 - y), uint8_t(x)}; };
    auto src = [](int x, int y) { return Bgr{uint8_t(x), uint8_t(x ^ 0x5A), uint8_t(y)}; };
    paint(*pics.Slot(1), 256, 256, src);
    pics.Slot(1)->SetTransColor(-1, 0, 0);  // nothing transparent
    pics.SelectTarget(0);
    const int alphas[] = {0, 1, 77, 128, 200, 254};
    for (int mode = 0; mode < 10; ++mode) {
        for (int alpha : alphas) {
            if (alpha != 0 && mode != kBlendNormal && mode != kBlendMultiply) continue;
            paint(*pics.Slot(0), 256, 256, dst);
            DrawPicture(pics, 1, 0, 0, -1, -1, 0, 0, alpha, mode);
            int wrong = 0;
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) {
                    Bgr d = dst(x, y), s = src(x, y), got = at(*pics.Slot(0), x, y);
                    wrong += got.b != referenceChannel(mode, d.b, s.b, alpha);
                    wrong += got.g != referenceChannel(mode, d.g, s.g, alpha);
                    wrong += got.r != referenceChannel(mode, d.r, s.r, alpha);
                }
            EXPECT_EQ(wrong, 0) << "mode " << mode << " alpha " << alpha;
        }
    }
}

// The hue model, written out in single precision.
void referenceHsv(int r, int g, int b, int out[3]) {
    int mx = std::max({r, g, b}), mn = std::min({r, g, b}), delta = mx - mn;
    float h = 0, s = 0;
    if (delta) {
        s = float(delta) * 255.0f / float(mx);
        h = mx == r ? float(g - b) * 255.0f / delta
                    : mx == g ? float(b - r) * 255.0f / delta + 512.0f : float(r - g) * 255.0f / delta + 1024.0f;
    }
    if (h < 0) h += 1536.0f;
    float v[3] = {h, s, float(mx)};
    for (int i = 0; i < 3; ++i) out[i] = v[i] >= 0 ? int(2 * v[i] + 0.5f) : int(2 * v[i] - 0.5f);
}

Bgr referenceRgb(int h, int s, int v) {
    if (h >= 3072) h = 0;
    float hh = h * 0.5f, ss = s * 0.5f, vv = v * 0.5f, c[3];
    int sector = int(hh / 256.0f);
    float base[6][3] = {{255, hh, 0}, {512 - hh, 255, 0}, {0, 255, hh - 512},
                        {0, 1024 - hh, 255}, {hh - 1024, 0, 255}, {255, 0, 1536 - hh}};
    for (int i = 0; i < 3; ++i) {
        float x = ((255.0f - base[sector][i]) * (255.0f - ss) / 255.0f + base[sector][i]) * vv / 255.0f;
        c[i] = std::min(float(int(x + 0.5f)), 255.0f);
    }
    return {uint8_t(c[2]), uint8_t(c[1]), uint8_t(c[0])};
}

TEST(Blend, HueAndSaturationModesFollowTheHueModel) {
    Hsv red = rgbToHsv(255, 0, 0);
    EXPECT_EQ(red.h, 0);
    EXPECT_EQ(red.s, 510);
    EXPECT_EQ(red.v, 510);
    EXPECT_EQ(rgbToHsv(0, 0, 255).h, 2048);
    EXPECT_EQ(rgbToHsv(255, 0, 1).h, 3070);  // negative hue wrapped
    EXPECT_EQ(rgbToHsv(9, 9, 9).s, 0);

    HeadlessHost host;
    Pictures pics(host);
    std::mt19937 random(7);
    auto colour = [&](int, int) { return Bgr{uint8_t(random()), uint8_t(random()), uint8_t(random())}; };
    paint(*pics.Slot(1), 256, 64, colour);
    pics.Slot(1)->SetTransColor(-1, 0, 0);
    paint(*pics.Slot(2), 256, 64, colour);
    const S_Dib& source = *pics.Slot(1);
    for (int mode : {int(kBlendHue), int(kBlendSaturation)}) {
        paint(*pics.Slot(0), 256, 64, [&](int x, int y) { return at(*pics.Slot(2), x, y); });
        pics.SelectTarget(0);
        DrawPicture(pics, 1, 0, 0, -1, -1, 0, 0, 100, mode);
        int wrong = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 256; ++x) {
                Bgr d = at(*pics.Slot(2), x, y), s = at(source, x, y);
                int dh[3], sh[3];
                referenceHsv(d.r, d.g, d.b, dh);
                referenceHsv(s.r, s.g, s.b, sh);
                Bgr want = mode == kBlendHue ? referenceRgb(sh[0], dh[1], dh[2]) : referenceRgb(dh[0], sh[1], dh[2]);
                wrong += !(at(*pics.Slot(0), x, y) == want);
            }
        EXPECT_EQ(wrong, 0) << mode;
    }
    // A grey source carries no hue: hue 0 at the target's saturation and value.
    paint(*pics.Slot(0), 1, 1, [](int, int) { return Bgr{0, 0, 200}; });
    paint(*pics.Slot(3), 1, 1, [](int, int) { return Bgr{50, 50, 50}; });
    pics.SelectTarget(0);
    DrawPicture(pics, 3, 0, 0, 1, 1, 0, 0, 0, kBlendHue);
    EXPECT_EQ(at(*pics.Slot(0), 0, 0), (Bgr{0, 0, 200}));
}

// The row blend's frame, pixel by pixel as described: rows above skipped,
// the first row below ends the draw; columns left skipped, the first past
// the right edge ends the row; source indexes below 0 skipped, the first
// past the whole picture ends the row; transparent pixels skipped.
void referenceNormal(S_Dib& t, const S_Dib& s, int x, int y, int w, int h, int sx, int sy, int a) {
    if (w < 0 || w > s.Width()) w = s.Width();
    if (h < 0 || h > s.Height()) h = s.Height();
    const int64_t total = int64_t(s.Width()) * s.Height();
    for (int r = 0; r < h; ++r) {
        int dy = y + r;
        if (dy < 0) continue;
        if (dy >= t.Height()) break;
        int64_t rowStart = int64_t(sy + r) * s.Width() + sx;
        for (int c = 0; c < w; ++c) {
            int dx = x + c;
            if (dx < 0) continue;
            if (dx >= t.Width()) break;
            int64_t i = rowStart + c;
            if (i < 0) continue;
            if (i >= total) break;
            const uint8_t* sp = s.m_pBits + i * 3;
            if (sp[0] == s.m_nTransB && sp[1] == s.m_nTransG && sp[2] == s.m_nTransR) continue;
            uint8_t* dp = t.m_pBits + (int64_t(dy) * t.Width() + dx) * 3;
            for (int k = 0; k < 3; ++k) dp[k] = uint8_t((dp[k] * a + sp[k] * (255 - a)) >> 8);
        }
    }
}

TEST(Blend, ClippingAndTransparencyMatchThePixelByPixelFrame) {
    HeadlessHost host;
    Pictures pics(host);
    std::mt19937 random(11);
    // Source with many transparent (pure green) pixels.
    auto source = [&](int, int) {
        return random() % 3 == 0 ? Bgr{0, 255, 0} : Bgr{uint8_t(random()), uint8_t(random()), uint8_t(random())};
    };
    auto background = [](int x, int y) { return Bgr{uint8_t(x * 7), uint8_t(y * 5), uint8_t(x + y)}; };
    S_Dib expected;
    for (int round = 0; round < 400; ++round) {
        const int sw = 1 + int(random() % 40), shh = 1 + int(random() % 30);
        const int tw = 1 + int(random() % 50), th = 1 + int(random() % 40);
        paint(*pics.Slot(1), sw, shh, source);
        paint(*pics.Slot(0), tw, th, background);
        paint(expected, tw, th, background);
        auto pick = [&](int lo, int hi) { return lo + int(random() % unsigned(hi - lo + 1)); };
        int x = pick(-60, 60), y = pick(-50, 50), w = pick(-2, 50), h = pick(-2, 40);
        int sx = pick(-30, 45), sy = pick(-20, 35), a = round % 4 == 0 ? pick(0, 254) : 0;
        pics.SelectTarget(0);
        DrawPicture(pics, 1, x, y, w, h, sx, sy, a, kBlendNormal);
        referenceNormal(expected, *pics.Slot(1), x, y, w, h, sx, sy, a);
        ASSERT_EQ(pixels(*pics.Slot(0)), pixels(expected))
            << "round " << round << ": " << x << "," << y << " " << w << "x" << h << " from " << sx << "," << sy;
    }
    // A source rectangle past the right edge takes the next row's first pixels.
    paint(*pics.Slot(1), 3, 2, [](int x, int y) { return Bgr{uint8_t(10 * y + x + 1), 0, 0}; });
    paint(*pics.Slot(0), 4, 1, [](int, int) { return Bgr{0, 0, 0}; });
    pics.SelectTarget(0);
    DrawPicture(pics, 1, 0, 0, 3, 1, 2, 0, 0, kBlendNormal);
    EXPECT_EQ(at(*pics.Slot(0), 0, 0).b, (3 * 255) >> 8);
    EXPECT_EQ(at(*pics.Slot(0), 1, 0).b, (11 * 255) >> 8);
    EXPECT_EQ(at(*pics.Slot(0), 2, 0).b, (12 * 255) >> 8);
}

TEST(Blend, DrawingASlotOntoItselfGoesPixelByPixel) {
    HeadlessHost host;
    Pictures pics(host);
    auto colour = [](int x, int y) { return Bgr{uint8_t(x * 9 + 1), uint8_t(y * 3), 40}; };
    paint(*pics.Slot(0), 20, 5, colour);
    S_Dib expected;
    paint(expected, 20, 5, colour);
    pics.SelectTarget(0);
    DrawPicture(pics, 0, 1, 0, -1, -1, 0, 0, 0, kBlendNormal);
    referenceNormal(expected, expected, 1, 0, -1, -1, 0, 0, 0);
    EXPECT_EQ(pixels(*pics.Slot(0)), pixels(expected));
}

// The row-blend frame of referenceNormal for the modes 0..11.
void referenceBlend(S_Dib& t, const S_Dib& s, int x, int y, int w, int h, int sx, int sy, int a, int mode) {
    const int64_t total = int64_t(s.Width()) * s.Height();
    for (int r = 0; r < h; ++r) {
        int dy = y + r;
        if (dy < 0) continue;
        if (dy >= t.Height()) break;
        for (int c = 0; c < w; ++c) {
            int dx = x + c;
            if (dx < 0) continue;
            if (dx >= t.Width()) break;
            int64_t i = int64_t(sy + r) * s.Width() + sx + c;
            if (i < 0) continue;
            if (i >= total) break;
            const uint8_t* sp = s.m_pBits + i * 3;
            if (sp[0] == s.m_nTransB && sp[1] == s.m_nTransG && sp[2] == s.m_nTransR) continue;
            uint8_t* dp = t.m_pBits + (int64_t(dy) * t.Width() + dx) * 3;
            if (mode == kBlendHue || mode == kBlendSaturation) {
                int dh[3], sh[3];
                referenceHsv(dp[2], dp[1], dp[0], dh);
                referenceHsv(sp[2], sp[1], sp[0], sh);
                Bgr out = mode == kBlendHue ? referenceRgb(sh[0], dh[1], dh[2]) : referenceRgb(dh[0], sh[1], dh[2]);
                dp[0] = out.b, dp[1] = out.g, dp[2] = out.r;
                continue;
            }
            for (int k = 0; k < 3; ++k) dp[k] = uint8_t(referenceChannel(mode, dp[k], sp[k], a));
        }
    }
}

// A source whose rows put the transparent colour key at each of the 32
// positions of a block, in random runs, nowhere or everywhere, and colours
// that match the key in two channels or spell it across two pixels.
void paintKeyRows(S_Dib& dib, int width, Bgr key, std::mt19937& random) {
    auto noise = [&] { return Bgr{uint8_t(random()), uint8_t(random()), uint8_t(random())}; };
    const Bgr decoys[] = {{key.b, key.g, uint8_t(key.r ^ 1)}, {uint8_t(key.b ^ 0x80), key.g, key.r},
                          {key.b, uint8_t(key.g + 1), key.r}, {7, key.b, key.g}, {key.r, 9, 9},
                          {5, 5, key.b}, {key.g, key.r, 3}};
    paint(dib, width, 40, [&](int x, int y) {
        if (y < 32) return x % 32 == y ? key : noise();
        if (y < 36) return random() % 2 ? key : noise();
        if (y < 38) return decoys[size_t(x) % std::size(decoys)];
        return y == 38 ? key : noise();
    });
}

// Rows of every length 1..67 (the blocks of 32 and 16 and the short rest),
// starting at every byte phase of the source and target, each drawn through
// the vector rows (where the processor has them) and the portable rows.
TEST(Blend, RowsOfEveryLengthMatchTheFormulasOnBothPaths) {
    HeadlessHost host;
    Pictures pics(host);
    std::mt19937 random(19);
    struct Case {
        int mode, alpha;
        Bgr key;
    };
    const Case cases[] = {{kBlendNormal, 0, {0, 255, 0}},   {kBlendNormal, 1, {0, 0, 0}},
                          {kBlendNormal, 128, {9, 1, 2}},   {kBlendNormal, 254, {255, 255, 255}},
                          {kBlendAdd, 0, {0, 255, 0}},      {kBlendSub, 0, {40, 80, 120}},
                          {kBlendMultiply, 0, {0, 255, 0}}, {kBlendMultiply, 64, {1, 1, 1}},
                          {kBlendMultiply, 254, {0, 255, 0}}, {kBlendScreen, 0, {0, 255, 0}},
                          {kBlendRotNo, 0, {0, 255, 0}},    {kBlendRotNo, 90, {3, 2, 1}},
                          {kBlendHue, 0, {0, 255, 0}},      {kBlendSaturation, 0, {0, 0, 0}}};
    auto background = [](int x, int y) { return Bgr{uint8_t(x * 37 + y), uint8_t(x * 11 + 200), uint8_t(y * 90 + x)}; };
    const int sourceWidth = 68;  // no row padding: the last row ends the buffer
    for (bool vector : {false, true}) {
        if (vector && !cpuHasAvx2()) continue;
        pics.scratch.useAvx2 = vector;
        for (const Case& k : cases) {
            paintKeyRows(*pics.Slot(1), sourceWidth, k.key, random);
            pics.Slot(1)->SetTransColor(k.key.r, k.key.g, k.key.b);
            // The rotated draw without a turn equals a normal draw of the copy.
            const int formula = k.mode == kBlendRotNo ? int(kBlendNormal) : k.mode;
            int wrong = 0;
            for (int n = 1; n <= 67; ++n)
                for (int phase = 0; phase < 4; ++phase) {
                    const int sx = sourceWidth - n - phase < 0 ? 0 : phase, x = (n + phase) % 5;
                    paint(*pics.Slot(0), 80, 40, background);
                    S_Dib expected;
                    paint(expected, 80, 40, background);
                    pics.SelectTarget(0);
                    DrawPicture(pics, 1, x, 0, n, 40, sx, 0, k.alpha, k.mode);
                    referenceBlend(expected, *pics.Slot(1), x, 0, n, 40, sx, 0, k.alpha, formula);
                    wrong += pixels(*pics.Slot(0)) != pixels(expected);
                }
            EXPECT_EQ(wrong, 0) << (vector ? "vector" : "portable") << " mode " << k.mode << " alpha " << k.alpha;
        }
    }
}

// Spans cut by every edge of the target and by both ends of the source
// picture, and a source without a transparent colour.
TEST(Blend, VectorRowsClipAtEveryEdge) {
    HeadlessHost host;
    Pictures pics(host);
    std::mt19937 random(23);
    paintKeyRows(*pics.Slot(1), 68, {0, 255, 0}, random);
    paint(*pics.Slot(2), 68, 40, [&](int, int) { return Bgr{uint8_t(random()), uint8_t(random()), uint8_t(random())}; });
    pics.Slot(2)->SetTransColor(0, 256, 0);
    auto background = [](int x, int y) { return Bgr{uint8_t(x ^ y), uint8_t(x * 3), 77}; };
    for (bool vector : {false, true}) {
        if (vector && !cpuHasAvx2()) continue;
        pics.scratch.useAvx2 = vector;
        int wrong = 0, draws = 0;
        for (int slot : {1, 2})
            for (int mode : {int(kBlendNormal), int(kBlendAdd), int(kBlendMultiply)})
                for (int x : {-67, -40, -33, -17, -1, 0, 1, 13, 31, 47, 63, 79})
                    for (int y : {-39, -5, 0, 20, 39})
                        for (int sx : {-50, -3, 0, 2, 35}) {
                            const int sy = sx < 0 ? 1 : 0, alpha = x & 1 ? 100 : 0;
                            paint(*pics.Slot(0), 80, 40, background);
                            S_Dib expected;
                            paint(expected, 80, 40, background);
                            pics.SelectTarget(0);
                            DrawPicture(pics, slot, x, y, 67, 40, sx, sy, alpha, mode);
                            referenceBlend(expected, *pics.Slot(slot), x, y, 67, 40, sx, sy, alpha, mode);
                            wrong += pixels(*pics.Slot(0)) != pixels(expected);
                            ++draws;
                        }
        EXPECT_EQ(wrong, 0) << (vector ? "vector" : "portable") << " of " << draws;
    }
}

// Every 24-bit colour as a source pixel over a scrambled destination: the
// vector hue rows give exactly what the portable ones give.
TEST(Blend, VectorHueRowsMatchThePortableOnesForEveryColour) {
    if (!cpuHasAvx2()) GTEST_SKIP() << "no AVX2 on this processor";
    HeadlessHost host;
    Pictures pics(host);
    auto fill = [](S_Dib& dib, uint32_t scramble) {
        dib.CreateBlank(4096, 4096, false);
        for (uint32_t i = 0; i < 4096u * 4096u; ++i) {
            const uint32_t c = i * scramble;
            uint8_t* p = dib.m_pBits + size_t(i) * 3;
            p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16);
        }
    };
    fill(*pics.Slot(1), 1);
    pics.Slot(1)->SetTransColor(-1, 0, 0);
    for (int mode : {int(kBlendHue), int(kBlendSaturation)}) {
        std::vector<uint8_t> results[2];
        for (bool vector : {false, true}) {
            fill(*pics.Slot(0), 0x9E3779B1u);
            pics.scratch.useAvx2 = vector;
            pics.SelectTarget(0);
            DrawPicture(pics, 1, 0, 0, -1, -1, 0, 0, 0, mode);
            results[vector] = pixels(*pics.Slot(0));
        }
        size_t wrong = 0;
        for (size_t i = 0; i < results[0].size(); ++i) wrong += results[0][i] != results[1][i];
        EXPECT_EQ(wrong, 0u) << "mode " << mode;
    }
}

TEST(Blend, FlashPaintsASilhouetteAndIgnoresAlpha) {
    HeadlessHost host;
    Pictures pics(host);
    paint(*pics.Slot(1), 2, 1, [](int x, int) { return x ? Bgr{0, 255, 0} : Bgr{1, 2, 3}; });
    paint(*pics.Slot(0), 3, 1, [](int, int) { return Bgr{9, 9, 9}; });
    pics.SelectTarget(0);
    DrawPicture(pics, 1, 0, 0, -1, -1, 0, 0, 255, kBlendFlash);
    EXPECT_EQ(at(*pics.Slot(0), 0, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(at(*pics.Slot(0), 1, 0), (Bgr{9, 9, 9}));
    SetFlashColor(pics, 10, 20, 30);
    DrawPicture(pics, 1, 2, 0, -1, -1, 0, 0, 0, kBlendFlash);
    EXPECT_EQ(at(*pics.Slot(0), 2, 0), (Bgr{30, 20, 10}));
}

TEST(Blend, RotatedDrawsTurnTheRectangleAndApplyAlphaOnce) {
    HeadlessHost host;
    Pictures pics(host);
    auto colour = [](int x, int y) { return x == 1 && y == 1 ? Bgr{0, 255, 0} : Bgr{uint8_t(40 * x + 10 * y + 5), 7, 200}; };
    for (int mode = kBlendRotNo; mode <= kBlendRfR; ++mode) {
        paint(*pics.Slot(1), 3, 2, colour);
        paint(*pics.Slot(0), 5, 5, [](int, int) { return Bgr{1, 1, 1}; });
        S_Dib turned;
        paint(turned, 3, 2, colour);
        turned.Turn(mode - kBlendRotNo);
        S_Dib expected;
        paint(expected, 5, 5, [](int, int) { return Bgr{1, 1, 1}; });
        referenceNormal(expected, turned, 1, 2, -1, -1, 0, 0, 100);
        pics.SelectTarget(0);
        DrawPicture(pics, 1, 1, 2, -1, -1, 0, 0, 100, mode);
        EXPECT_EQ(pixels(*pics.Slot(0)), pixels(expected)) << mode;
    }
    // A part of the source, with a transparent colour other than green.
    paint(*pics.Slot(1), 4, 4, [](int x, int y) { return x == 3 ? Bgr{0, 255, 0} : Bgr{uint8_t(x), uint8_t(y), 9}; });
    pics.Slot(1)->SetTransColor(9, 1, 2);  // (2, 1, 9) as bytes
    paint(*pics.Slot(0), 4, 4, [](int, int) { return Bgr{0, 0, 0}; });
    pics.SelectTarget(0);
    DrawPicture(pics, 1, 0, 0, 2, 2, 2, 1, 0, kBlendFlipH);
    EXPECT_EQ(at(*pics.Slot(0), 0, 0), (Bgr{0, 254, 0}));  // the green pixel (3, 1) is drawn
    EXPECT_EQ(at(*pics.Slot(0), 1, 0), (Bgr{0, 0, 0}));    // (2, 1) is transparent
    EXPECT_EQ(at(*pics.Slot(0), 0, 1), (Bgr{0, 254, 0}));
    EXPECT_EQ(at(*pics.Slot(0), 1, 1), (Bgr{1, 1, 8}));    // (2, 2)
    EXPECT_EQ(at(*pics.Slot(0), 2, 0), (Bgr{0, 0, 0}));
}

TEST(Blend, MosaicSamplesOneOffsetPixelPerBlock) {
    HeadlessHost host;
    Pictures pics(host);
    auto colour = [](int x, int y) { return Bgr{uint8_t(x), uint8_t(y), 0}; };
    paint(*pics.Slot(1), 8, 8, colour);
    auto mosaic = [&](int offset) {
        paint(*pics.Slot(0), 8, 8, [](int, int) { return Bgr{99, 99, 99}; });
        pics.SelectTarget(0);
        Mosaic(pics, 1, 0, 0, 8, 8, 4, offset);
    };
    mosaic(0);
    EXPECT_EQ(at(*pics.Slot(0), 3, 3), (Bgr{0, 0, 0}));
    EXPECT_EQ(at(*pics.Slot(0), 7, 2), (Bgr{4, 0, 0}));
    EXPECT_EQ(at(*pics.Slot(0), 5, 6), (Bgr{4, 4, 0}));
    mosaic(5);
    EXPECT_EQ(at(*pics.Slot(0), 0, 0), (Bgr{1, 1, 0}));
    EXPECT_EQ(at(*pics.Slot(0), 6, 7), (Bgr{5, 5, 0}));
    mosaic(16);
    EXPECT_EQ(at(*pics.Slot(0), 7, 7), (Bgr{4, 4, 0}));
    // Size below 2 draws nothing; a partial block at the edge is not painted.
    paint(*pics.Slot(0), 8, 8, [](int, int) { return Bgr{99, 99, 99}; });
    Mosaic(pics, 1, 0, 0, 8, 8, 1, 0);
    Mosaic(pics, 1, 0, 0, 7, 3, 4, 0);
    EXPECT_EQ(at(*pics.Slot(0), 0, 0), (Bgr{99, 99, 99}));
    Mosaic(pics, 1, 0, 0, 7, 4, 4, 0);
    EXPECT_EQ(at(*pics.Slot(0), 3, 3), (Bgr{0, 0, 0}));
    EXPECT_EQ(at(*pics.Slot(0), 4, 0), (Bgr{99, 99, 99}));
    // Drawn elsewhere, blocks still sample the source rectangle; samples
    // outside the source are clamped to its edge; blocks clip at the target.
    paint(*pics.Slot(0), 8, 8, [](int, int) { return Bgr{99, 99, 99}; });
    Mosaic(pics, 1, -2, 6, 8, 8, 4, 0, 6, 6);
    EXPECT_EQ(at(*pics.Slot(0), 0, 6), (Bgr{6, 6, 0}));
    EXPECT_EQ(at(*pics.Slot(0), 1, 7), (Bgr{6, 6, 0}));
    EXPECT_EQ(at(*pics.Slot(0), 2, 7), (Bgr{7, 6, 0}));  // x 10 clamped to 7
    EXPECT_EQ(at(*pics.Slot(0), 0, 5), (Bgr{99, 99, 99}));
    // Mode 34 raises the counter on every draw and uses counter / 16 as offset.
    paint(*pics.Slot(0), 8, 8, [](int, int) { return Bgr{99, 99, 99}; });
    for (int i = 0; i < 15; ++i) DrawPicture(pics, 1, 0, 0, 8, 8, 0, 0, 0, kBlendMosaic);
    EXPECT_EQ(at(*pics.Slot(0), 3, 0), (Bgr{0, 0, 0}));
    DrawPicture(pics, 1, 0, 0, 8, 8, 0, 0, 0, kBlendMosaic);
    EXPECT_EQ(pics.m_nMosaicCounter, 16);
    EXPECT_EQ(at(*pics.Slot(0), 3, 0), (Bgr{1, 0, 0}));
    DrawPicture(pics, 1, 0, 0, -1, -1, 0, 0, 0, kBlendMosaic);
    EXPECT_EQ(pics.m_nMosaicCounter, 17);
    EXPECT_EQ(at(*pics.Slot(0), 3, 0), (Bgr{1, 0, 0}));
}

TEST(Blend, MaskedDrawsAndTheTransitionRule) {
    HeadlessHost host;
    Pictures pics(host);
    auto target = [](int, int) { return Bgr{100, 100, 100}; };
    paint(*pics.Slot(1), 4, 1, [](int x, int) { return x == 2 ? Bgr{0, 255, 0} : Bgr{200, 200, 200}; });
    paint(*pics.Slot(2), 3, 1, [](int x, int) { return Bgr{0, 0, uint8_t(x * 127)}; });  // mask: red 0, 127, 254
    paint(*pics.Slot(0), 4, 1, target);
    pics.SelectTarget(0);
    DrawMasked(pics, 1, 2, 0, 0, 0, -1, -1, 0, 0);
    EXPECT_EQ(at(*pics.Slot(0), 0, 0).b, (200 * 255) >> 8);
    EXPECT_EQ(at(*pics.Slot(0), 1, 0).b, (100 * 127 + 200 * 128) >> 8);
    EXPECT_EQ(at(*pics.Slot(0), 2, 0).b, 100);  // transparent
    EXPECT_EQ(at(*pics.Slot(0), 3, 0).b, 100);  // past the mask
    paint(*pics.Slot(0), 4, 1, target);
    DrawMasked(pics, 1, 5, 50, 0, 0, -1, -1, 0, 0);  // empty mask: the constant alpha
    EXPECT_EQ(at(*pics.Slot(0), 3, 0).b, (100 * 50 + 200 * 205) >> 8);

    // Masked copy: red is opacity; the copy rectangle is clamped and kept.
    paint(*pics.Slot(0), 4, 1, target);
    MaskedCopy(pics, 1, 2);
    EXPECT_EQ(at(*pics.Slot(0), 0, 0).b, 100);
    EXPECT_EQ(at(*pics.Slot(0), 1, 0).b, (100 * 128 + 200 * 127) >> 8);
    EXPECT_EQ(at(*pics.Slot(0), 2, 0).b, (100 * 1 + 0 * 254) >> 8);  // transparency not consulted
    EXPECT_EQ(at(*pics.Slot(0), 3, 0).b, 100);
    EXPECT_EQ(pics.Slot(0)->m_rcCopy.w, 4);
    EXPECT_EQ(pics.Slot(0)->m_rcCopy.h, 1);
    // Without a mask: a straight copy that skips the target's transparent
    // colour and stops at the smaller picture.
    paint(*pics.Slot(0), 3, 1, target);
    pics.Slot(0)->SetTransColor(200, 200, 200);
    MaskedCopy(pics, 1, 6);
    EXPECT_EQ(at(*pics.Slot(0), 0, 0).b, 100);
    EXPECT_EQ(at(*pics.Slot(0), 2, 0), (Bgr{0, 255, 0}));

    // Transition: drawn where rule green + level < 255, only inside the rule.
    paint(*pics.Slot(3), 3, 2, [](int x, int y) { return Bgr{0, uint8_t(x * 100 + y), 0}; });
    paint(*pics.Slot(1), 4, 2, [](int x, int y) { return Bgr{uint8_t(x + 10 * y + 1), 50, 50}; });
    paint(*pics.Slot(0), 6, 3, [](int, int) { return Bgr{0, 0, 0}; });
    DrawTransit(pics, 1, 3, 100, 1, 1);
    EXPECT_EQ(at(*pics.Slot(0), 1, 1).b, (1 * 255) >> 8);
    EXPECT_EQ(at(*pics.Slot(0), 2, 2).b, (12 * 255) >> 8);  // 101 + 100 < 255
    EXPECT_EQ(at(*pics.Slot(0), 3, 1).b, 0);               // 200 + 100
    EXPECT_EQ(at(*pics.Slot(0), 4, 1).b, 0);               // beyond the rule
    DrawTransit(pics, 1, 3, -300, -1, 0);
    EXPECT_EQ(at(*pics.Slot(0), 1, 0).b, (3 * 255) >> 8);
}

}  // namespace
}  // namespace qf
