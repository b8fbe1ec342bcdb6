#include <gtest/gtest.h>

#include "tests/e2e/game_runner.h"

namespace qf::e2e {
namespace {

class Game : public ::testing::TestWithParam<std::string> {};

TEST_P(Game, MeetsItsExpectations) {
    GameResult r = runGame(QF_PROGRAM, std::string(QF_SOURCE_DIR) + "/tests/games/" + GetParam(), QF_OUTPUT_DIR);
    for (const std::string& f : r.failures) ADD_FAILURE() << GetParam() << ": " << f;
}

INSTANTIATE_TEST_SUITE_P(Games, Game, ::testing::ValuesIn(listGames(std::string(QF_SOURCE_DIR) + "/tests/games")),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

}  // namespace
}  // namespace qf::e2e
