#include "map/land.h"

namespace qf {

bool LandGrid::LoadTable(const std::string& text) {
    Table fresh;
    if (!fresh.Load(text, 1, -1)) return false;
    table = std::move(fresh);
    return true;
}

void LandGrid::Build(const S_Map2& map, int tableColumn) {
    column = tableColumn;
    width = map.m_nMapW;
    height = map.m_nMapH;
    cells.assign(map.chips.size(), 0);
    for (size_t i = 0; i < map.chips.size(); ++i) cells[i] = truncInt(table.Cell(column, map.chips[i]).num());
}

int LandGrid::At(int x, int y) const {
    if (!Inside(x, y)) return 0;
    return cells[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

}  // namespace qf
