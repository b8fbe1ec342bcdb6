// Values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "script/short_move.h"
#include "script/variant.h"
#include "test_util.h"

using qf::variant;

namespace {

std::string textOf(variant v) { return v.text(); }

TEST(Variant, ConstructionAndReading) {
    variant d;
    EXPECT_EQ(d.type(), 2);
    EXPECT_EQ(d.num(), 0);
    EXPECT_STREQ(d.raw(), "");
    EXPECT_EQ(d.size(), 0);

    variant s("abc");
    EXPECT_EQ(s.type(), 1);
    EXPECT_STREQ(s.text(), "abc");
    EXPECT_EQ(s.len(), 3);

    variant i(42);
    EXPECT_EQ(i.type(), 2);
    EXPECT_STREQ(i.text(), "42");
    EXPECT_EQ(i.type(), 2);  // text() keeps the kind
    EXPECT_STREQ(i.str(), "");  // str() of a number empties the text first

    variant r(2.5);
    EXPECT_EQ(r.type(), 6);
    EXPECT_STREQ(r.text(), "2.500");
    EXPECT_STREQ(r.textF(), "2.500000");
    EXPECT_EQ(r.num(), 2.5);

    variant frac;
    frac.setNumber(-7.9, 2);  // an integer-kind value may hold a fraction
    EXPECT_STREQ(frac.text(), "-7");
    EXPECT_EQ(frac.num(), -7);
    EXPECT_EQ(frac.len(), 2);

    EXPECT_EQ(variant("3.9").num(), 3);
    EXPECT_EQ(variant("  -12abc").num(), -12);
    EXPECT_EQ(variant("abc").num(), 0);
    EXPECT_EQ(variant("99999999999").num(), 2147483647);

    variant copyNum(i);
    EXPECT_STREQ(copyNum.raw(), "");  // a copied number's text starts empty
    EXPECT_EQ(copyNum.num(), 42);
}

TEST(Variant, Formats) {
    variant r(1.0 / 3);
    EXPECT_STREQ(r.text(), "0.333");
    EXPECT_STREQ(r.textF(), "0.333333");
    variant r2(-0.5);
    EXPECT_STREQ(r2.toStr(), "-0.500");
    EXPECT_EQ(r2.type(), 1);

    variant i(7);
    EXPECT_STREQ(i.toStr(), "7");
    EXPECT_EQ(i.type(), 1);

    // "+" with a string operand renders numbers "%-.0f"
    variant ab("ab");
    variant twelve(12), real(1.75);
    EXPECT_STREQ(textOf(ab + twelve).c_str(), "ab12");
    EXPECT_STREQ(textOf(ab + real).c_str(), "ab2");
    EXPECT_STREQ(real.raw(), "2");  // the rendered text stays in the operand

    // "+= variant" onto a string: reals "%.5f", integers "%.0f"
    variant s("ab");
    s += variant(1.5);
    EXPECT_STREQ(s.raw(), "ab1.50000");
    s = "ab";
    s += variant(3);
    EXPECT_STREQ(s.raw(), "ab3");
    s += 7;
    EXPECT_STREQ(s.raw(), "ab37");

    // "+ int" on a string appends "%d"
    EXPECT_STREQ(textOf(variant("x") + 5).c_str(), "x5");
    // "+ text": a number on the left is rendered "%-.0f"
    variant n(2.6);
    EXPECT_STREQ(textOf(n + "px").c_str(), "3px");

    EXPECT_STREQ(qf::intText(-15).c_str(), "-15");
}

TEST(Variant, NumberKindsInArithmetic) {
    variant one(1), half(0.5);
    variant a = one + half;
    EXPECT_EQ(a.type(), 2);
    EXPECT_EQ(a.m_dValue, 1.5);
    EXPECT_STREQ(a.text(), "1");
    variant b = half + one;
    EXPECT_EQ(b.type(), 6);
    EXPECT_STREQ(b.text(), "1.500");

    EXPECT_EQ((variant(5) + 3).type(), 2);
    EXPECT_EQ((variant(5.5) + 3).type(), 2);  // "+ int": result kind integer
    EXPECT_EQ((variant(5.5) - 3).type(), 2);
    EXPECT_EQ((variant(5) - variant(2.5)).type(), 2);
    EXPECT_EQ((variant(2.0) * variant(3)).type(), 6);

    variant abc("abc");
    EXPECT_STREQ(textOf(abc - 1).c_str(), "abc");
    EXPECT_STREQ(textOf(abc - variant(1)).c_str(), "abc");
    EXPECT_STREQ(textOf(abc * variant(2)).c_str(), "abc");
    EXPECT_STREQ(textOf(-abc).c_str(), "abc");
    EXPECT_EQ((-variant(4)).num(), -4);
    EXPECT_EQ((-variant(2.5)).type(), 6);

    variant acc(1);
    acc += variant(2.5);
    EXPECT_EQ(acc.type(), 2);
    EXPECT_EQ(acc.m_dValue, 3.5);
    acc += 2;
    EXPECT_EQ(acc.m_dValue, 5.5);
}

TEST(Variant, DivisionAndRemainder) {
    auto q = [](variant a, variant b) { return a / b; };
    EXPECT_EQ(q(7, 2).type(), 2);
    EXPECT_EQ(q(7, 2).num(), 3);
    EXPECT_EQ(q(-7, 2).num(), -3);
    EXPECT_EQ(q(7.0, 2).type(), 6);
    EXPECT_EQ(q(7.0, 2).num(), 3.5);
    EXPECT_EQ(q(7, 2.0).type(), 2);  // the left operand's kind
    EXPECT_EQ(q(7, 2.0).m_dValue, 3.5);
    EXPECT_EQ(q(5, 0).num(), 0);
    EXPECT_EQ(q(0, 5).num(), 0);
    EXPECT_EQ(q(5.0, 0).num(), 0);
    EXPECT_EQ(q(5.0, 0).type(), 6);
    EXPECT_EQ(q(5, -2147483648.0).num(), 0);
    EXPECT_EQ(q(-2147483647 - 1, -1).num(), -2147483647 - 1);  // 2^31 keeps its low 32 bits
    EXPECT_STREQ(textOf(q("abc", 2)).c_str(), "abc");

    auto r = [](variant a, variant b) { return a % b; };
    EXPECT_EQ(r(-7, 3).num(), -1);
    EXPECT_EQ(r(7, -3).num(), 1);
    EXPECT_EQ(r(7, 0).num(), 0);
    EXPECT_EQ(r(7, 0.5).num(), 0);
    EXPECT_EQ(r(0, 5).num(), 0);
    EXPECT_EQ(r(7.9, 3).num(), 1);
    EXPECT_EQ(r(7.9, 3).type(), 6);
    EXPECT_EQ(r(-2147483647 - 1, -1).num(), 0);
    EXPECT_STREQ(textOf(r("x", 3)).c_str(), "x");
}

TEST(Variant, ComparisonAndBits) {
    variant a(3), b(5), s1("abc"), s2("abd");
    EXPECT_EQ(a < b, 1);
    EXPECT_EQ(a >= b, 0);
    EXPECT_EQ(a == variant(3.0), 1);
    EXPECT_EQ(s1 < s2, 1);
    EXPECT_EQ(s1 != s2, 1);
    EXPECT_EQ(s1 == variant("abc"), 1);
    EXPECT_EQ(variant("\xe9") > variant("a"), 1);  // unsigned bytes
    EXPECT_EQ(s1 | s2, 'c' - 'd');
    EXPECT_EQ(s1 | variant("abc"), 0);
    EXPECT_EQ(variant(12) | variant(3), 15);
    EXPECT_EQ(variant(12) & variant(6), 4);
    EXPECT_EQ(variant(12) ^ variant(6), 10);
    EXPECT_EQ(s1 & a, 0);
    EXPECT_EQ(s1 && a, 0);
    EXPECT_EQ(a && b, 1);
    EXPECT_EQ(a && variant(0), 0);
    EXPECT_EQ(variant(0) || b, 1);
    EXPECT_EQ(variant(1) << variant(33), 2);
    EXPECT_EQ(variant(-8) >> variant(1), -4);
    EXPECT_EQ(variant(-1) << variant(31), static_cast<int>(0x80000000u));
    EXPECT_EQ(s1 << a, 0);
    EXPECT_EQ(variant(3.7) & variant(7), 3);

    EXPECT_EQ(s1 == "abc", 1);
    EXPECT_EQ(s1 != "abc", 0);
    EXPECT_EQ(a == 3, 1);
    EXPECT_EQ(s1 == 3, 0);
    variant n(5);
    n.text();
    EXPECT_EQ(n == "5", 1);  // a number compares its text buffer
}

TEST(Variant, Truncation) {
    EXPECT_EQ(qf::truncInt(2.9), 2);
    EXPECT_EQ(qf::truncInt(-2.9), -2);
    EXPECT_EQ(qf::truncInt(4294967297.0), 1);  // low 32 bits of the 64-bit result
    EXPECT_EQ(qf::truncInt(2147483648.0), -2147483647 - 1);
    EXPECT_EQ(qf::truncInt(1e300), 0);
    EXPECT_EQ(qf::truncInt(0.0 / 0.0), 0);
}

TEST(Variant, ConversionInPlace) {
    variant a("12abc");
    EXPECT_EQ(a.toInt(), 12);
    EXPECT_EQ(a.type(), 2);
    EXPECT_STREQ(a.raw(), "12abc");  // the text stays in the buffer
    variant b("abc");
    EXPECT_EQ(b.toInt(), 0);
    variant c(3.9);
    EXPECT_EQ(c.toInt(), 3);
    EXPECT_EQ(c.type(), 2);

    variant f("3.9");
    EXPECT_DOUBLE_EQ(f.toFloat(), 3.9);
    EXPECT_EQ(f.type(), 6);
    variant g(4);
    EXPECT_EQ(g.toFloat(), 4);
    EXPECT_EQ(g.type(), 6);
    variant h(2.5);
    EXPECT_EQ(h.toFloat(), 2.5);
    EXPECT_EQ(variant(" -1.5e2x").toFloat(), -150);
    EXPECT_EQ(variant("1e").toFloat(), 1);
    EXPECT_EQ(variant(".5").toFloat(), 0.5);
    EXPECT_EQ(variant("inf").toFloat(), 0);
    EXPECT_EQ(variant("x").toFloat(), 0);
    EXPECT_EQ(variant("1e999").toFloat(), HUGE_VAL);

    variant z(std::string(100, 'x'));
    z.clear();
    EXPECT_STREQ(z.raw(), "");
    EXPECT_EQ(z.size(), 101);
}

TEST(Variant, Assignment) {
    variant a("hello");
    variant n(5);
    a = n;  // a number copies number and kind; the text stays
    EXPECT_EQ(a.type(), 2);
    EXPECT_STREQ(a.raw(), "hello");
    a = variant("xy");
    EXPECT_EQ(a.type(), 1);
    EXPECT_STREQ(a.raw(), "xy");
    a = a;
    EXPECT_STREQ(a.raw(), "xy");
    a = static_cast<const char*>(nullptr);
    EXPECT_STREQ(a.raw(), "xy");
    a = 3.5;
    EXPECT_EQ(a.type(), 6);
    a = 4;
    EXPECT_EQ(a.type(), 2);

    variant s;
    s.set("ab", "cd");
    EXPECT_STREQ(s.raw(), "abcd");
    EXPECT_EQ(s.type(), 1);
    s.set(nullptr, "z");
    EXPECT_STREQ(s.raw(), "z");
    s.set(nullptr, nullptr);
    EXPECT_STREQ(s.raw(), "z");
    s.set(s.raw(), s.raw());
    EXPECT_STREQ(s.raw(), "zz");
    s.cat("!");
    EXPECT_STREQ(s.raw(), "zz!");

    // appending a text to itself, across growth
    variant big(std::string(40, 'a'));
    big.cat(big.raw());
    EXPECT_EQ(std::string(big.raw()), std::string(80, 'a'));
    variant self("abc");
    self += self;
    EXPECT_STREQ(self.raw(), "abcabc");

    // a number on the left of "+= variant" keeps its current text in front
    variant num(3);
    num.text();
    num += variant("x");
    EXPECT_STREQ(num.raw(), "3x");
    EXPECT_EQ(num.type(), 1);
}

TEST(Variant, Growth) {
    std::string t47(47, 'a'), t48(48, 'b');
    variant a(t47);
    EXPECT_EQ(a.size(), 0);
    EXPECT_EQ(a.raw(), a.m_szInline);
    variant b(t48);
    EXPECT_EQ(b.size(), 49);
    EXPECT_NE(b.raw(), b.m_szInline);

    variant c("x");
    c = t48;
    EXPECT_EQ(c.size(), 128);
    EXPECT_EQ(std::string(c.raw()), t48);
    c = "short";  // storage never shrinks
    EXPECT_EQ(c.size(), 128);
    EXPECT_STREQ(c.raw(), "short");
    c = std::string(127, 'c');  // need 128 is not below 128: grows
    EXPECT_EQ(c.size(), 256);
    c = std::string(300, 'd');
    EXPECT_EQ(c.size(), 512);
    c = std::string(5000, 'e');
    EXPECT_EQ(c.size(), 16384);
    c = std::string(70000, 'f');
    EXPECT_EQ(c.size(), 1048576);
    c = std::string(1048575, 'g');  // need 1048576: need + 1
    EXPECT_EQ(c.size(), 1048577);
    EXPECT_EQ(std::strlen(c.raw()), 1048575u);

    variant d("x");
    d = t47;  // need 48 is not below 48
    EXPECT_EQ(d.size(), 128);
    variant e("x");
    e = std::string(46, 'z');
    EXPECT_EQ(e.size(), 0);

    variant copy(c);  // a copy of a heap text: length + 1
    EXPECT_EQ(copy.size(), 1048576);
    variant shortHeap("x");
    shortHeap = t48;
    shortHeap = "ab";
    variant copy2(shortHeap);
    EXPECT_EQ(copy2.size(), 32);  // at least 32
    EXPECT_STREQ(copy2.raw(), "ab");
    variant inl("ab");
    variant copy3(inl);
    EXPECT_EQ(copy3.size(), 0);

    variant grown("x");
    grown.reserve(0, 0);
    EXPECT_EQ(grown.size(), 0);
    grown.reserve(30, 20);
    EXPECT_EQ(grown.size(), 128);
    EXPECT_STREQ(grown.raw(), "x");  // the text is kept

    // the set-aside text of a join survives
    variant j(std::string(40, 'j'));
    j.cat(std::string(40, 'k').c_str());
    EXPECT_EQ(std::string(j.raw()), std::string(40, 'j') + std::string(40, 'k'));
    EXPECT_EQ(j.size(), 128);
}

TEST(Variant, HugeNumbersRenderWithoutOverflow) {
    variant big(1e300);
    const char* t = big.text();
    EXPECT_EQ(std::strlen(t), 305u);  // "1000...000.000"
    EXPECT_EQ(std::string(t).substr(std::strlen(t) - 4), ".000");
    EXPECT_GT(big.size(), 305);
    variant neg(-1.7976931348623157e308);
    EXPECT_EQ(std::strlen(neg.textF()), 1u + 309 + 7);
    variant w(-1e200);
    w.renderWhole();
    EXPECT_EQ(std::strlen(w.raw()), 201u);  // 1e200 is 9.99...e199: 200 digits
    variant s("ab");
    s += variant(1e100);
    EXPECT_EQ(std::strlen(s.raw()), 2u + 101 + 6);
    variant inl(5.0);
    inl.text();
    EXPECT_EQ(inl.size(), 0);
}

TEST(Variant, MoveAndSwap) {
    variant a(std::string(60, 'q'));
    const char* block = a.raw();
    variant b(std::move(a));
    EXPECT_EQ(b.raw(), block);
    EXPECT_STREQ(a.raw(), "");
    variant c("inline"), d(7);
    c.swap(d);
    EXPECT_EQ(c.num(), 7);
    EXPECT_STREQ(d.raw(), "inline");
    EXPECT_EQ(d.raw(), d.m_szInline);
    d.swap(b);
    EXPECT_EQ(d.raw(), block);
    EXPECT_EQ(b.raw(), b.m_szInline);
    EXPECT_STREQ(b.raw(), "inline");
}

TEST(Variant, DebugDump) {
    qf::HeadlessHost host;
    variant s("abc");
    s.d(host);
    variant n(1.5);
    n.d(host);
    variant h(std::string(50, 'x'));
    h.d(host);
    auto lines = host.logLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "dialog\tvariant：文字列\t【 文字列 】\\nabc\\n【 確保サイズ：0 】");
    EXPECT_EQ(lines[1], "dialog\tvariant:数値\t【 数値 】\\n1.500000\\n【 確保サイズ：0 】");
    EXPECT_EQ(lines[2], "dialog\tvariant：文字列\t【 文字列 】\\n" + std::string(50, 'x') + "\\n【 確保サイズ：51 】");
}

TEST(Variant, ParseHelpers) {
    EXPECT_EQ(qf::parseInt("  +42z"), 42);
    EXPECT_EQ(qf::parseInt("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(qf::parseInt("\t\n7"), 7);
    EXPECT_EQ(qf::parseInt(nullptr), 0);
    EXPECT_EQ(qf::parseReal("  -2.5e-1"), -0.25);
    EXPECT_EQ(qf::parseReal("5."), 5);
    EXPECT_EQ(qf::parseReal("-"), 0);
    EXPECT_EQ(qf::compareText("a", "ab"), -'b');
}

// The inlined short move against memmove, for every length it handles and past
// it, with the ranges apart and overlapping either way.
TEST(Variant, ShortMoveMatchesMemmove) {
    for (size_t n = 0; n <= 40; ++n)
        for (int shift = -9; shift <= 9; ++shift) {
            char mine[96], theirs[96];
            for (int k = 0; k < 96; ++k) mine[k] = theirs[k] = static_cast<char>('A' + k % 50);
            const size_t from = 24, to = static_cast<size_t>(24 + shift);
            qf::moveShort(mine + to, mine + from, n);
            std::memmove(theirs + to, theirs + from, n);
            ASSERT_EQ(std::memcmp(mine, theirs, sizeof mine), 0) << "length " << n << " shift " << shift;
        }
}

}  // namespace
