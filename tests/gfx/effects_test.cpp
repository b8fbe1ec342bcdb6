#include "gfx/effects.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx/pictures.h"
#include "platform/headless/headless_host.h"
#include "tests/gfx/picture_helpers.h"

namespace qf {
namespace {

using test::at;
using test::Bgr;

// A screen of w × h whose back buffer the test repaints before every frame,
// as the frame loop's clear does.
struct Screen {
    HeadlessHost host;
    Pictures pics{host};
    std::vector<uint8_t> back;
    ScreenEffects fx;

    Screen(int w = 256, int h = 224) : back(size_t(w) * size_t(h) * 3) {
        pics.CreateScreen(back.data(), w, h);
        pics.SelectTarget(Pictures::kBackBufferSlot);
    }
    S_Dib& backBuffer() { return *pics.Slot(Pictures::kBackBufferSlot); }
    void clear(Bgr c) { backBuffer().Fill(c.r, c.g, c.b); }
    // One frame over a back buffer of colour c; the pixel at (x, y) afterwards.
    Bgr frame(Bgr c, int x = 100, int y = 100) {
        clear(c);
        lastSwitchedOff = DrawEffects(fx, pics);
        return at(backBuffer(), x, y);
    }
    bool lastSwitchedOff = false;
};

uint8_t normal(int d, int s, int a) { return uint8_t((d * a + s * (255 - a)) >> 8); }

TEST(Effects, FadeInFromBlackStepsItsLevelAndSwitchesItselfOff) {
    Screen s;
    const Bgr scene{40, 200, 255};
    StartFade(s.fx, s.pics, FadeKind::InBlack, 16);
    for (int f = 0; f < 16; ++f) {
        const int a = 16 * f;
        EXPECT_EQ(s.frame(scene), (Bgr{normal(40, 0, a), normal(200, 0, a), normal(255, 0, a)})) << "frame " << f;
        EXPECT_EQ(s.lastSwitchedOff, f == 15);
    }
    EXPECT_EQ(s.fx.fadeLevel, 255);
    EXPECT_EQ(s.fx.on, 0);
    EXPECT_EQ(s.fx.fadeActive, 0);
    EXPECT_EQ(s.frame(scene), scene);
}

TEST(Effects, FadeOutHoldsTheColourAndSpeedBelowOneIsEight) {
    Screen s;
    const Bgr scene{10, 20, 30};
    StartFade(s.fx, s.pics, FadeKind::OutWhite, 0);
    EXPECT_EQ(s.fx.fadeSpeed, 8);
    // Alpha 255 draws nothing at all.
    EXPECT_EQ(s.frame(scene), scene);
    for (int level = 247; level > 0; level -= 8)
        EXPECT_EQ(s.frame(scene).r, normal(30, 255, level)) << level;
    // Level 0 from now on: white drawn opaque lands as 254, and the effects stay on.
    for (int f = 0; f < 3; ++f) EXPECT_EQ(s.frame(scene), (Bgr{254, 254, 254}));
    EXPECT_EQ(s.fx.on, 1);
    StartFade(s.fx, s.pics, FadeKind::OutBlack, -5);
    EXPECT_EQ(s.fx.fadeSpeed, 8);
    EXPECT_EQ(s.frame(scene), scene);
    EXPECT_EQ(s.frame(scene).g, normal(20, 0, 247));
    StartFade(s.fx, s.pics, FadeKind::InWhite, 100);
    EXPECT_EQ(s.frame(scene), (Bgr{254, 254, 254}));
    EXPECT_EQ(s.frame(scene).b, normal(10, 255, 100));
    EXPECT_EQ(s.frame(scene).b, normal(10, 255, 200));
    EXPECT_EQ(s.frame(scene), scene);  // 300 → 255: off in the frame before
}

TEST(Effects, FlashBlinksByItsPeriodAndAPeriodBelowOneIsOne) {
    Screen s;
    const Bgr scene{0, 0, 0}, white{254, 254, 254};
    StartFlash(s.fx, s.pics, 6, 2, 255, 255, 255, 0);
    // Frames that start with 6, 5, 4, 3, 2, 1 frames left.
    const bool shown[] = {true, true, false, false, true, true};
    for (bool on : shown) EXPECT_EQ(s.frame(scene) == white, on);
    EXPECT_EQ(s.fx.flashFramesLeft, 0);
    EXPECT_EQ(s.frame(scene), scene);
    EXPECT_EQ(s.fx.on, 1);  // a flash that ends leaves the window on

    StartFlash(s.fx, s.pics, 3, 0, 0, 0, 255, 128);
    EXPECT_EQ(s.fx.flashPeriod, 1);
    EXPECT_EQ(s.frame(scene), (Bgr{normal(0, 255, 128), 0, 0}));
    EXPECT_EQ(s.frame(scene), scene);
    EXPECT_EQ(s.frame(scene).b, normal(0, 255, 128));
    StartFlash(s.fx, s.pics, -4, -9, 255, 0, 0, 0);
    EXPECT_EQ(s.fx.flashFramesLeft, 1);
    EXPECT_EQ(s.fx.flashPeriod, 1);
}

// Cell (r, c) still shows the old screen for r + c − 1 frames; the dissolve
// ends on the first frame that draws no cell.
TEST(Effects, DissolveUncoversTheNewScreenDiagonally) {
    Screen s;
    const Bgr old{255, 255, 128}, fresh{0, 0, 0};
    s.clear(old);
    StartDissolve(s.fx, s.pics);
    ASSERT_EQ(s.fx.dissolveRows, 14);
    ASSERT_EQ(s.fx.dissolveColumns, 16);
    // The copy into the work screen is the "#picCopy" blend, alpha 0 at start.
    const Bgr copied{normal(0, 255, 0), normal(0, 255, 0), normal(0, 128, 0)};
    EXPECT_EQ(at(*s.pics.Slot(Pictures::kWorkScreenSlot), 0, 0), copied);
    const Bgr shown{normal(0, copied.b, 0), normal(0, copied.g, 0), normal(0, copied.r, 0)};
    for (int f = 1; f <= 28; ++f) {
        s.clear(fresh);
        DrawEffects(s.fx, s.pics);
        for (int r = 0; r < 14; ++r)
            for (int c = 0; c < 16; ++c) {
                const Bgr want = r + c - 1 >= f ? shown : fresh;
                ASSERT_EQ(at(s.backBuffer(), 16 * c + 15, 16 * r + 15), want) << f << " " << r << " " << c;
                ASSERT_EQ(at(s.backBuffer(), 16 * c, 16 * r), want) << f << " " << r << " " << c;
            }
        EXPECT_EQ(s.fx.dissolveActive, f < 28 ? 1 : 0) << f;
    }

    // The "#picCopy" alpha also weighs every cell drawn.
    s.pics.m_nPicCopyAlpha = 128;
    s.clear(Bgr{0, 0, 200});
    const uint8_t before = at(*s.pics.Slot(Pictures::kWorkScreenSlot), 5, 5).r;
    StartDissolve(s.fx, s.pics);
    const uint8_t inWork = normal(before, 200, 128);
    EXPECT_EQ(at(*s.pics.Slot(Pictures::kWorkScreenSlot), 5, 5).r, inWork);
    EXPECT_EQ(s.frame(Bgr{0, 0, 10}, 255, 223).r, normal(10, inWork, 128));
}

TEST(Effects, DissolveCoversScreensThatAreNotMultiplesOfTheCell) {
    Screen s(100, 40);
    s.clear(Bgr{9, 9, 9});
    StartDissolve(s.fx, s.pics);
    EXPECT_EQ(s.fx.dissolveRows, 3);
    EXPECT_EQ(s.fx.dissolveColumns, 7);
    // Cell (2, 6) at the bottom-right corner, cut to 4 × 8 pixels, lasts 7 frames.
    for (int f = 1; f <= 7; ++f) EXPECT_NE(s.frame(Bgr{}, 99, 39), Bgr{}) << f;
    EXPECT_EQ(s.fx.dissolveActive, 1);
    EXPECT_EQ(s.frame(Bgr{}, 99, 39), Bgr{});
    EXPECT_EQ(s.fx.dissolveActive, 0);
}

// Dissolve, then fade, then flash, all in one frame; switching the effects
// off stops the fade but keeps the flash count and the dissolve for later.
TEST(Effects, OrderAndWhatSwitchingOffKeeps) {
    Screen s;
    const Bgr scene{30, 0, 0};
    s.clear(Bgr{100, 0, 0});
    StartDissolve(s.fx, s.pics);  // the work screen holds the old screen …
    StartFade(s.fx, s.pics, FadeKind::InBlack, 64);  // … until the fade fills it black
    StartFlash(s.fx, s.pics, 3, 1, 0, 0, 200, 64);    // … and the flash fills it blue
    const uint8_t blue = 200;
    // Frame 1 at the last cell: dissolve (alpha 0), fade (level 0), flash (3 left: shown).
    const uint8_t dissolved = normal(30, blue, 0);
    const uint8_t faded = normal(dissolved, blue, 0);
    EXPECT_EQ(s.frame(scene, 255, 223).b, normal(faded, blue, 64));
    // Frame 2 at cell (0, 0), whose dissolve is over: fade at level 64, no flash (2 left).
    EXPECT_EQ(s.frame(scene, 0, 0).b, normal(30, blue, 64));

    StopEffects(s.fx);
    EXPECT_EQ(s.frame(scene, 255, 223), scene);
    EXPECT_EQ(s.fx.flashFramesLeft, 1);
    EXPECT_EQ(s.fx.dissolveActive, 1);
    EXPECT_EQ(s.fx.fadeActive, 0);
    // A new flash switches the effects on: the dissolve carries on where it stopped.
    StartFlash(s.fx, s.pics, 1, 1, 0, 0, 0, 255);
    const int counter = s.fx.dissolveCounters.back();
    s.frame(Bgr{});
    EXPECT_EQ(s.fx.dissolveCounters.back(), counter - 1);
}

}  // namespace
}  // namespace qf
