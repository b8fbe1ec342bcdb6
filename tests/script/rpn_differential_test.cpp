// The evaluator against a literal, step-by-step evaluator
// (rpn_reference.h): random expressions and random postfix texts must give the same
// result, the same last element name, the same variables and the same flags.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <vector>
#include <string>

#include "platform/headless/headless_host.h"
#include "rpn_reference.h"
#include "script/rpn.h"

using namespace qf;

namespace {

const char* kPieces[] = {
    "i", "j", "s", "r", "a", "b", "x", "u", "arr", "t", "lim", "_TRUE", "_NIL", "_unuse", "$3", "$300", "$0",
    "0", "1", "2", "7", "-3", "1.5", "0.25", "123.5", "1234.5", "0x1F", "99999", "3.14159",
    "\"ab\"", "\"\"", "\"1\"", "\"x[1]\"", "\"$2\"", "\"-i\"", "\"1.5\"", "\"i\"",
    "+", "-", "*", "/", "%", "<<", ">>", "<", ">", "<=", ">=", "==", "!=", "&", "^", "|", "`", "&&", "||", "=",
    "+=", "-=", "*=", "/=", "%=", "&=", "^=", "|=", "`=", "++", "--", "!", "(", ")", "[", "]", "-(", "(", ")",
    "[", "]", "=", "+", "-", "-s", "-r", "-i", "\x82\xa0x", "a[i]", "arr[2]", "r[1.6]", "$", "1e3", "-0", "0.0005",
    "2147483647", "-2147483648", ".5",
};

void seed(Variables& v) {
    v.valSetInt("i", 3);
    v.valSetInt("j", 0);
    v.valSetStr("s", "ab");
    v.valSet("r", variant(1.5));
    v.valSetInt("a[3]", 7);
    v.valSetStr("arr[2]", "q");
    v.valSetStr("t", "12abc");
    v.valLimit("lim", -5, 5, 1);
    v.flagSet(3, 9);
}

std::string describe(variant v) {
    std::string out = std::to_string(v.type()) + ":";
    out += v.text();
    if (v.isNumber()) {
        char buf[64];
        std::snprintf(buf, sizeof buf, " (%.17g)", v.m_dValue);
        out += buf;
    }
    return out;
}

std::string flags(const Variables& v) {
    std::string out;
    for (int n = 0; n < Variables::kFlags; ++n)
        if (v.m_flag[n]) out += std::to_string(n) + "=" + std::to_string(v.m_flag[n]) + ";";
    return out;
}

// Three tables kept in step: the evaluator's rpnRun, its rpnRunInto (into argument
// slots that keep what earlier lines left in them) and the reference evaluator.
struct Pair {
    HeadlessHost host;
    std::unique_ptr<Variables> mine = std::make_unique<Variables>(host);
    std::unique_ptr<Variables> theirs = std::make_unique<Variables>(host);
    std::unique_ptr<Variables> slots = std::make_unique<Variables>(host);
    Rpn rpn{*mine, host};
    Rpn slotRpn{*slots, host};
    test::ReferenceRpn ref{*theirs};
    variant expectedValue{"stale text"}, expectedName{"stale name"};
    variant slotValue{"stale text"}, slotName{"stale name"};
    Pair() {
        for (Variables* v : {mine.get(), theirs.get(), slots.get()}) seed(*v);
    }
    void set(const std::string& name, const variant& value) {
        for (Variables* v : {mine.get(), theirs.get(), slots.get()}) v->valSet(name, value);
    }
    void check(const std::string& postfix, int mode, const std::string& what) {
        check(rpnCompile(postfix.c_str()), mode, what);
    }
    // An infix expression converted and checked as a statement and as a condition.
    void checkBothModes(const char* infix) {
        rpn.rpnConv(infix);
        const std::string postfix = rpn.postfix();
        for (int mode = 0; mode < 2 && !::testing::Test::HasFatalFailure(); ++mode) check(postfix, mode, infix);
    }
    // The same compiled form may be given again, with the index caches of its names.
    void check(const RpnExpr& expr, int mode, const std::string& what) {
        if (expr.refused) return;
        const std::string& postfix = expr.postfix;
        variant a = rpn.rpnRun(expr, mode);
        variant b = ref.run(postfix.c_str(), mode);
        ASSERT_EQ(describe(a), describe(b)) << what << "  postfix: " << postfix << " mode " << mode;
        ASSERT_EQ(describe(rpn.lastElementName()), describe(ref.lastName)) << what << "  postfix: " << postfix;
        ASSERT_EQ(mine->valDump(), theirs->valDump()) << what << "  postfix: " << postfix;
        ASSERT_EQ(flags(*mine), flags(*theirs)) << what << "  postfix: " << postfix;

        expectedValue = a;
        expectedName = rpn.lastElementName();
        slotRpn.rpnRunInto(expr, mode, slotValue, &slotName);
        ASSERT_STREQ(slotValue.raw(), expectedValue.raw()) << what << "  postfix: " << postfix;
        ASSERT_STREQ(slotName.raw(), expectedName.raw()) << what << "  postfix: " << postfix;
        ASSERT_EQ(describe(slotValue), describe(expectedValue)) << what << "  postfix: " << postfix;
        ASSERT_EQ(describe(slotName), describe(expectedName)) << what << "  postfix: " << postfix;
        ASSERT_EQ(slots->valDump(), mine->valDump()) << what << "  postfix: " << postfix;
    }
};

TEST(RpnDifferential, RandomExpressions) {
  for (unsigned seedValue : {12345u, 99u, 2024u}) {
    Pair p;
    std::mt19937 rng(seedValue);
    const int n = sizeof kPieces / sizeof kPieces[0];
    for (int iter = 0; iter < 10000; ++iter) {
        int len = 1 + static_cast<int>(rng() % 14);
        std::string e;
        for (int k = 0; k < len; ++k) {
            if (k) e += (rng() % 3) ? " " : "";
            e += kPieces[rng() % n];
        }
        p.rpn.rpnConv(e.c_str());
        std::string postfix = p.rpn.postfix();
        p.check(postfix, static_cast<int>(rng() % 4 == 0), "expression: " + e);
        if (::testing::Test::HasFatalFailure()) return;
        if (iter % 997 == 0)
            for (Variables* v : {p.mine.get(), p.theirs.get(), p.slots.get()}) v->valSort();
        if (iter % 4999 == 0) {
            std::string dump = p.mine->valDump();
            for (Variables* v : {p.mine.get(), p.theirs.get(), p.slots.get()}) {
                v->valClear();
                v->valAssignMem(dump.c_str());
            }
        }
    }
  }
}

TEST(RpnDifferential, RandomPostfixTexts) {
    Pair p;
    std::mt19937 rng(777);
    const int n = sizeof kPieces / sizeof kPieces[0];
    for (int iter = 0; iter < 30000; ++iter) {
        int len = 1 + static_cast<int>(rng() % 8);
        std::string post;
        for (int k = 0; k < len; ++k) {
            post += kPieces[rng() % n];
            post += (rng() % 5) ? "," : ",,";
        }
        p.check(post, static_cast<int>(rng() % 4 == 0), "random postfix");
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(RpnDifferential, DocumentedExamples) {
    Pair p;
    const char* exprs[] = {
        "first = 3 + def", "x = a + 2 * b", "a - b", "a - (b + c)", "a * -3", "-5 * 2", "arr[i + 1] = 5",
        "a[1][2]", "7 / 2 * 2", "10 - 2 - 3", "1.0 / 3 * 3", "x = 5 / 0", "s = \"ab\" + 1.5", "s = t + 1",
        "arr[i] = 3", "arr[1.6] = 4", "$5 = 1", "$5", "$300", "0x1F + 1", "1234.5", "123.5", "-i", "word",
        "word + 1", "*label", "x = i++", "$5 += 1", "x == \"x\"", "i = 1", "y = s = t", "q = 1e400 * 1e400",
        "z = 99999999999 * 99999999999 + 0.5", "z = -0.0004 * 1", "k = 1e300 * 10",
    };
    for (const char* e : exprs) {
        p.checkBothModes(e);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

// Names that are prefixes or extensions of the name before, into slots that still
// hold it: the slot must end up with exactly the new name.
TEST(RpnDifferential, NamesFollowingEachOther) {
    Pair p;
    const char* exprs[] = {"abc = 1", "ab = 2", "abc = 3", "abcd = 4", "abc", "a[1] = 2", "a = 5", "7",
                           "a = 6", "\"a\"", "a", "-a", "a", "ab + 1", "ab"};
    for (int round = 0; round < 2; ++round)
        for (const char* e : exprs) {
            p.rpn.rpnConv(e);
            p.check(p.rpn.postfix(), round, e);
            if (::testing::Test::HasFatalFailure()) return;
        }
}

TEST(RpnDifferential, FoundByFuzzing) {
    Pair p;
    const char* postfixes[] = {"r,\xb8,r,\xb8,=,"};
    for (const char* post : postfixes)
        for (int mode = 0; mode < 2; ++mode) {
            p.check(post, mode, "fuzz finding");
            if (::testing::Test::HasFatalFailure()) return;
        }
}

}  // namespace

namespace {

// Statements and conditions the evaluator runs without its value stack, over
// operands of every kind: integers at and beyond the 32-bit boundaries, reals,
// integers holding a fraction, texts short and longer than a value holds inline,
// a missing name, a constant and limited variables.
TEST(RpnDifferential, DirectShapesOverEveryOperandKind) {
    EXPECT_EQ(rpnCompile("i,i,1,+,=").shape, RpnExpr::StepName);
    EXPECT_EQ(rpnCompile("i,i,-7,-,=").shape, RpnExpr::StepName);
    EXPECT_EQ(rpnCompile("i,3,>=").shape, RpnExpr::CompareName);
    EXPECT_EQ(rpnCompile("i,j,1,+,=").shape, RpnExpr::Arithmetic);
    EXPECT_EQ(rpnCompile("i,i,1.5,+,=").shape, RpnExpr::General);
    EXPECT_EQ(rpnCompile("i,i,1,*,=").shape, RpnExpr::Arithmetic);
    EXPECT_EQ(rpnCompile("i,\"3\",>").shape, RpnExpr::General);
    EXPECT_EQ(rpnCompile("i,3,&&").shape, RpnExpr::Arithmetic);
    EXPECT_EQ(rpnCompile("i,3,+,j,=").shape, RpnExpr::General);
    EXPECT_EQ(rpnCompile("i,j,=,3,+").shape, RpnExpr::General);
    EXPECT_EQ(rpnCompile("i,3,4").shape, RpnExpr::General);
    EXPECT_EQ(rpnCompile("$3,3,+").shape, RpnExpr::General);

    const std::string longText(60, 'w');
    const variant values[] = {
        variant(2147483647), variant(2147483646), variant(-2147483647 - 1), variant(-2147483647), variant(0),
        variant(-1),         variant(5),          variant(1.5),             variant(-2.75),       variant(2147483647.5),
        variant(1e300),      variant("ab"),       variant("12"),            variant(""),          variant(longText),
    };
    const char* names[] = {"v", "nothing", "_TRUE", "lim", "wrap"};
    const char* steps[] = {"1", "-1", "2147483647", "-2147483648", "99999999999", "0"};
    const char* limits[] = {"0", "5", "-5", "2147483647", "-2147483648", "1"};
    const char* compares[] = {">", "<", ">=", "<=", "==", "!="};
    Pair p;
    p.mine->valLimit("wrap", -2147483647 - 1, 2147483647, 2);
    p.theirs->valLimit("wrap", -2147483647 - 1, 2147483647, 2);
    p.slots->valLimit("wrap", -2147483647 - 1, 2147483647, 2);
    for (const variant& value : values) {
        for (const char* name : names) {
            const std::string n = name;
            if (n != "nothing" && n != "_TRUE") p.set(n, value);
            for (const char* k : steps)
                for (const char* op : {"+", "-"}) {
                    for (int repeat = 0; repeat < 2; ++repeat) {
                        p.check(n + "," + n + "," + k + "," + op + ",=", 0, "step of " + std::string(valueText(value)));
                        if (::testing::Test::HasFatalFailure()) return;
                    }
                    p.check(n + "," + n + "," + k + "," + op + ",=", 1, "step as a condition");
                    if (::testing::Test::HasFatalFailure()) return;
                    if (n != "nothing" && n != "_TRUE") p.set(n, value);
                }
            // A step of 1.5 leaves a fraction in an integer variable.
            p.check(n + "," + n + ",1.5,+=", 0, "fraction");
            for (const char* k : limits)
                for (const char* op : compares)
                    for (int mode = 0; mode < 2; ++mode) {
                        p.check(n + "," + k + "," + op, mode, "comparison of " + std::string(valueText(value)));
                        if (::testing::Test::HasFatalFailure()) return;
                    }
        }
    }
}

// Joins that outgrow the inline text of a value and then shrink again, and
// subscripts at and beyond the 32-bit range, negative or real.
TEST(RpnDifferential, GrowingTextsAndSubscriptsOutOfRange) {
    Pair p;
    const char* exprs[] = {
        "s = \"\"", "s = s + \"0123456789\"", "s = s + \"0123456789\"", "s = s + \"0123456789\"",
        "s = s + \"0123456789\"", "s = s + \"0123456789\"", "s = s + i", "t = s + s + s", "s == t", "s < t",
        "s = \"ab\" + 1.5", "u = \"x\" + s", "s = \"\"", "s = u + 12345678901234567890",
        "a[2147483647] = 1", "a[2147483648] = 2", "a[-2147483648] = 3", "a[-1] = 4", "a[99999999999] = 5",
        "a[1.5] = 6", "a[2147483647] + a[-1]", "b = a[2147483648]", "a[i + 2147483647] = 7", "a[3]",
        "c = a[2147483647] * 2", "a[\"k\"] = 8", "a[s] = 9", "a[0][2147483647] = 10", "x = a[-2147483648]",
    };
    for (const char* e : exprs) {
        p.checkBothModes(e);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

// Elements with constant subscripts are read and written by name through the
// name's index cache: the same compiled forms run again after the elements are
// created, after the table is sorted and after it is cleared and reloaded, and the
// last element name stays the first token's.
TEST(RpnDifferential, ConstantSubscriptsAcrossTableChanges) {
    const char* exprs[] = {
        "a[3]",          "a[3] + 0",       "a[3] = a[3] + 1", "a[3] > 5",       "x = -a[3] * 2",    "-a[3]",
        "m[1][2] = 4",   "m[1][2] + 1",    "a[3]++",          "a[3]--",         "z[5] + 1",         "z[5] = 1",
        "a[-1] + a[0]",  "a[2147483648] + 1", "a[1.5] + 1",   "arr[2] + \"x\"", "a[3] = \"q\"", "a[3] + 1",
        "n[003] = 9",    "n[3] + n[003]",  "$3 = a[3]",       "c[1] == c[1]",   "a[3] = a[3]",      "b[7] && a[3]",
    };
    Pair p;
    std::vector<RpnExpr> forms;
    for (const char* e : exprs) {
        p.rpn.rpnConv(e);
        forms.push_back(rpnCompile(p.rpn.postfix()));
    }
    for (int round = 0; round < 6; ++round) {
        for (size_t k = 0; k < forms.size(); ++k) {
            p.check(forms[k], round % 2, exprs[k]);
            if (::testing::Test::HasFatalFailure()) return;
        }
        if (round == 2)
            for (Variables* v : {p.mine.get(), p.theirs.get(), p.slots.get()}) v->valSort();
        if (round == 3) {
            const std::string dump = p.mine->valDump();
            for (Variables* v : {p.mine.get(), p.theirs.get(), p.slots.get()}) {
                v->valClear();
                v->valAssignMem(dump.c_str());
            }
        }
        if (round == 4) p.set("z[5]", variant("text"));
    }
    // A lone element is left as its three entries (folded, it would evaluate as a
    // lone name does); in longer expressions it is folded.
    EXPECT_EQ(rpnCompile("a,3,[,").toks.size(), 3u);
    EXPECT_EQ(rpnCompile("a,3,[,1,+,").toks.size(), 3u);
    EXPECT_EQ(rpnCompile("m,1,[,2,[,").toks.size(), 3u);
}

// Random integer arithmetic over names and elements holding integers at and beyond
// the 32-bit boundaries (and integer variables holding a fraction or a value past 32
// bits, as "+=" can leave them; a few elements hold texts or reals), with computed
// subscripts, assigned to names or elements or not, as statements and conditions.
TEST(RpnDifferential, ArithmeticOverIntegerVariables) {
    Pair p;
    for (const char* setup : {"p = 2147483647", "q = -2147483647 - 1", "z = 0", "m = -1", "s = 7", "f = 3", "f += 1.5",
                              "h = 2147483647", "h += 2147483647", "n = -5", "e[0] = 4", "e[1] = -2147483648",
                              "e[3] = 2147483647", "e[-1] = 9", "e[7] = \"text\"", "e[2][1] = 5", "e[4] = 2.5",
                              "e[2147483647] = 8", "e[5] = 2", "e[5] += 0.5"}) {
        p.rpn.rpnConv(setup);
        p.check(p.rpn.postfix(), 0, setup);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
    }
    const char* operands[] = {"p", "q", "z", "m", "s", "f", "h", "n", "lim", "_TRUE", "nothing",
                              "0", "1", "-1", "3", "31", "32", "2147483647", "-2147483648", "99999999999"};
    const char* ops[] = {"*", "/", "%", "+", "-", "<<", ">>", ">", "<", ">=", "<=", "==", "!=", "&", "^", "|", "&&", "||"};
    const char* targets[] = {"t", "p", "lim", "_TRUE", "fresh"};
    std::mt19937 rng(31337);
    // An element of "e" (or of "e[2]") with a subscript expression of its own.
    std::function<std::string(int)> tree;
    auto element = [&](int depth) {
        std::string base = rng() % 4 ? "e," : "e,2,[,";
        return base + tree(depth) + "[,";
    };
    tree = [&](int depth) -> std::string {
        if (depth > 0 && rng() % 5 == 0) return element(depth - 1);
        if (depth == 0 || rng() % 3 == 0) return std::string(operands[rng() % (sizeof operands / sizeof *operands)]) + ",";
        std::string l = tree(depth - 1), r = tree(depth - 1);
        return l + r + ops[rng() % (sizeof ops / sizeof *ops)] + ",";
    };
    int arithmetic = 0;
    for (int iter = 0; iter < 30000; ++iter) {
        std::string post = tree(1 + static_cast<int>(rng() % 4));
        if (rng() % 3 == 0) post = element(static_cast<int>(rng() % 2)) + post + "=,";
        else if (rng() % 2) post = std::string(targets[rng() % 5]) + "," + post + "=,";
        const RpnExpr expr = rpnCompile(post.c_str());
        arithmetic += expr.shape == RpnExpr::Arithmetic;
        p.check(expr, static_cast<int>(rng() % 3 == 0), "arithmetic");
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        // Put the boundary values back now and then, as assignments wander off them.
        if (iter % 50 == 0) {
            p.set("p", variant(2147483647));
            p.set("q", variant(-2147483647 - 1));
        }
    }
    EXPECT_GT(arithmetic, 15000);
}

}  // namespace
