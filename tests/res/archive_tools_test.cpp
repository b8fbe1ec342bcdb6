#include <gtest/gtest.h>

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

    // A packed archive written inside the directory under another extension
    // does not pack itself.
    EXPECT_EQ(tool({"pack", dir / "game", dir / "game/copy.bin"}).status, 0);
    EXPECT_EQ(tool({"list", dir / "game/copy.bin"}).out, list.out);

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

TEST(ArchiveTools, UnpackRefusesNamesThatLeaveTheDirectory) {
    for (const char* name : {"..\\evil.txt", "a\\..\\..\\evil.txt", "\\abs.txt", "/abs.txt", "C:\\evil.txt",
                             "a\\\\b", "a\\", ".", "a/../../evil.txt"}) {
        TempDir dir;
        writeFile(dir / "in/x.txt", "x");
        Entries entries = {{"ok.txt", "fine"}, {name, "escaped"}};
        writeFile(dir / "bad.ar1", test::layout1Archive(entries));
        std::ostringstream out, err;
        EXPECT_EQ(archiveToolUnpack(dir / "bad.ar1", dir / "in/out", out, err), 1) << name;
        EXPECT_NE(err.str().find("refused"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(dir / "in/out")) << name;  // nothing written
        EXPECT_FALSE(std::filesystem::exists(dir / "evil.txt"));
    }
    // A double-byte character whose trail byte is 0x5C stays one piece.
    EXPECT_EQ(safeRelativePieces("\x95\x5C\\a"), (std::vector<std::string>{"\x95\x5C", "a"}));
    EXPECT_EQ(safeRelativePieces("dir\\sub\\f"), (std::vector<std::string>{"dir", "sub", "f"}));
}

}  // namespace
}  // namespace qf
