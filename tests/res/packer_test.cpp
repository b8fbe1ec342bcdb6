#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "res/error_log.h"
#include "res/file_manager.h"
#include "res/rom1.h"
#include "res/rom_packer.h"
#include "res_test_util.h"

namespace qf {
namespace {

using test::InDirectory;
using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(RomPacker, UnreadableFileIsDroppedWithoutShiftingLaterEntries) {
    TempDir dir;
    InDirectory in(dir.path());
    writeFile("a.txt", "first");
    ASSERT_EQ(::mkfifo("b.pipe", 0666), 0);  // listed as a file, never readable as one
    writeFile("c.txt", "third");
    writeFile("sub/d.txt", "fourth");

    HeadlessHost host;
    ErrorLog log;
    ASSERT_TRUE(romCreate(host, log, nullptr, "rom.ar1"));
    EXPECT_EQ(sjisToUtf8(log.text()), "ファイルのオープンに失敗しました：b.pipe\r\n");
    S_Rom1 rom(host, log);
    ASSERT_TRUE(rom.Open("rom.ar1"));
    EXPECT_EQ(rom.m_pName, (std::vector<std::string>{"a.txt", "c.txt", "sub\\d.txt"}));
    EXPECT_TRUE(rom.Verify());
    EXPECT_STREQ(reinterpret_cast<const char*>(rom.Read("c.txt")), "third");
    EXPECT_STREQ(reinterpret_cast<const char*>(rom.Read("sub\\d.txt")), "fourth");
}

TEST(RomPacker, ThreadPausesResumesAndStops) {
    TempDir dir;
    InDirectory in(dir.path());
    writeFile("main.txt", "#msg hi");
    HeadlessHost host;
    ErrorLog log;
    FileManager manager(host, log);
    std::memcpy(manager.m_Info + 8, "Title", 5);
    std::memcpy(manager.m_Info + 128, "tag", 3);

    // Stopped while suspended: no archive is left behind.
    {
        RomPacker packer(host, log);
        romSuspend(packer);
        packer.start(&manager, "rom.ar1", 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_TRUE(packer.running());
        EXPECT_FALSE(std::filesystem::exists("rom.ar1"));
        packer.stop();
        EXPECT_FALSE(packer.running());
        EXPECT_FALSE(packer.succeeded());
        EXPECT_FALSE(std::filesystem::exists("rom.ar1"));
    }

    // Suspensions nest; the last resume lets the job finish.
    RomPacker packer(host, log);
    romSuspend(packer);
    romSuspend(packer);
    packer.start(&manager, "rom.ar1", 0);
    romResume(packer);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(std::filesystem::exists("rom.ar1"));
    romResume(packer);
    packer.join();
    EXPECT_TRUE(packer.succeeded());
    std::string bytes = readFile("rom.ar1");
    ASSERT_GE(bytes.size(), 256u);
    EXPECT_EQ(bytes.substr(8, 6), std::string("Title\0", 6));
    EXPECT_EQ(bytes.substr(128, 4), std::string("tag\0", 4));
    S_Rom1 rom(host, log);
    ASSERT_TRUE(rom.Open("rom.ar1"));
    EXPECT_EQ(rom.m_pName, std::vector<std::string>{"main.txt"});

    // The engine's default start: one second's wait, then "rom.ar1".
    std::filesystem::remove("rom.ar1");
    romCreateStart(packer, &manager);
    packer.join();
    EXPECT_TRUE(std::filesystem::exists("rom.ar1"));
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace qf
