#include "res/safe_write.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "res_test_util.h"

namespace qf {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

struct Scratch {
    TempDir dir;
    std::string root = dir / "game";
    std::string outside = dir / "outside";
    GameRoot game;

    Scratch() : game(openRoot(root)) { writeFile(outside + "/secret", "secret"); }
    static GameRoot openRoot(const std::string& path) {
        std::filesystem::create_directories(path);
        std::optional<GameRoot> opened = GameRoot::open(path);
        if (!opened) throw std::runtime_error("cannot open " + path);
        return std::move(*opened);
    }
    // Everything in the game directory, links and temporaries included.
    std::vector<std::string> entries(const std::string& sub = "") const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(root + sub)) out.push_back(e.path().filename());
        std::sort(out.begin(), out.end());
        return out;
    }
};

std::span<const uint8_t> bytes(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

bool isLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Makes the writers of this process fail at one step; the write step only
// past the first chunk, so that part of the file is already on disk.
WriteStep failingStep;
int failAt(WriteStep step, uint64_t offset, size_t size) {
    if (step != failingStep) return 0;
    if (step == WriteStep::Write) return offset + size > kSafeWriteChunk ? ENOSPC : 0;
    return EIO;
}

struct FaultHook {
    explicit FaultHook(WriteStep step) {
        failingStep = step;
        setWriteFaultHook(failAt);
    }
    ~FaultHook() { setWriteFaultHook(nullptr); }
};

TEST(SafeWrite, ReplacesWholeFiles) {
    Scratch s;
    writeFile(s.root + "/Save/01.SAV", "old record, longer than the new one");
    ::chmod((s.root + "/Save/01.SAV").c_str(), 0600);
    std::string big(3 * kSafeWriteChunk + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 % 253);

    std::string reason;
    EXPECT_TRUE(writeFileSafely(s.game, "save\\01.sav", bytes("new"), &reason)) << reason;
    EXPECT_EQ(readFile(s.root + "/Save/01.SAV"), "new");
    struct stat st {};
    ASSERT_EQ(::stat((s.root + "/Save/01.SAV").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(writeFileSafely(s.game, "Save\\02.sav", bytes(big)));
    EXPECT_EQ(readFile(s.root + "/Save/02.sav"), big);
    EXPECT_TRUE(writeFileSafely(s.game, "save\\01.SAV", bytes("")));
    EXPECT_EQ(readFile(s.root + "/Save/01.SAV"), "");
    EXPECT_EQ(s.entries("/Save"), (std::vector<std::string>{"01.SAV", "02.sav"}));

    // Host paths, for the archive tools.
    EXPECT_TRUE(writeFileSafely(s.dir / "out.ar1", bytes(big)));
    EXPECT_TRUE(writeFileSafely(s.dir / "out.ar1", bytes("second")));
    EXPECT_EQ(readFile(s.dir / "out.ar1"), "second");
    EXPECT_FALSE(writeFileSafely(s.dir / "no/such/dir/out.ar1", bytes("x")));

    // Refused targets: outside the root, a missing directory, a directory.
    for (const char* name : {"..\\outside\\x", "nodir\\x", "save", "C:\\x", ""}) {
        reason.clear();
        EXPECT_FALSE(writeFileSafely(s.game, name, bytes("x"), &reason));
        EXPECT_FALSE(reason.empty()) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(s.outside + "/x"));
    EXPECT_TRUE(std::filesystem::is_directory(s.root + "/Save"));
    EXPECT_EQ(s.entries(), (std::vector<std::string>{"Save"}));
}

TEST(SafeWrite, PlantedLinksAreNeverFollowed) {
    Scratch s;
    ASSERT_EQ(::symlink((s.outside + "/planted").c_str(), (s.root + "/save.sav").c_str()), 0);  // dangling
    ASSERT_EQ(::symlink((s.outside + "/secret").c_str(), (s.root + "/_error.txt").c_str()), 0);
    ASSERT_EQ(::symlink(s.outside.c_str(), (s.root + "/link_dir").c_str()), 0);

    for (const char* name : {"save.sav", "SAVE.SAV", "_error.txt", "link_dir\\x"})
        EXPECT_FALSE(writeFileSafely(s.game, name, bytes("attack"))) << name;
    EXPECT_FALSE(std::filesystem::exists(s.outside + "/planted"));
    EXPECT_FALSE(std::filesystem::exists(s.outside + "/x"));
    EXPECT_EQ(readFile(s.outside + "/secret"), "secret");
    EXPECT_TRUE(isLink(s.root + "/save.sav"));

    // A host path replaces the link itself.
    EXPECT_TRUE(writeFileSafely(s.root + "/save.sav", bytes("mine")));
    EXPECT_FALSE(isLink(s.root + "/save.sav"));
    EXPECT_EQ(readFile(s.root + "/save.sav"), "mine");
    EXPECT_FALSE(std::filesystem::exists(s.outside + "/planted"));
    EXPECT_EQ(s.entries(), (std::vector<std::string>{"_error.txt", "link_dir", "save.sav"}));
}

TEST(SafeWrite, AFailedStepKeepsTheOldFile) {
    Scratch s;
    std::string big(3 * kSafeWriteChunk, 'n');
    for (WriteStep step : {WriteStep::Create, WriteStep::Write, WriteStep::Sync, WriteStep::Rename}) {
        SCOPED_TRACE(static_cast<int>(step));
        writeFile(s.root + "/rom.ar1", "old archive");
        std::string reason;
        {
            FaultHook hook(step);
            EXPECT_FALSE(writeFileSafely(s.game, "rom.ar1", bytes(big), &reason));
        }
        EXPECT_NE(reason.find(std::strerror(step == WriteStep::Write ? ENOSPC : EIO)), std::string::npos) << reason;
        EXPECT_EQ(readFile(s.root + "/rom.ar1"), "old archive");
        EXPECT_EQ(s.entries(), (std::vector<std::string>{"rom.ar1"}));
    }

    // The first chunk is on disk in the temporary when the second one fails.
    FaultHook hook(WriteStep::Write);
    SafeWriter out;
    ASSERT_TRUE(out.begin(s.game, "rom.ar1"));
    std::string temporary = s.root + "/" + out.temporaryName();
    EXPECT_EQ(out.temporaryName().rfind("rom.ar1.", 0), 0u);
    ASSERT_TRUE(out.write(bytes(big.substr(0, kSafeWriteChunk))));
    EXPECT_EQ(std::filesystem::file_size(temporary), kSafeWriteChunk);
    EXPECT_FALSE(out.write(bytes("more")));
    EXPECT_FALSE(std::filesystem::exists(temporary));
    EXPECT_FALSE(out.commit());
    EXPECT_FALSE(out.reason().empty());
    EXPECT_EQ(readFile(s.root + "/rom.ar1"), "old archive");
}

TEST(SafeWrite, StreamingWriterCommitsOrLeavesNothing) {
    Scratch s;
    writeFile(s.root + "/rom.ar1", "old");
    {
        SafeWriter out;
        ASSERT_TRUE(out.begin(s.game, "ROM.AR1"));
        // Entries first, the header over the reserved start last, as the packer writes.
        ASSERT_TRUE(out.writeAt("entries", 7, 4));
        ASSERT_TRUE(out.write("!!", 2));
        ASSERT_TRUE(out.writeAt("HEAD", 4, 0));
        ASSERT_TRUE(out.truncate(12));
        EXPECT_EQ(readFile(s.root + "/rom.ar1"), "old");  // nothing visible before the commit
        ASSERT_TRUE(out.commit()) << out.reason();
        EXPECT_FALSE(out.active());
    }
    EXPECT_EQ(readFile(s.root + "/rom.ar1"), "HEADentries!");

    {
        SafeWriter out;
        ASSERT_TRUE(out.begin(s.game, "rom.ar1"));
        ASSERT_TRUE(out.write("partial", 7));
        out.abort();
        EXPECT_FALSE(out.write("x", 1));
        SafeWriter dropped;
        ASSERT_TRUE(dropped.begin(s.root + "/rom.ar1"));
        ASSERT_TRUE(dropped.write("partial", 7));
        SafeWriter moved = std::move(dropped);
        EXPECT_TRUE(moved.active());
        EXPECT_FALSE(dropped.active());
    }  // destroyed uncommitted
    EXPECT_EQ(readFile(s.root + "/rom.ar1"), "HEADentries!");
    EXPECT_EQ(s.entries(), (std::vector<std::string>{"rom.ar1"}));

    // Without replace an existing target stays.
    SafeWriter keep;
    ASSERT_TRUE(keep.begin(s.game, "rom.ar1"));
    ASSERT_TRUE(keep.write("other", 5));
    EXPECT_FALSE(keep.commit(false));
    EXPECT_EQ(readFile(s.root + "/rom.ar1"), "HEADentries!");
    EXPECT_EQ(s.entries(), (std::vector<std::string>{"rom.ar1"}));
}

TEST(SafeWrite, AKilledWriterLeavesTheOldFileAndBlocksNothing) {
    Scratch s;
    writeFile(s.root + "/rom.ar1", "old archive");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Writes a large archive slowly; killed long before it could finish.
        ::close(ready[0]);
        SafeWriter out;
        std::string chunk(4096, 'c');
        if (!out.begin(s.game, "rom.ar1") || !out.write(bytes(chunk))) ::_exit(2);
        if (::write(ready[1], "s", 1) != 1) ::_exit(3);
        for (int i = 0; i < 5000; ++i) {
            if (!out.write(bytes(chunk))) ::_exit(4);
            ::usleep(2000);
        }
        ::_exit(out.commit() ? 0 : 5);
    }
    ::close(ready[1]);
    char started = 0;
    ASSERT_EQ(::read(ready[0], &started, 1), 1);
    ::close(ready[0]);
    ::usleep(20000);
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_EQ(readFile(s.root + "/rom.ar1"), "old archive");
    std::vector<std::string> left = s.entries();
    ASSERT_EQ(left.size(), 2u);
    const std::string& stale = left[0] == "rom.ar1" ? left[1] : left[0];
    EXPECT_EQ(stale.rfind("rom.ar1.", 0), 0u);
    EXPECT_EQ(stale.substr(stale.size() - 4), ".tmp");
    EXPECT_GE(std::filesystem::file_size(s.root + "/" + stale), 4096u);

    std::string reason;
    EXPECT_TRUE(writeFileSafely(s.game, "rom.ar1", bytes("new archive"), &reason)) << reason;
    EXPECT_EQ(readFile(s.root + "/rom.ar1"), "new archive");
    EXPECT_EQ(s.entries().size(), 2u);
}

}  // namespace
}  // namespace qf
