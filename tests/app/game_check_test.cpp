#include "app/game_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sjis.h"
#include "res/archive_tools.h"
#include "tests/support/scratch_game.h"

namespace qf {
namespace {

namespace fs = std::filesystem;

std::string crlf(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

GameCheckOptions options() { return {std::string(QF_BINARY_DIR) + "/"}; }

// The checker's report: the printed findings, one a line, or "cannot check: WHY".
std::vector<std::string> report(const std::string& path, bool* errors = nullptr) {
    Findings findings;
    std::string failure;
    if (!checkGame(path, options(), findings, failure)) return {"cannot check: " + failure};
    if (errors) *errors = findings.hasErrors();
    std::ostringstream out;
    findings.print(out);
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// One of each mistake, among lines that look like mistakes and are none.
TEST(GameCheck, SeededGameGivesExactlyItsMistakes) {
    test::ScratchDir dir;
    const fs::path root(dir.path());
    const std::string include = sj("続き.txt");
    writeFile(root / "main.txt", crlf({
                                     "// A comment naming #Msg and #goto *nowhere is no finding",
                                     "/* a block comment",
                                     "#badInComment",
                                     "*/",
                                     "#picLoad 0, \"Pic.bmp\"",
                                     "#picLoad 1, \"sub\\tile.bmp\"",
                                     "#picLoad 2, \"nothere.bmp\"",
                                     "#Msg",
                                     "#msg \"Name\"",
                                     "Hello #sprset is text here",
                                     "",
                                     "#sprset 0",
                                     "#goto *nowhere",
                                     "#gosub \"*start\"",
                                     "#*sub 1, 2",
                                     "#*nosub",
                                     "#if a",
                                     "#repeat 2",
                                     "#endif",
                                     "#loop",
                                     "#if b",
                                     "  #repeat 3",
                                     "  #}",
                                     "#}",
                                     "*dup",
                                     "*dup",
                                     "#include \"" + include + "\"",
                                     "#include \"gone.txt\"",
                                     "x = \"" + std::string(300, 'a') + "\"",
                                     "t = \"\xFF\"",
                                     "#else",
                                     "#/sprSet 1",
                                     "#tblLoad 0, \"data.csv\"",
                                     "#wavLoad 1, \"gone.wav\"",
                                     "*start",
                                     "*sub a, b",
                                     "#return",
                                 }));
    writeFile(root / include, crlf({"*incLabel", "#if c", "#goto *start", "#returnSet *incLabel"}));
    writeFile(root / "PIC.BMP", "BM");
    writeFile(root / "Sub" / "Tile.bmp", "BM");
    writeFile(root / "data.csv", "1,2\r\n");

    const std::string inc = "続き.txt";
    EXPECT_EQ(
        joined(report(root.string())),
        "main.txt:7: error: picture \"nothere.bmp\" not found\n"
        "main.txt:8: error: \"#Msg\" is no command (did you mean \"#msg\"?) and no loaded plug-in provides it\n"
        "main.txt:12: error: \"#sprset\" is no command (did you mean \"#sprSet\"?) and no loaded plug-in provides it\n"
        "main.txt:13: error: #goto to \"*nowhere\": no such label\n"
        "main.txt:16: error: #gosub to \"*nosub\": no such label\n"
        "main.txt:19: error: #endif crosses the #repeat block opened at line 18 (close it first)\n"
        "main.txt:26: error: duplicate label \"*dup\" (first at line 25): the engine stops the game\n"
        "main.txt:28: error: include \"gone.txt\" not found\n"
        "main.txt:29: error: line too long: the engine keeps 255 bytes of its text and drops the rest\n"
        "main.txt:30: error: byte 0xFF at column 6 is not valid Shift-JIS\n"
        "main.txt:31: error: #else outside any #if block\n"
        "main.txt:34: error: sound \"gone.wav\" not found\n" +
            inc + ":2: error: #if is never closed with #endif\n");
}

// The same names, from loose files and from the archive: the archive wants
// the exact name, and "#/" lines do not exist there.
TEST(GameCheck, ArchiveLookupIsExactAndDropsTextOnlyLines) {
    test::ScratchDir dir;
    const fs::path root(dir.path());
    const std::string script =
        crlf({"#picLoad 0, \"pic.bmp\"", "#picLoad 1, \"PIC.bmp\"", "#/picLoad 2, \"gone.bmp\""});
    writeFile(root / "loose" / "main.txt", script);
    writeFile(root / "loose" / "pic.bmp", "BM");
    EXPECT_EQ(joined(report((root / "loose").string())), "main.txt:3: error: picture \"gone.bmp\" not found\n");

    writeFile(root / "packed" / "src" / "main.txt", script);
    writeFile(root / "packed" / "src" / "pic.bmp", "BM");
    std::ostringstream out, err;
    ASSERT_EQ(runArchiveTool({"pack", (root / "packed/src").string(), (root / "packed/game.ar1").string()}, out, err,
                             nullptr),
              0)
        << err.str();
    fs::remove_all(root / "packed/src");
    EXPECT_EQ(joined(report((root / "packed").string())),
              "main.txt:2: error: picture \"PIC.bmp\" not found in the archive\n");
}

// A plug-in that loads gives its words; one that cannot be loaded here makes
// unknown words warnings only.
TEST(GameCheck, PluginWordsComeFromTheLoadedPlugins) {
    test::ScratchDir dir;
    const fs::path root(dir.path());
    writeFile(root / "a" / "main.txt", crlf({"#dllLoad \"Tovlet.dll\"", "#funcUser1", "#funcUser2", "#funcUser9"}));
    EXPECT_EQ(joined(report((root / "a").string())),
              "main.txt:4: error: \"#funcUser9\" is no command and no loaded plug-in provides it\n");

    writeFile(root / "b" / "main.txt",
              crlf({"#dllLoad \"Tovlet.dll\"", "#dllLoad \"Win.dll\"", "#funcUser1", "#winWord"}));
    writeFile(root / "b" / "Win.dll", "MZ not a library of this system");
    bool errors = true;
    EXPECT_EQ(joined(report((root / "b").string(), &errors)),
              "main.txt:2: warning: plug-in \"Win.dll\" cannot be loaded on this system: its words are not checked\n"
              "main.txt:4: warning: \"#winWord\" is no command and no plug-in inspected here provides it\n");
    EXPECT_FALSE(errors);

    writeFile(root / "c" / "main.txt", crlf({"#dllLoad \"nothing.dll\"", "#nothingWord"}));
    EXPECT_EQ(joined(report((root / "c").string())),
              "main.txt:1: error: plug-in \"nothing.dll\" not found\n"
              "main.txt:2: error: \"#nothingWord\" is no command and no loaded plug-in provides it\n");
}

// A game made of `count` copies of `lines`, `%d` replaced by the copy's number.
std::string repeated(int count, std::initializer_list<std::string> lines) {
    std::string text;
    for (int n = 0; n < count; ++n)
        for (std::string line : lines) {
            size_t at = line.find("%d");
            if (at != std::string::npos) line.replace(at, 2, std::to_string(n));
            text += line + "\r\n";
        }
    return text;
}

TEST(GameCheck, TableCapacitiesAreReportedWhereTheyRunOut) {
    test::ScratchDir dir;
    const fs::path root(dir.path());
    struct Case {
        const char* name;
        int fits, overflows;
        std::initializer_list<std::string> lines;
        int lineOfFirstOverflow;  // in the game of `overflows` copies
        const char* message;
    };
    const Case cases[] = {
        {"labels", 415, 416, {"*l%d"}, 416, "label table full"},
        {"ifs", 279, 280, {"#if 1", "#endif"}, 560, "#if table full"},
        {"switches", 85, 86, {"#switch 1", "@1", "#swend"}, 256, "#switch table full"},
        {"loops", 128, 129, {"#repeat 1", "#loop"}, 257, "loop table full"},
    };
    for (const Case& c : cases) {
        writeFile(root / c.name / "fits" / "main.txt", repeated(c.fits, c.lines));
        EXPECT_EQ(joined(report((root / c.name / "fits").string())), "") << c.name;
        writeFile(root / c.name / "over" / "main.txt", repeated(c.overflows, c.lines));
        std::vector<std::string> lines = report((root / c.name / "over").string());
        ASSERT_EQ(lines.size(), 1u) << c.name << "\n" << joined(lines);
        EXPECT_EQ(lines[0].rfind("main.txt:" + std::to_string(c.lineOfFirstOverflow) + ": error: " + c.message, 0), 0u)
            << lines[0];
    }
}

TEST(GameCheck, ExitStatusAndUsage) {
    test::ScratchDir dir;
    const fs::path root(dir.path());
    auto run = [](std::vector<std::string> args, std::string* printed = nullptr) {
        std::ostringstream out, err;
        int status = runGameCheck(args, out, err, options());
        if (printed) *printed = out.str();
        return status;
    };
    EXPECT_EQ(run({"check"}), 2);
    EXPECT_EQ(run({"check", (root / "nothing-here").string()}), 2);
    EXPECT_EQ(run({"check", root.string()}), 2);  // no main.txt
    writeFile(root / "main.txt", crlf({"#binLoad 0, \"later.bin\"", "#vsync"}));
    std::string printed;
    EXPECT_EQ(run({"check", root.string()}, &printed), 0);
    EXPECT_NE(printed.find("main.txt:1: warning: "), std::string::npos) << printed;
    writeFile(root / "other.txt", crlf({"#vsync", "#Vsync"}));
    EXPECT_EQ(run({"check", (root / "other.txt").string()}, &printed), 1);
    EXPECT_EQ(printed.rfind("other.txt:2: error: ", 0), 0u) << printed;
}

// Copies a game of tests/games the way the game runner prepares it ("pack"
// and "corrupt" steps) and returns the path its test runs.
std::string prepare(const fs::path& game, const fs::path& copy) {
    fs::copy(game, copy, fs::copy_options::recursive);
    std::string path = copy.string();
    std::istringstream steps(readFile(game / "test.txt"));
    for (std::string line; std::getline(steps, line);) {
        std::istringstream words(line);
        std::string word, a, b;
        words >> word >> a >> b;
        if (word == "pack") {
            std::ostringstream out, err;
            EXPECT_EQ(runArchiveTool({"pack", (copy / a).string(), (copy / b).string()}, out, err, nullptr), 0)
                << err.str();
            fs::remove_all(copy / a);
        } else if (word == "corrupt") {
            std::string bytes = readFile(copy / a);
            long offset = std::stol(b);
            size_t at = static_cast<size_t>(offset < 0 ? static_cast<long>(bytes.size()) + offset : offset);
            if (at < bytes.size()) bytes[at] = static_cast<char>(~bytes[at]);
            writeFile(copy / a, bytes);
        } else if (word == "path") {
            path = (copy / a).string();
        }
    }
    return path;
}

// Every game of the project: a game that breaks rules on purpose keeps its
// expected report in check.txt beside it ("# " lines are comments); every
// other game must check without an error.
TEST(GameCheck, ProjectGamesGiveNoFalseErrors) {
    std::vector<fs::path> games{fs::path(QF_SOURCE_DIR) / "games/demo"};
    for (const auto& entry : fs::directory_iterator(fs::path(QF_SOURCE_DIR) / "tests/games"))
        if (fs::exists(entry.path() / "test.txt")) games.push_back(entry.path());
    std::sort(games.begin(), games.end());
    ASSERT_GT(games.size(), 20u);
    for (const fs::path& game : games) {
        test::ScratchDir dir;
        const fs::path root(dir.path());
        const std::string path = prepare(game, root / "game");
        bool errors = false;
        const std::vector<std::string> lines = report(path, &errors);
        if (fs::exists(game / "check.txt")) {
            std::vector<std::string> expected;
            std::istringstream in(readFile(game / "check.txt"));
            for (std::string line; std::getline(in, line);)
                if (!line.empty() && line.rfind("# ", 0) != 0) expected.push_back(line);
            EXPECT_EQ(joined(lines), joined(expected)) << game;
        } else {
            EXPECT_FALSE(errors) << game << "\n" << joined(lines);
            EXPECT_TRUE(lines.empty() || lines[0].rfind("cannot check", 0) != 0) << game << "\n" << joined(lines);
        }
    }
}

// A long game: every line is walked and the one real finding is reported once.
TEST(GameCheck, HundredThousandLineGame) {
    test::ScratchDir dir;
    const fs::path root(dir.path());
    std::string text;
    for (int n = 0; n < 20000; ++n) {
        text += (n < 400 ? "*l" : "x = ") + std::to_string(n) + "\r\n";
        text += "#if x > " + std::to_string(n % 7) + "\r\n#sprSet 1, 0, 0, 0, 16, 16\r\n#endif\r\n#gosub *l1\r\n";
    }
    writeFile(root / "main.txt", text);
    const std::vector<std::string> lines = report(root.string());
    EXPECT_EQ(lines.size(), 1u) << joined(lines);  // the #if table runs out
}

}  // namespace
}  // namespace qf
