#include <gtest/gtest.h>

#include "app/command_line.h"

namespace qf {
namespace {

TEST(CommandLine, EveryOptionCombines) {
    Options o;
    std::string error;
    ASSERT_EQ(parseCommandLine({"--headless", "--frames", "120", "--input", "in.txt", "--log", "l.txt", "--screenshot", "s.png",
                                "--screenshot-at", "5:a.png", "--screenshot-at", "9:b:c.png", "--dump-vars", "d.txt",
                                "--audio-out", "a.wav", "--refresh-rate", "60", "--seed", "42", "games/demo"},
                               o, error),
              0)
        << error;
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.frames, 120);
    EXPECT_EQ(o.inputScript, "in.txt");
    EXPECT_EQ(o.logFile, "l.txt");
    EXPECT_EQ(o.screenshot, "s.png");
    ASSERT_EQ(o.screenshotsAt.size(), 2u);
    EXPECT_EQ(o.screenshotsAt[1].first, 9);
    EXPECT_EQ(o.screenshotsAt[1].second, "b:c.png");
    EXPECT_EQ(o.dumpVars, "d.txt");
    EXPECT_EQ(o.refreshRate.value(), 60);
    EXPECT_EQ(o.seed.value(), 42u);
    EXPECT_EQ(o.path, "games/demo");
}

TEST(CommandLine, BadCommandLinesAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"}, {"--frames"}, {"--frames", "x"}, {"--frames", "-3"}, {"--screenshot-at", "5"},
        {"--screenshot-at", "0:a.png"}, {"--screenshot-at", "5:"}, {"--refresh-rate", "fast"},
        {"--seed", "-1"}, {"a", "b"}, {"--input", "x.txt"}, {"--log"},
    };
    for (const auto& args : bad) {
        Options o;
        std::string error;
        EXPECT_EQ(parseCommandLine(args, o, error), 2) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

}  // namespace
}  // namespace qf
