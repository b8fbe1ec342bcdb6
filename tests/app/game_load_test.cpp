#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/engine.h"
#include "app/game.h"
#include "app/tools.h"
#include "res/file_manager.h"
#include "res/game_root.h"
#include "tests/support/scratch_game.h"

namespace qf {
namespace {

namespace fs = std::filesystem;
using test::ScratchGame;

bool waitUntilPackerEnds(Engine& e) {
    for (int i = 0; i < 1000 && e.packer.running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !e.packer.running();
}

TEST(GameLoading, ALooseGameWithoutArchiveIsPackedIntoRomAr1ASecondLater) {
    ScratchGame g({{"main.txt", "a = 1\r\n"}, {"pic.bmp", std::string(100, 'x')}, {"_private.txt", "no"}});
    GameInit(*g.engine);
    EXPECT_EQ(g.engine->files.m_nRomMode, 1);
    EXPECT_TRUE(g.engine->packer.running());
    // The delay runs on the host's clock: wall time alone starts nothing.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    g.engine->packer.poll();
    g.host.sleepMs(999);
    g.engine->packer.poll();
    EXPECT_FALSE(fs::exists(g.dir / "rom.ar1"));  // still waiting out its delay
    g.host.sleepMs(1);
    g.engine->packer.poll();
    ASSERT_TRUE(waitUntilPackerEnds(*g.engine));
    EXPECT_TRUE(g.engine->packer.succeeded());

    FileManager check(g.host, g.engine->errorLog);
    check.SetRoot(*GameRoot::open(g.dir.path()));
    ASSERT_TRUE(check.RomOpen("rom.ar1"));
    EXPECT_EQ(check.m_bRomOk, 1);
    EXPECT_GE(check.RomFind("main.txt"), 0);
    EXPECT_GE(check.RomFind("pic.bmp"), 0);
    EXPECT_LT(check.RomFind("_private.txt"), 0);
    GameClose(*g.engine);
    EXPECT_FALSE(fs::exists(g.dir / "_error.txt"));
}

TEST(GameLoading, ClosingDuringThePackersDelayWritesNoArchive) {
    ScratchGame g({{"main.txt", "a = 1\r\n"}});
    GameInit(*g.engine);
    ASSERT_TRUE(g.engine->packer.running());
    GameClose(*g.engine);
    EXPECT_FALSE(g.engine->packer.running());
    EXPECT_FALSE(fs::exists(g.dir / "rom.ar1"));
}

TEST(GameLoading, NoPackerBesideAnArchiveOrForAScriptNamedOnTheCommandLine) {
    {
        ScratchGame g({{"main.txt", "a = 1\r\n"}, {"old.ar1", "not really an archive"}});
        GameInit(*g.engine);
        EXPECT_EQ(g.engine->files.m_nRomMode, 1);
        EXPECT_FALSE(g.engine->packer.running());
        GameClose(*g.engine);
    }
    {
        ScratchGame g({{"start.txt", "a = 1\r\n"}});
        g.engine->game.scriptName = "start.txt";
        GameInit(*g.engine);
        EXPECT_EQ(g.engine->files.m_nRomMode, 1);
        EXPECT_FALSE(g.engine->packer.running());
        GameClose(*g.engine);
    }
}

TEST(GameLoading, TheErrorLogIsWrittenAtCloseOnlyWhenItHasLines) {
    {
        ScratchGame g({{"start.txt", "a = 1\r\n"}, {"_error.txt", "from an earlier run"}});
        g.engine->game.scriptName = "start.txt";
        GameInit(*g.engine);
        GameClose(*g.engine);
        EXPECT_EQ(g.file("_error.txt"), "from an earlier run");
    }
    {
        ScratchGame g({{"start.txt", "#include \"gone.txt\"\r\na = 1\r\n"}, {"_error.txt", "from an earlier run"}});
        g.engine->game.scriptName = "start.txt";
        GameInit(*g.engine);
        GameClose(*g.engine);
        std::string log = g.file("_error.txt");
        EXPECT_NE(log.find("gone.txt\r\n"), std::string::npos) << log;
        EXPECT_EQ(log.find("earlier"), std::string::npos);
    }
}

}  // namespace
}  // namespace qf

namespace qf {
namespace {

TEST(PackTool, TheArchiveHeaderCarriesTheGameInformationOfMainTxt) {
    test::ScratchDir dir;
    test::writeFile(dir / "game/main.txt", "#infoInput \"My Game\", \"Author\", \"1.0\"\r\n#infoTag \"tag text\"\r\na = 1\r\n");
    const std::string archive = dir / "out.ar1";
    ASSERT_EQ(runTool({"pack", dir / "game", archive}), 0);
    std::string bytes = test::readFile(archive);
    ASSERT_GE(bytes.size(), 256u);
    EXPECT_EQ(bytes.substr(8, 8), std::string("My Game\0", 8));
    EXPECT_EQ(bytes.substr(72, 7), std::string("Author\0", 7));
    EXPECT_EQ(bytes.substr(96, 4), std::string("1.0\0", 4));
    EXPECT_EQ(bytes.substr(128, 9), std::string("tag text\0", 9));

    // Without a main.txt the header carries no information.
    test::writeFile(dir / "plain/data.bin", "x");
    ASSERT_EQ(runTool({"pack", dir / "plain", dir / "plain.ar1"}), 0);
    EXPECT_EQ(test::readFile(dir / "plain.ar1").substr(8, 248), std::string(248, '\0'));
}

}  // namespace
}  // namespace qf
