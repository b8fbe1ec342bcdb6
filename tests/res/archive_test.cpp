#include <gtest/gtest.h>
#include <fcntl.h>

#include <algorithm>

#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "res/crc32.h"
#include "res/error_log.h"
#include "res/posix_file.h"
#include "res/rom1.h"
#include "res/rom_check.h"
#include "res/rom_packer.h"
#include "res/safe_write.h"
#include "res_test_util.h"

namespace qf {
namespace {

using test::Entries;
using test::entriesOf;
using test::openRoot;
using test::readFile;
using test::TempDir;
using test::writeFile;

std::string entryText(S_Rom& rom, int i) {
    const uint8_t* data = rom.ReadIndex(i);
    if (!data) return "<null>";
    EXPECT_EQ(data[rom.m_pSize[static_cast<size_t>(i)]], 0);  // terminated
    return std::string(reinterpret_cast<const char*>(data), rom.m_pSize[static_cast<size_t>(i)]);
}

std::vector<std::string> namesOf(const S_Rom& rom) { return rom.m_pName; }

// Packs the game directory into `name` inside it, as the engine's packer does.
bool pack(HeadlessHost& host, ErrorLog& log, const uint8_t* info, const GameRoot& root,
          const std::string& name = "rom.ar1") {
    SafeWriter out;
    return out.begin(root, name) && romCreate(host, log, info, root, out);
}

TEST(RomArchive, PackedGameReadsBackByteExact) {
    TempDir dir;
    GameRoot root = openRoot(dir.path());
    std::string big(5 << 20, '\0');  // spans several copy chunks
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + 1);
    writeFile(dir / "main.txt", "#msg hello\r\n");
    writeFile(dir / "zero.bin", std::string("\0abc", 4));
    writeFile(dir / "empty.dat", "");
    writeFile(dir / "big.bin", big);
    writeFile(dir / "bgm/Title.ogg", "OggS");
    writeFile(dir / "NoExt", "plain");

    HeadlessHost host;
    ErrorLog log;
    uint8_t info[256] = {};
    std::memcpy(info + 8, "My Game", 7);
    ASSERT_TRUE(pack(host, log, info, root));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string>{"NoExt", "bgm", "big.bin", "empty.dat", "main.txt",
                                                              "rom.ar1", "zero.bin"}));  // no temporary left

    // The layout on disk, read independently of the reader.
    std::string bytes = readFile(dir / "rom.ar1");
    ASSERT_GT(bytes.size(), 288u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("AR1\x01\x00\x00\x00\x01", 8));
    EXPECT_EQ(bytes.substr(8, 7), "My Game");
    std::string inner = test::scrambled(bytes.substr(256, 32));
    EXPECT_EQ(inner.substr(0, 8), std::string("AR1\0\x01\x00\x00\x01", 8));
    const auto* p = reinterpret_cast<const uint8_t*>(inner.data());
    EXPECT_EQ(readLe32(p + 8), 32u);
    EXPECT_EQ(readLe32(p + 16), bytes.size());
    EXPECT_EQ(readLe32(p + 20), 6u);
    std::string crcless = inner;
    crcless.replace(12, 4, std::string(4, '\0'));
    EXPECT_EQ(readLe32(p + 12), engineCrc32(crcless.data(), 32));

    ASSERT_EQ(romLayoutCheck(host, root, "rom.ar1"), 1);
    ASSERT_EQ(romLayoutCheck(host, root, "ROM.AR1"), 1);
    S_Rom1 rom(host, log);
    ASSERT_TRUE(rom.Open(root, "rom.ar1"));
    EXPECT_EQ(namesOf(rom), (std::vector<std::string>{"big.bin", "empty.dat", "main.txt", "NoExt", "zero.bin",
                                                      "bgm\\Title.ogg"}));
    EXPECT_EQ(entryText(rom, rom.Find("main.txt")), "#msg hello\r\n");
    EXPECT_EQ(entryText(rom, rom.Find("big.bin")), big);
    EXPECT_EQ(entryText(rom, rom.Find("zero.bin")), std::string("\0abc", 4));
    EXPECT_EQ(entryText(rom, rom.Find("empty.dat")), "");
    EXPECT_EQ(entryText(rom, rom.Find("bgm\\Title.ogg")), "OggS");
    EXPECT_EQ(rom.m_pCrc[static_cast<size_t>(rom.Find("zero.bin"))], 0u);
    EXPECT_EQ(rom.m_pCrc[static_cast<size_t>(rom.Find("empty.dat"))], 0u);
    EXPECT_TRUE(rom.Verify());

    // Names are byte-exact: no case folding, no separator conversion.
    EXPECT_EQ(rom.Find("MAIN.TXT"), -1);
    EXPECT_EQ(rom.Find("bgm/Title.ogg"), -1);
    EXPECT_EQ(rom.Find("bgm\\title.ogg"), -1);
    EXPECT_EQ(rom.Read("nothing"), nullptr);
    EXPECT_EQ(rom.ReadIndex(6), nullptr);
    EXPECT_EQ(rom.ReadIndex(-1), nullptr);

    // Code is its own inverse; its block is replaced by the next call.
    const uint8_t plain[] = {1, 2, 3};
    const uint8_t* once = rom.Code(plain, 3);
    std::vector<uint8_t> scrambledCopy(once, once + 3);
    const uint8_t* twice = rom.Code(scrambledCopy.data(), 3);
    EXPECT_EQ(std::vector<uint8_t>(twice, twice + 4), (std::vector<uint8_t>{1, 2, 3, 0}));
    EXPECT_EQ(rom.Code(plain, -1), nullptr);

    rom.Close();
    EXPECT_EQ(rom.Find("main.txt"), -1);
    EXPECT_EQ(rom.ReadIndex(0), nullptr);
}

TEST(RomArchive, PackerExclusionRules) {
    TempDir dir;
    GameRoot root = openRoot(dir.path());
    for (const char* name : {"a.TR2", "a.tr2", "a.EXE", "a.exe", "_error.txt", "b.sav", "b.SAV", "c.dll", "d.ini",
                             "e.ar1", "f.png", "sub/g.txt", "sub/_h.txt", "sub/deep/i.txt", "_sub/j.txt",
                             "sub/k.kpi", "x.y.td2", "rom.ar1.123-abc.tmp", "sub/rom.ar1.9-f00.tmp", "notes.tmp",
                             "notes.ar1.txt"})
        writeFile(dir / name, "x");
    HeadlessHost host;
    ErrorLog log;
    ASSERT_TRUE(pack(host, log, nullptr, root));
    S_Rom1 rom(host, log);
    ASSERT_TRUE(rom.Open(root, "rom.ar1"));
    // Extensions compare byte for byte; only the first subdirectory level is
    // packed; a name starting with "_" is left out (a subdirectory's file is
    // named after its directory); the temporary of an archive being written
    // ("rom.ar1.<unique>.tmp", a left-over of a killed run) is never packed.
    EXPECT_EQ(namesOf(rom), (std::vector<std::string>{"a.EXE", "a.tr2", "b.SAV", "f.png", "notes.ar1.txt",
                                                      "notes.tmp", "sub\\g.txt", "sub\\_h.txt"}));
    EXPECT_TRUE(rom.Verify());
}

// Linux allows names a Windows game never has: a line feed (the name list's
// separator) and a directory name ending in a lone lead byte, which the "\\"
// that joins it to its files would complete into a double-byte character.
// Neither may cost another file its place or put an entry in twice.
TEST(RomArchive, UnusualDiskNamesKeepTheTableConsistent) {
    TempDir dir;
    GameRoot root = openRoot(dir.path());
    writeFile(dir / "main.txt", "#msg hi");
    writeFile(dir / "notes\nmain.txt", "not the script");
    writeFile(dir / "d\x95/x.txt", "lead byte directory");
    HeadlessHost host;
    ErrorLog log;
    ASSERT_TRUE(pack(host, log, nullptr, root));
    S_Rom1 rom(host, log);
    ASSERT_TRUE(rom.Open(root, "rom.ar1"));
    EXPECT_TRUE(rom.Verify());
    std::vector<std::string> names = namesOf(rom);
    EXPECT_EQ(std::count(names.begin(), names.end(), "main.txt"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "notes"), 0);
    EXPECT_EQ(entryText(rom, rom.Find("main.txt")), "#msg hi");
    // "d\x95" + "\\" would read back as one double-byte character: a directory
    // whose name ends in a lead byte cannot be stored and is left out.
    EXPECT_LT(rom.Find("d\x95\\x.txt"), 0);
    EXPECT_EQ(names.size(), 1u);
    EXPECT_EQ(log.text().find("x.txt"), std::string::npos) << sjisToUtf8(log.text());
}

TEST(RomArchive, LayoutZeroAndVersions) {
    TempDir dir;
    GameRoot root = openRoot(dir.path());
    Entries entries = {{"main.txt", "hello"}, {"pic\\a.bmp", std::string("\0BM", 3)}, {"main.txt", "second"}};
    writeFile(dir / "old.ar1", test::layout0Archive(entries));
    HeadlessHost host;
    ErrorLog log;
    EXPECT_EQ(romLayoutCheck(host, root, "old.ar1"), 0);
    EXPECT_EQ(romLayoutCheck(host, PosixFile(dir / "old.ar1", O_RDONLY)), 0);
    S_Rom rom0(host, log);
    ASSERT_TRUE(rom0.Open(root, "old.ar1"));
    EXPECT_EQ(rom0.Count(), 3);
    EXPECT_EQ(rom0.Find("main.txt"), 0);  // the first exact match wins
    EXPECT_EQ(entryText(rom0, 0), "hello");
    EXPECT_EQ(entryText(rom0, 1), std::string("\0BM", 3));
    EXPECT_EQ(entryText(rom0, 2), "second");
    EXPECT_TRUE(rom0.Verify());

    struct Case {
        int major, minor, type;
        const char* caption;
    };
    const Case cases[] = {{0, 0, 1, nullptr},  {0, 9, 1, nullptr}, {1, 0, 1, nullptr},
                          {1, 1, -1, "マイナーバージョンエラー"}, {2, 0, -1, "メジャーバージョンエラー"}};
    for (const Case& c : cases) {
        HeadlessHost h;
        writeFile(dir / "v.ar1", test::layout1Archive(entries, c.major, c.minor));
        EXPECT_EQ(romLayoutCheck(h, root, "v.ar1"), c.type) << c.major << "." << c.minor;
        if (c.caption) {
            ASSERT_EQ(h.logLines().size(), 1u);
            EXPECT_EQ(h.logLines()[0], std::string("dialog\t") + c.caption + "\tこのバージョンのROMには対応していません");
        } else {
            EXPECT_TRUE(h.logLines().empty());
            S_Rom1 rom(h, log);
            ASSERT_TRUE(rom.Open(root, "v.ar1"));
            EXPECT_EQ(entryText(rom, 2), "second");
            EXPECT_TRUE(rom.Verify());
            // The same archive opened by the archive tools, from a host path.
            S_Rom1 byPath(h, log);
            ASSERT_TRUE(byPath.OpenFile(std::make_unique<PosixFile>(dir / "v.ar1", O_RDONLY), "v.ar1"));
            EXPECT_EQ(entryText(byPath, 1), std::string("\0BM", 3));
            EXPECT_EQ(romLayoutCheck(h, PosixFile(dir / "v.ar1", O_RDONLY)), 1);
        }
    }
    writeFile(dir / "text.ar1", "not an archive at all");
    EXPECT_EQ(romLayoutCheck(host, root, "text.ar1"), 0);
    EXPECT_EQ(romLayoutCheck(host, root, "missing.ar1"), 0);
    EXPECT_EQ(romLayoutCheck(host, PosixFile()), 0);
}

TEST(RomArchive, TablesThatDoNotFitTheFileAreRefused) {
    TempDir dir;
    GameRoot root = openRoot(dir.path());
    Entries entries = {{"a.txt", "hello"}, {"b.txt", "world"}};
    std::string good = test::layout1Archive(entries);
    std::string inner = test::scrambled(good.substr(256, 32));

    auto withInner = [&](uint32_t n, uint32_t t) {
        std::string changed = inner;
        changed.replace(20, 4, test::le32(n));
        changed.replace(24, 4, test::le32(t));
        std::string bytes = good;
        bytes.replace(256, 32, test::scrambled(changed));
        return bytes;
    };
    std::string hugeSize = good;
    std::string sizes = test::scrambled(good.substr(288, 8));
    sizes.replace(4, 4, test::le32(0xFFFFFFF0u));
    hugeSize.replace(288, 8, test::scrambled(sizes));

    const std::string broken[] = {
        withInner(0x7FFFFFFF, 100),       // N beyond T
        withInner(2, 0xFFFFFFFF),         // T beyond the file
        withInner(0x20000000, 0xFFFFFFFF),
        hugeSize,                         // an entry beyond the file
        good.substr(0, good.size() - 1),  // the last entry cut short
        good.substr(0, 270),
    };
    for (const std::string& bytes : broken) {
        writeFile(dir / "bad.ar1", bytes);
        HeadlessHost host;
        ErrorLog log;
        S_Rom1 rom(host, log);
        EXPECT_FALSE(rom.Open(root, "bad.ar1"));
        EXPECT_EQ(rom.m_bOpen, 0);
        EXPECT_EQ(rom.Find("a.txt"), -1);
        ASSERT_EQ(host.logLines().size(), 1u);
        EXPECT_EQ(host.logLines()[0], "dialog\tエラー：S_Rom::Open()\tファイルが壊れている可能性があります：bad.ar1");
    }
    // Layout 0 likewise, and a missing file.
    std::string old = test::layout0Archive(entries);
    HeadlessHost host;
    ErrorLog log;
    writeFile(dir / "old.ar1", old.substr(0, old.size() - 2));
    EXPECT_FALSE(S_Rom(host, log).Open(root, "old.ar1"));
    EXPECT_FALSE(S_Rom(host, log).Open(root, "missing.ar1"));
    EXPECT_EQ(host.logLines().size(), 2u);
}

}  // namespace
}  // namespace qf
