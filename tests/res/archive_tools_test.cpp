#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "res/archive_tools.h"
#include "res_test_util.h"

namespace qf {
namespace {

using test::Entries;
using test::readFile;
using test::TempDir;
using test::writeFile;

struct ToolRun {
    int status;
    std::string out, err;
};

ToolRun tool(std::vector<std::string> args) {
    std::ostringstream out, err;
    int status = runArchiveTool(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(ArchiveTools, PackListUnpackVerify) {
    TempDir dir;
    writeFile(dir / "game/main.txt", "#msg hi");
    writeFile(dir / "game/pic/Title.bmp", "BM....");
    writeFile(dir / "game/save.sav", "record");

    ToolRun pack = tool({"pack", dir / "game"});
    EXPECT_EQ(pack.status, 0) << pack.err;
    EXPECT_EQ(pack.out, "packed 2 files into " + (dir / "game") + "/rom.ar1\n");
    std::string archive = dir / "game/rom.ar1";

    ToolRun list = tool({"list", archive});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "         7  main.txt\n         6  pic\\Title.bmp\n");

    ToolRun unpack = tool({"unpack", archive, dir / "out"});
    EXPECT_EQ(unpack.status, 0) << unpack.err;
    EXPECT_EQ(readFile(dir / "out/main.txt"), "#msg hi");
    EXPECT_EQ(readFile(dir / "out/pic/Title.bmp"), "BM....");

    EXPECT_EQ(tool({"verify", archive}).status, 0);

    // One damaged byte: exit 1 and the entry named.
    std::string bytes = readFile(archive);
    bytes[bytes.size() - 1] ^= 0x20;
    writeFile(dir / "damaged.ar1", bytes);
    ToolRun verify = tool({"verify", dir / "damaged.ar1"});
    EXPECT_EQ(verify.status, 1);
    EXPECT_NE(verify.err.find("CRC mismatch: pic\\Title.bmp\n"), std::string::npos);
    EXPECT_EQ(verify.err.find("main.txt"), std::string::npos);

    EXPECT_EQ(tool({"verify", dir / "missing.ar1"}).status, 1);
    writeFile(dir / "junk.ar1", "junk");
    EXPECT_EQ(tool({"list", dir / "junk.ar1"}).status, 1);
    EXPECT_EQ(tool({"pack", dir / "nowhere"}).status, 1);

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{}, {"list"}, {"verify", "a", "b"}, {"unpack", archive}, {"pack"}, {"frob", "x"}}) {
        ToolRun r = tool(bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("usage:", 0), 0u);
    }
}

// An archive written inside the directory it packs, under another extension,
// packs neither its earlier version nor itself while it is being written.
TEST(ArchiveTools, AnArchiveInsideItsDirectoryDoesNotPackItself) {
    TempDir dir;
    writeFile(dir / "game/main.txt", "#msg hi");
    writeFile(dir / "game/pic/Title.bmp", "BM....");
    const std::string expected = "         7  main.txt\n         6  pic\\Title.bmp\n";
    for (const char* name : {"copy.bin", "zz.bin", "ROM.AR1"}) {
        std::string archive = dir / "game/" + name;
        for (int run = 0; run < 2; ++run) {  // the second run replaces the first
            ToolRun pack = tool({"pack", dir / "game", archive});
            EXPECT_EQ(pack.status, 0) << pack.err;
            EXPECT_EQ(tool({"list", archive}).out, expected) << name << " run " << run;
            EXPECT_EQ(tool({"verify", archive}).status, 0);
        }
        std::filesystem::remove(archive);
    }
    EXPECT_EQ(test::entriesOf(dir / "game"), (std::vector<std::string>{"main.txt", "pic"}));
}

TEST(ArchiveTools, UnpackRefusesNamesThatLeaveTheDirectory) {
    for (std::string name : {"..\\evil.txt", "a\\..\\..\\evil.txt", "\\abs.txt", "/abs.txt", "C:\\evil.txt",
                             "a\\\\b", "a\\", ".", "a/../../evil.txt",
                             // A lead byte before "/" is no double-byte character: the "/" still separates.
                             "\x81/..", "\x81/../evil.txt", "a\\\x9F/..\\..\\evil.txt", "\xE0/.."}) {
        TempDir dir;
        writeFile(dir / "in/x.txt", "x");
        Entries entries = {{"ok.txt", "fine"}, {name, "escaped"}};
        writeFile(dir / "bad.ar1", test::layout1Archive(entries));
        std::ostringstream out, err;
        EXPECT_EQ(archiveToolUnpack(dir / "bad.ar1", dir / "in/out", out, err), 1) << name;
        EXPECT_NE(err.str().find("refused"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(dir / "in/out")) << name;  // nothing written
        EXPECT_FALSE(std::filesystem::exists(dir / "evil.txt"));
        EXPECT_FALSE(std::filesystem::exists(dir / "in/evil.txt"));
        EXPECT_TRUE(safeRelativePieces(name).empty()) << name;
    }
    // A double-byte character whose trail byte is 0x5C stays one piece.
    EXPECT_EQ(safeRelativePieces("\x95\x5C\\a"), (std::vector<std::string>{"\x95\x5C", "a"}));
    EXPECT_EQ(safeRelativePieces("dir\\sub\\f"), (std::vector<std::string>{"dir", "sub", "f"}));
    // A lead byte that cannot pair stays a byte of its piece.
    EXPECT_EQ(safeRelativePieces("\x81/a"), (std::vector<std::string>{"\x81", "a"}));
    EXPECT_EQ(safeRelativePieces("a\x81"), std::vector<std::string>{"a\x81"});
    EXPECT_TRUE(safeRelativePieces(std::string("\x81\0a", 3)).empty());
}

// Names are shown on a terminal: control characters cannot rewrite it.
TEST(ArchiveTools, ListEscapesControlCharacters) {
    TempDir dir;
    Entries entries = {{"a\x1b[2J.txt", "x"}, {"tab\there", "yy"}, {"\x93\xFA\x96\x7B.txt", "zzz"}};
    writeFile(dir / "names.ar1", test::layout1Archive(entries));
    ToolRun list = tool({"list", dir / "names.ar1"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "         1  a\\x1B[2J.txt\n"
                        "         2  tab\\x09here\n"
                        "         3  日本.txt\n");
    EXPECT_EQ(list.out.find('\x1b'), std::string::npos);

    // The names unpack as they are (they stay inside the directory).
    ToolRun unpack = tool({"unpack", dir / "names.ar1", dir / "out"});
    EXPECT_EQ(unpack.status, 0) << unpack.err;
    EXPECT_EQ(readFile(dir / "out/a\x1b[2J.txt"), "x");
}

// A link in the packed directory never brings a file from outside into the archive.
TEST(ArchiveTools, PackDoesNotFollowLinksOutOfTheDirectory) {
    TempDir dir;
    writeFile(dir / "game/main.txt", "#msg hi");
    writeFile(dir / "game/sub/a.txt", "a");
    writeFile(dir / "outside/secret.txt", "SECRET");
    ASSERT_EQ(::symlink((dir / "outside/secret.txt").c_str(), (dir / "game/secret.txt").c_str()), 0);
    ASSERT_EQ(::symlink("../../outside/secret.txt", (dir / "game/sub/relative.txt").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "outside").c_str(), (dir / "game/linked").c_str()), 0);

    ToolRun pack = tool({"pack", dir / "game"});
    EXPECT_EQ(pack.status, 0) << pack.err;
    EXPECT_EQ(pack.out, "packed 2 files into " + (dir / "game") + "/rom.ar1\n");
    ToolRun list = tool({"list", dir / "game/rom.ar1"});
    EXPECT_EQ(list.out, "         7  main.txt\n         1  sub\\a.txt\n");
    ToolRun unpack = tool({"unpack", dir / "game/rom.ar1", dir / "out"});
    EXPECT_EQ(unpack.status, 0) << unpack.err;
    std::vector<std::string> unpacked;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir / "out"))
        if (e.is_regular_file()) unpacked.push_back(readFile(e.path()));
    std::sort(unpacked.begin(), unpacked.end());
    EXPECT_EQ(unpacked, (std::vector<std::string>{"#msg hi", "a"}));
    EXPECT_EQ(readFile(dir / "outside/secret.txt"), "SECRET");
    EXPECT_EQ(test::entriesOf(dir / "outside"), std::vector<std::string>{"secret.txt"});
}

}  // namespace
}  // namespace qf
