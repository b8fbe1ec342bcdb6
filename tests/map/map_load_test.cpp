#include "map/map_load.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace qf {
namespace {

// Resources served from memory, remembering every name asked for.
struct FakeFiles {
    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<std::string> asked;

    ResourceReader reader() {
        return [this](const std::string& name, std::vector<uint8_t>& out) {
            asked.push_back(name);
            auto it = files.find(name);
            if (it == files.end()) return false;
            out = it->second;
            return true;
        };
    }
};

std::vector<uint8_t> realLmu(const std::string& name) {
    std::ifstream in(std::string(QF_SOURCE_DIR) + "/tests/data/lmu/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(MapLoad, RawFileTriesItsUpperLayer) {
    FakeFiles fs;
    fs.files["a.bin"] = {2, 2, 1, 2, 3, 4};
    fs.files["a.flr"] = {2, 0, 0, 0, 1, 0, 0, 0, 14, 0, 0, 0, 0, 0, 0, 0};
    S_Map2 map, upper(true);
    map.m_nMapBufId = 7;
    map.SetSheetWidth(64);
    MapLoadResult r = loadMapFile(map, upper, "a.bin", 1, fs.reader());
    EXPECT_TRUE(r.loaded);
    EXPECT_TRUE(r.upperLoaded);
    EXPECT_EQ(fs.asked, (std::vector<std::string>{"a.bin", "a.flr"}));
    EXPECT_EQ(map.m_nMapW, 2);
    EXPECT_EQ(map.chips, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(upper.m_nMapW, 2);
    EXPECT_EQ(upper.m_nMapH, 1);
    EXPECT_EQ(upper.chips, (std::vector<int>{14, 0}));
    EXPECT_EQ(upper.visible, 1);
    EXPECT_EQ(upper.m_nMapBufId, 7);

    // Without a companion the upper layer is hidden and keeps its chips.
    fs.files.erase("a.flr");
    fs.files["b.dat"] = {1, 1, 9};
    r = loadMapFile(map, upper, "b.dat", 1, fs.reader());
    EXPECT_TRUE(r.loaded);
    EXPECT_FALSE(r.upperLoaded);
    EXPECT_EQ(upper.visible, 0);
    EXPECT_EQ(upper.chips, (std::vector<int>{14, 0}));
    EXPECT_EQ(map.chips, (std::vector<int>{9}));
}

TEST(MapLoad, FailuresLeaveTheMapAsItWas) {
    FakeFiles fs;
    fs.files["bad.bin"] = {0, 0, 0, 0x80, 0, 0, 0, 0x80};  // 2^31 × 2^31 cells
    S_Map2 map, upper(true);
    upper.Show();
    MapLoadResult r = loadMapFile(map, upper, "bad.bin", 4, fs.reader());
    EXPECT_FALSE(r.loaded);
    EXPECT_NE(r.error.find("outside"), std::string::npos) << r.error;
    EXPECT_EQ(map.m_nMapW, 16);
    EXPECT_EQ(upper.visible, 1);  // the companion is only tried after a load
    EXPECT_EQ(fs.asked.size(), 1u);

    r = loadMapFile(map, upper, "missing.lmu", 1, fs.reader());
    EXPECT_FALSE(r.loaded);
    EXPECT_TRUE(r.lmu);
    EXPECT_EQ(map.m_nMapW, 16);
}

TEST(MapLoad, LmuFillsBothLayers) {
    FakeFiles fs;
    fs.files["Map0031.LMU"] = realLmu("Map0031.lmu");
    S_Map2 map, upper(true);
    std::vector<int> asked;
    auto widths = [&asked](int slot) {
        asked.push_back(slot);
        return 128;
    };
    MapLoadResult r = loadMapFile(map, upper, "Map0031.LMU", 1, fs.reader(), widths);
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_TRUE(r.lmu);
    EXPECT_TRUE(r.loaded);
    EXPECT_TRUE(r.upperLoaded);
    EXPECT_EQ(r.chipSet, 6);
    EXPECT_EQ(r.scrollType, 0);
    EXPECT_EQ(map.m_nMapW, 48);
    EXPECT_EQ(map.m_nMapH, 58);
    EXPECT_EQ(map.GetCell(47, 0), 143);
    EXPECT_EQ(map.m_nMapBufId, 6);
    EXPECT_EQ(upper.m_nMapBufId, 6);
    EXPECT_EQ(map.chipsPerRow, 8);
    EXPECT_EQ(asked, (std::vector<int>{6}));
    EXPECT_EQ(upper.visible, 1);
    EXPECT_EQ(upper.m_nMapW, 48);
    EXPECT_EQ(fs.asked.size(), 1u);  // no ".flr" for lmu maps

    // Absent chunks take the editor's defaults: 20 × 15, chip set 1.
    fs.files["Map0001.lmu"] = realLmu("Map0001.lmu");
    r = loadMapFile(map, upper, "Map0001.lmu", 1, fs.reader());
    EXPECT_TRUE(r.loaded);
    EXPECT_EQ(r.chipSet, 1);
    EXPECT_EQ(map.m_nMapBufId, 1);
    EXPECT_EQ(map.m_nMapW, 20);
    EXPECT_EQ(map.m_nMapH, 15);
    EXPECT_EQ(map.GetCell(7, 3), 133);
}

}  // namespace
}  // namespace qf
