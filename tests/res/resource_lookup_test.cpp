#include <gtest/gtest.h>

#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "res/error_log.h"
#include "res/file_manager.h"
#include "res/rom1.h"
#include "res_test_util.h"

namespace qf {
namespace {

using test::Entries;
using test::openRoot;
using test::readFile;
using test::TempDir;
using test::writeFile;

std::string readResource(const ResourceAccess& access, const std::string& name, int32_t size = -1, int32_t offset = 0) {
    int32_t n = resSizeGet(access, name);
    if (n <= 0) return "<" + std::to_string(n) + ">";
    std::vector<uint8_t> buffer(static_cast<size_t>(n) + 1);
    int32_t got = resRead(access, name, buffer, size, offset);
    if (got <= 0) return "<read " + std::to_string(got) + ">";
    return std::string(buffer.begin(), buffer.begin() + got);
}

TEST(ResourceLookup, DiskAndArchiveModes) {
    TempDir dir;
    Entries entries = {{"main.txt", "from archive"}, {"bgm\\Title.ogg", "0123456789ABCDEF"}, {"empty", ""}};
    writeFile(dir / "game/game.ar1", test::layout1Archive(entries));
    writeFile(dir / "game/main.txt", "from disk");
    writeFile(dir / "game/Disk Only.txt", "disk");
    writeFile(dir / "game/BGM/title.OGG", "loose");
    writeFile(dir / "outside.txt", "outside");

    HeadlessHost host;
    ErrorLog log;
    FileManager manager(host, log);
    ResourceAccess access;
    std::vector<uint8_t> buffer(64);

    // No manager registered: there is no game directory to read from.
    EXPECT_EQ(resSizeGet(access, "main.txt"), -1);
    EXPECT_EQ(resRead(access, "main.txt", buffer), 0);
    // A manager without a root finds nothing either.
    resManagerSet(access, &manager);
    EXPECT_EQ(resSizeGet(access, "main.txt"), -1);
    EXPECT_FALSE(manager.RomOpen("game.ar1"));
    EXPECT_EQ(manager.m_nRomMode, 2);
    EXPECT_EQ(manager.m_bRomOk, 0);
    log.clear();

    FileManager game(host, log);
    game.SetRoot(openRoot(dir / "game"));
    EXPECT_EQ(game.Root().resolve("bgm\\title.ogg"), "BGM/title.OGG");
    resManagerSet(access, &game);
    // Loose files (no archive open yet): the disk, beneath the game directory only.
    EXPECT_EQ(readResource(access, "main.txt"), "from disk");
    EXPECT_EQ(readResource(access, "bgm\\title.ogg"), "loose");  // any case, backslash
    EXPECT_EQ(readResource(access, "main.txt", 4, 5), "disk");
    EXPECT_EQ(resSizeGet(access, "nothing"), -1);
    EXPECT_EQ(resSizeGet(access, "..\\outside.txt"), -1);
    EXPECT_EQ(resSizeGet(access, dir / "outside.txt"), -1);
    EXPECT_EQ(resRead(access, "..\\outside.txt", buffer), 0);
    EXPECT_EQ(resRead(access, "nothing", buffer), 0);
    EXPECT_EQ(resRead(access, "empty", buffer), 0);  // exists only in the archive

    ASSERT_TRUE(game.RomOpen("GAME.AR1"));
    EXPECT_EQ(game.m_nRomMode, 2);
    EXPECT_EQ(game.m_nRomType, 1);
    EXPECT_EQ(game.m_bRomOk, 1);
    EXPECT_EQ(readResource(access, "main.txt"), "from archive");
    EXPECT_EQ(readResource(access, "bgm\\Title.ogg", 10, 100), "0123456789ABCDEF");  // whole entry, from its start
    EXPECT_EQ(readResource(access, "bgm\\title.ogg"), "<0>");
    EXPECT_EQ(readResource(access, "bgm/Title.ogg"), "<0>");
    EXPECT_EQ(readResource(access, "Disk Only.txt"), "<0>");
    EXPECT_EQ(resSizeGet(access, "empty"), 0);
    EXPECT_EQ(resRead(access, "empty", buffer), -1);
    EXPECT_EQ(resRead(access, "nothing", buffer), 0);
    EXPECT_EQ(game.RomFind("bgm\\Title.ogg"), 1);
    EXPECT_EQ(game.RomFind("x"), -1);

    // A buffer smaller than the entry receives no more than it holds.
    std::vector<uint8_t> small(6, 0xAA);
    EXPECT_EQ(resRead(access, "bgm\\Title.ogg", std::span<uint8_t>(small.data(), 4)), 4);
    EXPECT_EQ(std::string(small.begin(), small.end()), "0123\xAA\xAA");
    EXPECT_TRUE(log.empty());
    // The one message: the archive that could not be found without a root.
    ASSERT_EQ(host.logLines().size(), 1u);
    EXPECT_EQ(host.logLines()[0], "dialog\tエラー：S_Rom::Open()\tファイルが壊れている可能性があります：game.ar1");
}

// Loose resources are bounded before anything is allocated for them.
TEST(ResourceLookup, OversizedLooseResourcesAreRefused) {
    TempDir dir;
    writeFile(dir / "limit.bin", "");
    writeFile(dir / "huge.bin", "");
    std::filesystem::resize_file(dir / "limit.bin", static_cast<uintmax_t>(kMaxResourceBytes));  // sparse
    std::filesystem::resize_file(dir / "huge.bin", static_cast<uintmax_t>(kMaxResourceBytes) + 1);
    HeadlessHost host;
    ErrorLog log;
    FileManager manager(host, log);
    manager.SetRoot(openRoot(dir.path()));
    ResourceAccess access;
    resManagerSet(access, &manager);
    EXPECT_EQ(resSizeGet(access, "limit.bin"), kMaxResourceBytes);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(resSizeGet(access, "HUGE.BIN"), -1);
    EXPECT_EQ(sjisToUtf8(log.text()), "ファイルの読み込みに失敗しました：HUGE.BIN\r\n");
}

TEST(ResourceLookup, DamagedArchivesEndTheGameWithALogLine) {
    TempDir dir;
    GameRoot root = openRoot(dir.path());
    Entries entries = {{"main.txt", "#msg hi"}, {"zero", std::string("\0\0", 2)}, {"pic.bmp", "BM1234"}};
    std::string bytes = test::layout1Archive(entries);
    bytes[bytes.size() - 3] ^= 0x01;  // one byte of "pic.bmp"
    writeFile(dir / "rom.ar1", bytes);

    HeadlessHost host;
    ErrorLog log;
    {
        FileManager manager(host, log);
        manager.SetRoot(openRoot(dir.path()));
        EXPECT_TRUE(manager.RomOpen("rom.ar1"));  // still opens; the game then ends
        EXPECT_EQ(manager.m_bRomOk, 0);
        EXPECT_EQ(manager.m_nRomMode, 2);
        auto* rom = dynamic_cast<S_Rom1*>(manager.m_pRom.get());
        ASSERT_NE(rom, nullptr);
        EXPECT_EQ(rom->m_badEntries, std::vector<int>{2});
        ResourceAccess access;
        resManagerSet(access, &manager);
        EXPECT_EQ(readResource(access, "main.txt"), "#msg hi");
    }
    ASSERT_TRUE(errLogSave(log, root));
    EXPECT_EQ(sjisToUtf8(readFile(dir / "_error.txt")), "ファイルが壊れている可能性があります：rom.ar1\r\n");

    // An unreadable table: refused with a message box, archive mode with nothing in it.
    writeFile(dir / "cut.ar1", bytes.substr(0, 300));
    errLogClear(log);
    FileManager manager(host, log);
    manager.SetRoot(openRoot(dir.path()));
    EXPECT_FALSE(manager.RomOpen("cut.ar1"));
    EXPECT_EQ(manager.m_nRomMode, 2);
    EXPECT_EQ(manager.m_bRomOk, 0);
    EXPECT_EQ(manager.RomFind("main.txt"), -1);
    EXPECT_EQ(sjisToUtf8(log.text()), "ファイルが壊れている可能性があります：cut.ar1\r\n");

    // A refused version changes nothing.
    writeFile(dir / "new.ar1", test::layout1Archive(entries, 1, 1));
    FileManager fresh(host, log);
    fresh.SetRoot(openRoot(dir.path()));
    EXPECT_FALSE(fresh.RomOpen("new.ar1"));
    EXPECT_EQ(fresh.m_nRomType, -1);
    EXPECT_EQ(fresh.m_nRomMode, 0);
    EXPECT_EQ(fresh.m_pRom, nullptr);
}

TEST(ResourceLookup, TenThousandEntriesFirstExactMatchWins) {
    TempDir dir;
    Entries entries;
    for (int i = 0; i < 10000; ++i) entries.push_back({"dir\\file" + std::to_string(i) + ".bin", std::to_string(i)});
    entries.push_back({"dir\\file42.bin", "later duplicate"});
    writeFile(dir / "big.ar1", test::layout1Archive(entries));
    HeadlessHost host;
    ErrorLog log;
    FileManager manager(host, log);
    manager.SetRoot(openRoot(dir.path()));
    ASSERT_TRUE(manager.RomOpen("big.ar1"));
    EXPECT_EQ(manager.m_bRomOk, 1);
    ResourceAccess access;
    resManagerSet(access, &manager);
    EXPECT_EQ(manager.RomFind("dir\\file42.bin"), 42);
    EXPECT_EQ(readResource(access, "dir\\file42.bin"), "42");
    EXPECT_EQ(readResource(access, "dir\\file9999.bin"), "9999");
    EXPECT_EQ(manager.RomFind("dir\\file10000.bin"), -1);
}

}  // namespace
}  // namespace qf
