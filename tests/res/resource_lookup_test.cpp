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
using test::InDirectory;
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
    InDirectory in(dir.path());
    Entries entries = {{"main.txt", "from archive"}, {"bgm\\Title.ogg", "0123456789ABCDEF"}, {"empty", ""}};
    writeFile("game.ar1", test::layout1Archive(entries));
    writeFile("main.txt", "from disk");
    writeFile("Disk Only.txt", "disk");
    writeFile("BGM/title.OGG", "loose");

    HeadlessHost host;
    ErrorLog log;
    FileManager manager(host, log);
    ResourceAccess access;
    ASSERT_TRUE(manager.RomOpen("game.ar1"));
    EXPECT_EQ(manager.m_nRomMode, 2);
    EXPECT_EQ(manager.m_nRomType, 1);
    EXPECT_EQ(manager.m_bRomOk, 1);

    // Not registered yet: always the disk, whatever the manager holds.
    EXPECT_EQ(readResource(access, "main.txt"), "from disk");
    EXPECT_EQ(readResource(access, "bgm\\title.ogg"), "loose");  // any case, backslash
    EXPECT_EQ(readResource(access, "main.txt", 4, 5), "disk");
    EXPECT_EQ(resSizeGet(access, "nothing"), -1);
    std::vector<uint8_t> buffer(64);
    EXPECT_EQ(resRead(access, "nothing", buffer), 0);
    EXPECT_EQ(resRead(access, "empty", buffer), 0);  // exists only in the archive

    resManagerSet(access, &manager);
    EXPECT_EQ(readResource(access, "main.txt"), "from archive");
    EXPECT_EQ(readResource(access, "bgm\\Title.ogg", 10, 100), "0123456789ABCDEF");  // whole entry, from its start
    EXPECT_EQ(readResource(access, "bgm\\title.ogg"), "<0>");
    EXPECT_EQ(readResource(access, "bgm/Title.ogg"), "<0>");
    EXPECT_EQ(readResource(access, "Disk Only.txt"), "<0>");
    EXPECT_EQ(resSizeGet(access, "empty"), 0);
    EXPECT_EQ(resRead(access, "empty", buffer), -1);
    EXPECT_EQ(resRead(access, "nothing", buffer), 0);
    EXPECT_EQ(manager.RomFind("bgm\\Title.ogg"), 1);
    EXPECT_EQ(manager.RomFind("x"), -1);

    // A buffer smaller than the entry receives no more than it holds.
    std::vector<uint8_t> small(6, 0xAA);
    EXPECT_EQ(resRead(access, "bgm\\Title.ogg", std::span<uint8_t>(small.data(), 4)), 4);
    EXPECT_EQ(std::string(small.begin(), small.end()), "0123\xAA\xAA");
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(host.logLines().empty());
}

TEST(ResourceLookup, DamagedArchivesEndTheGameWithALogLine) {
    TempDir dir;
    InDirectory in(dir.path());
    Entries entries = {{"main.txt", "#msg hi"}, {"zero", std::string("\0\0", 2)}, {"pic.bmp", "BM1234"}};
    std::string bytes = test::layout1Archive(entries);
    bytes[bytes.size() - 3] ^= 0x01;  // one byte of "pic.bmp"
    writeFile("rom.ar1", bytes);

    HeadlessHost host;
    ErrorLog log;
    {
        FileManager manager(host, log);
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
    ASSERT_TRUE(errLogSave(log));
    EXPECT_EQ(sjisToUtf8(readFile("_error.txt")), "ファイルが壊れている可能性があります：rom.ar1\r\n");

    // An unreadable table: refused with a message box, archive mode with nothing in it.
    writeFile("cut.ar1", bytes.substr(0, 300));
    errLogClear(log);
    FileManager manager(host, log);
    EXPECT_FALSE(manager.RomOpen("cut.ar1"));
    EXPECT_EQ(manager.m_nRomMode, 2);
    EXPECT_EQ(manager.m_bRomOk, 0);
    EXPECT_EQ(manager.RomFind("main.txt"), -1);
    EXPECT_EQ(sjisToUtf8(log.text()), "ファイルが壊れている可能性があります：cut.ar1\r\n");

    // A refused version changes nothing.
    writeFile("new.ar1", test::layout1Archive(entries, 1, 1));
    FileManager fresh(host, log);
    EXPECT_FALSE(fresh.RomOpen("new.ar1"));
    EXPECT_EQ(fresh.m_nRomType, -1);
    EXPECT_EQ(fresh.m_nRomMode, 0);
    EXPECT_EQ(fresh.m_pRom, nullptr);
}

TEST(ResourceLookup, TenThousandEntriesFirstExactMatchWins) {
    TempDir dir;
    InDirectory in(dir.path());
    Entries entries;
    for (int i = 0; i < 10000; ++i) entries.push_back({"dir\\file" + std::to_string(i) + ".bin", std::to_string(i)});
    entries.push_back({"dir\\file42.bin", "later duplicate"});
    writeFile("big.ar1", test::layout1Archive(entries));
    HeadlessHost host;
    ErrorLog log;
    FileManager manager(host, log);
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
