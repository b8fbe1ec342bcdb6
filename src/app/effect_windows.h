#pragma once

namespace qf {

struct Engine;

// Draws of the clip window "WND_CLP" and the effects window "WND_EFX"; a
// fade-in that ends moves the effects window to the back.
void installEffectWindows(Engine& e);

}  // namespace qf
