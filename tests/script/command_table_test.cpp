#include <gtest/gtest.h>

#include <set>
#include <string>

#include "script/command_table.h"

namespace qf {
namespace {

TEST(CommandTable, NamesSitAtTheirIndicesAndLookupIsExact) {
    EXPECT_EQ(findCommand("$"), 1);
    EXPECT_EQ(findCommand("#debug"), 5);
    EXPECT_EQ(findCommand("#title"), 16);
    EXPECT_EQ(findCommand("#if"), 22);
    EXPECT_EQ(findCommand("#}"), 26);
    EXPECT_EQ(findCommand("#break"), 34);
    EXPECT_EQ(findCommand("#mouseIcon"), 56);
    EXPECT_EQ(findCommand("#gaugeView"), 82);
    EXPECT_EQ(findCommand("#picFloodFill"), 90);
    EXPECT_EQ(findCommand("#sprGoal"), 113);
    EXPECT_EQ(findCommand("#efxTransit"), 121);
    EXPECT_EQ(findCommand("#oggVol"), 151);
    EXPECT_EQ(findCommand("#atan2R"), 170);
    EXPECT_EQ(findCommand("#binResize"), 195);
    EXPECT_EQ(findCommand("#msgRubySize"), 208);
    EXPECT_EQ(findCommand("#mapLandLoad"), 233);
    EXPECT_EQ(findCommand("#wndFlag"), 245);
    EXPECT_EQ(findCommand("#end"), 250);
    EXPECT_EQ(findCommand("#IF"), -1);
    EXPECT_EQ(findCommand("#vSync"), -1);
    EXPECT_EQ(findCommand("#vsync "), -1);
    EXPECT_STREQ(commandName(250), "#end");
    EXPECT_STREQ(commandName(251), "");
    std::set<std::string> unique(kCommandNames, kCommandNames + kCommandCount);
    EXPECT_EQ(unique.size(), static_cast<size_t>(kCommandCount));
}

}  // namespace
}  // namespace qf
