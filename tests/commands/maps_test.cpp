// The map commands from scripts: which map they reach, which arguments they
// keep, and the land grid.
#include <gtest/gtest.h>

#include <string>

#include "app/game.h"
#include "script/interpreter.h"
#include "tests/support/scratch_game.h"

namespace qf {
namespace {

using test::ScratchGame;

// A 4 × 3 raw map of 1-byte cells holding chips 0..11, and its upper layer.
std::string rawMap() {
    std::string m = {4, 3};
    for (char c = 0; c < 12; ++c) m += c;
    return m;
}

std::string le32(int v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += static_cast<char>((static_cast<unsigned>(v) >> (8 * i)) & 0xFF);
    return s;
}

std::string flr() {
    std::string m = le32(4) + le32(3);
    for (int i = 0; i < 12; ++i) m += le32(i == 5 ? 14 : 0);
    return m;
}

// Slots outside 0..3 are ignored; "#mapInit" sets the view of the current map
// and of the upper layer but the chip picture of the current map only; the
// slot chosen by "#mapSel" is the one "#mapLoad" fills.
TEST(MapCommands, InitAndLoadReachTheCurrentSlotAndTheUpperLayer) {
    ScratchGame g({{"main.txt",
                    "#mapSel 2\r\n#mapSel 4\r\n#mapSel -1\r\n"
                    "#mapInit 5, 10, 8, 8, 0, 16, 24\r\n"
                    "#mapLoad \"town.bin\", 1, 7, 1, 1\r\n#vsync\r\n"
                    "#mapLoad \"town.bin\", 1, 7, 2, 0, 6\r\n#vsync\r\n"
                    "#mapLoad \"town.bin\", 1, 7, 0\r\n#vsync\r\n"},
                   {"town.bin", rawMap()},
                   {"town.flr", flr()}});
    GameInit(*g.engine);
    Engine& e = *g.engine;
    e.interp.step();
    ASSERT_EQ(e.maps.current, 2);
    const S_Map2& map = e.maps.slots[2];
    const S_Map2& upper = e.maps.upper;
    EXPECT_FALSE(e.maps.slots[0].loaded() && e.maps.slots[0].m_nMapW == 4);
    EXPECT_EQ(map.m_nMapDrawW, 10);
    EXPECT_EQ(upper.m_nMapDrawW, 10);
    EXPECT_EQ(upper.m_nMapDrawH, 8);
    EXPECT_EQ(upper.chipSize, 8);
    EXPECT_EQ(upper.screenY, 24);
    EXPECT_EQ(map.m_nMapW, 4);
    EXPECT_EQ(map.GetCell(3, 2), 11);
    EXPECT_EQ(map.m_nMapBufId, 5);
    EXPECT_EQ(map.outChip, 7);
    EXPECT_EQ(map.visible, 1);
    // WRAP 1 reached both layers; the upper layer took town.flr and the map's sheet.
    EXPECT_EQ(map.m_nCrtn, 1);
    EXPECT_EQ(upper.m_nCrtn, 1);
    EXPECT_EQ(upper.GetCell(1, 1), 14);
    EXPECT_EQ(upper.m_nMapBufId, 5);
    EXPECT_EQ(upper.visible, 1);

    // SHOW 2 changes nothing; CHIPPIC 6 and WRAP 0 apply.
    e.interp.step();
    EXPECT_EQ(map.visible, 1);
    EXPECT_EQ(map.m_nMapBufId, 6);
    EXPECT_EQ(map.m_nCrtn, 0);
    EXPECT_EQ(upper.m_nCrtn, 0);
    // SHOW 0 hides; a left-out WRAP and CHIPPIC keep theirs.
    e.interp.step();
    EXPECT_EQ(map.visible, 0);
    EXPECT_EQ(map.m_nCrtn, 0);
    EXPECT_EQ(map.m_nMapBufId, 6);
}

// "#mapScr" and "#mapMove" move both layers; "#mapPixel" and "#mapReplace"
// change the current map only.
TEST(MapCommands, ScrollingMovesBothLayersAndCellsChangeTheCurrentMap) {
    ScratchGame g({{"main.txt",
                    "#mapInit 1, 4, 4, 16, 1, 0, 0\r\n#mapLoad \"town.bin\", 1, 0, 1\r\n"
                    "#mapMove 2, 1\r\n#vsync\r\n"
                    "#mapScr 2, -1, 3\r\n#vsync\r\n"
                    "#mapPixel 99, -1, -1\r\n#mapReplace 1, 98\r\n#mapPixelGet got, 3, 2\r\n#vsync\r\n"},
                   {"town.bin", rawMap()},
                   {"town.flr", flr()}});
    GameInit(*g.engine);
    Engine& e = *g.engine;
    e.interp.step();
    EXPECT_EQ(e.maps.Current().m_nScrX, 0);
    EXPECT_EQ(e.maps.Current().m_nScrY, 16 * 3 - 16);  // (1 − 2) · 16, wrapped into 48 rows of pixels
    EXPECT_EQ(e.maps.upper.m_nScrY, e.maps.Current().m_nScrY);
    e.interp.step();
    EXPECT_EQ(e.maps.Current().m_nCntMove, 3);
    EXPECT_EQ(e.maps.upper.m_nCntMove, 3);
    EXPECT_EQ(e.maps.upper.m_nVecMoveY, -1);
    e.interp.step();
    EXPECT_EQ(e.vars.valGetInt(e.vars.valFind("got")), 99);
    EXPECT_EQ(e.maps.Current().GetCell(1, 0), 98);
    EXPECT_EQ(e.maps.upper.GetCell(3, 2), 0);
}

// The land grid takes the current map's size and, for each cell, the table's
// value in the chip's row (the first line is a heading).
TEST(MapCommands, LandLoadReadsTheTableByChip) {
    ScratchGame g({{"main.txt",
                    "#mapLoad \"town.bin\", 1\r\n#mapLandLoad \"land.csv\", 1\r\n#vsync\r\n"
                    "#mapLandLoad \"missing.csv\", 0\r\n#vsync\r\n"},
                   {"town.bin", rawMap()},
                   {"land.csv", "chip,land\r\n0,5\r\n1,6\r\n2,\r\n"}});
    GameInit(*g.engine);
    Engine& e = *g.engine;
    e.interp.step();
    const LandGrid& land = e.maps.land;
    ASSERT_EQ(land.width, 4);
    ASSERT_EQ(land.height, 3);
    EXPECT_EQ(land.At(0, 0), 5);
    EXPECT_EQ(land.At(1, 0), 6);
    EXPECT_EQ(land.At(2, 0), -1);  // an empty cell
    EXPECT_EQ(land.At(3, 0), -1);  // chip 3: the empty row the final line break adds
    EXPECT_EQ(land.At(3, 2), 0);   // no row for chip 11
    e.interp.step();
    EXPECT_EQ(land.At(1, 0), 6);
    EXPECT_EQ(land.column, 1);
}

}  // namespace
}  // namespace qf
