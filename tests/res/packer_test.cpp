#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "res/error_log.h"
#include "res/file_manager.h"
#include "res/rom1.h"
#include "res/rom_check.h"
#include "res/rom_packer.h"
#include "res/safe_write.h"
#include "res_test_util.h"

namespace qf {
namespace {

using test::entriesOf;
using test::openRoot;
using test::readFile;
using test::TempDir;
using test::writeFile;

// Waits on the wall clock for something another thread does; false after 10 s.
template <typename Condition>
bool eventually(Condition condition) {
    for (int i = 0; i < 2000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

// A game directory with a root set in its manager.
struct PackerGame {
    TempDir dir;
    HeadlessHost host;
    ErrorLog log;
    FileManager manager{host, log};

    explicit PackerGame(const test::FileList& files) {
        for (const auto& [name, bytes] : files) writeFile(dir / name, bytes);
        manager.SetRoot(openRoot(dir.path()));
    }
    bool has(const std::string& name) const { return std::filesystem::exists(dir / name); }
    // The archive opens, passes verification and holds these names.
    std::vector<std::string> archiveNames(const std::string& name = "rom.ar1") {
        EXPECT_EQ(romLayoutCheck(host, manager.Root(), name), 1);
        S_Rom1 rom(host, log);
        if (!rom.Open(manager.Root(), name)) return {"<not an archive>"};
        EXPECT_TRUE(rom.Verify());
        return rom.m_pName;
    }
};

TEST(RomPacker, UnreadableFileIsDroppedWithoutShiftingLaterEntries) {
    TempDir dir;
    writeFile(dir / "a.txt", "first");
    writeFile(dir / "b.pipe", "second");
    writeFile(dir / "c.txt", "third");
    writeFile(dir / "sub/d.txt", "fourth");
    ASSERT_EQ(::mkfifo((dir / "fifo.txt").c_str(), 0666), 0);  // not a regular file: never listed
    GameRoot root = openRoot(dir.path());

    // Once the files are listed, "b.pipe" turns into a FIFO, which is never read as a file.
    bool swapped = false;
    auto swapToFifo = [&] {
        if (!swapped) {
            swapped = true;
            std::filesystem::remove(dir / "b.pipe");
            EXPECT_EQ(::mkfifo((dir / "b.pipe").c_str(), 0666), 0);
        }
        return true;
    };
    HeadlessHost host;
    ErrorLog log;
    SafeWriter out;
    ASSERT_TRUE(out.begin(root, "rom.ar1"));
    ASSERT_TRUE(romCreate(host, log, nullptr, root, out, 0, 0, swapToFifo));
    EXPECT_TRUE(swapped);
    EXPECT_EQ(sjisToUtf8(log.text()), "ファイルのオープンに失敗しました：b.pipe\r\n");
    S_Rom1 rom(host, log);
    ASSERT_TRUE(rom.Open(root, "rom.ar1"));
    EXPECT_EQ(rom.m_pName, (std::vector<std::string>{"a.txt", "c.txt", "sub\\d.txt"}));
    EXPECT_TRUE(rom.Verify());
    EXPECT_STREQ(reinterpret_cast<const char*>(rom.Read("c.txt")), "third");
    EXPECT_STREQ(reinterpret_cast<const char*>(rom.Read("sub\\d.txt")), "fourth");
}

TEST(RomPacker, StartsOnlyWhenTheHostClockHasMovedAndPolled) {
    PackerGame game({{"main.txt", "#msg hi"}, {"pic/a.bmp", "BM"}});
    std::memcpy(game.manager.m_Info + 8, "Title", 5);
    std::memcpy(game.manager.m_Info + 128, "tag", 3);
    game.host.sleepMs(300);  // the delay counts from start(), not from the clock's origin

    RomPacker packer(game.host, game.log);
    romCreateStart(packer, &game.manager);
    EXPECT_TRUE(packer.running());  // armed
    std::memcpy(game.manager.m_Info + 8, "Later", 5);  // the record was copied at start()
    packer.poll();
    game.host.sleepMs(999);
    packer.poll();
    packer.join();  // nothing started: returns at once
    EXPECT_FALSE(game.has("rom.ar1"));
    EXPECT_TRUE(packer.running());

    // The time has come, but nothing happens until the frame loop polls.
    game.host.sleepMs(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    packer.join();
    EXPECT_FALSE(game.has("rom.ar1"));
    EXPECT_TRUE(packer.running());

    packer.poll();
    packer.join();
    EXPECT_FALSE(packer.running());
    EXPECT_TRUE(packer.succeeded());
    EXPECT_EQ(game.archiveNames(), (std::vector<std::string>{"main.txt", "pic\\a.bmp"}));
    std::string bytes = readFile(game.dir / "rom.ar1");
    ASSERT_GE(bytes.size(), 256u);
    EXPECT_EQ(bytes.substr(8, 6), std::string("Title\0", 6));
    EXPECT_EQ(bytes.substr(128, 4), std::string("tag\0", 4));
    EXPECT_EQ(entriesOf(game.dir.path()), (std::vector<std::string>{"main.txt", "pic", "rom.ar1"}));
    EXPECT_TRUE(game.log.empty());

    // A second start while the first has ended arms a new job.
    std::filesystem::remove(game.dir / "rom.ar1");
    packer.start(&game.manager, "second.ar1", 0);
    packer.poll();
    packer.join();
    EXPECT_TRUE(packer.succeeded());
    EXPECT_EQ(game.archiveNames("second.ar1"), (std::vector<std::string>{"main.txt", "pic\\a.bmp"}));
}

TEST(RomPacker, SuspensionsNestAndFinishCompletesOrCancels) {
    PackerGame game({{"main.txt", "#msg hi"}});

    // finish() on an armed job cancels it: nothing is ever written.
    {
        RomPacker packer(game.host, game.log);
        packer.start(&game.manager);
        packer.finish();
        EXPECT_FALSE(packer.running());
        game.host.sleepMs(2000);
        packer.poll();
        packer.join();
        EXPECT_FALSE(packer.succeeded());
        EXPECT_EQ(entriesOf(game.dir.path()), std::vector<std::string>{"main.txt"});
    }

    // Stopped while suspended: no archive and no temporary are left behind.
    {
        RomPacker packer(game.host, game.log);
        romSuspend(packer);
        packer.start(&game.manager, "rom.ar1", 0);
        packer.poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_TRUE(packer.running());
        EXPECT_FALSE(game.has("rom.ar1"));
        packer.stop();
        EXPECT_FALSE(packer.running());
        EXPECT_FALSE(packer.succeeded());
        EXPECT_EQ(entriesOf(game.dir.path()), std::vector<std::string>{"main.txt"});
    }

    // Suspensions nest; the last resume lets the job finish.
    {
        RomPacker packer(game.host, game.log);
        romSuspend(packer);
        romSuspend(packer);
        packer.start(&game.manager, "rom.ar1", 0);
        packer.poll();
        romResume(packer);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(game.has("rom.ar1"));
        EXPECT_TRUE(packer.running());
        romResume(packer);
        packer.join();
        EXPECT_TRUE(packer.succeeded());
        EXPECT_EQ(game.archiveNames(), std::vector<std::string>{"main.txt"});
    }

    // At exit a job that is already packing is released from its suspension and completed.
    {
        std::filesystem::remove(game.dir / "rom.ar1");
        RomPacker packer(game.host, game.log);
        romSuspend(packer);
        packer.start(&game.manager, "rom.ar1", 0);
        packer.poll();
        packer.finish();
        EXPECT_FALSE(packer.running());
        EXPECT_TRUE(packer.succeeded());
        EXPECT_EQ(game.archiveNames(), std::vector<std::string>{"main.txt"});
    }
    EXPECT_TRUE(game.log.empty());

    // A target that cannot be written: an error-log line, nothing else changes.
    std::filesystem::remove(game.dir / "rom.ar1");
    std::filesystem::create_directory(game.dir / "rom.ar1");
    RomPacker packer(game.host, game.log);
    packer.start(&game.manager, "rom.ar1", 0);
    packer.poll();
    packer.join();
    EXPECT_FALSE(packer.succeeded());
    EXPECT_TRUE(std::filesystem::is_directory(game.dir / "rom.ar1"));
    EXPECT_EQ(sjisToUtf8(game.log.text()), "ファイルの書き込みに失敗しました：rom.ar1\r\n");
}

// The packer's thread stops inside its first write until the test lets it go
// on, so that the test can suspend it while the archive is half written.
std::atomic<bool> writeReached{false};
std::atomic<bool> writeMayGoOn{false};
int holdFirstWrite(WriteStep step, uint64_t, size_t) {
    if (step == WriteStep::Write && !writeReached.exchange(true)) {
        for (int i = 0; i < 2000 && !writeMayGoOn.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return 0;
}

struct HoldFirstWrite {
    HoldFirstWrite() {
        writeReached = false;
        writeMayGoOn = false;
        setWriteFaultHook(holdFirstWrite);
    }
    ~HoldFirstWrite() { release(); }
    void release() {
        writeMayGoOn = true;
        setWriteFaultHook(nullptr);
    }
};

TEST(RomPacker, StoppedWhilePackingKeepsTheEarlierArchive) {
    std::string big(1 << 20, '\0');  // several chunks, so the job meets a checkpoint after its first write
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 13 + 5);
    PackerGame game({{"big.bin", big}, {"main.txt", "#msg hi"}});
    std::string earlier = test::layout1Archive({{"main.txt", "the earlier archive"}});
    writeFile(game.dir / "rom.ar1", earlier);

    RomPacker packer(game.host, game.log);
    HoldFirstWrite hold;  // released before the packer is destroyed
    packer.start(&game.manager, "rom.ar1", 0);
    packer.poll();
    bool reached = eventually([] { return writeReached.load(); });
    EXPECT_TRUE(reached);
    // Half written: the temporary exists beside the earlier archive.
    std::vector<std::string> during = entriesOf(game.dir.path());
    ASSERT_EQ(during.size(), 4u);
    EXPECT_EQ(during[3].rfind("rom.ar1.", 0), 0u);
    EXPECT_TRUE(during[3].ends_with(".tmp"));
    romSuspend(packer);
    hold.release();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(packer.running());
    packer.stop();

    EXPECT_FALSE(packer.running());
    EXPECT_FALSE(packer.succeeded());
    EXPECT_EQ(readFile(game.dir / "rom.ar1"), earlier);
    EXPECT_EQ(entriesOf(game.dir.path()), (std::vector<std::string>{"big.bin", "main.txt", "rom.ar1"}));
    EXPECT_TRUE(game.log.empty());  // stopping is not a failure

    // The next run (the suspension it inherits resumed) replaces the earlier archive whole.
    romResume(packer);
    packer.start(&game.manager, "rom.ar1", 0);
    packer.poll();
    packer.join();
    EXPECT_TRUE(packer.succeeded());
    EXPECT_EQ(game.archiveNames(), (std::vector<std::string>{"big.bin", "main.txt"}));
    S_Rom1 rom(game.host, game.log);
    ASSERT_TRUE(rom.Open(game.manager.Root(), "rom.ar1"));
    const uint8_t* data = rom.Read("big.bin");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), big.size()), big);
}

}  // namespace
}  // namespace qf
