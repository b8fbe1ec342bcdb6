#include "map/map.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace qf {

namespace {

// The remainder of a by m in [0, m); m > 0.
long long floorMod(long long a, long long m) {
    long long r = a % m;
    return r < 0 ? r + m : r;
}

int clampInt(long long v, long long lo = INT_MIN, long long hi = INT_MAX) {
    return static_cast<int>(std::clamp(v, lo, hi));
}

// Cell indexes far outside any allowed map: still outside, and safe to add a buffer width to.
constexpr long long kFarCell = 1 << 30;

}  // namespace

bool mapSizeAllowed(long long w, long long h) {
    return w >= 1 && h >= 1 && w <= kMaxMapSide && h <= kMaxMapSide && w * h <= kMaxMapCells;
}

S_Map2::S_Map2(bool upper) : upperLayer(upper ? 1 : 0) {
    chips.assign(static_cast<size_t>(m_nMapW) * static_cast<size_t>(m_nMapH), 0);
    resizeBuffer();
    Refill();
}

void S_Map2::resizeBuffer() {
    m_nMapDrawBkW = m_nMapDrawW + 3;
    m_nMapDrawBkH = m_nMapDrawH + 3;
    buffer.assign(static_cast<size_t>(m_nMapDrawBkW) * static_cast<size_t>(m_nMapDrawBkH), 0);
}

void S_Map2::recomputePerRow() {
    chipsPerRow = std::max(1, sheetWidth / chipSize);
}

void S_Map2::SetView(int drawW, int drawH, int size, int wrap) {
    if (drawW != kNil && drawW >= 1 && drawW <= kMaxViewSide) m_nMapDrawW = drawW;
    if (drawH != kNil && drawH >= 1 && drawH <= kMaxViewSide) m_nMapDrawH = drawH;
    if (size != kNil && size >= 1 && size <= kMaxChipSize) chipSize = size;
    if (wrap != kNil) m_nCrtn = wrap != 0 ? 1 : 0;
    resizeBuffer();
    recomputePerRow();
    Refill();
}

void S_Map2::SetScreenPos(int x, int y) {
    if (x != kNil) screenX = x;
    if (y != kNil) screenY = y;
}

void S_Map2::SetChipPicture(int slot, int width) {
    m_nMapBufId = slot;
    SetSheetWidth(width);
}

void S_Map2::SetSheetWidth(int width) {
    sheetWidth = std::max(0, width);
    recomputePerRow();
}

bool S_Map2::Reset(int w, int h, int size, int wrap) {
    if (!mapSizeAllowed(w, h)) return false;
    if (size != kNil && size >= 1 && size <= kMaxChipSize) chipSize = size;
    if (wrap != kNil) m_nCrtn = wrap != 0 ? 1 : 0;
    ChipGrid grid;
    grid.width = w;
    grid.height = h;
    grid.chips.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    recomputePerRow();
    return SetChips(std::move(grid));
}

bool S_Map2::SetChips(ChipGrid grid) {
    if (!mapSizeAllowed(grid.width, grid.height)) return false;
    if (grid.chips.size() != static_cast<size_t>(grid.width) * static_cast<size_t>(grid.height)) return false;
    chips = std::move(grid.chips);
    m_nMapW = grid.width;
    m_nMapH = grid.height;
    Refill();
    return true;
}

void S_Map2::SetCell(int chip, int x, int y) {
    if (!loaded()) return;
    long long cx = floorMod(x, m_nMapW), cy = floorMod(y, m_nMapH);
    chips[static_cast<size_t>(cy * m_nMapW + cx)] = chip;
    Refill();
}

int S_Map2::GetCell(int x, int y) const {
    if (!loaded()) return outChip;
    long long cx = x, cy = y;
    if (m_nCrtn) {
        cx = floorMod(cx, m_nMapW);
        cy = floorMod(cy, m_nMapH);
    } else if (cx < 0 || cy < 0 || cx >= m_nMapW || cy >= m_nMapH) {
        return outChip;
    }
    return chips[static_cast<size_t>(cy * m_nMapW + cx)];
}

void S_Map2::Replace(int from, int to) {
    std::replace(chips.begin(), chips.end(), from, to);
    Refill();
}

void S_Map2::SetRowOffset(int row, int pixels) {
    if (row < 0 || row >= m_nMapDrawBkH) return;
    rowOffset[row] = pixels;
    Refill();
}

void S_Map2::CentreOn(int x, int y) {
    if (x < 0) x = m_nMapDrawW / 2 - 1;
    if (y < 0) y = m_nMapDrawH / 2 - 1;
    if (x < m_nMapW && y < m_nMapH) {
        m_nScrX = (x - m_nMapDrawW / 2) * chipSize;
        m_nScrY = (y - m_nMapDrawH / 2) * chipSize;
    }
    Refill();
}

void S_Map2::StartScroll(int dx, int dy, int frames) {
    if (!visible || !loaded() || m_nCntMove > 0) return;
    if (dx != kNil) m_nVecMoveX = dx;
    if (dy != kNil) m_nVecMoveY = dy;
    if (frames != kNil) m_nCntMove = frames;
}

void S_Map2::Step() {
    if (!visible || !loaded()) return;
    m_nScrX = clampInt(static_cast<long long>(m_nScrX) + m_nVecAutoX);
    m_nScrY = clampInt(static_cast<long long>(m_nScrY) + m_nVecAutoY);
    if (m_nCntMove > 0) {
        m_nScrX = clampInt(static_cast<long long>(m_nScrX) + m_nVecMoveX);
        m_nScrY = clampInt(static_cast<long long>(m_nScrY) + m_nVecMoveY);
        if (--m_nCntMove == 0) m_nVecMoveX = m_nVecMoveY = 0;
    }
    Refill();
}

int S_Map2::cellForBuffer(int x, int y) const {
    if (m_nCrtn) return chips[static_cast<size_t>(floorMod(y, m_nMapH) * m_nMapW + floorMod(x, m_nMapW))];
    if (x < 0 || y < 0 || x >= m_nMapW || y >= m_nMapH) return outChip;
    return chips[static_cast<size_t>(static_cast<long long>(y) * m_nMapW + x)];
}

void S_Map2::Refill() {
    if (!loaded()) return;
    const long long s = chipSize;
    const long long extentX = static_cast<long long>(m_nMapW) * s;
    const long long extentY = static_cast<long long>(m_nMapH) * s;
    if (m_nCrtn) {
        m_nScrX = static_cast<int>(floorMod(m_nScrX, extentX));
        m_nScrY = static_cast<int>(floorMod(m_nScrY, extentY));
    }
    // The buffer starts one cell left of and one above the first visible cell;
    // division truncates, and the remainder below keeps the same sign, so a
    // negative scroll (without wrap) still draws each cell at its own pixel.
    // With wrap the scroll lies inside the map, so these stay within −1 .. size − 2;
    // the cells themselves are read modulo the size.
    long long lx = m_nScrX / s - 1, ly = m_nScrY / s - 1;
    m_nMapLX = clampInt(lx, -kFarCell, kFarCell);
    m_nMapLY = clampInt(ly, -kFarCell, kFarCell);
    fineY = static_cast<int>(m_nScrY % s);

    for (int r = 0; r < m_nMapDrawBkH; ++r) {
        long long v = m_nScrX;
        if (rasterMode) v += rowOffset[r];
        if (m_nCrtn) v = floorMod(v, extentX);
        long long first = v / s - 1;
        rowFirstCell[r] = clampInt(first, -kFarCell, kFarCell);
        rowFineX[r] = static_cast<int>(v % s);
        int* row = &buffer[static_cast<size_t>(r) * static_cast<size_t>(m_nMapDrawBkW)];
        for (int c = 0; c < m_nMapDrawBkW; ++c) row[c] = cellForBuffer(rowFirstCell[r] + c, m_nMapLY + r);
    }

    // Under a roof (the cell at the view's centre is not empty) the upper
    // layer fills its empty cells and drops the chip that marks the roof.
    if (upperLayer && BufferCell(m_nMapDrawH / 2 + 1, m_nMapDrawW / 2 + 1) != 0) {
        for (int& k : buffer) {
            if (k == 0)
                k = roofFill;
            else if (k == roofChip)
                k = 0;
        }
    }
}

int S_Map2::BufferCell(int r, int c) const {
    if (r < 0 || c < 0 || r >= m_nMapDrawBkH || c >= m_nMapDrawBkW) return 0;
    return buffer[static_cast<size_t>(r) * static_cast<size_t>(m_nMapDrawBkW) + static_cast<size_t>(c)];
}

MapPosition S_Map2::Position() const {
    MapPosition p;
    long long mx = static_cast<long long>(m_nMapLX) + m_nMapDrawW / 2 + 1;
    long long my = static_cast<long long>(m_nMapLY) + m_nMapDrawH / 2 + 1;
    if (m_nCrtn) {
        mx = floorMod(mx, m_nMapW);
        my = floorMod(my, m_nMapH);
    }
    p.mapX = static_cast<int>(mx);
    p.mapY = static_cast<int>(my);
    p.scrX = m_nScrX;
    p.scrY = m_nScrY;
    p.lx = m_nMapLX + 1;
    p.ly = m_nMapLY + 1;
    return p;
}

}  // namespace qf
