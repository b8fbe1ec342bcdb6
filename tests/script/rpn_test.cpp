// The expression converter and evaluator.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "script/rpn.h"
#include "test_util.h"

using namespace qf;

namespace {

struct RpnTest : ::testing::Test {
    HeadlessHost host;
    std::unique_ptr<Variables> vars = std::make_unique<Variables>(host);
    std::unique_ptr<Rpn> rpn = std::make_unique<Rpn>(*vars, host);

    std::string conv(const std::string& expr) {
        rpn->rpnConv(expr.c_str());
        return rpn->postfix();
    }
    // Converts and evaluates; checks that the text path gives the same value.
    variant eval(const std::string& expr, int mode = 0) { return rpn->rpnFirst(expr.c_str(), -1, mode); }
    std::string text(const std::string& expr, int mode = 0) {
        variant v = eval(expr, mode);
        return v.text();
    }
    int integer(const std::string& name) { return vars->valGetInt(vars->valFind(name)); }
    variant value(const std::string& name) { return vars->valGet(vars->valFind(name)); }
};

TEST_F(RpnTest, ConverterPostfixTexts) {
    EXPECT_EQ(conv("first = 3 + def"), "first,3,def,+,=,");
    EXPECT_EQ(conv("x = a + 2 * b"), "x,a,2,b,*,+,=,");
    EXPECT_EQ(conv("a - b"), "a,-b,+,");
    EXPECT_EQ(conv("a - (b + c)"), "a,b,c,+,-,");
    EXPECT_EQ(conv("a * -3"), "a,-3,*,");
    EXPECT_EQ(conv("-5 * 2"), "-5,2,*,");
    EXPECT_EQ(conv("arr[i + 1] = 5"), "arr,i,1,+,[,5,=,");
    EXPECT_EQ(conv("a[1][2]"), "a,1,[,2,[,");
    EXPECT_EQ(conv(sj("lit_str=\"もじれつ\" + 4 + def * ( 8 - 6)")),
              sj("lit_str,\"もじれつ\",4,def,8,-6,+,*,+,+,=,"));
    EXPECT_EQ(rpn->rpnConv("first = 3 + def"), 5);

    EXPECT_EQ(conv("a + b + c"), "a,b,c,+,+,");       // right-associative
    EXPECT_EQ(conv("a = b = c"), "a,b,c,=,=,");
    EXPECT_EQ(conv("a / b * c"), "a,b,/,c,*,");       // level 4 is left-associative
    EXPECT_EQ(conv("a * b + c"), "a,b,*,c,+,");
    EXPECT_EQ(conv("a + b * c / d"), "a,b,c,*,d,/,+,");
    EXPECT_EQ(conv("a << 2 + 1"), "a,2,1,+,<<,");
    EXPECT_EQ(conv("a == b && c < d"), "a,b,==,c,d,<,&&,");
    EXPECT_EQ(conv("x += 0x10"), "x,16,+=,");
    EXPECT_EQ(conv("x = i++"), "x,i,++,=,");
    EXPECT_EQ(conv("x = i++ + 1"), "x,i,++,1,+,=,");
    EXPECT_EQ(conv("$5 = $6"), "$5,$6,=,");
    EXPECT_EQ(conv("$x"), "x,");  // "$" without digits: skipped
    EXPECT_EQ(conv("10 - 2 - 3"), "10,-2,-3,+,+,");
    EXPECT_EQ(conv("a-b"), "a,-b,+,");
    EXPECT_EQ(conv("a - \"s\""), "a,\"s\",+,");      // a minus before a literal is dropped
    EXPECT_EQ(conv("x = a[i] - 1"), "x,a,i,[,-1,+,=,");
    EXPECT_EQ(conv("a - b[1]"), "a,-b,1,[,+,");
    EXPECT_EQ(conv("  *label"), "*label");
    EXPECT_EQ(rpn->rpnConv("*label, x"), 0);
    EXPECT_EQ(std::string(rpn->postfix()), "*label, x");
    EXPECT_EQ(conv("a ~ b # c"), "a,b,c,");           // bytes that are no token are skipped
    EXPECT_EQ(conv(sj("x = あいう+1 y")), sj("x,あいう+1,y,=,"));  // a bare double-byte word
    EXPECT_EQ(conv("1.5.2"), "1.5.2,");
    EXPECT_EQ(conv(""), "");
    EXPECT_EQ(conv("a)"), "a,),");
    EXPECT_EQ(conv("(a"), "a,(,");
    EXPECT_EQ(conv("a - (b"), "a,b,-(,-,");
}

TEST_F(RpnTest, UnaryMinusBeforeGroupIsNegated) {
    EXPECT_EQ(conv("x = -(a + b)"), "x,a,b,+,-1,*,=,");
    EXPECT_EQ(conv("-(a)"), "a,-1,*,");
    EXPECT_EQ(conv("a * -(b - c)"), "a,b,-c,+,-1,*,*,");
    vars->valSetInt("a", 2);
    vars->valSetInt("b", 5);
    vars->valSetInt("c", 1);
    eval("x = -(a + b)");
    EXPECT_EQ(integer("x"), -7);
    EXPECT_EQ(value("x").type(), 2);
    EXPECT_EQ(eval("-(a + b) * 2").num(), -14);
    EXPECT_EQ(eval("3 * -(b - c)").num(), -12);
    EXPECT_EQ(eval("-(-(a))").num(), 2);
    EXPECT_EQ(eval("10 + -(a)").num(), 8);
    variant r = eval("-(1.5 + a)");
    EXPECT_EQ(r.type(), 6);
    EXPECT_DOUBLE_EQ(r.num(), -3.5);
    // the binary minus before a group is unchanged: a - (b + c)
    EXPECT_EQ(eval("a - (b + c)").num(), -4);
}

TEST_F(RpnTest, EvaluationOfNumbers) {
    EXPECT_EQ(eval("7 / 2 * 2").num(), 6);
    EXPECT_EQ(eval("10 - 2 - 3").num(), 5);
    variant third = eval("1.0 / 3 * 3");
    EXPECT_EQ(third.type(), 6);
    EXPECT_DOUBLE_EQ(third.num(), 0.999);
    eval("x = 5 / 0");
    EXPECT_EQ(value("x").type(), 2);
    EXPECT_EQ(integer("x"), 0);
    variant tiny = eval("5.0 / 0");
    EXPECT_EQ(tiny.type(), 6);
    EXPECT_NEAR(tiny.num(), 5.0 / -2147483648.0, 1e-18);
    EXPECT_EQ(eval("7 % 0").num(), 0);
    EXPECT_EQ(eval("-7 % 3").num(), -1);
    EXPECT_EQ(eval("0x1F + 1").num(), 32);
    variant big = eval("1234.5");
    EXPECT_EQ(big.type(), 2);
    EXPECT_EQ(big.num(), 1234);
    variant mid = eval("123.5");
    EXPECT_EQ(mid.type(), 6);
    EXPECT_EQ(mid.num(), 123.5);
    EXPECT_EQ(eval("1234.5 + 0").num(), 1234);
    EXPECT_EQ(eval("123.5 + 0").type(), 6);  // kind of the left operand
    EXPECT_EQ(eval("1 + 0.5").type(), 2);
    EXPECT_EQ(eval("0.5 + 1").type(), 6);
    EXPECT_EQ(eval("1 << 33").num(), 2);
    EXPECT_EQ(eval("-8 >> 1").num(), -4);
    EXPECT_EQ(eval("6 & 3").num(), 2);
    EXPECT_EQ(eval("6 | 3").num(), 7);
    EXPECT_EQ(eval("6 ^ 3").num(), 5);
    EXPECT_EQ(eval("7 ` 2").num(), 5);
    EXPECT_EQ(eval("5 ` 2").num(), 5);
    EXPECT_EQ(eval("3 > 2").num(), 1);
    EXPECT_EQ(eval("3 <= 2").num(), 0);
    EXPECT_EQ(eval("3 == 3 && 2 != 2").num(), 0);
    EXPECT_EQ(eval("0 || 2").num(), 1);
    EXPECT_EQ(eval("2 + 3 * 4").num(), 14);
    EXPECT_EQ(eval("(2 + 3) * 4").num(), 20);
    EXPECT_EQ(eval("-5").num(), -5);
    EXPECT_EQ(eval("5").type(), 2);
    EXPECT_EQ(eval("").num(), 0);
    EXPECT_EQ(eval("a ! b").num(), 0);
}

TEST_F(RpnTest, Assignments) {
    eval("x = 3");
    EXPECT_EQ(integer("x"), 3);
    EXPECT_EQ(vars->m_var[vars->valFind("x")].m_nKind, 2);
    eval("x += 2");
    EXPECT_EQ(integer("x"), 5);
    eval("x -= 1");
    EXPECT_EQ(integer("x"), 4);
    eval("x *= 3");
    EXPECT_EQ(integer("x"), 12);
    eval("x /= 5");
    EXPECT_EQ(integer("x"), 2);
    eval("x /= 0");
    EXPECT_EQ(integer("x"), 0);
    eval("x = 7");
    eval("x %= 4");
    EXPECT_EQ(integer("x"), 3);
    eval("x |= 4");
    EXPECT_EQ(integer("x"), 7);
    eval("x &= 5");
    EXPECT_EQ(integer("x"), 5);
    eval("x ^= 1");
    EXPECT_EQ(integer("x"), 4);
    eval("x `= 4");
    EXPECT_EQ(integer("x"), 0);

    variant r = eval("a = b = 4");
    EXPECT_EQ(r.num(), 4);
    EXPECT_EQ(integer("a"), 4);
    EXPECT_EQ(integer("b"), 4);
    eval("y = 2.5");
    EXPECT_EQ(value("y").type(), 6);
    EXPECT_EQ(vars->m_var[vars->valFind("y")].m_nKind, 6);

    // increments
    eval("i = 1");
    variant inc = eval("x = i++");
    EXPECT_EQ(integer("i"), 2);
    EXPECT_EQ(integer("x"), 2);
    EXPECT_EQ(inc.num(), 2);
    eval("n++");
    EXPECT_EQ(integer("n"), 1);
    eval("m--");
    EXPECT_EQ(integer("m"), -1);
    eval("m--");
    EXPECT_EQ(integer("m"), -2);
    vars->valSetStr("s", "ab");
    eval("s++");
    EXPECT_STREQ(value("s").raw(), "ab1");
    eval("s--");
    EXPECT_STREQ(value("s").raw(), "ab1");
    eval("r = 1.5");
    eval("r++");
    EXPECT_EQ(value("r").type(), 2);  // "+ int": integer kind
}

TEST_F(RpnTest, AssigningToConstantChangesNothing) {
    variant r = eval("_TRUE = 5");
    EXPECT_EQ(r.num(), 5);
    EXPECT_EQ(vars->count(), 0);
    EXPECT_EQ(eval("_TRUE").num(), 1);
    eval("_TRUE += 1");
    eval("_TRUE++");
    EXPECT_EQ(eval("_TRUE").num(), 1);
    EXPECT_EQ(vars->count(), 0);
    EXPECT_TRUE(host.logLines().empty());
    EXPECT_EQ(eval("_unuse").num(), 0);
    EXPECT_EQ(eval("_NIL").num(), -2147483648.0);
    EXPECT_EQ(eval("_ALL").num(), -1);
    EXPECT_EQ(eval("_KEY_A + _KEY_B").num(), 48);
}

TEST_F(RpnTest, ConditionMode) {
    vars->valSetInt("a", 1);
    EXPECT_EQ(eval("a = 1", 1).num(), 1);
    EXPECT_EQ(eval("a = 2", 1).num(), 0);
    EXPECT_EQ(integer("a"), 1);
    eval("a = 2", 0);
    EXPECT_EQ(integer("a"), 2);
    // only the first "=" of a condition compares
    vars->valSetInt("b", 0);
    EXPECT_EQ(eval("b = a = 2", 1).num(), 1);  // b,a,2,=,=: a = 2 compares (1), then b = 1 assigns
    EXPECT_EQ(integer("b"), 1);
}

TEST_F(RpnTest, Strings) {
    eval("s = \"ab\" + 1.5");
    EXPECT_STREQ(value("s").raw(), "ab1.50000");
    EXPECT_EQ(value("s").type(), 1);
    vars->valSetStr("t", "ab");
    eval("s = t + 1");
    EXPECT_STREQ(value("s").raw(), "ab1");
    // a number on the left with a string: plain "+" gives 1ab without a quote, and
    // as the right operand of "=" that text reads as a number
    eval("s = 1 + t");
    EXPECT_EQ(value("s").type(), 2);
    EXPECT_EQ(integer("s"), 1);
    EXPECT_STREQ(eval("1 + t").raw(), "1ab");
    eval("s = \"x\" + 2 + 3");
    EXPECT_STREQ(value("s").raw(), "x5");
    eval("s = 2 + 3 + \"x\"");
    EXPECT_STREQ(value("s").raw(), "23x");  // 2 + (3 + "x"): the inner join's quote marks a string
    eval(sj("lit_str=\"もじれつ\" + 4 + def * ( 8 - 6)"));
    EXPECT_EQ(value("lit_str").raw(), sj("もじれつ4"));
    EXPECT_STREQ(eval("\"quoted\"").raw(), "quoted");
    EXPECT_STREQ(eval("\"a\" + \"b\"").raw(), "ab");
    EXPECT_STREQ(eval("bare").raw(), "bare");
    EXPECT_EQ(eval("bare + 1").num(), 1);
    eval("u += \"x\"");
    EXPECT_STREQ(value("u").raw(), "0x");
    eval("t += \"c\"");
    EXPECT_STREQ(value("t").raw(), "abc");
    EXPECT_EQ(eval("t == \"abc\"").num(), 1);
    EXPECT_EQ(eval("t != \"abc\"").num(), 0);
    EXPECT_EQ(eval("t < \"abd\"").num(), 1);
    EXPECT_EQ(eval("\"b\" | \"a\"").num(), 1);
    EXPECT_EQ(eval("t * 2").type(), 1);
    EXPECT_STREQ(eval(sj("あいう")).raw(), sj("あいう").c_str());  // alone: its own text
    EXPECT_EQ(eval(sj("x = あいう")).num(), 0);  // as an operand: an undefined name
    EXPECT_EQ(integer("x"), 0);
    std::string longText = "s = \"" + std::string(60, 'z') + "\"";
    eval(longText);
    EXPECT_EQ(std::string(value("s").raw()), std::string(46, 'z'));  // cut to 47 token bytes
    // a comma inside a literal splits it
    EXPECT_NE(std::string(eval("s = \"a,b\"").raw()), "a,b");
}

TEST_F(RpnTest, MixedComparisonsCompareTextBuffers) {
    vars->valSetInt("x", 5);
    // a variable's number keeps the variable's name as its text
    EXPECT_EQ(eval("x == \"x\"").num(), 1);
    EXPECT_EQ(eval("5 == \"5\"").num(), 1);
    EXPECT_EQ(eval("(2 + 3) == \"5\"").num(), 1);
    EXPECT_EQ(eval("x == \"5\"").num(), 0);
}

TEST_F(RpnTest, SubscriptsAndLastElementName) {
    vars->valSetInt("i", 2);
    eval("arr[i] = 3");
    EXPECT_EQ(integer("arr[2]"), 3);
    eval("arr[1.6] = 4");
    EXPECT_EQ(integer("arr[2]"), 4);
    eval("arr[i + 1] = 5");
    EXPECT_EQ(integer("arr[3]"), 5);
    eval("m[1][2] = 7");
    EXPECT_EQ(integer("m[1][2]"), 7);
    EXPECT_EQ(eval("arr[i] * 2").num(), 8);

    variant r = eval("arr[3]");
    EXPECT_EQ(r.num(), 5);
    EXPECT_STREQ(rpn->lastElementName().raw(), "arr[3]");
    r = eval("nothing[1]");
    EXPECT_STREQ(r.raw(), "nothing[1]");
    EXPECT_STREQ(rpn->lastName().raw(), "nothing[1]");
    eval("target = 1");
    EXPECT_STREQ(rpn->lastElementName().text(), "target");
    eval("42");
    EXPECT_EQ(rpn->lastName().num(), 42);
    EXPECT_STREQ(eval("-arr[3]").raw(), "-arr[3]");  // alone: the element "-arr[3]" does not exist
    EXPECT_EQ(eval("x = -arr[3]").num(), -5);
    eval("k = \"key\"");
    eval("h[k] = 1");
    EXPECT_EQ(integer("h[key]"), 1);
}

TEST_F(RpnTest, Flags) {
    eval("$5 = 1");
    EXPECT_EQ(vars->flagGet(5), 1);
    EXPECT_EQ(eval("$5").num(), 1);
    EXPECT_EQ(eval("$300").num(), -1);
    EXPECT_EQ(eval("$5 + 1").num(), 2);
    eval("$7 = 2.9");
    EXPECT_EQ(vars->flagGet(7), 2);
    eval("$300 = 1");
    EXPECT_EQ(vars->count(), 0);
    eval("x = $5");
    EXPECT_EQ(integer("x"), 1);
    eval("$5 += 1");  // a compound assignment to a flag names the variable "$5"
    EXPECT_EQ(vars->flagGet(5), 1);
    EXPECT_EQ(integer("$5"), 2);
    EXPECT_EQ(eval("-$5").num(), 2);  // "$5" alone: the variable "$5" is looked up first
    EXPECT_EQ(eval("$6 = 4").num(), 4);
    EXPECT_EQ(eval("-$6").num(), 4);  // the minus before a flag is left pending
}

TEST_F(RpnTest, NegatedNames) {
    vars->valSetInt("v", 4);
    EXPECT_EQ(eval("-v").num(), -4);
    EXPECT_EQ(eval("-undefined").num(), 0);
    EXPECT_EQ(eval("10 - v").num(), 6);
    vars->valSetStr("s", "str");
    EXPECT_STREQ(eval("-s").raw(), "str");
}

TEST_F(RpnTest, TextPathEqualsCompiledPath) {
    vars->valSetInt("i", 3);
    const char* exprs[] = {"i = i + 1", "a[i] = i * 2 + 1", "s = \"v\" + i", "i > 2 && i < 10", "x = 7 / 2 * 2",
                           "f = 1.0 / 3 * 3"};
    for (const char* e : exprs) {
        rpn->rpnConv(e);
        std::string post = rpn->postfix();
        RpnExpr compiled = rpnCompile(post.c_str());
        std::string before = vars->valDump();
        variant a = rpn->rpnRun(post.c_str(), -1, 0);
        std::string afterText = vars->valDump();
        vars->valClear();
        vars->valAssignMem(before.c_str());
        variant b = rpn->rpnRun(compiled, 0);
        EXPECT_EQ(a.type(), b.type()) << e;
        EXPECT_STREQ(a.text(), b.text()) << e;
        EXPECT_EQ(vars->valDump(), afterText) << e;
    }
}

TEST_F(RpnTest, Trace) {
    rpn->traceOn();
    rpn->rpnConv("1 + 2");
    rpn->rpnRun(rpn->postfix(), -1, 0);
    auto lines = host.logLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "dialog\trpnRun\t1,2,+,");
    EXPECT_EQ(lines[1], "dialog\tvariant:数値\t【 数値 】\\n3.000000\\n【 確保サイズ：0 】");
    EXPECT_EQ(lines[2], "dialog\tdialog\t3");
    rpn->rpnRun("1,2,+,", -1, 0);  // one-shot
    EXPECT_EQ(host.logLines().size(), 3u);

    rpn->traceOn();
    rpn->rpnFirst("\"a\"", -1, 0);
    lines = test::linesSince(host, 3);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "dialog\trpnFirst\t\"a\"");
    EXPECT_EQ(lines[1], "dialog\trpnConv()\t\"a\",");
    EXPECT_EQ(lines[2], "dialog\tvariant：文字列\t【 文字列 】\\na\\n【 確保サイズ：0 】");
    EXPECT_EQ(lines[3], "dialog\trpnLast\ta");
    EXPECT_FALSE(rpn->traceArmed());
}

TEST_F(RpnTest, LimitsAreRefusedSoundly) {
    // 64 output tokens
    std::string many = "x = 1";
    for (int i = 0; i < 40; ++i) many += " + 1";
    EXPECT_EQ(rpn->rpnConv(many.c_str()), 0);
    EXPECT_STREQ(rpn->postfix(), "");
    EXPECT_EQ(eval(many).num(), 0);
    EXPECT_EQ(vars->valFind("x"), -1);
    auto lines = host.logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("dbg\t【rpnConv】", 0), 0u);

    // just within: 63 tokens
    std::string fits = "1";
    for (int i = 0; i < 31; ++i) fits += " + 1";
    EXPECT_EQ(rpn->rpnConv(fits.c_str()), 63);
    EXPECT_EQ(rpn->rpnRun(rpn->postfix()).num(), 32);

    // 64 pending operators
    std::string opens(70, '(');
    EXPECT_EQ(rpn->rpnConv((opens + "1").c_str()), 0);
    // 255 bytes of postfix text
    std::string wide = "s = \"" + std::string(45, 'a') + "\"";
    for (int i = 0; i < 5; ++i) wide += " + \"" + std::string(45, 'b') + "\"";
    EXPECT_EQ(rpn->rpnConv(wide.c_str()), 0);
    std::string narrow = "s = \"" + std::string(45, 'a') + "\"";
    for (int i = 0; i < 3; ++i) narrow += " + \"" + std::string(45, 'b') + "\"";
    EXPECT_GT(rpn->rpnConv(narrow.c_str()), 0);
    EXPECT_LE(std::strlen(rpn->postfix()), 255u);

    // 32 stack entries: refused as a whole, without side effects
    std::string deep = "x = 1";
    for (int i = 0; i < 40; ++i) deep += " 1";
    EXPECT_GT(rpn->rpnConv(deep.c_str()), 32);
    EXPECT_TRUE(rpn->converted().refused);
    EXPECT_EQ(rpn->rpnRun(rpn->converted()).num(), 0);
    EXPECT_EQ(vars->valFind("x"), -1);

    // long names are cut to 47 bytes
    std::string longName(60, 'n');
    eval(longName + " = 1");
    EXPECT_EQ(integer(std::string(47, 'n')), 1);

    // operators without operands do nothing
    EXPECT_EQ(eval(")").num(), 0);
    EXPECT_EQ(rpn->rpnRun("+,+,+,").num(), 0);
    EXPECT_EQ(rpn->rpnRun("5,+,").num(), 5);
    EXPECT_STREQ(rpn->rpnRun("++,--,").raw(), "");
}

TEST_F(RpnTest, StrayBytesFarIntoTheExpression) {
    std::string e(1100, ' ');
    e += "#";
    rpn->rpnConv(e.c_str());
    EXPECT_TRUE(rpn->quitRequested());
    auto lines = host.logLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "dialog\tvariantF:文字列\trpnConv");
}

TEST(Rpn, IndependentObjects) {
    HeadlessHost host;
    Variables va(host), vb(host);
    Rpn a(va, host), b(vb, host);
    a.rpnConv("x = 1");
    RpnExpr e = a.converted();
    a.rpnRun(e);
    EXPECT_EQ(va.valGetInt(va.valFind("x")), 1);
    EXPECT_EQ(b.rpnRun(e).num(), 1);  // the cached index of a does not leak into b
    EXPECT_EQ(vb.valGetInt(vb.valFind("x")), 1);
    va.valClear();
    va.valSetInt("y", 0);
    a.rpnRun(e);
    EXPECT_EQ(va.valFind("x"), 1);
    EXPECT_EQ(va.valGetInt(0), 0);
}

}  // namespace

namespace {

// The text-only conversion gives the same postfix texts, overflow included, and
// leaves no split form behind that a later conversion could be mistaken for.
TEST_F(RpnTest, TextOnlyConversionMatchesTheFullOne) {
    std::string longSum = "x = 1";
    for (int i = 0; i < 80; ++i) longSum += " + 1";
    for (const std::string& e : {std::string("first = 3 + def"), std::string("*label, x"), std::string("a[i % 16] = b[3] + 1"),
                                 std::string(""), longSum}) {
        rpn->rpnConv(e.c_str());
        const std::string full = rpn->postfix();
        const std::string split = rpn->converted().postfix;
        EXPECT_EQ(split, full) << e;
        rpn->rpnConvText(e.c_str());
        EXPECT_EQ(std::string(rpn->postfix()), full) << e;
        EXPECT_TRUE(rpn->converted().toks.empty()) << e;
        EXPECT_TRUE(rpn->converted().postfix.empty()) << e;
        rpn->rpnConv(e.c_str());
        EXPECT_EQ(rpn->converted().postfix, full) << e;
    }
}

}  // namespace
