#include <gtest/gtest.h>

#include <vector>

#include "app/engine.h"
#include "gfx/gauges.h"
#include "gfx/sprites.h"
#include "tests/support/scratch_game.h"

namespace qf {
namespace {

struct SpriteBench : test::ScratchGame {
    SpriteBench() : ScratchGame({}) {
        engine->pictures.MakeSlot(0, 16, 8);
        engine->pictures.SelectTarget(0);
        engine->pictures.FillTarget(255, 255, 255);
        engine->pictures.SelectTarget(Pictures::kBackBufferSlot);
    }
    Engine& e() { return *engine; }
    // One frame: a black screen, then the sprite's step.
    void frame(int n) {
        std::fill(e().display.backBuffer.begin(), e().display.backBuffer.end(), 0);
        e().pictures.SelectTarget(Pictures::kBackBufferSlot);
        DrawSprite(e().sprites, e().pictures, n);
    }
    int red(int x, int y) { return e().display.backBuffer[(static_cast<size_t>(y) * e().display.width + x) * 3 + 2]; }
    S_Sprite& set(int n, int x, int y) {
        S_Sprite& s = e().sprites.m_spr[n];
        s.m_nView = 1;
        s.m_nPic = 0;
        s.m_nW = s.m_nH = 8;
        s.m_fX = static_cast<float>(x);
        s.m_fY = static_cast<float>(y);
        return s;
    }
};

TEST(SpriteStep, BlinkTwelveIsDrawnAndHiddenOnTheDocumentedFrames) {
    SpriteBench b;
    b.set(0, 10, 10).m_nBlink = 12;
    std::vector<int> shown;
    for (int i = 0; i < 14; ++i) {
        b.frame(0);
        shown.push_back(b.red(12, 12) > 200);
    }
    // Remaining counts 11..0 after the decrement, then no blinking.
    std::vector<int> want = {1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1};
    EXPECT_EQ(shown, want);
}

TEST(SpriteStep, ThreeFrameAnimationWithPeriodTwoHidesAtTheEnd) {
    SpriteBench b;
    Engine& e = b.e();
    // Frame records 10..12 draw columns 0, 4 and 8 of the picture at width 4.
    for (int f = 0; f < 3; ++f) {
        S_Sprite& r = b.set(10 + f, 0, 0);
        r.m_nView = 0;
        r.m_nW = 4;
        r.m_nSrcX = 0;
    }
    S_Sprite& s = b.set(0, 20, 20);
    e.sprites.SetAnimeList(0, 10, 3);
    s.m_nAnimeFrames = 3;
    s.m_nAnimeState = 1;
    s.m_nAnimeCountdown = 0;
    s.m_nPeriod = 2;
    s.m_nAnimeLoop = 0;
    std::vector<int> current;
    for (int i = 0; i < 6; ++i) {
        current.push_back(s.m_nView > 0 ? s.m_nAnimeCurrent : -1);
        b.frame(0);
    }
    // Frame 0 for one frame, frames 1 and 2 for two frames each, then hidden.
    std::vector<int> want = {0, 1, 1, 2, 2, -1};
    EXPECT_EQ(current, want);
    EXPECT_EQ(s.m_nView, 0);
}

TEST(SpriteStep, MosaicOfSizeOneDrawsNothing) {
    SpriteBench b;
    S_Sprite& s = b.set(0, 10, 10);
    s.m_nBlend = 34;
    s.m_nMosaicSize = 1;
    b.frame(0);
    EXPECT_EQ(b.red(12, 12), 0);
    s.m_nMosaicSize = 2;
    b.frame(0);
    EXPECT_GT(b.red(12, 12), 200);
}

TEST(Gauges, AGaugeOfWidthHundredAtOneThirdHasABarOf33Pixels) {
    Gauge g;
    g.x = 10;
    g.y = 20;
    g.w = 100;
    g.h = 6;
    g.max = 3;
    g.cur = 1;
    g.frame = 1;
    g.view = kGaugeBar;
    GaugeGeometry geo = gaugeGeometry(g);
    ASSERT_TRUE(geo.bar);
    EXPECT_EQ(geo.fill.w, 33);
    EXPECT_EQ(geo.fill.x, 11);
    EXPECT_EQ(geo.fill.y, 21);
    ASSERT_TRUE(geo.frameBox);
    EXPECT_EQ(geo.box.w, 102);
    EXPECT_EQ(geo.box.h, 8);
    g.dir = 1;
    geo = gaugeGeometry(g);
    EXPECT_EQ(geo.fill.h, 2);
    EXPECT_EQ(geo.fill.y, 21 + 4);
    g.max = 0;  // never divides by zero
    geo = gaugeGeometry(g);
    EXPECT_EQ(geo.fill.w * geo.fill.h, 0);
}

}  // namespace
}  // namespace qf
