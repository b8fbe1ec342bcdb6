#include "map/object_draw.h"

#include <climits>

#include "gfx/blend_modes.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "map/objects.h"

namespace qf {

void DrawObjects(const MapObjects& layer, Pictures& pics, int chipsPerRow) {
    if (!layer.visible || !layer.loaded()) return;
    const long long c = layer.cell;
    const long long perRow = chipsPerRow < 1 ? 1 : chipsPerRow;
    pics.SelectTarget(Pictures::kBackBufferSlot);
    for (int id = 1; id < layer.count; ++id) {
        const MapObject& o = layer.objects[static_cast<size_t>(id)];
        if (o.active == 0 || o.image <= 0) continue;
        const long long sx = (o.image % perRow) * c, sy = (o.image / perRow) * c;
        const long long dx = (static_cast<long long>(o.x) + layer.originX + 1) * c - layer.scrollX + layer.screenX + o.offsetX;
        const long long dy = (static_cast<long long>(o.y) + layer.originY + 1) * c - layer.scrollY + layer.screenY + o.offsetY;
        // Positions far off any picture would not fit the drawing call.
        if (sy > INT_MAX || dx > INT_MAX || dx < INT_MIN || dy > INT_MAX || dy < INT_MIN) continue;
        DrawPicture(pics, layer.sheet, static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(c),
                    static_cast<int>(c), static_cast<int>(sx), static_cast<int>(sy), 0, kBlendNormal);
    }
}

}  // namespace qf
