// The evaluator against a literal, step-by-step evaluator
// (rpn_reference.h): random expressions and random postfix texts must give the same
// result, the same last element name, the same variables and the same flags.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
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

struct Pair {
    HeadlessHost host;
    std::unique_ptr<Variables> mine = std::make_unique<Variables>(host);
    std::unique_ptr<Variables> theirs = std::make_unique<Variables>(host);
    Rpn rpn{*mine, host};
    test::ReferenceRpn ref{*theirs};
    Pair() {
        seed(*mine);
        seed(*theirs);
    }
    void check(const std::string& postfix, int mode, const std::string& what) {
        RpnExpr expr = rpnCompile(postfix.c_str());
        if (expr.refused) return;
        variant a = rpn.rpnRun(expr, mode);
        variant b = ref.run(postfix.c_str(), mode);
        ASSERT_EQ(describe(a), describe(b)) << what << "  postfix: " << postfix << " mode " << mode;
        ASSERT_EQ(describe(rpn.lastElementName()), describe(ref.lastName)) << what << "  postfix: " << postfix;
        ASSERT_EQ(mine->valDump(), theirs->valDump()) << what << "  postfix: " << postfix;
        ASSERT_EQ(flags(*mine), flags(*theirs)) << what << "  postfix: " << postfix;
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
        if (iter % 997 == 0) {
            p.mine->valSort();
            p.theirs->valSort();
        }
        if (iter % 4999 == 0) {
            std::string dump = p.mine->valDump();
            p.mine->valClear();
            p.mine->valAssignMem(dump.c_str());
            p.theirs->valClear();
            p.theirs->valAssignMem(dump.c_str());
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

TEST(RpnDifferential, SpecificationExamples) {
    Pair p;
    const char* exprs[] = {
        "first = 3 + def", "x = a + 2 * b", "a - b", "a - (b + c)", "a * -3", "-5 * 2", "arr[i + 1] = 5",
        "a[1][2]", "7 / 2 * 2", "10 - 2 - 3", "1.0 / 3 * 3", "x = 5 / 0", "s = \"ab\" + 1.5", "s = t + 1",
        "arr[i] = 3", "arr[1.6] = 4", "$5 = 1", "$5", "$300", "0x1F + 1", "1234.5", "123.5", "-i", "word",
        "word + 1", "*label", "x = i++", "$5 += 1", "x == \"x\"", "i = 1", "y = s = t", "q = 1e400 * 1e400",
        "z = 99999999999 * 99999999999 + 0.5", "z = -0.0004 * 1", "k = 1e300 * 10",
    };
    for (const char* e : exprs) {
        p.rpn.rpnConv(e);
        for (int mode = 0; mode < 2; ++mode) {
            p.check(p.rpn.postfix(), mode, e);
            if (::testing::Test::HasFatalFailure()) return;
        }
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
