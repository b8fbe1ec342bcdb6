#include <gtest/gtest.h>

#include <filesystem>

#include "app/engine.h"
#include "app/game.h"
#include "tests/support/scratch_game.h"

namespace qf {
namespace {

namespace fs = std::filesystem;

// The bundled demo, played with the arrow keys and with a controller.
TEST(DemoGame, TheHeroWalksWithTheArrowKeysAndTheController) {
    test::ScratchGame g({});
    for (const auto& entry : fs::directory_iterator(std::string(QF_SOURCE_DIR) + "/games/demo"))
        if (entry.is_regular_file()) fs::copy_file(entry.path(), g.dir / entry.path().filename().string());
    Engine& e = *g.engine;
    GameInit(e);
    auto run = [&](int frames) {
        for (int ran = 0, pass = 0; ran < frames && pass < 100000; ++pass) {
            g.host.pumpEvents();
            if (FrameTick(e)) ++ran;
            g.host.sleepMs(1);
        }
    };
    auto var = [&](const char* name) { return e.vars.valGetInt(e.vars.valFind(name)); };
    run(2);
    const int x0 = var("x"), y0 = var("y");
    g.host.setKey(vk::RIGHT, true);
    run(10);
    g.host.setKey(vk::RIGHT, false);
    EXPECT_EQ(var("x"), x0 + 20);
    EXPECT_EQ(var("y"), y0);
    EXPECT_EQ(e.sprites.m_spr[0].m_fX, static_cast<float>(var("x")));

    JoystickState up;
    up.present = true;
    up.y = 0;
    g.host.setJoystick(up);
    run(5);
    EXPECT_EQ(var("y"), y0 - 10);
    // The hero stays on the screen.
    run(200);
    EXPECT_EQ(var("y"), 40);
    GameClose(e);
}

}  // namespace
}  // namespace qf
