// Lines run through the interpreter's ready forms: arguments left out after lines
// that gave them, the same line index in another script, and more lines in one
// frame than the forms kept at once.
#include <gtest/gtest.h>

#include <string>

#include "app/engine.h"
#include "script/interpreter.h"
#include "script/nil.h"
#include "tests/support/scratch_game.h"

namespace qf {
namespace {

// A game of the given scripts with the interpreter only, `first` opened.
struct ScriptRun {
    test::ScratchGame g;
    Engine& e;
    ScriptRun(test::FileList files, const std::string& first) : g(files, test::ScratchGame::InterpreterOnly{}), e(*g.engine) {
        EXPECT_EQ(e.interp.open(first), 1);
    }
    void frames(int n) {
        for (int k = 0; k < n; ++k) e.interp.step();
    }
    // An integer variable, -1 when it does not exist.
    int var(const std::string& name) const {
        const int i = e.vars.valFind(name);
        return i < 0 ? -1 : e.vars.valGetInt(i);
    }
};

TEST(ScriptLines, ArgumentsLeftOutAreAbsentWhateverTheLinesBeforeGave) {
    ScriptRun run({{"main.txt",
                    "#drivenMode _NIL, 0\r\n"
                    "#gosub *take, 1, 2, 3, 4\r\n"
                    "#if 1\r\n#endif\r\n"
                    "#gosub *take, 5\r\n"
                    "first = p\r\nsecond = q\r\nthird = r\r\n"
                    "#gosub *take, 6, 7\r\n"
                    "#vsync\r\n"
                    "*take p, q, r, w\r\n"
                    "n = n + 1\r\n"
                    "#return\r\n"}}, "main.txt");
    run.frames(1);
    EXPECT_EQ(run.var("n"), 3);
    EXPECT_EQ(run.var("first"), 5);
    EXPECT_EQ(run.var("second"), kNil);
    EXPECT_EQ(run.var("third"), kNil);
    EXPECT_EQ(run.var("p"), 6);
    EXPECT_EQ(run.var("q"), 7);
    EXPECT_EQ(run.var("r"), kNil);
    EXPECT_EQ(run.var("w"), kNil);
}

TEST(ScriptLines, AnotherScriptsLinesAtTheSameIndicesRunAsTheirOwn) {
    ScriptRun run({{"main.txt", "#drivenMode _NIL, 0\r\na = a + 1\r\nb = 10\r\n#exec \"other.txt\"\r\n"},
                   {"other.txt", "#drivenMode _NIL, 0\r\nc = c + 2\r\nd = b * 3\r\n#vsync\r\n#exec \"main.txt\"\r\n"}}, "main.txt");
    run.frames(4);
    EXPECT_EQ(run.var("a"), 4);
    EXPECT_EQ(run.var("c"), 8);
    EXPECT_EQ(run.var("d"), 30);
}

TEST(ScriptLines, ConditionsAtTheSameIndicesFollowTheirOwnScriptsIfTable) {
    // Three scripts take turns, so each one's lines land where another's were: the
    // "#if" on line 1 of each must skip by its own script's table.
    auto nested = [](const std::string& v, const std::string& next) {
        return "#drivenMode _NIL, 0\r\n#if 0\r\n  #if 1\r\n    " + v + " = " + v + " + 100\r\n  #endif\r\n#endif\r\n" + v +
               " = " + v + " + 1\r\n" + next;
    };
    ScriptRun run({{"a.txt", nested("a", "#exec \"b.txt\"\r\n")},
                   {"b.txt", "#drivenMode _NIL, 0\r\n#if 0\r\n#else\r\n  b = b + 1\r\n#endif\r\n#exec \"c.txt\"\r\n"},
                   {"c.txt", nested("c", "#vsync\r\n#exec \"a.txt\"\r\n")}}, "a.txt");
    run.frames(4);
    EXPECT_EQ(run.var("a"), 4);
    EXPECT_EQ(run.var("b"), 4);
    EXPECT_EQ(run.var("c"), 4);
}

TEST(ScriptLines, AShorterScriptTakingOverMidFrameEndsAtItsOwnLastLine) {
    std::string main = "#drivenMode _NIL, 0\r\n#exec \"short.txt\"\r\n";
    for (int k = 0; k < 30; ++k) main += "x = x + 1\r\n";
    ScriptRun run({{"main.txt", main}, {"short.txt", "y = 1\r\nz = 2\r\n"}}, "main.txt");
    run.frames(1);
    EXPECT_EQ(run.var("y"), 1);
    EXPECT_EQ(run.var("z"), 2);
    EXPECT_EQ(run.var("x"), -1);  // never created
    EXPECT_EQ(run.e.interp.ready, 0);
}

TEST(ScriptLines, AFrameOfMoreLinesThanTheFormsKeptRunsEachAsWritten) {
    // 13,000 lines: each set of ready forms is shared by three or four lines that
    // take turns, so lines are compiled again while the frame runs.
    std::string script = "#drivenMode _NIL, 0\r\n#repeat 3\r\n";
    for (int k = 0; k < 13000; ++k) {
        const std::string v = "v" + std::to_string(k % 7);
        script += k % 2 ? v + " = " + v + " + " + std::to_string(k % 5) + "\r\n" : "s = s + " + std::to_string(k % 3) + "\r\n";
    }
    script += "#loop\r\n#vsync\r\n";
    ScriptRun run({{"main.txt", script}}, "main.txt");
    run.e.interp.watchdogLimit = 1000000;
    run.frames(1);
    int s = 0, v[7] = {};
    for (int k = 0; k < 13000; ++k) {
        if (k % 2) v[k % 7] += k % 5;
        else s += k % 3;
    }
    EXPECT_EQ(run.var("s"), 3 * s);
    for (int j = 0; j < 7; ++j) EXPECT_EQ(run.var("v" + std::to_string(j)), 3 * v[j]) << j;
}

}  // namespace
}  // namespace qf
