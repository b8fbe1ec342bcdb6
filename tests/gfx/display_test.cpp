#include <gtest/gtest.h>

#include <set>

#include "gfx/display.h"
#include "platform/headless/headless_host.h"

namespace qf {
namespace {

constexpr int kNil = -2147483647 - 1;

TEST(Display, WindowSizeAndBlitRectangleForZoomAndScreen) {
    HeadlessHost host;
    ScriptRandom random;
    Display d(host, random);
    EXPECT_EQ(d.NextPresentRect(), (Rect{0, 0, 512, 448}));
    EXPECT_EQ(d.FramedWindowSize(), (Rect{0, 0, 518, 480}));
    d.SetScreenMode(1);
    EXPECT_TRUE(host.fullscreen());
    EXPECT_EQ(d.NextPresentRect(), (Rect{64, 16, 512, 448}));
    d.SetScreenMode(0);
    EXPECT_FALSE(host.fullscreen());

    d.ScreenCommand(320, 240, 150, 0, false);
    EXPECT_EQ(d.NextPresentRect(), (Rect{0, 0, 480, 360}));
    EXPECT_EQ(d.FramedWindowSize(), (Rect{0, 0, 486, 392}));
    EXPECT_EQ(host.clientSize(), (Rect{0, 0, 480, 360}));
    EXPECT_EQ(d.backBuffer.size(), 320u * 240u * 3u);
    d.SetScreenMode(1);
    EXPECT_EQ(d.NextPresentRect(), (Rect{80, 60, 480, 360}));
    d.SetScreenMode(0);
    EXPECT_EQ(host.clientSize(), (Rect{0, 0, 480, 360}));

    // _NIL keeps the size; only the zoom changes.
    d.ScreenCommand(kNil, kNil, 100, 0, false);
    EXPECT_EQ(d.width, 320);
    EXPECT_EQ(d.height, 240);
    EXPECT_EQ(d.NextPresentRect(), (Rect{0, 0, 320, 240}));
    // An unknown mode changes size and zoom but not the window state.
    d.ScreenCommand(256, 224, 200, 5, true);
    EXPECT_FALSE(host.fullscreen());
    EXPECT_EQ(d.NextPresentRect(), (Rect{0, 0, 512, 448}));
}

TEST(Display, ToggleFlipsItsOwnStateOnly) {
    HeadlessHost host;
    ScriptRandom random;
    Display d(host, random);
    d.SetScreenMode(-1);
    EXPECT_TRUE(host.fullscreen());
    d.SetScreenMode(0);
    EXPECT_FALSE(host.fullscreen());
    d.SetScreenMode(-1);  // the toggle state was 1: it goes to 0, already in force
    EXPECT_FALSE(host.fullscreen());
    d.SetScreenMode(-1);
    EXPECT_TRUE(host.fullscreen());
}

TEST(Display, ShakeDrawsNewOffsetsOnItsIntervalAndEndsAtTheOrigin) {
    HeadlessHost host;
    ScriptRandom random;
    Display d(host, random);
    d.StartShake(10, 6, 2);
    std::vector<Rect> rects;
    for (int frame = 0; frame < 12; ++frame) rects.push_back(d.NextPresentRect());
    // Offsets are drawn with 10, 8, 6, 4, 2 frames left and held on the frames between.
    for (int frame = 0; frame < 9; ++frame) {
        EXPECT_GE(rects[frame].x, -3);
        EXPECT_LE(rects[frame].x, 2);
        EXPECT_GE(rects[frame].y, -3);
        EXPECT_LE(rects[frame].y, 2);
        if (frame % 2 == 1) {
            EXPECT_EQ(rects[frame].x, rects[frame - 1].x) << frame;
            EXPECT_EQ(rects[frame].y, rects[frame - 1].y) << frame;
        }
    }
    EXPECT_EQ(rects[9], (Rect{0, 0, 512, 448}));  // the tenth frame leaves nothing to shake
    EXPECT_EQ(rects[11], (Rect{0, 0, 512, 448}));
    // Zero amplitude and interval take 5 and 1.
    d.StartShake(3, 0, 0);
    EXPECT_EQ(d.shakeAmplitude, 5);
    EXPECT_EQ(d.shakeInterval, 1);
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < 200; ++i) {
        d.StartShake(1, 0, 0);
        d.shakeFramesLeft = 2;
        Rect r = d.NextPresentRect();
        seen.insert({r.x, r.y});
        EXPECT_GE(r.x, -2);
        EXPECT_LE(r.x, 2);
    }
    EXPECT_GT(seen.size(), 5u);
}

}  // namespace
}  // namespace qf
