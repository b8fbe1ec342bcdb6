#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <thread>

#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "res/disk_path.h"
#include "res/error_log.h"
#include "res/file.h"
#include "res/file_io.h"
#include "res_test_util.h"

namespace qf {
namespace {

using test::InDirectory;
using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(FileHelpers, RangedReadsAndWrites) {
    TempDir dir;
    InDirectory in(dir.path());
    std::string thousand(1000, '\0');
    for (int i = 0; i < 1000; ++i) thousand[static_cast<size_t>(i)] = static_cast<char>(i % 251);
    writeFile("a.bin", thousand);

    EXPECT_EQ(fileSizeGet("a.bin"), 1000);
    EXPECT_EQ(fileSizeGet("missing.bin"), -1);
    EXPECT_EQ(fileSizeGet("."), -1);

    std::vector<uint8_t> buffer(1000, 0xEE);
    EXPECT_EQ(fileRead("a.bin", buffer, -1, 100), 900);
    EXPECT_EQ(buffer[0], static_cast<uint8_t>(100 % 251));
    EXPECT_EQ(buffer[899], static_cast<uint8_t>(999 % 251));
    EXPECT_EQ(buffer[900], 0xEE);
    std::vector<uint8_t> small(10);
    EXPECT_EQ(fileRead("a.bin", small, -1, 0), 10);  // never past the buffer
    EXPECT_EQ(fileRead("missing.bin", buffer), 0);

    // fileWrite never truncates; File::Write with keep 0 leaves exactly the data.
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(fileWrite("a.bin", abc, 3, 10), 3);
    std::string after = readFile("a.bin");
    EXPECT_EQ(after.size(), 1000u);
    EXPECT_EQ(after.substr(10, 3), "abc");
    EXPECT_EQ(after.substr(13), thousand.substr(13));
    File f;
    EXPECT_EQ(f.Write("a.bin", "xyz", 3, 0, 0), 3);
    EXPECT_EQ(readFile("a.bin"), "xyz");
    EXPECT_EQ(f.Write("a.bin", "Q", 1, 1, 1), 1);
    EXPECT_EQ(readFile("a.bin"), "xQz");

    File r("a.bin", -1, 1);
    EXPECT_EQ(r.m_nSize, 2);
    EXPECT_EQ(r.m_pData[2], 0);
    EXPECT_STREQ(r.m_szName, "a.bin");
    EXPECT_EQ(r.Read("missing.bin"), -1);
    EXPECT_EQ(r.m_nSize, 2);  // the previous data remain
    r.Set("\0abc", 4);
    EXPECT_EQ(r.Crc(), 0u);
    r.Set("abc", 3);
    EXPECT_EQ(r.Crc(), 0x352441C2u);

    EXPECT_EQ(fileCopy("b.bin", "a.bin", true), 1);
    EXPECT_EQ(fileCopy("b.bin", "a.bin", true), 0);
    EXPECT_EQ(fileCopy("b.bin", "missing.bin", false), 0);
    EXPECT_EQ(readFile("b.bin"), "xQz");
}

TEST(FileHelpers, WindowsNamesOnALinuxDisk) {
    TempDir dir;
    InDirectory in(dir.path());
    writeFile("Data/Title.BMP", "pic");
    writeFile("Data/b.txt", "x");

    EXPECT_EQ(fileSizeGet("data\\title.bmp"), 3);
    EXPECT_EQ(fileSizeGet("DATA/TITLE.bmp"), 3);
    EXPECT_EQ(resolveDiskPath("data\\title.bmp"), "Data/Title.BMP");
    EXPECT_EQ(resolveDiskPath("data\\new.txt"), "Data/new.txt");  // creating keeps the new piece
    EXPECT_EQ(resolveDiskPath("nodir\\x.txt"), "nodir/x.txt");
    // A trail byte 0x5C of a double-byte character is not a separator.
    EXPECT_EQ(toDiskSeparators("\x95\x5C\\a"), "\x95\x5C/a");
    EXPECT_EQ(foldAsciiCase("\x82\x61" "a"), "\x82\x61" "A");

    // Writing through another letter case replaces the existing file.
    const uint8_t bytes[] = {'P'};
    EXPECT_EQ(fileWrite("data\\TITLE.bmp", bytes, 1, 0), 1);
    EXPECT_EQ(readFile("Data/Title.BMP"), "Pic");
}

TEST(FileHelpers, ListingsInWindowsOrder) {
    TempDir dir;
    InDirectory in(dir.path());
    for (const char* name : {"b.txt", "B.txt", "a.TXT", "_z.txt", "C.txt"}) writeFile(name, "x");
    std::filesystem::create_directory("Sub");
    std::filesystem::create_directory("dir");

    std::string out = "stale";
    EXPECT_EQ(fileListGet(out, dir.path(), 2, "\\*"), 5);
    EXPECT_EQ(out, "a.TXT\nB.txt\nb.txt\nC.txt\n_z.txt\n");  // '_' sorts after the letters
    EXPECT_EQ(fileListGet(out, dir.path(), 1 + 4, "\\*"), 2);
    EXPECT_EQ(out, "a.TXT\nB.txt\nb.txt\nC.txt\n_z.txt\ndir\nSub\n");
    EXPECT_EQ(fileListGet(out, ".", 3, "\\*.TXT"), 5);
    EXPECT_EQ(out.substr(0, 13), "[FILE] a.TXT\n");
    EXPECT_EQ(fileListGet(out, ".", 3, "\\S*"), 1);
    EXPECT_EQ(out, "[DIR_] Sub\n");
    EXPECT_EQ(fileListGet(out, dir / "nothing", 3, "\\*"), 0);
    EXPECT_EQ(out, "");
}

TEST(FileHelpers, TimesDirectoriesAndDeletion) {
    TempDir dir;
    InDirectory in(dir.path());
    writeFile("t.txt", "x");
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
        "t.txt", std::filesystem::file_time_type::clock::now() +
                     std::chrono::seconds(t - std::chrono::system_clock::to_time_t(std::chrono::system_clock::now())));
    auto text = fileTimeGetStr("T.TXT");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, "2024/05/06 13:04:09");
    EXPECT_FALSE(fileTimeGetStr("missing").has_value());

    EXPECT_NE(fileDirCreate("made"), 0);
    EXPECT_EQ(fileDirCreate("made"), 0);
    EXPECT_EQ(fileCurDirGet(), std::filesystem::current_path().string());

    HeadlessHost host;
    EXPECT_EQ(fileDelete(host, "t.txt"), 1);
    EXPECT_FALSE(std::filesystem::exists("t.txt"));
    EXPECT_TRUE(host.logLines().empty());
    EXPECT_EQ(fileDelete(host, "t.txt"), 1);
    ASSERT_EQ(host.logLines().size(), 1u);
    EXPECT_EQ(host.logLines()[0], "dialog\tfileDelete()\t削除に失敗しました");

    // A File that traces reports to the debugger output and still answers 1.
    File quiet, traced(&host);
    EXPECT_EQ(quiet.Delete("t.txt"), 0);
    EXPECT_EQ(traced.Delete("t.txt"), 1);
    EXPECT_EQ(traced.SizeGet("t.txt"), -1);
    EXPECT_EQ(host.logLines().back(), "dbg\t【エラー：File::SizeGet()】ファイルの読み込みに失敗しました：t.txt");
}

TEST(ErrorLog, KindsThreadsAndTheShutdownFile) {
    TempDir dir;
    InDirectory in(dir.path());
    writeFile("_error.txt", "earlier run");
    ErrorLog log;
    EXPECT_FALSE(errLogSave(log));
    EXPECT_EQ(readFile("_error.txt"), "earlier run");  // an empty log writes nothing

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

    EXPECT_TRUE(errLogSave(log));
    EXPECT_EQ(readFile("_error.txt"), text);
    errLogClear(log);
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace qf
