#include "map/map_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qf {
namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> lmuFile(const std::string& name) {
    return readFile(std::string(QF_SOURCE_DIR) + "/tests/data/lmu/" + name);
}

// The test's own reading of an lmu file: every top-level chunk's bytes by id.
struct Chunks {
    std::map<unsigned, std::vector<uint8_t>> byId;
    std::map<unsigned, int> lengthBytes;  // how many bytes each chunk's length took

    static unsigned varint(const std::vector<uint8_t>& d, size_t& p, int* count = nullptr) {
        unsigned v = 0;
        int n = 0;
        for (;;) {
            uint8_t b = d.at(p++);
            ++n;
            v = v << 7 | (b & 0x7Fu);
            if (!(b & 0x80)) break;
        }
        if (count) *count = n;
        return v;
    }
    explicit Chunks(const std::vector<uint8_t>& d) {
        size_t p = 11;
        while (p < d.size()) {
            unsigned id = varint(d, p);
            if (id == 0) break;
            int n = 0;
            unsigned len = varint(d, p, &n);
            byId[id].assign(d.begin() + static_cast<long>(p), d.begin() + static_cast<long>(p + len));
            lengthBytes[id] = n;
            p += len;
        }
    }
    std::optional<unsigned> value(unsigned id) const {
        auto it = byId.find(id);
        if (it == byId.end()) return std::nullopt;
        size_t p = 0;
        return varint(it->second, p);
    }
    // Chip (x, y) of a layer chunk, converted by subtracting the layer's base.
    int chip(unsigned id, int w, int x, int y) const {
        const auto& d = byId.at(id);
        size_t i = (static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)) * 2;
        int v = d.at(i) | d.at(i + 1) << 8;
        if (id == 0x47) return v >= 5000 ? (v - 5000) & 0xFF : 0;
        return v > 10000 ? (v - 10000) & 0xFF : 0;
    }
};

struct RealMap {
    const char* file;
    int width, height;
    std::optional<int> chipSet;
    int scrollType;
};

// The sizes, chip sets and scroll types the editor's maps were made with.
const RealMap kRealMaps[] = {
    {"Map0001.lmu", 20, 15, std::nullopt, 0},
    {"Map0002.lmu", 20, 20, std::nullopt, 0},
    {"Map0030.lmu", 100, 100, std::nullopt, 0},
    {"Map0031.lmu", 48, 58, 6, 0},
    {"Map0044.lmu", 20, 15, 6, 3},
};

TEST(LmuFiles, RealMapsMatchTheirChunks) {
    for (const RealMap& real : kRealMaps) {
        SCOPED_TRACE(real.file);
        std::vector<uint8_t> bytes = lmuFile(real.file);
        ASSERT_GT(bytes.size(), 11u);
        LmuMap map;
        std::string error;
        ASSERT_TRUE(parseLmu(bytes.data(), bytes.size(), map, error)) << error;
        EXPECT_EQ(map.Width(), real.width);
        EXPECT_EQ(map.Height(), real.height);
        EXPECT_EQ(map.chipSet, real.chipSet);
        EXPECT_EQ(map.scrollType.value_or(0), real.scrollType);
        ASSERT_TRUE(map.hasLower) << map.lowerNote;
        ASSERT_TRUE(map.hasUpper) << map.upperNote;

        Chunks chunks(bytes);
        EXPECT_EQ(chunks.value(lmu_chunk::kWidth).value_or(20), static_cast<unsigned>(real.width));
        ChipGrid lower = lmuLayerGrid(map, map.lower), upper = lmuLayerGrid(map, map.upper);
        ASSERT_EQ(lower.width, real.width);
        ASSERT_EQ(lower.height, real.height);
        int differences = 0;
        for (int y = 0; y < real.height; ++y)
            for (int x = 0; x < real.width; ++x) {
                differences += lower.chips[static_cast<size_t>(y * real.width + x)] != chunks.chip(0x47, real.width, x, y);
                differences += upper.chips[static_cast<size_t>(y * real.width + x)] != chunks.chip(0x48, real.width, x, y);
            }
        EXPECT_EQ(differences, 0);
    }
}

TEST(LmuFiles, KnownCellsAndLongLayerLengths) {
    auto load = [](const char* name) {
        std::vector<uint8_t> bytes = lmuFile(name);
        LmuMap map;
        std::string error;
        EXPECT_TRUE(parseLmu(bytes.data(), bytes.size(), map, error)) << error;
        return map;
    };
    auto at = [](const LmuMap& m, const std::vector<uint16_t>& layer, int x, int y) {
        return layer.at(static_cast<size_t>(y * m.Width() + x));
    };
    // Cells read from the files' bytes by hand.
    LmuMap m1 = load("Map0001.lmu");
    EXPECT_EQ(at(m1, m1.lower, 7, 3), 133);
    EXPECT_EQ(at(m1, m1.lower, 0, 0), 0);  // 4000: a chip below 5000
    LmuMap m31 = load("Map0031.lmu");
    EXPECT_EQ(at(m31, m31.lower, 47, 0), 143);
    EXPECT_EQ(at(m31, m31.lower, 0, 0), 0);
    LmuMap m44 = load("Map0044.lmu");
    EXPECT_EQ(at(m44, m44.lower, 1, 1), 6);
    EXPECT_EQ(at(m44, m44.lower, 2, 1), 12);
    EXPECT_EQ(at(m44, m44.upper, 0, 0), 0);  // exactly 10000 is empty

    // Each 20,000-byte layer of the 100 × 100 map has a three-byte length.
    LmuMap m30 = load("Map0030.lmu");
    Chunks chunks30(lmuFile("Map0030.lmu"));
    EXPECT_EQ(chunks30.lengthBytes.at(0x47), 3);
    EXPECT_EQ(at(m30, m30.upper, 31, 6), 11);
    EXPECT_EQ(at(m30, m30.upper, 25, 11), 26);
    EXPECT_EQ(at(m30, m30.upper, 0, 0), 0);
}

TEST(LmuFiles, SummaryStartsFromItsOwnRecord) {
    std::vector<uint8_t> bytes = lmuFile("Map0044.lmu");
    LmuSummary s = summariseLmu(bytes.data(), bytes.size());
    EXPECT_EQ(s.width, 20);
    EXPECT_EQ(s.height, 15);
    EXPECT_EQ(s.chipSet, 6);
    EXPECT_EQ(s.scrollType, 3);
    ASSERT_TRUE(s.hasChipWord);
    EXPECT_EQ(s.chipWord, 0u);  // the first two chips are 5000: chip 0

    // The record starts with chip set 0, not the editor's 1.
    bytes = lmuFile("Map0001.lmu");
    s = summariseLmu(bytes.data(), bytes.size());
    EXPECT_EQ(s.chipSet, 0);

    // A lower layer whose first chips are 5003 and 5258 (low byte 2 after conversion).
    std::vector<uint8_t> tiny = {10, 'L', 'c', 'f', 'M', 'a', 'p', 'U', 'n', 'i', 't',
                                 2, 1, 2, 3, 1, 1, 0x47, 4, 0x8B, 0x13, 0x8A, 0x14, 0};
    s = summariseLmu(tiny.data(), tiny.size());
    EXPECT_EQ(s.width, 2);
    EXPECT_EQ(s.height, 1);
    ASSERT_TRUE(s.hasChipWord);
    EXPECT_EQ(s.chipWord, 3u | 258u << 16);

    // Nothing readable: the record's start values and no chip word.
    s = summariseLmu(tiny.data(), 5);
    EXPECT_FALSE(s.hasChipWord);
    EXPECT_FALSE(s.error.empty());
    EXPECT_EQ(s.width, 20);
    EXPECT_EQ(s.height, 15);
    tiny.resize(17);  // the walk ends before the layer
    s = summariseLmu(tiny.data(), tiny.size());
    EXPECT_FALSE(s.hasChipWord);
    EXPECT_EQ(s.width, 2);
}

std::vector<uint8_t> header() { return {10, 'L', 'c', 'f', 'M', 'a', 'p', 'U', 'n', 'i', 't'}; }

TEST(LmuFiles, MalformedInputIsRefusedWithAReason) {
    LmuMap map;
    std::string error;
    std::vector<uint8_t> d = header();
    d.resize(10);
    EXPECT_FALSE(parseLmu(d.data(), d.size(), map, error));
    EXPECT_NE(error.find("header"), std::string::npos);

    d = header();
    d.insert(d.end(), {0x51, 0x85, 0x00, 1, 2});  // claims 640 bytes
    error.clear();
    EXPECT_FALSE(parseLmu(d.data(), d.size(), map, error));
    EXPECT_NE(error.find("claims 640 bytes"), std::string::npos) << error;

    d = header();
    d.insert(d.end(), {0x51, 0x85});  // the length runs off the end
    error.clear();
    EXPECT_FALSE(parseLmu(d.data(), d.size(), map, error));
    EXPECT_NE(error.find("runs past the end"), std::string::npos) << error;

    d = header();
    d.insert(d.end(), {0x51, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});  // more than 32 bits
    error.clear();
    EXPECT_FALSE(parseLmu(d.data(), d.size(), map, error));
    EXPECT_FALSE(parseLmu(nullptr, 100, map, error));
}

TEST(LmuFiles, LayersOutsideTheSizeRuleAreLeftOut) {
    LmuMap map;
    std::string error;
    // Width 1025 (two-byte value 0x88 0x01): the layers are refused, the values kept.
    std::vector<uint8_t> d = header();
    d.insert(d.end(), {2, 2, 0x88, 0x01, 3, 1, 1, 0x47, 2, 0x88, 0x13});
    ASSERT_TRUE(parseLmu(d.data(), d.size(), map, error)) << error;
    EXPECT_EQ(map.width, 1025);
    EXPECT_FALSE(map.hasLower);
    EXPECT_NE(map.lowerNote.find("1..1024"), std::string::npos);

    // Width 0 is refused too; a width of 1024 with too few chips is refused for its length.
    d = header();
    d.insert(d.end(), {2, 1, 0, 0x48, 2, 0x11, 0x27});
    ASSERT_TRUE(parseLmu(d.data(), d.size(), map, error));
    EXPECT_FALSE(map.hasUpper);
    d = header();
    d.insert(d.end(), {2, 2, 0x88, 0x00, 3, 1, 1, 0x47, 2, 0x88, 0x13});
    ASSERT_TRUE(parseLmu(d.data(), d.size(), map, error));
    EXPECT_EQ(map.Width(), 1024);
    EXPECT_FALSE(map.hasLower);
    EXPECT_NE(map.lowerNote.find("needs 2048"), std::string::npos) << map.lowerNote;

    // A value chunk that is no single integer reads as 0; chunk id 0 ends the walk.
    d = header();
    d.insert(d.end(), {11, 2, 5, 6, 1, 1, 9, 0, 0xFF, 0xFF});
    ASSERT_TRUE(parseLmu(d.data(), d.size(), map, error));
    EXPECT_EQ(map.scrollType, 0);
    EXPECT_EQ(map.chipSet, 9);
    EXPECT_FALSE(map.hasLower);
}

std::vector<uint8_t> le32(std::initializer_list<int32_t> values) {
    std::vector<uint8_t> out;
    for (int32_t v : values)
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return out;
}

TEST(RawChipFiles, EachCellWidth) {
    ChipGrid grid;
    std::string error;
    // Width 3, height 2 as bytes; chip i at byte i + 2.
    std::vector<uint8_t> d1 = {3, 2, 10, 11, 12, 13, 14, 255};
    ASSERT_TRUE(parseRawChips(d1.data(), d1.size(), 1, grid, error)) << error;
    EXPECT_EQ(grid.width, 3);
    EXPECT_EQ(grid.height, 2);
    EXPECT_EQ(grid.chips, (std::vector<int>{10, 11, 12, 13, 14, 255}));
    ASSERT_TRUE(parseRawChips(d1.data(), d1.size(), 0, grid, error));  // below 1 means 1
    EXPECT_EQ(grid.chips.back(), 255);

    // 2-byte cells: height at byte 2, only the first byte of each element counts.
    std::vector<uint8_t> d2 = {2, 0, 1, 0, 7, 9, 8, 9};
    ASSERT_TRUE(parseRawChips(d2.data(), d2.size(), 2, grid, error)) << error;
    EXPECT_EQ(grid.width, 2);
    EXPECT_EQ(grid.height, 1);
    EXPECT_EQ(grid.chips, (std::vector<int>{7, 8}));

    // 4-byte cells: 32-bit sizes and chips, negative chips kept.
    std::vector<uint8_t> d4 = le32({2, 2, 1, -1, 70000, 4});
    ASSERT_TRUE(parseRawChips(d4.data(), d4.size(), 4, grid, error)) << error;
    EXPECT_EQ(grid.chips, (std::vector<int>{1, -1, 70000, 4}));

    // Bytes past the last chip are ignored.
    d4.push_back(9);
    EXPECT_TRUE(parseRawChips(d4.data(), d4.size(), 4, grid, error));
}

TEST(RawChipFiles, BadSizesAreRefusedBeforeAllocating) {
    ChipGrid grid;
    grid.width = 7;
    std::string error;
    // A header claiming 2^31 cells.
    std::vector<uint8_t> huge = le32({65536, 32768, 1, 2});
    EXPECT_FALSE(parseRawChips(huge.data(), huge.size(), 4, grid, error));
    EXPECT_NE(error.find("65536 x 32768"), std::string::npos) << error;
    EXPECT_EQ(grid.width, 7);  // untouched

    std::vector<uint8_t> negative = le32({-3, 2});
    EXPECT_FALSE(parseRawChips(negative.data(), negative.size(), 4, grid, error));

    std::vector<uint8_t> shortData = le32({4, 4, 1, 2, 3});
    error.clear();
    EXPECT_FALSE(parseRawChips(shortData.data(), shortData.size(), 4, grid, error));
    EXPECT_NE(error.find("needs 72 bytes"), std::string::npos) << error;

    std::vector<uint8_t> small = {3, 2, 1, 2, 3, 4, 5};  // one chip short
    EXPECT_FALSE(parseRawChips(small.data(), small.size(), 1, grid, error));
    std::vector<uint8_t> zero = {0, 2, 1, 2};
    EXPECT_FALSE(parseRawChips(zero.data(), zero.size(), 1, grid, error));
    EXPECT_FALSE(parseRawChips(zero.data(), 1, 1, grid, error));
    EXPECT_FALSE(parseRawChips(zero.data(), 2, 4, grid, error));
    EXPECT_FALSE(parseRawChips(zero.data(), zero.size(), 1 << 30, grid, error));
    EXPECT_EQ(grid.width, 7);
}

TEST(MapFileNames, CompanionAndKind) {
    EXPECT_EQ(flrNameFor("a.bin"), "a.flr");
    EXPECT_EQ(flrNameFor("map\\town.v2.dat"), "map\\town.flr");
    EXPECT_EQ(flrNameFor("plain"), "plain.flr");
    EXPECT_TRUE(isLmuName("Map0001.lmu"));
    EXPECT_TRUE(isLmuName("maps\\TOWN.LmU"));
    EXPECT_FALSE(isLmuName("town.lmu.bin"));
    EXPECT_FALSE(isLmuName("lmu"));
    EXPECT_FALSE(isLmuName("x.lm"));
}

}  // namespace
}  // namespace qf
