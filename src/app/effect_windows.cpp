#include "app/effect_windows.h"

#include "app/engine.h"
#include "gfx/clip.h"
#include "gfx/effects.h"

namespace qf {

void installEffectWindows(Engine& e) {
    e.windows.draw[WND_CLP] = [&e](int) { DrawClip(e.clip, e.pictures); };
    e.windows.draw[WND_EFX] = [&e](int) {
        if (DrawEffects(e.effects, e.pictures)) e.windows.Deactivate(WND_EFX);
    };
}

}  // namespace qf
