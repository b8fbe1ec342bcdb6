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

using test::ScratchGame;

int intVar(Engine& e, const std::string& name) {
    const int i = e.vars.valFind(name);
    return i < 0 ? -1 : e.vars.valGetInt(i);
}

TEST(ScriptLines, ArgumentsLeftOutAreAbsentWhateverTheLinesBeforeGave) {
    ScratchGame g({{"main.txt",
                    "#drivenMode _NIL, 0\r\n"
                    "#gosub *take, 1, 2, 3, 4\r\n"
                    "#if 1\r\n#endif\r\n"
                    "#gosub *take, 5\r\n"
                    "first = p\r\nsecond = q\r\nthird = r\r\n"
                    "#gosub *take, 6, 7\r\n"
                    "#vsync\r\n"
                    "*take p, q, r, w\r\n"
                    "n = n + 1\r\n"
                    "#return\r\n"}},
                  ScratchGame::InterpreterOnly{});
    Engine& e = *g.engine;
    ASSERT_EQ(e.interp.open("main.txt"), 1);
    e.interp.step();
    EXPECT_EQ(intVar(e, "n"), 3);
    EXPECT_EQ(intVar(e, "first"), 5);
    EXPECT_EQ(intVar(e, "second"), kNil);
    EXPECT_EQ(intVar(e, "third"), kNil);
    EXPECT_EQ(intVar(e, "p"), 6);
    EXPECT_EQ(intVar(e, "q"), 7);
    EXPECT_EQ(intVar(e, "r"), kNil);
    EXPECT_EQ(intVar(e, "w"), kNil);
}

TEST(ScriptLines, AnotherScriptsLinesAtTheSameIndicesRunAsTheirOwn) {
    ScratchGame g({{"main.txt", "#drivenMode _NIL, 0\r\na = a + 1\r\nb = 10\r\n#exec \"other.txt\"\r\n"},
                   {"other.txt", "#drivenMode _NIL, 0\r\nc = c + 2\r\nd = b * 3\r\n#vsync\r\n#exec \"main.txt\"\r\n"}},
                  ScratchGame::InterpreterOnly{});
    Engine& e = *g.engine;
    ASSERT_EQ(e.interp.open("main.txt"), 1);
    for (int frame = 0; frame < 4; ++frame) e.interp.step();
    EXPECT_EQ(intVar(e, "a"), 4);
    EXPECT_EQ(intVar(e, "c"), 8);
    EXPECT_EQ(intVar(e, "d"), 30);
}

TEST(ScriptLines, ConditionsAtTheSameIndicesFollowTheirOwnScriptsIfTable) {
    // Three scripts take turns, so each one's lines land where another's were: the
    // "#if" on line 1 of each must skip by its own script's table.
    auto nested = [](const std::string& v, const std::string& next) {
        return "#drivenMode _NIL, 0\r\n#if 0\r\n  #if 1\r\n    " + v + " = " + v + " + 100\r\n  #endif\r\n#endif\r\n" + v +
               " = " + v + " + 1\r\n" + next;
    };
    ScratchGame g({{"a.txt", nested("a", "#exec \"b.txt\"\r\n")},
                   {"b.txt", "#drivenMode _NIL, 0\r\n#if 0\r\n#else\r\n  b = b + 1\r\n#endif\r\n#exec \"c.txt\"\r\n"},
                   {"c.txt", nested("c", "#vsync\r\n#exec \"a.txt\"\r\n")}},
                  ScratchGame::InterpreterOnly{});
    Engine& e = *g.engine;
    ASSERT_EQ(e.interp.open("a.txt"), 1);
    for (int frame = 0; frame < 4; ++frame) e.interp.step();
    EXPECT_EQ(intVar(e, "a"), 4);
    EXPECT_EQ(intVar(e, "b"), 4);
    EXPECT_EQ(intVar(e, "c"), 4);
}

TEST(ScriptLines, AShorterScriptTakingOverMidFrameEndsAtItsOwnLastLine) {
    std::string main = "#drivenMode _NIL, 0\r\n#exec \"short.txt\"\r\n";
    for (int k = 0; k < 30; ++k) main += "x = x + 1\r\n";
    ScratchGame g({{"main.txt", main}, {"short.txt", "y = 1\r\nz = 2\r\n"}}, ScratchGame::InterpreterOnly{});
    Engine& e = *g.engine;
    ASSERT_EQ(e.interp.open("main.txt"), 1);
    e.interp.step();
    EXPECT_EQ(intVar(e, "y"), 1);
    EXPECT_EQ(intVar(e, "z"), 2);
    EXPECT_EQ(intVar(e, "x"), -1);  // never created
    EXPECT_EQ(e.interp.ready, 0);
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
    ScratchGame g({{"main.txt", script}}, ScratchGame::InterpreterOnly{});
    Engine& e = *g.engine;
    ASSERT_EQ(e.interp.open("main.txt"), 1);
    e.interp.watchdogLimit = 1000000;
    e.interp.step();
    int s = 0, v[7] = {};
    for (int k = 0; k < 13000; ++k) {
        if (k % 2) v[k % 7] += k % 5;
        else s += k % 3;
    }
    EXPECT_EQ(intVar(e, "s"), 3 * s);
    for (int j = 0; j < 7; ++j) EXPECT_EQ(intVar(e, "v" + std::to_string(j)), 3 * v[j]) << j;
}

}  // namespace
}  // namespace qf
