#include "map/map_draw.h"

#include <climits>
#include <cstddef>

#include "gfx/blend_modes.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "map/map.h"

namespace qf {

void DrawMap(const S_Map2& map, Pictures& pics) {
    if (!map.visible || !map.loaded()) return;
    const S_Dib* sheet = pics.Slot(map.m_nMapBufId);
    if (!sheet || sheet->Width() <= 0) return;
    const int s = map.chipSize;
    const int perRow = map.chipsPerRow;
    const bool skipEmpty = map.upperLayer != 0;
    // The buffer starts one cell left of and above the view; each row is drawn
    // left of its cell grid by its own fine offset (raster scrolling).
    const int top = map.screenY - s - map.fineY;
    for (int r = 0; r < map.m_nMapDrawBkH; ++r) {
        const int y = top + r * s;
        const int left = map.screenX - s - map.rowFineX[r];
        const int* row = &map.buffer[static_cast<size_t>(r) * static_cast<size_t>(map.m_nMapDrawBkW)];
        for (int c = 0; c < map.m_nMapDrawBkW; ++c) {
            const int k = row[c];
            if (k == 0 && skipEmpty) continue;
            // Chips far beyond any sheet would overflow the source position.
            const long long sx = static_cast<long long>(k % perRow) * s, sy = static_cast<long long>(k / perRow) * s;
            if (sy > INT_MAX || sy < INT_MIN) continue;
            DrawPicture(pics, map.m_nMapBufId, left + c * s, y, s, s, static_cast<int>(sx), static_cast<int>(sy), 0,
                        kBlendNormal);
        }
    }
}

}  // namespace qf
