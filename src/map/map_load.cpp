#include "map/map_load.h"

#include <cstdint>
#include <vector>

#include "map/map_files.h"

namespace qf {

namespace {

int widthOf(const SheetWidthOf& sheetWidthOf, int slot) { return sheetWidthOf ? sheetWidthOf(slot) : 0; }

void loadLmu(S_Map2& map, S_Map2& upper, const std::vector<uint8_t>& bytes, const SheetWidthOf& sheetWidthOf,
             MapLoadResult& result) {
    result.lmu = true;
    LmuMap lmu;
    if (!parseLmu(bytes.data(), bytes.size(), lmu, result.error)) return;
    result.chipSet = lmu.chipSet.value_or(kLmuDefaultChipSet);
    result.scrollType = lmu.scrollType.value_or(kLmuDefaultScrollType);
    int sheet = widthOf(sheetWidthOf, result.chipSet);
    map.SetChipPicture(result.chipSet, sheet);
    upper.SetChipPicture(result.chipSet, sheet);
    if (lmu.hasLower) result.loaded = map.SetChips(lmuLayerGrid(lmu, lmu.lower));
    if (lmu.hasUpper && upper.SetChips(lmuLayerGrid(lmu, lmu.upper))) {
        result.upperLoaded = true;
        upper.Show();
    }
    if (!lmu.lowerNote.empty())
        result.error = "lower layer: " + lmu.lowerNote;
    else if (!lmu.upperNote.empty())
        result.error = "upper layer: " + lmu.upperNote;
    else if (!lmu.hasLower)
        result.error = "the file has no lower layer";
}

void loadRaw(S_Map2& map, S_Map2& upper, const std::string& name, int cellWidth, const std::vector<uint8_t>& bytes,
             const ResourceReader& read, MapLoadResult& result) {
    ChipGrid grid;
    if (!parseRawChips(bytes.data(), bytes.size(), cellWidth, grid, result.error)) return;
    result.loaded = map.SetChips(std::move(grid));
    if (!result.loaded) return;
    std::vector<uint8_t> flr;
    ChipGrid upperGrid;
    std::string ignored;
    if (read(flrNameFor(name), flr) && parseRawChips(flr.data(), flr.size(), 4, upperGrid, ignored) &&
        upper.SetChips(std::move(upperGrid))) {
        upper.m_nMapBufId = map.m_nMapBufId;
        upper.SetSheetWidth(map.sheetWidth);
        upper.Show();
        result.upperLoaded = true;
    } else {
        upper.Hide();
    }
}

}  // namespace

MapLoadResult loadMapFile(S_Map2& map, S_Map2& upper, const std::string& name, int cellWidth,
                          const ResourceReader& read, const SheetWidthOf& sheetWidthOf) {
    MapLoadResult result;
    std::vector<uint8_t> bytes;
    if (!read || !read(name, bytes) || bytes.empty()) {
        result.error = "the file cannot be read";
        result.unreadable = true;
        result.lmu = isLmuName(name);
        return result;
    }
    if (isLmuName(name))
        loadLmu(map, upper, bytes, sheetWidthOf, result);
    else
        loadRaw(map, upper, name, cellWidth, bytes, read, result);
    return result;
}

}  // namespace qf
