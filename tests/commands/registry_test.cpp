#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/engine.h"
#include "commands/registry.h"
#include "platform/headless/headless_host.h"
#include "script/command_table.h"

namespace qf {
namespace {

TEST(CommandRegistry, EveryCommandIsBuiltInertOrListedAsPending) {
    HeadlessHost host;
    Engine e(host);
    std::set<std::string> bound, inert, pending;
    for (const CommandBinding& b : commandBindings()) EXPECT_TRUE(bound.insert(b.name).second) << "bound twice: " << b.name;
    for (const char* n : inertCommandNames()) inert.insert(n);
    for (const char* n : pendingCommandNames()) EXPECT_TRUE(pending.insert(n).second) << "pending twice: " << n;
    for (int i = 0; i < kCommandCount; ++i) {
        std::string n = kCommandNames[i];
        int kinds = static_cast<int>(bound.count(n)) + static_cast<int>(inert.count(n)) + static_cast<int>(pending.count(n));
        EXPECT_EQ(kinds, 1) << "'" << n << "' must be exactly one of built, inert or pending";
        EXPECT_EQ(e.interp.handlers[static_cast<size_t>(i)] == &cmdNothing, bound.count(n) == 0) << n;
    }
    for (const std::string& n : bound) EXPECT_GE(findCommand(n), 0) << "no such command: " << n;
    EXPECT_EQ(e.interp.handlers[static_cast<size_t>(findCommand("#end"))], e.interp.handlers[static_cast<size_t>(findCommand("#quit"))]);
}

}  // namespace
}  // namespace qf
