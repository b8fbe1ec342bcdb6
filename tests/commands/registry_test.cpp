#include <gtest/gtest.h>

#include <set>
#include <string>

#include "script/command_handlers.h"
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

TEST(CommandTable, EveryCommandIsBuiltInertOrListedAsPending) {
    std::set<std::string> bound, inert, pending;
    for (const CommandBinding& b : commandBindings()) EXPECT_TRUE(bound.insert(b.name).second) << "bound twice: " << b.name;
    for (const char* n : inertCommandNames()) inert.insert(n);
    for (const char* n : pendingCommandNames()) EXPECT_TRUE(pending.insert(n).second) << "pending twice: " << n;
    for (int i = 0; i < kCommandCount; ++i) {
        std::string n = kCommandNames[i];
        int kinds = static_cast<int>(bound.count(n)) + static_cast<int>(inert.count(n)) + static_cast<int>(pending.count(n));
        EXPECT_EQ(kinds, 1) << "'" << n << "' must be exactly one of built, inert or pending";
        EXPECT_EQ(commandHandler(i) == &cmdNothing, bound.count(n) == 0) << n;
    }
    for (const std::string& n : bound) EXPECT_GE(findCommand(n), 0) << "no such command: " << n;
    EXPECT_EQ(commandHandler(findCommand("#end")), commandHandler(findCommand("#quit")));
}

}  // namespace
}  // namespace qf
