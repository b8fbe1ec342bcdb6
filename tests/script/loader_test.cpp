#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "platform/headless/headless_host.h"
#include "script/command_table.h"
#include "script/interpreter.h"
#include "script/rpn.h"
#include "script/variables.h"

namespace qf {
namespace {

// The loader and the interpreter over scripts held in memory.
struct GameDir {
    HeadlessHost host;
    Variables vars{host};
    Rpn rpn{vars, host};
    Program programLines;
    FrameTimers timers;
    Interpreter interp{programLines, vars, rpn, host, timers};
    std::map<std::string, std::string> files;

    explicit GameDir(std::initializer_list<std::pair<std::string, std::string>> list) : files(list.begin(), list.end()) {
        interp.source.read = [this](const std::string& name, std::string& out) {
            auto it = files.find(name);
            if (it == files.end()) return false;
            out = it->second;
            return true;
        };
        interp.start();
    }
    const Program& program() const { return programLines; }
    int dialogs() const {
        int n = 0;
        for (const auto& l : host.logLines()) n += l.rfind("dialog\t", 0) == 0;
        return n;
    }
};

TEST(Loader, LinesCommandsAndSourceLines) {
    GameDir g({{"main.txt", "// comment\r\n\r\na = 1\r\n*label x, y\r\n#vsync\r\n@case 3\r\n/ dropped\r\n#unknownWord 1, 2\r\n"}});
    ASSERT_EQ(g.interp.open("main.txt"), 1);
    const Program& p = g.program();
    ASSERT_EQ(p.lineCount(), 5);
    EXPECT_EQ(p.lines[0].command, CMD_EXPRESSION);
    EXPECT_EQ(p.lines[0].sourceLine, 2);
    EXPECT_EQ(p.lines[0].args, "a = 1");
    EXPECT_EQ(p.lines[1].command, CMD_LABEL);
    EXPECT_EQ(p.lines[1].args, "x, y");
    EXPECT_TRUE(p.lines[1].pieces[0].present);
    EXPECT_TRUE(p.lines[1].pieces[1].present);
    EXPECT_FALSE(p.lines[1].pieces[2].present);
    EXPECT_EQ(p.lines[1].pieces.size(), 2u);  // absent pieces are not stored
    EXPECT_EQ(p.lines[2].command, findCommand("#vsync"));
    EXPECT_FALSE(p.lines[2].pieces[0].present);
    EXPECT_EQ(p.lines[2].pieces.size(), 0u);
    EXPECT_EQ(p.lines[3].command, CMD_CASE);
    EXPECT_EQ(p.lines[3].args, "3");
    EXPECT_EQ(p.lines[4].command, kPluginCommandBase + 0);
    EXPECT_EQ(p.lines[4].args, "");
    ASSERT_EQ(p.labels.size(), 1u);
    EXPECT_EQ(p.labels[0].name, "*label");
    EXPECT_EQ(p.labels[0].line, 1);
    EXPECT_EQ(p.labels[0].sourceLine, 3);
    ASSERT_EQ(p.switches.size(), 1u);
    EXPECT_EQ(p.switches[0].kind, SW_CASE);
    EXPECT_EQ(p.switches[0].value, "3");
}

TEST(Loader, PiecesBeyondTheEighthAreDropped) {
    GameDir g({{"main.txt", "#print 1, 2, 3, 4, 5, 6, 7, 8 + 1, 9, 10\r\n#print ,,x\r\n"}});
    ASSERT_EQ(g.interp.open("main.txt"), 1);
    const Program& p = g.program();
    ASSERT_EQ(p.lineCount(), 2);
    EXPECT_EQ(p.lines[0].pieces.size(), 8u);
    EXPECT_EQ(p.lines[0].pieces[7].postfix(), "8,1,+,");
    EXPECT_EQ(p.lines[0].pieces[0].postfix(), "1,");
    // Empty pieces are present, with an empty postfix text.
    EXPECT_EQ(p.lines[1].pieces.size(), 3u);
    EXPECT_TRUE(p.lines[1].pieces[1].present);
    EXPECT_TRUE(p.lines[1].pieces[1].postfix().empty());
    EXPECT_EQ(p.lines[1].pieces[2].postfix(), "x,");
    EXPECT_FALSE(p.lines[1].pieces[3].present);
}

TEST(Loader, BlockClosersAndForPairing) {
    GameDir g({{"main.txt", "#if 1\r\n#repeat 2\r\n#}\r\n#}\r\n#for i = 0, i < 3, i = i + 1\r\n#next\r\n#}\r\n"}});
    ASSERT_EQ(g.interp.open("main.txt"), 1);
    const Program& p = g.program();
    ASSERT_EQ(p.lineCount(), 7);
    EXPECT_EQ(p.lines[2].command, findCommand("#loop"));
    EXPECT_EQ(p.lines[3].command, findCommand("#endif"));
    EXPECT_EQ(p.lines[6].command, findCommand("#}"));  // nothing open: stays "#}"
    // "#for" keeps the initialisation and the condition; "#next" gets the step and the condition.
    const ProgramLine& forLine = p.lines[4];
    const ProgramLine& nextLine = p.lines[5];
    EXPECT_TRUE(forLine.pieces[2].postfix().empty());
    EXPECT_EQ(nextLine.pieces[1].postfix(), forLine.pieces[1].postfix());
    EXPECT_FALSE(nextLine.pieces[0].postfix().empty());
    ASSERT_EQ(p.ifs.size(), 2u);
    EXPECT_EQ(p.ifs[1].kind, IF_ENDIF);
    ASSERT_EQ(p.loops.size(), 4u);
    EXPECT_EQ(p.loops[1].kind, LOOP_LOOP);
    EXPECT_EQ(p.loops[3].kind, LOOP_NEXT);
}

TEST(Loader, TableLimitsReportWhenReachedAndNeverOverflow) {
    std::string script;
    for (int i = 0; i < 420; ++i) script += "*l" + std::to_string(i) + "\r\n";
    for (int i = 0; i < 290; ++i) script += "#if 1\r\n#endif\r\n";
    for (int i = 0; i < 130; ++i) script += "#switch 1\r\n#swend\r\n";
    for (int i = 0; i < 140; ++i) script += "#repeat 1\r\n#loop\r\n";
    GameDir g({{"main.txt", script}});
    ASSERT_EQ(g.interp.open("main.txt"), 1);
    const Program& p = g.program();
    EXPECT_EQ(p.labels.size(), 416u);
    EXPECT_EQ(p.labels.back().name, "*l415");  // the 416th label is stored when the message comes
    EXPECT_EQ(p.ifs.size(), 560u);
    EXPECT_EQ(p.switches.size(), 256u);
    EXPECT_EQ(p.loops.size(), 256u);
    std::vector<std::string> log = g.host.logLines();
    auto has = [&](const char* utf8) {
        return std::any_of(log.begin(), log.end(), [&](const std::string& l) { return l.find(utf8) != std::string::npos; });
    };
    EXPECT_TRUE(has("*ジャンプラベルの最大数に達しました"));
    EXPECT_TRUE(has("#ifテーブルの最大数に達しました"));
    EXPECT_TRUE(has("#switchテーブルの最大数に達しました"));
    EXPECT_EQ(g.dialogs(), 3);
}

// Each label is compared with every other: a name held three times is reported
// twice for each of its entries, in table order, after the main file and again
// after each included file; comments are cut from the lines of every file.
TEST(Loader, DuplicateLabelsAreReportedForEveryPairAfterEachFile) {
    GameDir g({{"main.txt", "#include \"more.txt\"\r\n*a\r\n*b\r\n*a // again\r\nx = 1 // one\r\n"},
               {"more.txt", "*a\r\n*b\r\ny = 2 // two\r\n"}});
    g.interp.open("main.txt");
    std::vector<std::string> names;
    for (const std::string& l : g.host.logLines())
        if (l.find("ラベル重複") != std::string::npos) names.push_back(l.substr(l.rfind('\t') + 1));
    const std::vector<std::string> afterMain = {"*a", "*a"};
    std::vector<std::string> expected = afterMain;
    for (const char* n : {"*a", "*a", "*b", "*a", "*a", "*a", "*a", "*b"}) expected.push_back(n);
    EXPECT_EQ(names, expected);
    const Program& p = g.program();
    for (const ProgramLine& line : p.lines) EXPECT_EQ(line.args.find("//"), std::string::npos) << line.args;
}

TEST(Loader, IncludesAreListedOnceDepthFirstAndMissingOnesAddNothing) {
    GameDir g({{"main.txt", "#include \"a.txt\"\r\n#include \"b.txt\"\r\n#include \"a.txt\"\r\n#include \"main.txt\"\r\n#include \"gone.txt\"\r\nm = 1\r\n"},
               {"a.txt", "#include \"c.txt\"\r\n*a\r\n"},
               {"b.txt", "*b\r\n"},
               {"c.txt", "*c\r\n"}});
    ASSERT_EQ(g.interp.open("main.txt"), 1);
    const Program& p = g.program();
    ASSERT_EQ(p.includes.size(), 4u);
    EXPECT_EQ(p.includes[0].name, "a.txt");
    EXPECT_EQ(p.includes[1].name, "c.txt");
    EXPECT_EQ(p.includes[2].name, "b.txt");
    EXPECT_EQ(p.includes[3].name, "gone.txt");
    ASSERT_EQ(p.labels.size(), 3u);
    EXPECT_EQ(p.labels[0].name, "*a");
    EXPECT_EQ(p.labels[1].name, "*c");
    EXPECT_EQ(p.labels[2].name, "*b");
    EXPECT_GT(p.labels[0].line, 5);  // included lines follow the main script
}

TEST(Loader, MissingOrEmptyMainScriptFailsAndStopsTheInterpreter) {
    GameDir g({{"empty.txt", ""}});
    EXPECT_EQ(g.interp.open("empty.txt"), 0);
    EXPECT_EQ(g.interp.ready, 0);
    GameDir h({});
    EXPECT_EQ(h.interp.open("main.txt"), 0);
}

// Line feeds alone do not end script lines: five million of them are one
// line, and the program is not sized by them.
TEST(Loader, ProgramSpaceFollowsTheLinesNotTheLineFeeds) {
    GameDir g({{"main.txt", "a = 1\r\n" + std::string(5000000, '\n') + "\r\nb = 2\r\n"}});
    ASSERT_EQ(g.interp.open("main.txt"), 1);
    EXPECT_EQ(g.program().lineCount(), 2);  // the run of line feeds is a blank line
    EXPECT_LT(g.program().lines.capacity(), 8u);
}

}  // namespace
}  // namespace qf
