// One tile map: the chip grid, the view, the scroll state and the buffer of
// the cells around the view that drawing reads. Four of these are the map
// slots; a fifth, with the upper-layer flag, is drawn above the sprites.
#pragma once

#include <cstdint>
#include <vector>

#include "script/nil.h"

namespace qf {

// A grid of chip numbers, row-major.
struct ChipGrid {
    int width = 0;
    int height = 0;
    std::vector<int> chips;
};

// Limits on a map and its view. Map sides and cell counts are bounded so that
// every pixel extent (side × chip size) fits an int with room to spare.
inline constexpr int kMaxMapSide = 16384;
inline constexpr int kMaxMapCells = 1 << 24;
inline constexpr int kMaxChipSize = 1024;
inline constexpr int kMaxRowOffsets = 256;
inline constexpr int kMaxViewSide = kMaxRowOffsets - 3;  // the buffer's rows must have offsets

// True when a map of w × h cells is within the limits above.
bool mapSizeAllowed(long long w, long long h);

// The values the script sees after an update of the current map.
struct MapPosition {
    int mapX = 0, mapY = 0;      // the cell at the centre of the view
    int scrX = 0, scrY = 0;      // scroll pixels
    int lx = 0, ly = 0;          // first buffer cell + 1
};

struct S_Map2 {
    static constexpr int kDefaultSide = 16;

    explicit S_Map2(bool upper = false);

    // The chip grid.
    std::vector<int> chips;
    int m_nMapW = kDefaultSide, m_nMapH = kDefaultSide;

    // The view and the buffer of (drawW + 3) × (drawH + 3) cells around it.
    std::vector<int> buffer;
    int m_nMapDrawW = 16, m_nMapDrawH = 14;
    int m_nMapDrawBkW = 19, m_nMapDrawBkH = 17;

    int visible = 0;
    int m_nMapBufId = 3;       // picture slot of the chip sheet
    int chipSize = 16;
    int chipsPerRow = 4;
    int sheetWidth = 0;        // width of the chip sheet when last told; 0 while unknown
    int outChip = 0;           // chip of the cells outside a map that does not wrap
    int m_nCrtn = 1;           // 1: the map repeats in both directions
    int screenX = 0, screenY = 0;

    int rasterMode = 1;
    int rowOffset[kMaxRowOffsets] = {};
    int rowFirstCell[kMaxRowOffsets] = {};  // first cell column of each buffer row (taken modulo the width when wrapping)
    int rowFineX[kMaxRowOffsets] = {};      // pixels the row is drawn left of its cell grid
    int fineY = 0;                          // pixels every row is drawn above its cell grid

    int m_nScrX = 0, m_nScrY = 0;
    int m_nMapLX = -1, m_nMapLY = -1;       // the buffer's first cell: one left of and above the view

    int m_nCntMove = 0;
    int m_nVecMoveX = 0, m_nVecMoveY = 0;
    int m_nVecAutoX = 0, m_nVecAutoY = 0;

    int upperLayer = 0;        // chip 0 is transparent and the roof rule applies
    int roofChip = 14;         // disappears under a roof
    int roofFill = 23;         // fills the empty cells under a roof

    // --- the view
    // Each argument applies when it is not _NIL; sizes outside their limits
    // are ignored. Reallocates the buffer and recomputes the chips per row.
    void SetView(int drawW, int drawH, int size = kNil, int wrap = kNil);
    void SetScreenPos(int x, int y);
    // The chip sheet's slot and its width in pixels (0 for an empty slot).
    void SetChipPicture(int slot, int width);
    // The chip sheet was reloaded at another width.
    void SetSheetWidth(int width);

    // --- the chips
    // A cleared w × h map; false (nothing changed) when the size is outside the limits.
    bool Reset(int w, int h, int size = kNil, int wrap = kNil);
    // Takes over a grid (already within the limits); false leaves the map as it was.
    bool SetChips(ChipGrid grid);
    bool loaded() const { return !chips.empty(); }
    // Coordinates are wrapped into the map (negative ones from the far edge).
    void SetCell(int chip, int x, int y);
    // With wrap the coordinates are taken modulo the size; without, outside
    // cells give the out-of-map chip.
    int GetCell(int x, int y) const;
    void Replace(int from, int to);
    // Rows outside the buffer are ignored.
    void SetRowOffset(int row, int pixels);

    // --- scrolling
    // A negative x or y stands for the centre of the view.
    void CentreOn(int x, int y);
    // A scripted scroll of `frames` frames; only when visible, loaded and not
    // already scrolling. Each argument applies when it is not _NIL.
    void StartScroll(int dx, int dy, int frames);
    // One frame: continuous and scripted scrolling, then Refill. Only when visible and loaded.
    void Step();
    // Brings the scroll position into the map when it wraps, then remakes the buffer.
    void Refill();

    // The buffer cell at row r, column c (0 outside the buffer).
    int BufferCell(int r, int c) const;
    MapPosition Position() const;

    void Show() { visible = 1; }
    void Hide() { visible = 0; }

private:
    void recomputePerRow();
    void resizeBuffer();
    int cellForBuffer(int x, int y) const;
};

}  // namespace qf
