// Text functions and tokens.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "script/text.h"

using namespace qf;

namespace {

TEST(Text, FindIsDoubleByteAware) {
    // "表" is 0x95 0x5C: its trailing byte is a backslash
    const char* t = "a\x95\x5c\\b";
    EXPECT_EQ(strFind(t, 0, "\\"), 3);
    EXPECT_EQ(strFind(t, 0, "\x95"), -1);  // a needle of 0x80 or above never matches
    EXPECT_EQ(strFind("ab\x81", 0, "z"), -1);  // a lone lead byte ends the scan
    EXPECT_EQ(strFind("abcabc", 1, "a"), 3);
    EXPECT_EQ(strFind("abcabc", 0, "ca"), 2);
    EXPECT_EQ(strFind("x\x95\x5cy", 0, "\x5cy"), 2);  // longer needles: byte by byte
    EXPECT_EQ(strFind("abc", 4, "a"), -1);
    EXPECT_EQ(strFind("abc", -3, "a"), 0);
    EXPECT_EQ(strFind(nullptr, 0, "a"), -1);
}

TEST(Text, MidAndPieces) {
    std::string d;
    EXPECT_TRUE(strMid(d, "abcdef", 2, 3));
    EXPECT_EQ(d, "cde");
    EXPECT_TRUE(strMid(d, "abcdef", 2, 0));
    EXPECT_EQ(d, "cdef");
    EXPECT_TRUE(strMid(d, "abcdef", 4, 10));
    EXPECT_EQ(d, "ef");
    d = "keep";
    EXPECT_FALSE(strMid(d, "abc", -1, 2));
    EXPECT_FALSE(strMid(d, "abc", 4, 2));
    EXPECT_EQ(d, "keep");

    EXPECT_EQ(strNextPiece(d, "a\r\n", 0, ","), -1);
    EXPECT_EQ(d, "a");
    EXPECT_EQ(strNextPiece(d, "\n,b", 0, ","), 2);
    EXPECT_EQ(d, "");
    EXPECT_EQ(strNextPiece(d, "ab,,cd", 3, ","), 4);
    EXPECT_EQ(d, "");
    EXPECT_EQ(strNextPiece(d, "ab=>cd", 0, "=>"), 4);
    EXPECT_EQ(d, "ab");
    EXPECT_EQ(strNextPiece(d, "x\r", 0, ","), -1);
    EXPECT_EQ(d, "x");

    TextBuffers tb;
    EXPECT_STREQ(tb.strMidS("abcdef", 1, 2), "bc");
    EXPECT_EQ(tb.strMidS("abc", 9, 1), nullptr);
}

TEST(Text, WordsLinesAndNames) {
    TextBuffers tb;
    EXPECT_STREQ(tb.strFirstWord("#msg hello"), "#msg");
    EXPECT_EQ(std::string(tb.strFirstWord(std::string(200, 'w').c_str())).size(), 127u);
    int pos = 0;
    EXPECT_STREQ(tb.strReadWord("ab,cd  ef", pos, ','), "ab");
    EXPECT_EQ(pos, 2);
    pos = 3;
    EXPECT_STREQ(tb.strReadWord("ab,cd  ef", pos, ','), "cd");
    EXPECT_EQ(pos, 7);
    int len = -1;
    EXPECT_STREQ(tb.strReadLine("one\r\ntwo", 0, &len), "one");
    EXPECT_EQ(len, 3);
    EXPECT_STREQ(tb.strReadLine("one\r\ntwo", 5), "two");
    EXPECT_STREQ(strSkipSpace(" \t x"), "x");

    std::string d;
    EXPECT_EQ(strReadPrintable(&d, "ab\x82\xa0  c"), 6);
    EXPECT_EQ(d, "ab\x82\xa0");
    EXPECT_EQ(strReadPrintable(nullptr, "xy z"), 3);

    EXPECT_EQ(strReadNumber(d, "0x1F+", 0), 4);
    EXPECT_EQ(d, "31");
    EXPECT_EQ(strReadNumber(d, "0xFFFFFFFFF", 0), 11);
    EXPECT_EQ(d, "2147483647");  // saturates
    EXPECT_EQ(strReadNumber(d, "a12.5.6b", 1), 6);
    EXPECT_EQ(d, "12.5.6");
    EXPECT_EQ(strReadNumber(d, "0xg", 0), 1);
    EXPECT_EQ(d, "0");

    EXPECT_EQ(strReadQuoted(d, "x\"abc\"y", 1, false), 4);
    EXPECT_EQ(d, "abc");
    EXPECT_EQ(strReadQuoted(d, "x\"abc\"y", 1, true), 5 + 0);
    EXPECT_EQ(d, "\"abc\"");
    EXPECT_EQ(strReadQuoted(d, "\"open", 0, true), 6);
    EXPECT_EQ(d, "\"open\"");

    EXPECT_EQ(strReadName(d, "ab_1.x[2]", 0), 6);
    EXPECT_EQ(d, "ab_1.x");
    EXPECT_EQ(strReadNameBr(d, "ab_1.x[2]+", 0), 9);
    EXPECT_EQ(d, "ab_1.x[2]");
}

TEST(Text, ShortIntsAndCounts) {
    EXPECT_TRUE(strIsShortInt(""));
    EXPECT_TRUE(strIsShortInt("12"));
    EXPECT_TRUE(strIsShortInt("-7"));
    EXPECT_TRUE(strIsShortInt("1234.5"));
    EXPECT_TRUE(strIsShortInt("-123x"));
    EXPECT_TRUE(strIsShortInt("-"));
    EXPECT_FALSE(strIsShortInt("12a"));
    EXPECT_FALSE(strIsShortInt("1.5"));
    EXPECT_FALSE(strIsShortInt("123.5"));
    EXPECT_FALSE(strIsShortInt("--1"));
    EXPECT_FALSE(strIsShortInt(" 1"));

    EXPECT_EQ(strCountPieces("a,b,,c", ","), 4);
    EXPECT_EQ(strCountPieces("abc", ","), 1);
    EXPECT_EQ(strCountPieces("a=>b=>c", "=>"), 3);
    EXPECT_EQ(strCountTokens("a,b,,c", ","), 3);
    EXPECT_EQ(strCountTokens(",, ,", ", "), 0);
    EXPECT_EQ(strCountTokens("a b,c", ", "), 3);

    EXPECT_EQ(strLineOf("a\nb\nneedle", 0, "needle"), 2);
    EXPECT_EQ(strLineOf("a\nb", 0, "zz"), -1);
    std::string d;
    EXPECT_TRUE(strNthLine(d, "one\n\ntwo\nthree", 1));
    EXPECT_EQ(d, "two");
    EXPECT_FALSE(strNthLine(d, "one\n\ntwo", 2));
}

TEST(Text, BlocksExtensionsAndPaths) {
    TextBuffers tb;
    EXPECT_STREQ(tb.strBlock("x\n[start] tail\nline1\nline2\n[end]\nafter", "[start]", "[end]").raw(),
                 "line1\nline2\n");
    EXPECT_STREQ(tb.strBlock("[s]\nabc", "[s]", "[e]").raw(), "abc");
    EXPECT_STREQ(tb.strBlock("nothing", "[s]", "[e]").raw(), "");

    EXPECT_STREQ(tb.strExt("pic.PNG", true), "png");
    EXPECT_STREQ(tb.strExt("a.b.TxT", false), "TxT");
    EXPECT_EQ(tb.strExt("noext", true), nullptr);

    EXPECT_STREQ(tb.strPathPiece("\"bgm\\sub\\title.ogg\"", 0), "title.ogg");
    EXPECT_STREQ(tb.strPathPiece("bgm\\sub\\title.ogg", 1), "sub");
    EXPECT_STREQ(tb.strPathPiece("bgm\\sub\\title.ogg", 5), "");
    EXPECT_STREQ(tb.strPathPiece("bgm\\sub\\title.ogg", -1), "bgm\\sub\\");
    // "表" (0x95 0x5C) inside a name is not cut
    EXPECT_STREQ(tb.strPathPiece("dir\\\x95\x5c.bmp", 0), "\x95\x5c.bmp");
}

TEST(Text, Crc32) {
    EXPECT_EQ(qf::crc32("abc", 3), 0x352441C2u);
    const char zero[3] = {0, 'a', 'b'};
    EXPECT_EQ(qf::crc32(zero, 3), 0u);
    EXPECT_EQ(qf::crc32(nullptr, 3), 0u);
    EXPECT_EQ(qf::crc32("abc", 0), 0u);
}

TEST(Token, Splitting) {
    Token t("a,,b", ",", 1);
    ASSERT_EQ(t.cnt(), 3);
    EXPECT_STREQ(t.getText(0), "a");
    EXPECT_EQ(t.get(1).type(), 2);
    EXPECT_EQ(t.getInt(1), 0);
    EXPECT_STREQ(t.getText(2), "b");

    Token m0("a,,b", ",", 0);
    ASSERT_EQ(m0.cnt(), 2);
    EXPECT_STREQ(m0.getText(1), "b");

    Token n("10,x,-3", ",");
    ASSERT_EQ(n.cnt(), 3);
    EXPECT_EQ(n.get(0).type(), 2);
    EXPECT_EQ(n.getInt(0), 10);
    EXPECT_EQ(n.get(1).type(), 1);
    EXPECT_EQ(n.getInt(2), -3);

    Token conv("12a,1.5,1234.5,", ",", 1);
    ASSERT_EQ(conv.cnt(), 4);
    EXPECT_EQ(conv.get(0).type(), 1);
    EXPECT_EQ(conv.get(1).type(), 1);
    EXPECT_EQ(conv.get(2).type(), 2);
    EXPECT_EQ(conv.getInt(2), 1234);
    EXPECT_EQ(conv.get(3).type(), 2);  // the empty last piece: the fill value

    Token fill("a, ,b", ",", 1, 0, 7);
    EXPECT_EQ(fill.getInt(1), 7);
    Token lead(" x,y", ",", 1);
    EXPECT_STREQ(lead.getText(0), " x");  // leading white space is kept

    Token fixed("a,b", ",", 1, 8, INT32_MIN);
    EXPECT_EQ(fixed.cnt(), 8);
    EXPECT_STREQ(fixed.getText(1), "b");
    EXPECT_EQ(fixed.getInt(5), INT32_MIN);

    Token capped("a,b,c,d", ",", 0, 2);
    EXPECT_EQ(capped.cnt(), 2);
    EXPECT_STREQ(capped.getText(1), "b");

    Token none("abc", ",", 1);
    EXPECT_EQ(none.cnt(), 1);
    Token empty("", ",", 1);
    EXPECT_EQ(empty.cnt(), 0);
    Token crlf("a\r\nb\r\n", "\n", 1);
    ASSERT_EQ(crlf.cnt(), 3);
    EXPECT_STREQ(crlf.getText(0), "a");
    EXPECT_STREQ(crlf.getText(1), "b");

    Token keep("x,y", ",");
    keep.split("z", "");  // an empty delimiter text leaves the pieces
    EXPECT_EQ(keep.cnt(), 2);

    Token multi("a b,,c", ", ", 0);
    // without a capacity it is the piece count of the delimiter TEXT ", " (1 here)
    EXPECT_EQ(multi.cnt(), 1);
    EXPECT_STREQ(multi.getText(0), "a");
}

TEST(Token, Access) {
    Token t("7,word", ",");
    EXPECT_EQ(t.len(0), 1);
    EXPECT_EQ(t.len(1), 4);
    EXPECT_EQ(t.len(9), 0);
    EXPECT_STREQ(t.getText(9), "");
    EXPECT_STREQ(t.getStr(9), "");
    EXPECT_STREQ(t.getStr(0), "");  // a number's raw text is emptied
    EXPECT_EQ(t.get(-1).type(), 2);
    EXPECT_EQ(t.getInt(1), 0);
    t.set(1, variant(5));
    EXPECT_EQ(t.getInt(1), 5);
    t.set(5, variant(1));  // outside: ignored
    EXPECT_EQ(t.cnt(), 2);
    Token d;
    EXPECT_EQ(d.cnt(), 0);
    EXPECT_EQ(d.capacity(), 16);
}

}  // namespace
