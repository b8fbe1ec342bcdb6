#include <gtest/gtest.h>

#include <filesystem>

#include "app/engine.h"
#include "app/game.h"
#include "platform/sjis.h"
#include "tests/support/scratch_game.h"

namespace qf {
namespace {

namespace fs = std::filesystem;

// The story scene the demo opens with: K (the A button) advances it until
// the script has gone on to the walking part.
void passStoryScene(test::ScratchGame& g) {
    Engine& e = *g.engine;
    for (int frame = 0, pass = 0; frame < 600 && pass < 1000000; ++pass) {
        const bool over = frame > 0 && !e.messages.active && e.vars.valFind("x") >= 0;
        g.host.setKey('K', !over && frame % 4 == 0);
        if (over) return;
        g.host.pumpEvents();
        if (FrameTick(e)) ++frame;
        g.host.sleepMs(1);
    }
}

// The demo copied into a scratch game directory and started.
struct DemoRun {
    test::ScratchGame g{{}};
    Engine& e = *g.engine;

    DemoRun() {
        for (const auto& entry : fs::directory_iterator(std::string(QF_SOURCE_DIR) + "/games/demo"))
            if (entry.is_regular_file()) fs::copy_file(entry.path(), g.dir / entry.path().filename().string());
        GameInit(e);
    }
    // Runs `frames` frames (the pacer may hold some passes back).
    void run(int frames) {
        for (int ran = 0, pass = 0; ran < frames && pass < 100000; ++pass) {
            g.host.pumpEvents();
            if (FrameTick(e)) ++ran;
            g.host.sleepMs(1);
        }
    }
    int var(const char* name) const { return e.vars.valGetInt(e.vars.valFind(name)); }
    // Past the story scene and two frames into the town.
    void enterTown() {
        passStoryScene(g);
        run(2);
    }
    // A key pressed for one frame and released for one.
    void tap(int key) {
        g.host.setKey(key, true);
        run(1);
        g.host.setKey(key, false);
        run(1);
    }
};

// The scene: a named speaker with a voice, a key wait on the first page, the
// log on the right button, a second page with a heart that the next "#msg"
// continues in the same window, one log entry for it.
TEST(DemoGame, TheStorySceneWaitsForKeysAndShowsTheLogOnTheRightButton) {
    DemoRun demo;
    test::ScratchGame& g = demo.g;
    Engine& e = demo.e;
    auto run = [&](int frames) { demo.run(frames); };
    auto tap = [&](int key) { demo.tap(key); };
    run(2);
    EXPECT_EQ(e.windows.FocusWindow(), WND_MSG);
    EXPECT_EQ(e.messages.name, sj("案内人"));
    EXPECT_EQ(e.messages.voiceKind, kVoiceWave);
    EXPECT_FALSE(e.audio.effects.slots[MessageWindow::kVoiceSlot].empty());
    run(60);
    EXPECT_EQ(e.messages.state, kMessageKeyWait);
    EXPECT_EQ(e.messages.rubyCount, 1);
    EXPECT_NE(e.messages.output.find(sj("1番目")), std::string::npos);

    tap(vk::RBUTTON);
    EXPECT_EQ(e.windows.FocusWindow(), WND_LOG);
    tap('K');
    EXPECT_EQ(e.windows.FocusWindow(), WND_MSG);
    EXPECT_EQ(e.messages.state, kMessageKeyWait);

    tap('K');  // the rest of the first page at once
    EXPECT_EQ(e.messages.pageBreakPending, 1);
    tap('K');
    run(2);
    EXPECT_EQ(e.messages.output, sj("ページが変わりました。村の秘密は") + "$");
    tap('K');  // the first text ends; the next "#msg" continues it
    run(10);
    EXPECT_NE(e.messages.output.find(sj("今度お話し")), std::string::npos);
    EXPECT_EQ(e.messages.output.find(sj("ページ")), 0u);
    EXPECT_EQ(e.messageLog.count, 0);
    passStoryScene(g);
    ASSERT_EQ(e.messageLog.count, 1);
    EXPECT_EQ(e.messageLog.entries[0], e.messages.output);
    GameClose(e);
}

// The bundled demo, played with the arrow keys and with a controller.
TEST(DemoGame, TheHeroWalksWithTheArrowKeysAndTheController) {
    DemoRun demo;
    test::ScratchGame& g = demo.g;
    Engine& e = demo.e;
    auto run = [&](int frames) { demo.run(frames); };
    demo.enterTown();
    const int x0 = demo.var("x"), y0 = demo.var("y");
    g.host.setKey(vk::RIGHT, true);
    run(10);
    g.host.setKey(vk::RIGHT, false);
    EXPECT_EQ(demo.var("x"), x0 + 20);
    EXPECT_EQ(demo.var("y"), y0);
    EXPECT_EQ(e.sprites.m_spr[0].m_fX, static_cast<float>(demo.var("x")));

    JoystickState up;
    up.present = true;
    up.y = 0;
    g.host.setJoystick(up);
    run(5);
    EXPECT_EQ(demo.var("y"), y0 - 10);
    // The hero stays on the screen.
    run(200);
    EXPECT_EQ(demo.var("y"), 40);
    GameClose(e);
}

// The town scrolls after the hero once he leaves the middle of the screen,
// the hero's screen place is his town place less the scroll, and inside the
// house the roof opens while the rest of the town darkens.
TEST(DemoGame, TheTownFollowsTheHeroAndTheRoofOpensOverHim) {
    DemoRun demo;
    test::ScratchGame& g = demo.g;
    Engine& e = demo.e;
    auto run = [&](int frames) { demo.run(frames); };
    demo.enterTown();
    ASSERT_EQ(demo.var("_mapW"), 32);
    EXPECT_EQ(demo.var("_mapScrX"), 0);
    EXPECT_EQ(demo.var("_mapScrY"), 0);
    // Right to x 248 (the door's column), then down into the house.
    g.host.setKey(vk::RIGHT, true);
    run(60);
    g.host.setKey(vk::RIGHT, false);
    g.host.setKey(vk::DOWN, true);
    run(40);
    g.host.setKey(vk::DOWN, false);
    run(2);
    EXPECT_EQ(demo.var("hx"), 248);
    EXPECT_EQ(demo.var("hy"), 200);
    EXPECT_EQ(demo.var("_mapScrX"), 248 - 160);
    EXPECT_EQ(demo.var("_mapScrY"), 200 - 136);
    EXPECT_EQ(demo.var("x"), 160);
    EXPECT_EQ(e.sprites.m_spr[0].m_fX, 160.0f);
    EXPECT_EQ(e.maps.upper.m_nScrX, e.maps.Current().m_nScrX);
    const S_Map2& roof = e.maps.upper;
    ASSERT_TRUE(roof.visible);
    // The view's centre is under the roof: the roof cell over the hero is
    // open and an empty cell outside turned dark.
    EXPECT_EQ(roof.GetCell(demo.var("_mapX"), demo.var("_mapY")), 14);
    EXPECT_EQ(roof.BufferCell(roof.m_nMapDrawH / 2 + 1, roof.m_nMapDrawW / 2 + 1), 0);
    EXPECT_EQ(roof.BufferCell(1, 1), 23);
    // Back out of the door: the roof closes again.
    g.host.setKey(vk::DOWN, true);
    run(50);
    g.host.setKey(vk::DOWN, false);
    run(2);
    EXPECT_EQ(roof.GetCell(demo.var("_mapX"), demo.var("_mapY")), 0);
    EXPECT_NE(roof.BufferCell(1, 1), 23);
    GameClose(e);
}

// The menu on the space bar: a choice, then saving and loading through the
// record window, and the hero's name through the name window. The demo moves
// with the arrow keys (#keyConfigA); A and B stay on K and J.
TEST(DemoGame, TheMenuSavesLoadsAndNamesTheHero) {
    DemoRun demo;
    test::ScratchGame& g = demo.g;
    Engine& e = demo.e;
    auto run = [&](int frames) { demo.run(frames); };
    auto tap = [&](int key) { demo.tap(key); };
    demo.enterTown();
    const int x0 = demo.var("x");
    tap(vk::SPACE);
    tap('K');  // "セーブ", then record 0
    EXPECT_EQ(e.windows.FocusWindow(), WND_REC);
    tap('K');
    EXPECT_EQ(demo.var("_stat"), 0);
    EXPECT_TRUE(fs::exists(g.dir / "00.sav"));
    g.host.setKey(vk::RIGHT, true);
    run(5);
    g.host.setKey(vk::RIGHT, false);
    EXPECT_EQ(demo.var("x"), x0 + 10);
    tap(vk::SPACE);
    tap(vk::DOWN);  // "ロード", then record 0
    tap('K');
    EXPECT_EQ(e.recordWindow.mode, kRecLoad);
    tap('K');
    EXPECT_EQ(demo.var("x"), x0);
    tap(vk::SPACE);
    tap(vk::DOWN);
    tap(vk::DOWN);
    tap('K');  // "なまえ": type "ア" over the default name, then decide
    EXPECT_EQ(e.windows.FocusWindow(), WND_NAME);
    tap('K');
    tap(vk::UP);
    tap(vk::LEFT);
    tap('K');
    EXPECT_EQ(e.windows.FocusWindow(), WND_DRV);
    EXPECT_STREQ(e.vars.m_var[e.vars.valFind("hero")].m_value.raw(), "\x83\x41");
    GameClose(e);
}

}  // namespace
}  // namespace qf
