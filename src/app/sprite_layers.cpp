// The sprite groups and the gauges in the window table's draw order.
#include "app/engine.h"
#include "gfx/gauges.h"
#include "gfx/sprites.h"

namespace qf {

void DrawSprite(Engine& e, int n) { DrawSprite(e.sprites, e.pictures, n); }

void installSprites(Engine& e) {
    e.windows.draw[WND_SPR] = [&e](int) { DrawSpriteBank(e.sprites, e.pictures); };
    e.windows.drawAfterPlanes = [&e] {
        DrawSpriteRange(e.sprites, e.pictures, Sprites::kLowFirst, Sprites::kLowLast);
        DrawGauges(e);
    };
    e.windows.drawAfterAll = [&e] {
        DrawSpriteRange(e.sprites, e.pictures, Sprites::kTopFirst, Sprites::kTopLast);
    };
}

}  // namespace qf
