#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "res/keystream.h"
#include "res/sfmt.h"

namespace qf {
namespace {

std::vector<uint32_t> publishedSeed1234Outputs() {
    std::ifstream in(std::string(QF_SOURCE_DIR) + "/tests/data/sfmt/SFMT.19937.out.txt");
    std::string line;
    while (std::getline(in, line) && line.rfind("init_gen_rand", 0) != 0) {
    }
    std::vector<uint32_t> values;
    while (values.size() < 1000 && std::getline(in, line)) {
        std::istringstream words(line);
        uint32_t v;
        while (words >> v) values.push_back(v);
    }
    return values;
}

TEST(Sfmt19937, MatchesThePublishedOutputsForSeed1234) {
    std::vector<uint32_t> expected = publishedSeed1234Outputs();
    ASSERT_EQ(expected.size(), 1000u);
    EXPECT_EQ(expected[0], 3440181298u);
    Sfmt19937 gen(1234);
    for (size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(gen.next32(), expected[i]) << "output " << i;

    // Low bytes and skipping walk the same sequence.
    Sfmt19937 b(1234);
    b.skip(700);
    uint8_t low[300];
    b.nextLowBytes(low, sizeof low);
    for (int i = 0; i < 300; ++i) EXPECT_EQ(low[i], static_cast<uint8_t>(expected[700 + i]));
}

TEST(Keystream, EveryPositionMatchesAFreshGeneratorAndUndoesItself) {
    // Beyond the kept part too, and asked for out of order.
    const size_t n = Keystream::kKeptBytes + 5000;
    std::vector<uint8_t> reference(n);
    Sfmt19937 gen(kArchiveSeed);
    gen.nextLowBytes(reference.data(), n);

    Keystream ks;
    std::vector<uint8_t> whole(n, 0);
    ks.apply(whole.data(), n);
    EXPECT_EQ(whole, reference);

    std::vector<uint8_t> pieces(n, 0);
    const size_t cuts[] = {Keystream::kKeptBytes + 1000, Keystream::kKeptBytes - 7, 0, 123};
    size_t ends[] = {n, Keystream::kKeptBytes + 1000, 123, Keystream::kKeptBytes - 7};
    for (int k = 0; k < 4; ++k) ks.apply(pieces.data() + cuts[k], ends[k] - cuts[k], cuts[k]);
    EXPECT_EQ(pieces, reference);

    std::vector<uint8_t> data = {'A', 'R', '1', 0, 9, 8, 7};
    std::vector<uint8_t> copy = data;
    ks.apply(copy.data(), copy.size());
    EXPECT_NE(copy, data);
    Keystream other;
    other.apply(copy.data(), copy.size());
    EXPECT_EQ(copy, data);
}

}  // namespace
}  // namespace qf
