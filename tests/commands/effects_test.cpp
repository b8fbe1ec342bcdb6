// The effect and clip commands from scripts: what they hand to the display,
// the window table and the interpreter.
#include <gtest/gtest.h>

#include "app/game.h"
#include "script/interpreter.h"
#include "tests/support/scratch_game.h"

namespace qf {
namespace {

using test::ScratchGame;

int positionOf(const Engine& e, int id) {
    for (int p = 0; p < e.windows.Count(); ++p)
        if (e.windows.OrderAt(p) == id) return p;
    return -1;
}

int var(Engine& e, const char* name) { return e.vars.valGetInt(e.vars.valFind(name)); }

// Whole frames of the frame loop on the headless clock.
void runFrames(ScratchGame& g, int frames) {
    for (int ran = 0, pass = 0; ran < frames && pass < 100000; ++pass) {
        g.host.pumpEvents();
        if (FrameTick(*g.engine)) ++ran;
        g.host.sleepMs(1);
    }
}

TEST(EffectCommands, ShakeGoesToTheDisplayWithItsDefaults) {
    ScratchGame g({{"main.txt", "#efxShake 10, 6, 2\r\n#vsync\r\n#efxShake 3\r\n#vsync\r\n"}});
    GameInit(*g.engine);
    Engine& e = *g.engine;
    e.interp.step();
    EXPECT_EQ(e.display.shakeFramesLeft, 10);
    EXPECT_EQ(e.display.shakeAmplitude, 6);
    EXPECT_EQ(e.display.shakeInterval, 2);
    e.interp.step();
    EXPECT_EQ(e.display.shakeFramesLeft, 3);
    EXPECT_EQ(e.display.shakeAmplitude, 5);
    EXPECT_EQ(e.display.shakeInterval, 1);
}

// A fade ends the script's frame; with a duration it also holds the script,
// counted in frames even after "#wait" chose milliseconds.
TEST(EffectCommands, FadesEndTheFrameAndWaitInFrames) {
    ScratchGame g({{"main.txt", "#efxWhiteIn\r\nn = 1\r\n#wait 5\r\n#efxFadeOut 8, 1000.9\r\nn = 2\r\n#vsync\r\n"}});
    GameInit(*g.engine);
    Engine& e = *g.engine;
    e.interp.step();
    EXPECT_EQ(e.vars.valFind("n"), -1);
    EXPECT_EQ(positionOf(e, WND_EFX), 0);
    e.interp.step();
    EXPECT_EQ(var(e, "n"), 1);
    EXPECT_EQ(e.timers.waitMode, 1);
    e.timers.set(7, 0);
    e.interp.step();
    EXPECT_EQ(e.timers.get(7), 60u);
    EXPECT_EQ(e.timers.waitMode, 0);
    EXPECT_EQ(var(e, "n"), 1);
}

TEST(EffectCommands, ClearAndClipCommandsMoveTheirWindows) {
    ScratchGame g({{"main.txt",
                    "#efxFlash 100, 1, 255, 0, 0, 0\r\n#vsync\r\n#efxClear\r\n#vsync\r\n"
                    "#clipLoad \"c\", 2, 1\r\n#clipPlay 3, 4, -1, 1\r\n#vsync\r\n"
                    "#clipPause\r\n#vsync\r\n#clipPause\r\n#vsync\r\n#clipStop\r\n#vsync\r\n#clipDel\r\n#vsync\r\n"}});
    GameInit(*g.engine);
    Engine& e = *g.engine;
    e.interp.step();
    EXPECT_EQ(positionOf(e, WND_EFX), 0);
    EXPECT_EQ(e.effects.on, 1);
    e.interp.step();
    EXPECT_EQ(positionOf(e, WND_EFX), e.windows.Count() - 1);
    EXPECT_EQ(e.effects.on, 0);
    EXPECT_EQ(e.effects.flashFramesLeft, 100);

    e.interp.step();
    EXPECT_EQ(positionOf(e, WND_CLP), 0);
    EXPECT_EQ(e.clip.on, 1);
    EXPECT_EQ(e.clip.x, 3);
    EXPECT_EQ(e.clip.y, 4);
    EXPECT_EQ(e.clip.frames.size(), 2u);
    e.interp.step();
    EXPECT_EQ(e.clip.paused, 1);
    e.interp.step();
    EXPECT_EQ(e.clip.paused, 0);
    e.interp.step();
    EXPECT_EQ(e.clip.on, 0);
    EXPECT_EQ(positionOf(e, WND_CLP), e.windows.Count() - 1);
    EXPECT_EQ(e.clip.frames.size(), 2u);
    e.interp.step();
    EXPECT_TRUE(e.clip.frames.empty());
}

// The draw of the effects window moves it to the back when a fade-in ends;
// a fade-out keeps it in front.
TEST(EffectCommands, AFinishedFadeInMovesTheEffectsWindowBack) {
    ScratchGame g({{"main.txt", "#efxFadeIn 128\r\n*w\r\n#vsync\r\n#goto *w\r\n"}});
    GameInit(*g.engine);
    Engine& e = *g.engine;
    runFrames(g, 1);
    EXPECT_EQ(positionOf(e, WND_EFX), 0);
    runFrames(g, 1);
    EXPECT_EQ(positionOf(e, WND_EFX), e.windows.Count() - 1);
    EXPECT_EQ(e.effects.on, 0);

    ScratchGame out({{"main.txt", "#efxFadeOut 128\r\n*w\r\n#vsync\r\n#goto *w\r\n"}});
    GameInit(*out.engine);
    runFrames(out, 5);
    EXPECT_EQ(positionOf(*out.engine, WND_EFX), 0);
    EXPECT_EQ(out.engine->effects.fadeLevel, 0);
}

}  // namespace
}  // namespace qf
