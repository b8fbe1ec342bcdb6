// Save records: the file as it lies on disk, the checks of the loader, a save
// that cannot finish, and a save interrupted halfway.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/sjis.h"
#include "res/keystream.h"
#include "res/safe_write.h"
#include "res/sfmt.h"
#include "tests/support/scratch_game.h"
#include "wnd/save_record.h"

namespace qf {
namespace {

uint32_t le32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(s[at + size_t(i)]);
    return v;
}

// Unscrambles with a freshly seeded generator, byte by byte, independent of
// the kept keystream the engine uses.
std::string unscramble(std::string bytes) {
    Sfmt19937 gen(kArchiveSeed);
    for (char& c : bytes) c = char(uint8_t(c) ^ uint8_t(gen.next32()));
    return bytes;
}

std::string scramble(const std::string& plain) { return unscramble(plain); }

struct Flags {
    int32_t v[kRecordFlagCount] = {};
};

struct RecordGame : test::ScratchGame {
    RecordGame() : test::ScratchGame({}) {}
    RecordFiles io() { return RecordFiles{engine->files.Root(), engine->errorLog, host, engine->recordKeystream}; }
};

TEST(SaveRecord, TheFileIsOneScrambledBlockWithHeaderBlocksAndCrc) {
    RecordGame g;
    Flags f;
    f.v[0] = 1;
    f.v[255] = -2;
    const std::string name = "a game whose record name runs past thirty-one bytes";
    ASSERT_TRUE(saveRecord(g.io(), "01.sav", name, "day 1", f.v, "x,5,2"));
    const std::string plain = unscramble(g.file("01.sav"));
    ASSERT_EQ(plain.size(), 64u + 6 + 1024 + 5);
    EXPECT_EQ(plain.substr(0, 4), std::string("AD1\0", 4));
    EXPECT_EQ(le32(plain, 4), 64u);
    EXPECT_EQ(le32(plain, 8), 6u);      // A: "day 1" and its zero
    EXPECT_EQ(le32(plain, 12), 1024u);  // B
    EXPECT_EQ(le32(plain, 16), 5u);     // C
    EXPECT_EQ(le32(plain, 20), 0u);
    EXPECT_EQ(plain[28], 0);
    EXPECT_EQ(plain[29], 0);
    EXPECT_EQ(uint8_t(plain[30]) | uint8_t(plain[31]) << 8, 31);
    EXPECT_EQ(plain.substr(32, 32), name.substr(0, 31) + std::string(1, '\0'));
    EXPECT_EQ(plain.substr(64, 6), std::string("day 1\0", 6));
    EXPECT_EQ(le32(plain, 70), 1u);
    EXPECT_EQ(le32(plain, 70 + 4 * 255), 0xFFFFFFFEu);
    EXPECT_EQ(plain.substr(64 + 6 + 1024), "x,5,2");

    std::string zeroed = plain;
    std::memset(zeroed.data() + 24, 0, 4);
    const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(zeroed.data()), uInt(zeroed.size())));
    EXPECT_EQ(le32(plain, 24), crc);

    // Loads under the long name (it matches in its first 31 bytes) and under
    // exactly those bytes, not under anything else.
    std::optional<RecordContents> back = loadRecord(g.io(), "01.sav", name);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->displayText, "day 1");
    EXPECT_EQ(back->flags[255], -2);
    EXPECT_EQ(back->variableText, "x,5,2");
    EXPECT_TRUE(loadRecord(g.io(), "01.sav", name.substr(0, 31)));
    EXPECT_FALSE(loadRecord(g.io(), "01.sav", name.substr(0, 30)));
    EXPECT_FALSE(loadRecord(g.io(), "01.sav", "another game"));
    EXPECT_FALSE(loadRecord(g.io(), "missing.sav", name));
    EXPECT_TRUE(g.engine->errorLog.empty());
}

TEST(SaveRecord, DamagedAndForeignFilesDoNotLoad) {
    RecordGame g;
    Flags f;
    const std::vector<uint8_t> built = buildRecord("quill", "text", f.v, "a,1,2");
    const std::string plain(built.begin(), built.end());
    auto load = [&](const std::string& plainBytes) {
        test::writeFile(g.dir / "r.sav", scramble(plainBytes));
        g.engine->errorLog.clear();
        return loadRecord(g.io(), "r.sav", "quill").has_value();
    };
    const std::string damagedLine = sj("ファイルが壊れている可能性があります") + sj("：") + "r.sav\r\n";

    EXPECT_TRUE(load(plain));
    // One flipped byte anywhere: the CRC no longer matches.
    for (size_t at : {size_t(0), size_t(5), size_t(40), size_t(66), plain.size() - 1}) {
        std::string bad = plain;
        bad[at] = char(bad[at] ^ 0x10);
        EXPECT_FALSE(load(bad)) << at;
        EXPECT_EQ(g.engine->errorLog.text(), damagedLine) << at;
    }
    // Sizes that reach past the end, shorter files, an empty file.
    std::string huge = plain;
    huge[19] = char(0xFF);
    EXPECT_FALSE(load(huge));
    EXPECT_EQ(g.engine->errorLog.text(), damagedLine);
    EXPECT_FALSE(load(plain.substr(0, plain.size() - 1)));
    EXPECT_FALSE(load(plain.substr(0, 63)));
    EXPECT_FALSE(load(""));
    EXPECT_EQ(g.engine->errorLog.text(), damagedLine);
    // Bytes after the record are not part of it.
    EXPECT_TRUE(load(plain + "tail"));

    // A consistent file with the wrong magic or a flag block of another size
    // fails without a log line.
    // The CRC over the 64 + A + B + C bytes the header declares.
    auto withCrc = [](std::string s) {
        std::memset(s.data() + 24, 0, 4);
        const size_t size = 64 + le32(s, 8) + le32(s, 12) + le32(s, 16);
        const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(s.data()), uInt(size)));
        for (int i = 0; i < 4; ++i) s[24 + size_t(i)] = char(crc >> (8 * i));
        return s;
    };
    std::string magic = plain;
    magic[2] = '2';
    EXPECT_FALSE(load(withCrc(magic)));
    EXPECT_TRUE(g.engine->errorLog.empty());
    std::string flags = plain;
    flags[12] = 0;
    flags[13] = 2;  // B = 512
    EXPECT_FALSE(load(withCrc(flags)));
    EXPECT_TRUE(g.engine->errorLog.empty());
}

int interruptAfter = -1;
int interruptHalfway(WriteStep step, uint64_t offset, size_t) {
    return step == WriteStep::Write && interruptAfter >= 0 && offset >= uint64_t(interruptAfter) ? EIO : 0;
}

TEST(SaveRecord, AnInterruptedOrRefusedSaveKeepsThePreviousRecord) {
    RecordGame g;
    Flags f;
    f.v[7] = 7;
    ASSERT_TRUE(saveRecord(g.io(), "02.sav", "quill", "old", f.v, "x,1,2"));
    const std::string before = g.file("02.sav");

    // A record of several write chunks, cut off after half of its bytes.
    const std::string big(3 * kSafeWriteChunk, 'v');
    interruptAfter = int(big.size() / 2);
    setWriteFaultHook(interruptHalfway);
    const bool saved = saveRecord(g.io(), "02.sav", "quill", "new", f.v, big);
    setWriteFaultHook(nullptr);
    EXPECT_FALSE(saved);
    EXPECT_EQ(g.file("02.sav"), before);
    std::optional<RecordContents> old = loadRecord(g.io(), "02.sav", "quill");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->displayText, "old");
    EXPECT_EQ(old->flags[7], 7);
    EXPECT_EQ(g.engine->errorLog.text(), sj("ファイルの書き込みに失敗しました") + sj("：") + "02.sav\r\n");
    const std::vector<std::string> lines = g.host.logLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find("recSave") != std::string::npos && l.find("02.sav") != std::string::npos;
    }));
    for (const auto& entry : std::filesystem::directory_iterator(g.dir.path()))
        EXPECT_EQ(entry.path().extension(), ".sav") << entry.path();

    // A game directory that cannot be written (not for root, who writes anyway).
    if (::geteuid() != 0) {
        ::chmod(g.dir.path().c_str(), 0500);
        EXPECT_FALSE(saveRecord(g.io(), "02.sav", "quill", "new", f.v, "y,2,2"));
        ::chmod(g.dir.path().c_str(), 0700);
        EXPECT_EQ(g.file("02.sav"), before);
    }
}

}  // namespace
}  // namespace qf
