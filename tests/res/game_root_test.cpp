#include "res/game_root.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "res_test_util.h"

namespace qf {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

// A game directory and, beside it, a directory the game must never reach.
struct Scratch {
    TempDir dir;
    std::string root = dir / "game";
    std::string outside = dir / "outside";

    Scratch() {
        std::filesystem::create_directories(root);
        writeFile(outside + "/secret", "secret");
        writeFile(root + "/main.txt", "main");
    }
    GameRoot open(bool kernelBeneath) const {
        std::optional<GameRoot> opened = GameRoot::open(root);
        EXPECT_TRUE(opened.has_value());
        opened->useKernelBeneath(kernelBeneath);
        return std::move(*opened);
    }
    void link(const std::string& target, const std::string& name) const {
        ASSERT_EQ(::symlink(target.c_str(), (root + "/" + name).c_str()), 0);
    }
};

std::string readVia(const GameRoot& root, std::string_view name) {
    std::optional<std::vector<uint8_t>> data = root.readAll(name, 1 << 20);
    return data ? std::string(data->begin(), data->end()) : "<none>";
}

std::vector<std::string> names(const std::vector<DirEntry>& entries) {
    std::vector<std::string> out;
    for (const DirEntry& e : entries) out.push_back(e.name + (e.isDirectory ? "/" : ""));
    return out;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

TEST(GameRoot, NamesThatLeaveTheRootAreRefused) {
    Scratch s;
    writeFile(s.root + "/sub/a.txt", "a");
    for (bool kernel : {true, false}) {
        SCOPED_TRACE(kernel ? "openat2" : "openat walk");
        GameRoot root = s.open(kernel);
        const std::string refused[] = {
            "..\\outside\\secret", "../outside/secret", "sub\\..\\..\\outside\\secret", "..",
            "..\\..\\..\\..\\..\\..\\etc\\passwd", s.outside + "/secret", "\\outside\\secret",
            "\\\\server\\share\\secret", "C:\\secret", "c:secret", "main.txt:stream", "",
            std::string("main.txt\0.png", 13), std::string(5000, 'a'), std::string(300, 'b') + "\\x",
        };
        for (const std::string& name : refused) {
            EXPECT_FALSE(root.resolve(name).has_value()) << name.substr(0, 80);
            EXPECT_EQ(root.openRead(name), -1) << name.substr(0, 80);
        }
        // A ".." that stays inside, "." pieces and doubled separators are taken the Windows way.
        EXPECT_EQ(root.resolve("sub\\..\\main.txt"), "main.txt");
        EXPECT_EQ(readVia(root, "sub\\..\\main.txt"), "main");
        EXPECT_EQ(root.resolve(".\\sub\\\\.\\a.txt"), "sub/a.txt");
        EXPECT_EQ(root.resolve("sub\\.."), ".");
        EXPECT_EQ(root.size("sub/a.txt"), 1);
        // The open layer refuses what resolve() would never give.
        EXPECT_EQ(root.openResolved("../outside/secret", O_RDONLY), -1);
        EXPECT_EQ(root.openResolved(s.outside + "/secret", O_RDONLY), -1);
        EXPECT_EQ(root.openResolved("sub/../main.txt", O_RDONLY), -1);
    }
}

TEST(GameRoot, SymbolicLinksAreRefusedWhereverTheyLead) {
    Scratch s;
    s.link(s.outside + "/secret", "link_file");
    s.link("../outside", "link_dir");
    s.link("main.txt", "in_link");  // stays inside, refused all the same
    s.link(s.outside + "/planted", "dangling");
    for (bool kernel : {true, false}) {
        SCOPED_TRACE(kernel ? "openat2" : "openat walk");
        GameRoot root = s.open(kernel);
        for (const char* name : {"link_file", "link_dir\\secret", "LINK_DIR\\secret", "in_link", "dangling"}) {
            EXPECT_FALSE(root.resolve(name).has_value()) << name;
            EXPECT_FALSE(root.lastWriteTime(name).has_value()) << name;
        }
        EXPECT_TRUE(root.list("link_dir").empty());
        EXPECT_EQ(names(root.list("")), (std::vector<std::string>{"main.txt"}));

        // Through the descriptor walk itself, as a race that swapped a piece for a link would meet it.
        EXPECT_EQ(root.openResolved("link_dir/secret", O_RDONLY), -1);
        EXPECT_EQ(root.openResolved("link_file", O_RDONLY), -1);
        EXPECT_EQ(root.openResolved("link_file", O_PATH), -1);
        EXPECT_EQ(root.openResolved("in_link", O_RDONLY), -1);
        EXPECT_EQ(root.openResolved("dangling", O_WRONLY | O_CREAT, 0644), -1);
        EXPECT_FALSE(exists(s.outside + "/planted"));

        EXPECT_FALSE(root.remove("link_file") || root.makeDirectory("link_dir\\made") ||
                     root.copy("main.txt", "link_dir\\copied", false) || root.copy("link_file", "stolen", false) ||
                     root.rename("main.txt", "link_dir\\moved") || root.rename("link_file", "renamed"));
        EXPECT_EQ(readFile(s.outside + "/secret"), "secret");
        EXPECT_FALSE(exists(s.outside + "/made") || exists(s.outside + "/copied") || exists(s.outside + "/moved"));
        EXPECT_TRUE(exists(s.root + "/link_file") && !exists(s.root + "/stolen"));
    }
}

TEST(GameRoot, LetterCaseAndDoubleByteNames) {
    Scratch s;
    writeFile(s.root + "/Data/Title.BMP", "title");
    writeFile(s.root + "/BGM/a.ogg", "upper");
    writeFile(s.root + "/bgm/a.ogg", "lower");
    writeFile(s.root + "/\x95\x5C.txt", "hyou");       // the trail byte is "\\"
    writeFile(s.root + "/\x83\x5C/a.txt", "so");       // a directory whose name ends in 0x5C
    writeFile(s.root + "/\x83\x61.txt", "small-a");  // the trail byte is "a"
    GameRoot root = s.open(true);

    EXPECT_EQ(root.resolve("data\\title.bmp"), "Data/Title.BMP");
    EXPECT_EQ(readVia(root, "DATA/TITLE.bmp"), "title");
    // The exact name wins; otherwise the first match in listing order.
    EXPECT_EQ(readVia(root, "bgm\\a.ogg"), "lower");
    EXPECT_EQ(readVia(root, "Bgm\\A.OGG"), "upper");
    // Pieces that match nothing stay as given.
    EXPECT_EQ(root.resolve("data\\New File.txt"), "Data/New File.txt");
    EXPECT_EQ(root.resolve("nothing\\deeper\\x"), "nothing/deeper/x");

    EXPECT_EQ(root.resolve("\x95\x5C.txt"), "\x95\x5C.txt");
    EXPECT_EQ(readVia(root, "\x95\x5C.TXT"), "hyou");
    EXPECT_EQ(readVia(root, "\x83\x5C\\A.TXT"), "so");
    // A trail byte is neither folded nor a separator that could make "..".
    EXPECT_EQ(readVia(root, "\x83\x61.TXT"), "small-a");
    EXPECT_EQ(readVia(root, "\x83\x41.txt"), "<none>");
    EXPECT_EQ(root.resolve("\x95\x5C..\\..\\main.txt"), "main.txt");
    EXPECT_EQ(root.resolve("\x95\x5C..\\x"), "\x95\x5C../x");
}

TEST(GameRoot, ListingsAndFileOperations) {
    Scratch s;
    for (const char* name : {"b.txt", "A.txt", "a.txt", "_x", "Z"}) writeFile(s.root + "/" + name, name);
    std::filesystem::create_directories(s.root + "/[dir]");
    std::filesystem::create_directories(s.root + "/Sub");
    writeFile(s.root + "/Sub/in.txt", "in");
    ASSERT_EQ(::mkfifo((s.root + "/pipe").c_str(), 0644), 0);
    writeFile(s.root + "/big", std::string(1000, 'x'));
    struct timespec times[2] = {{1714997049, 0}, {1714997049, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (s.root + "/big").c_str(), times, 0), 0);

    std::optional<GameRoot> opened = GameRoot::open(s.root);
    ASSERT_TRUE(opened.has_value());
    GameRoot root = std::move(*opened);
    ASSERT_GE(root.fd(), 0);
    EXPECT_FALSE(GameRoot::open(s.root + "/missing").has_value());

    // Case-insensitive, ties byte-wise; "_" sorts after the letters. No FIFO.
    EXPECT_EQ(names(root.list(".")), (std::vector<std::string>{"A.txt", "a.txt", "b.txt", "big", "main.txt", "Sub/",
                                                                "Z", "[dir]/", "_x"}));
    EXPECT_EQ(names(root.list("SUB")), (std::vector<std::string>{"in.txt"}));
    EXPECT_TRUE(root.list("missing").empty());
    EXPECT_EQ(root.openRead("pipe"), -1);  // does not block

    EXPECT_FALSE(root.readAll("BIG", 999).has_value());
    EXPECT_EQ(root.readAll("BIG", 1000).value_or(std::vector<uint8_t>{}).size(), 1000u);
    EXPECT_EQ(root.lastWriteTime("big"), std::optional<std::time_t>(1714997049));
    EXPECT_FALSE(root.lastWriteTime("sub").has_value());

    EXPECT_TRUE(root.makeDirectory("Saves"));
    EXPECT_FALSE(root.makeDirectory("saves"));
    EXPECT_FALSE(root.remove("SAVES"));  // not a directory
    EXPECT_TRUE(root.copy("b.txt", "saves\\copy.txt", true));
    EXPECT_EQ(readFile(s.root + "/Saves/copy.txt"), "b.txt");
    EXPECT_FALSE(root.copy("a.txt", "saves\\COPY.TXT", true));
    EXPECT_EQ(readFile(s.root + "/Saves/copy.txt"), "b.txt");
    EXPECT_TRUE(root.copy("a.txt", "saves\\COPY.TXT", false));
    EXPECT_EQ(readFile(s.root + "/Saves/copy.txt"), "a.txt");

    EXPECT_TRUE(root.copy("A.txt", "saves\\other.txt", false));
    EXPECT_FALSE(root.rename("saves\\other.txt", "saves\\copy.txt"));
    EXPECT_EQ(readFile(s.root + "/Saves/copy.txt"), "a.txt");
    EXPECT_TRUE(root.rename("saves\\other.txt", "saves\\moved.txt"));
    EXPECT_TRUE(root.rename("saves\\moved.txt", "saves\\copy.txt", true));
    EXPECT_EQ(readFile(s.root + "/Saves/copy.txt"), "A.txt");
    EXPECT_EQ(names(root.list("saves")), (std::vector<std::string>{"copy.txt"}));  // no temporary left
    EXPECT_TRUE(root.remove("SAVES\\COPY.TXT"));
    EXPECT_FALSE(root.remove("SAVES\\COPY.TXT"));
    EXPECT_TRUE(root.list("saves").empty());
}

}  // namespace
}  // namespace qf
