#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <thread>

#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "res/disk_path.h"
#include "res/error_log.h"
#include "res/file.h"
#include "res/file_io.h"
#include "res/safe_write.h"
#include "res_test_util.h"

namespace qf {
namespace {

using test::entriesOf;
using test::openRoot;
using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(FileHelpers, RangedReadsAndWrites) {
    TempDir dir;
    GameRoot root = openRoot(dir.path());
    std::string thousand(1000, '\0');
    for (int i = 0; i < 1000; ++i) thousand[static_cast<size_t>(i)] = static_cast<char>(i % 251);
    writeFile(dir / "a.bin", thousand);

    EXPECT_EQ(fileSizeGet(root, "a.bin"), 1000);
    EXPECT_EQ(fileSizeGet(root, "missing.bin"), -1);
    EXPECT_EQ(fileSizeGet(root, "."), -1);

    std::vector<uint8_t> buffer(1000, 0xEE);
    EXPECT_EQ(fileRead(root, "a.bin", buffer, -1, 100), 900);
    EXPECT_EQ(buffer[0], static_cast<uint8_t>(100 % 251));
    EXPECT_EQ(buffer[899], static_cast<uint8_t>(999 % 251));
    EXPECT_EQ(buffer[900], 0xEE);
    std::vector<uint8_t> small(10);
    EXPECT_EQ(fileRead(root, "a.bin", small, -1, 0), 10);  // never past the buffer
    EXPECT_EQ(fileRead(root, "missing.bin", buffer), 0);

    // fileWrite never truncates; File::Write with keep 0 leaves exactly the data.
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(fileWrite(root, "a.bin", abc, 3, 10), 3);
    std::string after = readFile(dir / "a.bin");
    EXPECT_EQ(after.size(), 1000u);
    EXPECT_EQ(after.substr(10, 3), "abc");
    EXPECT_EQ(after.substr(13), thousand.substr(13));
    File f(root);
    EXPECT_EQ(f.Write("a.bin", "xyz", 3, 0, 0), 3);
    EXPECT_EQ(readFile(dir / "a.bin"), "xyz");
    EXPECT_EQ(f.Write("a.bin", "Q", 1, 1, 1), 1);
    EXPECT_EQ(readFile(dir / "a.bin"), "xQz");

    File r(root, "a.bin", -1, 1);
    EXPECT_EQ(r.m_nSize, 2);
    EXPECT_EQ(r.m_pData[2], 0);
    EXPECT_STREQ(r.m_szName, "a.bin");
    EXPECT_EQ(r.Read("missing.bin"), -1);
    EXPECT_EQ(r.m_nSize, 2);  // the previous data remain
    r.Set("\0abc", 4);
    EXPECT_EQ(r.Crc(), 0u);
    r.Set("abc", 3);
    EXPECT_EQ(r.Crc(), 0x352441C2u);

    EXPECT_EQ(fileCopy(root, "b.bin", "a.bin", true), 1);
    EXPECT_EQ(fileCopy(root, "b.bin", "a.bin", true), 0);
    EXPECT_EQ(fileCopy(root, "b.bin", "missing.bin", false), 0);
    EXPECT_EQ(readFile(dir / "b.bin"), "xQz");
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string>{"a.bin", "b.bin"}));  // no temporaries left
}

// A whole-file write goes through a temporary: when a step of it fails, the
// earlier file is kept as it was (a write in place would have truncated it).
int failEveryWrite(WriteStep step, uint64_t, size_t) { return step == WriteStep::Write ? ENOSPC : 0; }

TEST(FileHelpers, AFailedWholeFileWriteKeepsTheEarlierFile) {
    TempDir dir;
    GameRoot root = openRoot(dir.path());
    writeFile(dir / "save.dat", "earlier contents");
    HeadlessHost host;
    File f(root, &host);
    setWriteFaultHook(failEveryWrite);
    int64_t written = f.Write("save.dat", "new", 3, 0, 0);
    setWriteFaultHook(nullptr);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(readFile(dir / "save.dat"), "earlier contents");
    EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"save.dat"});
    ASSERT_FALSE(host.logLines().empty());
    EXPECT_EQ(host.logLines().back(), "dbg\t【エラー：File::Write()】ファイルの書き込みに失敗しました：save.dat");

    // Names that leave the game directory fail like missing files.
    writeFile(dir / "outside.txt", "outside");
    writeFile(dir / "game/main.txt", "main");
    GameRoot game = openRoot(dir / "game");
    File g(game);
    EXPECT_EQ(g.Write("..\\outside.txt", "x", 1, 0, 0), 0);
    EXPECT_EQ(g.Write("..\\outside.txt", "x", 1, 0, 1), 0);
    EXPECT_EQ(g.Read("..\\outside.txt"), -1);
    const uint8_t x[] = {'x'};
    EXPECT_EQ(fileWrite(game, "../outside.txt", x, 1, 0), 0);
    EXPECT_EQ(fileCopy(game, "..\\outside.txt", "main.txt", false), 0);
    EXPECT_EQ(fileSizeGet(game, dir / "outside.txt"), -1);
    EXPECT_EQ(readFile(dir / "outside.txt"), "outside");
}

TEST(FileHelpers, WindowsNamesOnALinuxDisk) {
    TempDir dir;
    GameRoot root = openRoot(dir.path());
    writeFile(dir / "Data/Title.BMP", "pic");
    writeFile(dir / "Data/b.txt", "x");

    EXPECT_EQ(fileSizeGet(root, "data\\title.bmp"), 3);
    EXPECT_EQ(fileSizeGet(root, "DATA/TITLE.bmp"), 3);
    EXPECT_EQ(root.resolve("data\\title.bmp"), "Data/Title.BMP");
    EXPECT_EQ(root.resolve("data\\new.txt"), "Data/new.txt");  // creating keeps the new piece
    EXPECT_EQ(root.resolve("nodir\\x.txt"), "nodir/x.txt");
    // A trail byte 0x5C of a double-byte character is not a separator.
    EXPECT_EQ(toDiskSeparators("\x95\x5C\\a"), "\x95\x5C/a");
    EXPECT_EQ(foldAsciiCase("\x82\x61" "a"), "\x82\x61" "A");
    // A lead byte at the very end has no trail byte to take.
    EXPECT_EQ(toDiskSeparators("a\\\x81"), "a/\x81");
    EXPECT_EQ(foldAsciiCase("a\x81"), "A\x81");

    // Writing through another letter case replaces the existing file.
    const uint8_t bytes[] = {'P'};
    EXPECT_EQ(fileWrite(root, "data\\TITLE.bmp", bytes, 1, 0), 1);
    EXPECT_EQ(readFile(dir / "Data/Title.BMP"), "Pic");
    EXPECT_EQ(entriesOf(dir / "Data"), (std::vector<std::string>{"Title.BMP", "b.txt"}));
}

TEST(FileHelpers, ListingsInWindowsOrder) {
    TempDir dir;
    GameRoot root = openRoot(dir.path());
    for (const char* name : {"b.txt", "B.txt", "a.TXT", "_z.txt", "C.txt", "Sub/inner.txt"}) writeFile(dir / name, "x");
    std::filesystem::create_directory(dir / "dir");

    std::string out = "stale";
    EXPECT_EQ(fileListGet(root, out, "", 2, "\\*"), 5);
    EXPECT_EQ(out, "a.TXT\nB.txt\nb.txt\nC.txt\n_z.txt\n");  // '_' sorts after the letters
    EXPECT_EQ(fileListGet(root, out, "", 1 + 4, "\\*"), 2);
    EXPECT_EQ(out, "a.TXT\nB.txt\nb.txt\nC.txt\n_z.txt\ndir\nSub\n");
    EXPECT_EQ(fileListGet(root, out, ".", 3, "\\*.TXT"), 5);
    EXPECT_EQ(out.substr(0, 13), "[FILE] a.TXT\n");
    EXPECT_EQ(fileListGet(root, out, ".", 3, "\\S*"), 1);
    EXPECT_EQ(out, "[DIR_] Sub\n");
    EXPECT_EQ(fileListGet(root, out, "sub", 2, "\\*"), 1);  // the directory in any letter case
    EXPECT_EQ(out, "inner.txt\n");
    EXPECT_EQ(fileListGet(root, out, "nothing", 3, "\\*"), 0);
    EXPECT_EQ(out, "");
    // Directories outside the game directory list nothing.
    out = "stale";
    EXPECT_EQ(fileListGet(root, out, dir.path(), 3, "\\*"), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(fileListGet(root, out, "..", 3, "\\*"), 0);
    EXPECT_EQ(fileListGet(root, out, "Sub\\..\\..", 3, "\\*"), 0);
}

TEST(FileHelpers, TimesDirectoriesAndDeletion) {
    TempDir dir;
    GameRoot root = openRoot(dir.path());
    writeFile(dir / "t.txt", "x");
    std::tm when {};
    when.tm_year = 2024 - 1900;
    when.tm_mon = 4;
    when.tm_mday = 6;
    when.tm_hour = 13;
    when.tm_min = 4;
    when.tm_sec = 9;
    when.tm_isdst = -1;
    std::time_t t = std::mktime(&when);
    std::filesystem::last_write_time(
        dir / "t.txt",
        std::filesystem::file_time_type::clock::now() +
            std::chrono::seconds(t - std::chrono::system_clock::to_time_t(std::chrono::system_clock::now())));
    auto text = fileTimeGetStr(root, "T.TXT");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, "2024/05/06 13:04:09");
    EXPECT_FALSE(fileTimeGetStr(root, "missing").has_value());

    EXPECT_NE(fileDirCreate(root, "made"), 0);
    EXPECT_EQ(fileDirCreate(root, "made"), 0);
    EXPECT_NE(fileDirCreate(root, "MADE\\deeper"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "made/deeper"));
    EXPECT_EQ(fileDirCreate(root, "..\\escaped"), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(dir.path()).parent_path() / "escaped"));

    HeadlessHost host;
    EXPECT_EQ(fileDelete(root, host, "t.txt"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "t.txt"));
    EXPECT_TRUE(host.logLines().empty());
    EXPECT_EQ(fileDelete(root, host, "t.txt"), 1);
    ASSERT_EQ(host.logLines().size(), 1u);
    EXPECT_EQ(host.logLines()[0], "dialog\tfileDelete()\t削除に失敗しました");
    EXPECT_EQ(fileDelete(root, host, "made"), 1);  // a directory is not deleted
    EXPECT_EQ(host.logLines().size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "made"));

    // A File that traces reports to the debugger output and still answers 1.
    File quiet(root), traced(root, &host);
    EXPECT_EQ(quiet.Delete("t.txt"), 0);
    EXPECT_EQ(traced.Delete("t.txt"), 1);
    EXPECT_EQ(traced.SizeGet("t.txt"), -1);
    EXPECT_EQ(host.logLines().back(), "dbg\t【エラー：File::SizeGet()】ファイルの読み込みに失敗しました：t.txt");
}

TEST(ErrorLog, KindsThreadsAndTheShutdownFile) {
    TempDir dir;
    GameRoot root = openRoot(dir.path());
    writeFile(dir / "_error.txt", "earlier run");
    ErrorLog log;
    EXPECT_FALSE(errLogSave(log, root));
    EXPECT_EQ(readFile(dir / "_error.txt"), "earlier run");  // an empty log writes nothing

    errLogAdd(log, 5, "rom.ar1");
    errLogAdd(log, 7, "ignored");
    errLogAdd(log, -1, "ignored");
    EXPECT_EQ(sjisToUtf8(log.text()), "ファイルが壊れている可能性があります：rom.ar1\r\n");

    std::vector<std::thread> writers;
    for (int k = 0; k < 4; ++k)
        writers.emplace_back([&log] {
            for (int i = 0; i < 500; ++i) log.add(1, "x");
        });
    for (auto& w : writers) w.join();
    std::string line = sj("ファイルのオープンに失敗しました：") + "x\r\n";
    std::string text = log.text();
    std::string first = sj("ファイルが壊れている可能性があります：") + "rom.ar1\r\n";
    ASSERT_EQ(text.size(), first.size() + 2000 * line.size());
    int whole = 0;
    for (size_t pos = first.size(); pos < text.size(); pos += line.size()) whole += text.compare(pos, line.size(), line) == 0;
    EXPECT_EQ(whole, 2000);

    EXPECT_TRUE(errLogSave(log, root));
    EXPECT_EQ(readFile(dir / "_error.txt"), text);
    EXPECT_TRUE(log.save(root, "other.txt"));
    EXPECT_EQ(readFile(dir / "other.txt"), text);
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string>{"_error.txt", "other.txt"}));
    errLogClear(log);
    EXPECT_TRUE(log.empty());
}

// "_error.txt" planted as a link to a file outside the game directory: the
// save refuses the link (it is neither followed nor replaced).
TEST(ErrorLog, APlantedLinkIsNotFollowed) {
    TempDir dir;
    writeFile(dir / "outside/victim.txt", "precious");
    std::filesystem::create_directory(dir / "game");
    ASSERT_EQ(::symlink((dir / "outside/victim.txt").c_str(), (dir / "game/_error.txt").c_str()), 0);
    ASSERT_EQ(::symlink("../outside/victim.txt", (dir / "game/relative.txt").c_str()), 0);
    GameRoot root = openRoot(dir / "game");
    ErrorLog log;
    errLogAdd(log, 1, "a.bmp");

    EXPECT_FALSE(errLogSave(log, root));
    EXPECT_FALSE(log.save(root, "relative.txt"));
    EXPECT_FALSE(log.save(root, "_ERROR.TXT"));  // the link matched ignoring case
    EXPECT_EQ(readFile(dir / "outside/victim.txt"), "precious");
    EXPECT_EQ(entriesOf(dir / "outside"), std::vector<std::string>{"victim.txt"});
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "game/_error.txt"));
    EXPECT_EQ(std::filesystem::read_symlink(dir / "game/_error.txt"), dir / "outside/victim.txt");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "game/relative.txt"));
    EXPECT_EQ(entriesOf(dir / "game"), (std::vector<std::string>{"_error.txt", "relative.txt"}));  // no temporaries
}

}  // namespace
}  // namespace qf
