// The variable text of save records: every value comes back as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/headless/headless_host.h"
#include "script/variables.h"
#include "wnd/record_variables.h"
#include "wnd/save_record.h"

namespace qf {
namespace {

TEST(RecordVariables, EveryValueComesBackExactly) {
    HeadlessHost host;
    Variables saved(host);
    saved.valSetInt("n", -42);
    saved.valSetStr("s", "a,b\r\nc\\d\nlast,");
    saved.valSetStr("sjis", "\x83\x5C\x82\xA0,");  // a trail byte 0x5C ("ソ"), then "あ"
    saved.valSetStr("empty", "");
    variant real;
    real.setNumber(0.1, variant::kReal);
    saved.valSet("r", real);
    real.setNumber(-1e300, variant::kReal);
    saved.valSet("tiny[0][1]", real);
    variant big;
    big.setNumber(1e17, variant::kInteger);
    saved.valSet("big", big);
    saved.valSetInt("a[0]", 1);
    saved.valSetStr("a[1]", "2");
    const std::string text = recordVariableText(saved);
    // Plain values are written as the dump writes them.
    EXPECT_EQ(text.substr(0, 8), "n,-42,2\r");

    Variables loaded(host);
    loaded.valSetInt("s", 9);
    loaded.valSetInt("other", 3);
    restoreRecordVariables(loaded, text);
    for (int i = 0; i < saved.count(); ++i) {
        const Variable& want = saved.m_var[i];
        const int at = loaded.valFind(want.m_name.raw());
        ASSERT_GE(at, 0) << want.m_name.raw();
        const Variable& got = loaded.m_var[at];
        EXPECT_EQ(got.m_nKind, want.m_nKind) << want.m_name.raw();
        EXPECT_EQ(got.m_value.type(), want.m_value.type()) << want.m_name.raw();
        if (want.m_value.isString())
            EXPECT_STREQ(got.m_value.raw(), want.m_value.raw()) << want.m_name.raw();
        else
            EXPECT_EQ(got.m_value.m_dValue, want.m_value.m_dValue) << want.m_name.raw();
    }
    // Variables the record does not name keep their values.
    EXPECT_EQ(loaded.valGetInt(loaded.valFind("other")), 3);
    EXPECT_EQ(std::string(loaded.m_var[loaded.valFind("a[1]")].m_value.raw()), "2");
}

TEST(RecordVariables, RestoreReplacesTheFlagsAndToleratesOddLines) {
    HeadlessHost host;
    Variables vars(host);
    vars.flagSet(4, 1);
    RecordContents record;
    record.flags[0] = 5;
    record.flags[255] = -1;
    // An integer dump line, a line without a kind, an empty line, a lone name.
    record.variableText = "x,12,2\r\ny,7\r\n\r\nz\r\nw,abc,1";
    restoreRecord(vars, record);
    EXPECT_EQ(vars.flagGet(0), 5);
    EXPECT_EQ(vars.flagGet(4), 0);
    EXPECT_EQ(vars.flagGet(255), -1);
    EXPECT_EQ(vars.valGetInt(vars.valFind("x")), 12);
    EXPECT_EQ(vars.valGetInt(vars.valFind("y")), 7);
    EXPECT_EQ(vars.valGetInt(vars.valFind("z")), 0);
    EXPECT_STREQ(vars.m_var[vars.valFind("w")].m_value.raw(), "abc");
}

}  // namespace
}  // namespace qf
