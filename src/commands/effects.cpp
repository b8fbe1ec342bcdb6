// Screen effects and clips: fades, flashes, the block dissolve, the shake,
// and the numbered-picture clips.
#include <algorithm>

#include "commands/args.h"
#include "commands/registry.h"
#include "gfx/clip.h"
#include "gfx/effects.h"

namespace qf {

namespace {

void startFade(Engine& e, FadeKind kind) {
    StartFade(e.effects, e.pictures, kind, argInt(e, 0));
    e.windows.Activate(WND_EFX);
    // With a duration in milliseconds the script waits that long, counted in frames.
    const double ms = argNum(e, 1);
    if (argGiven(e, 1) && ms > 0) {
        const double frames = std::min(ms * 60 * 0.001, 2147483647.0);
        e.timers.set(7, static_cast<uint32_t>(static_cast<int64_t>(frames)));
        e.timers.setWaitMode(0, e.host.tickMs());
    }
    e.interp.yield = 1;
}

void cmdEfxFadeOut(Engine& e) { startFade(e, FadeKind::OutBlack); }
void cmdEfxFadeIn(Engine& e) { startFade(e, FadeKind::InBlack); }
void cmdEfxWhiteOut(Engine& e) { startFade(e, FadeKind::OutWhite); }
void cmdEfxWhiteIn(Engine& e) { startFade(e, FadeKind::InWhite); }

void cmdEfxClear(Engine& e) {
    StopEffects(e.effects);
    e.windows.Deactivate(WND_EFX);
}

void cmdEfxShake(Engine& e) { e.display.StartShake(argOr(e, 0, 0), argOr(e, 1, 0), argOr(e, 2, 0)); }

void cmdEfxFlash(Engine& e) {
    StartFlash(e.effects, e.pictures, argOr(e, 0, 0), argOr(e, 1, 0), argOr(e, 2, 0), argOr(e, 3, 0), argOr(e, 4, 0),
               argOr(e, 5, 0));
    e.windows.Activate(WND_EFX);
}

// The argument is accepted and not used.
void cmdEfxTransit(Engine& e) {
    StartDissolve(e.effects, e.pictures);
    e.windows.Activate(WND_EFX);
}

void cmdClipLoad(Engine& e) { LoadClip(e.clip, e.pictures, argText(e, 0), argOr(e, 1, 0), argOr(e, 2, 0)); }

void cmdClipPlay(Engine& e) {
    PlayClip(e.clip, argOr(e, 0, 0), argOr(e, 1, 0), argOr(e, 2, 0), argOr(e, 3, 0));
    e.windows.Activate(WND_CLP);
}

void cmdClipPause(Engine& e) { e.clip.paused = !e.clip.paused; }

void cmdClipStop(Engine& e) {
    StopClip(e.clip);
    e.windows.Deactivate(WND_CLP);
}

void cmdClipDel(Engine& e) {
    DeleteClip(e.clip);
    e.windows.Deactivate(WND_CLP);
}

}  // namespace

const CommandFamily kEffectCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#efxFadeOut", cmdEfxFadeOut}, {"#efxFadeIn", cmdEfxFadeIn},   {"#efxWhiteOut", cmdEfxWhiteOut},
        {"#efxWhiteIn", cmdEfxWhiteIn}, {"#efxClear", cmdEfxClear},     {"#efxShake", cmdEfxShake},
        {"#efxFlash", cmdEfxFlash},     {"#efxTransit", cmdEfxTransit}, {"#clipLoad", cmdClipLoad},
        {"#clipPlay", cmdClipPlay},     {"#clipPause", cmdClipPause},   {"#clipStop", cmdClipStop},
        {"#clipDel", cmdClipDel},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
