// Variables, constants and flags.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "script/variables.h"
#include "test_util.h"

using namespace qf;

namespace {

struct VarsTest : ::testing::Test {
    HeadlessHost host;
    std::unique_ptr<Variables> vars = std::make_unique<Variables>(host);
    Variables& v = *vars;
};

TEST_F(VarsTest, AssignAndLookup) {
    EXPECT_EQ(v.valFind("x"), -1);
    v.valSetInt("x", 5);
    v.valSetStr("s", "text");
    v.valSet("r", variant(1.5));
    EXPECT_EQ(v.count(), 3);
    EXPECT_EQ(v.valFind("x"), 0);
    EXPECT_EQ(v.valFind("s"), 1);
    EXPECT_EQ(v.valFind("r"), 2);
    EXPECT_EQ(v.m_var[0].m_nKind, 2);
    EXPECT_EQ(v.m_var[1].m_nKind, 1);
    EXPECT_EQ(v.m_var[2].m_nKind, 6);
    EXPECT_EQ(v.valGetInt(0), 5);
    EXPECT_STREQ(v.valGet(1).raw(), "text");
    EXPECT_EQ(v.valGet(2).num(), 1.5);
    v.valSetInt("x", 7);
    EXPECT_EQ(v.count(), 3);
    EXPECT_EQ(v.valGetInt(0), 7);

    v.valSetInt("Score", 1);
    v.valSetInt("score", 2);
    EXPECT_NE(v.valFind("Score"), v.valFind("score"));

    EXPECT_EQ(v.valGetInt(-1), 0);
    EXPECT_EQ(v.valGetInt(1536), 0);
    EXPECT_EQ(v.valGet(5000).num(), 0);

    v.valToStr(0);
    EXPECT_STREQ(v.valGet(0).raw(), "7");
    v.valToFloat(0);
    EXPECT_EQ(v.valGet(0).type(), 6);
    v.valToInt(2);
    EXPECT_EQ(v.valGet(2).num(), 1);
    v.valToInt(9999);  // ignored
    EXPECT_EQ(v.valCount(), &v.m_nCount);
    EXPECT_EQ(v.valTable(), v.m_var);
}

TEST_F(VarsTest, Constants) {
    EXPECT_EQ(v.valFind("_RUN_DASH"), 1536);
    EXPECT_EQ(v.valFind("_unuse"), 1562);
    EXPECT_EQ(v.valFind("_END"), 1602);
    EXPECT_EQ(v.valGet(v.valFind("_NIL")).num(), -2147483648.0);
    EXPECT_EQ(v.valGet(v.valFind("_ALL")).num(), -1);
    EXPECT_EQ(v.valGet(v.valFind("_unuse")).num(), 0);
    EXPECT_EQ(v.valGet(v.valFind("_BLEND_ROT_NO")).num(), 20);
    EXPECT_EQ(v.valGet(v.valFind("_KEY_R1")).num(), 2048);
    EXPECT_EQ(v.valGet(v.valFind("_BLEND_MOSAIC")).num(), 34);
    EXPECT_EQ(v.valFind("_BLEND_MOSAIC"), 1570);
    EXPECT_EQ(v.valFind("_BLEND_RF_R"), 1582);
    EXPECT_EQ(v.valFind("_KEY_U"), 1583);
    EXPECT_EQ(v.valFind("_true"), -1);
    EXPECT_EQ(v.valGetInt(1597), 0);  // constants are outside 0..1535 for valGetInt
    int unuse = 0;
    for (int i = 0; i < Variables::kConstCount; ++i)
        if (std::string(Variables::constantName(i)) == "_unuse") ++unuse;
    EXPECT_EQ(unuse, 7);

    // assigning to a constant's name changes nothing
    v.valSetInt("_TRUE", 5);
    v.valSet("_TRUE", variant(5));
    v.valSetStr("_TRUE", "x");
    v.valLimit("_TRUE", 0, 0, 1);
    EXPECT_EQ(v.count(), 0);
    EXPECT_EQ(v.valGet(v.valFind("_TRUE")).num(), 1);
    EXPECT_TRUE(host.logLines().empty());
}

TEST_F(VarsTest, FullTable) {
    for (int i = 0; i < 1536; ++i) v.valSetInt("v" + std::to_string(i), i);
    EXPECT_EQ(v.count(), 1536);
    EXPECT_TRUE(host.logLines().empty());
    v.valSetInt("extra", 1);
    v.valSetStr("extra", "x");
    EXPECT_TRUE(host.logLines().empty());  // the int and string forms drop silently
    v.valSet("extra", variant(1));
    EXPECT_EQ(v.valFind("extra"), -1);
    auto lines = host.logLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "dialog\tdialog\t変数の最大数に達しました");
    v.valSet("v3", variant(99));  // an existing name: also dropped with the message
    EXPECT_EQ(v.valGetInt(3), 3);
    EXPECT_EQ(host.logLines().size(), 2u);
    v.valSetInt("v4", 99);
    EXPECT_EQ(v.valGetInt(4), 4);
    EXPECT_EQ(v.valFind("v1535"), 1535);
}

TEST_F(VarsTest, Limits) {
    v.valLimit("hp", 0, 100, 1);
    EXPECT_EQ(v.valFind("hp"), 0);
    v.valSetInt("hp", 150);
    EXPECT_EQ(v.valGetInt(0), 100);
    v.valSetInt("hp", -5);
    EXPECT_EQ(v.valGetInt(0), 0);
    v.valSetInt("hp", 50);
    EXPECT_EQ(v.valGetInt(0), 50);

    v.valLimit("hp", 0, 100, 2);
    v.valSetInt("hp", 101);
    EXPECT_EQ(v.valGetInt(0), 0);
    v.valSetInt("hp", -1);
    EXPECT_EQ(v.valGetInt(0), 100);

    // strings: valSetStr is not checked, valSet compares the decimal reading
    v.valLimit("hp", 0, 100, 1);
    v.valSetStr("hp", "500");
    EXPECT_STREQ(v.valGet(0).raw(), "500");
    v.valSet("hp", variant("500x"));
    EXPECT_EQ(v.valGet(0).type(), 2);
    EXPECT_EQ(v.valGetInt(0), 100);
    v.valSet("hp", variant("42"));
    EXPECT_EQ(v.valGet(0).type(), 1);

    // valLimit applies the rule at once, to an existing value
    v.valSetInt("mp", 300);
    v.valLimit("mp", 0, 10, 1);
    EXPECT_EQ(v.valGetInt(v.valFind("mp")), 10);
    v.valLimit("mp", 0, 10, 0);
    v.valSetInt("mp", 300);
    EXPECT_EQ(v.valGetInt(v.valFind("mp")), 300);

    cmdValLimit(v, "ex", variant(1), variant(3), variant(1));
    EXPECT_EQ(v.valGetInt(v.valFind("ex")), 1);
}

TEST_F(VarsTest, SortAndStartIndex) {
    const char* names[] = {"zeta", "alpha", "Beta", "_sys", "mid", "alpha2", "\x82\xa0kana", "9lives"};
    int n = 0;
    for (const char* name : names) v.valSetInt(name, n++);
    v.valSort();
    ASSERT_EQ(v.count(), 8);
    std::vector<std::string> sorted;
    for (int i = 0; i < v.count(); ++i) sorted.push_back(v.m_var[i].m_name.raw());
    EXPECT_EQ(sorted, (std::vector<std::string>{"9lives", "Beta", "_sys", "alpha", "alpha2", "mid", "zeta",
                                                "\x82\xa0kana"}));
    EXPECT_EQ(v.m_startIndex['B' - 0x40], 1);
    EXPECT_EQ(v.m_startIndex['_' - 0x40], 2);
    EXPECT_EQ(v.m_startIndex['a' - 0x40], 3);
    EXPECT_EQ(v.m_startIndex['m' - 0x40], 5);
    EXPECT_EQ(v.m_startIndex['z' - 0x40], 6);
    EXPECT_EQ(v.m_startIndex['q' - 0x40], 0);
    // values and limits moved with their records
    EXPECT_EQ(v.valGetInt(v.valFind("zeta")), 0);
    EXPECT_EQ(v.valGetInt(v.valFind("9lives")), 7);
    EXPECT_EQ(v.valFind("alpha2"), 4);

    // variables created after the sort are still found
    v.valSetInt("aardvark", 10);
    v.valSetInt("beta", 11);
    EXPECT_EQ(v.valFind("aardvark"), 8);
    EXPECT_EQ(v.valFind("beta"), 9);
    EXPECT_EQ(v.valFind("alpha"), 3);
    // a second sort keeps the entries already set
    v.valSort();
    EXPECT_EQ(v.m_startIndex['a' - 0x40], 3);
    EXPECT_EQ(std::string(v.m_var[3].m_name.raw()), "aardvark");
    EXPECT_EQ(v.valFind("aardvark"), 3);
    EXPECT_EQ(v.valFind("alpha"), 4);
    EXPECT_EQ(v.m_startIndex['b' - 0x40], 6);

    cmdValClear(v);
    EXPECT_EQ(v.count(), 0);
    EXPECT_EQ(v.valFind("alpha"), -1);
    EXPECT_EQ(v.m_startIndex['a' - 0x40], 0);
    EXPECT_EQ(v.m_var[0].m_nKind, 0);
    EXPECT_EQ(v.m_var[0].m_value.type(), 2);
    EXPECT_STREQ(v.m_var[0].m_name.raw(), "");
    v.valSetInt("again", 1);
    EXPECT_EQ(v.valFind("again"), 0);
}

TEST_F(VarsTest, SortKeepsLimitsWithRecords) {
    v.valLimit("b", 0, 5, 1);
    v.valLimit("a", 10, 20, 2);
    cmdValSort(v);
    EXPECT_EQ(v.m_var[0].m_nLower, 10);
    EXPECT_EQ(v.m_var[0].m_nLimitMode, 2);
    EXPECT_EQ(v.m_var[1].m_nUpper, 5);
    v.valSetInt("b", 9);
    EXPECT_EQ(v.valGetInt(1), 5);
}

TEST_F(VarsTest, DumpAndRestore) {
    v.valSetInt("n", 12);
    v.valSet("r", variant(1.5));
    v.valSetStr("s", "hello");
    v.valSetStr("empty", "");
    variant frac;
    frac.setNumber(2.5, 2);
    v.valSet("f", frac);
    EXPECT_EQ(v.valDump(), "n,12,2\r\nr,1.50000,6\r\ns,hello,1\r\nempty,,1\r\nf,2,2");
    std::string dump = v.valDump();

    Variables restored(host);
    size_t before = host.logLines().size();
    restored.valAssignMem(dump.c_str());
    auto lines = test::linesSince(host, before);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "dbg\t【valAssignMem tokenDat.cnt()】5");
    ASSERT_EQ(restored.count(), 5);
    EXPECT_EQ(restored.valGet(0).type(), 2);
    EXPECT_EQ(restored.valGetInt(0), 12);
    EXPECT_EQ(restored.valGet(1).type(), 1);  // the real comes back as the string 1.50000
    EXPECT_STREQ(restored.valGet(1).raw(), "1.50000");
    EXPECT_EQ(restored.m_var[1].m_nKind, 1);
    EXPECT_STREQ(restored.valGet(2).raw(), "hello");
    EXPECT_EQ(restored.valGet(3).type(), 2);  // an empty field is the fill value 0
    EXPECT_EQ(restored.valGetInt(4), 2);
    EXPECT_EQ(restored.valDump(), "n,12,2\r\nr,1.50000,1\r\ns,hello,1\r\nempty,0,2\r\nf,2,2");

    // the restore of a restore is stable
    Variables again(host);
    again.valAssignMem(restored.valDump().c_str());
    EXPECT_EQ(again.valDump(), restored.valDump());

    // lines whose third field is 0 assign the second field as an integer
    Variables odd(host);
    odd.valAssignMem("a,17x,0\nb");
    EXPECT_EQ(odd.valGetInt(odd.valFind("a")), 17);
    EXPECT_EQ(odd.valGet(odd.valFind("b")).type(), 2);
    Variables none(host);
    none.valAssignMem("");
    EXPECT_EQ(none.count(), 0);
}

TEST_F(VarsTest, Flags) {
    EXPECT_EQ(v.flagGet(0), 0);
    v.flagSet(5, 1);
    EXPECT_EQ(v.flagGet(5), 1);
    v.flagSet(255, -3);
    EXPECT_EQ(v.flagGet(255), -3);
    v.flagSet(256, 9);
    v.flagSet(-1, 9);
    EXPECT_EQ(v.flagGet(256), -1);
    EXPECT_EQ(v.flagGet(-1), -1);
    EXPECT_EQ(v.flagGet(300), -1);
}

TEST_F(VarsTest, HookAndDumpVars) {
    cmdValHook(v, variant("hp"));
    EXPECT_STREQ(v.m_filter.raw(), "hp");
    cmdValHook(v, variant(Variables::kNil));
    EXPECT_STREQ(v.m_filter.raw(), "");

    v.valSetInt("n", -3);
    v.valSet("r", variant(0.25));
    v.valSetStr(sj("名前"), sj("勇者\t\\") + "\r\n");
    v.flagSet(3, 7);
    v.flagSet(200, -1);
    EXPECT_EQ(dumpVarsText(v),
              "var\tn\t2\t-3\n"
              "var\tr\t6\t0.25000\n"
              "var\t名前\t1\t勇者\\t\\\\\\r\\n\n"
              "flag\t3\t7\n"
              "flag\t200\t-1\n");
}

TEST(Variables, Independent) {
    HeadlessHost host;
    Variables a(host), b(host);
    a.valSetInt("x", 1);
    EXPECT_EQ(b.valFind("x"), -1);
    EXPECT_NE(a.generation(), b.generation());
}

}  // namespace
