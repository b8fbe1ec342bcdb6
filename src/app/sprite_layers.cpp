// The sprite groups and the gauges in the window table's draw order.
#include "app/sprite_layers.h"

#include "app/engine.h"
#include "gfx/gauges.h"
#include "gfx/sprites.h"

namespace qf {

void installSprites(Engine& e) {
    e.windows.draw[WND_SPR] = [&e](int) { DrawSpriteBank(e.sprites, e.pictures); };
    e.windows.drawAfterPlanes = [&e] {
        DrawSpriteRange(e.sprites, e.pictures, Sprites::kLowFirst, Sprites::kLowLast);
        DrawGauges(e.gauges, e.text);
    };
    e.windows.drawAfterAll = [&e] {
        DrawSpriteRange(e.sprites, e.pictures, Sprites::kTopFirst, Sprites::kTopLast);
    };
}

}  // namespace qf
