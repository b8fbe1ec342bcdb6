#include "app/game.h"
#include "app/sprite_layers.h"

#include <cstdlib>
#include <ctime>

#include "app/effect_windows.h"
#include "app/engine_canvas.h"
#include "app/game_load.h"
#include "app/map_layers.h"
#include "app/map_objects.h"
#include "app/plugin_block.h"
#include "platform/report.h"
#include "gfx/gauges.h"
#include "wnd/planes.h"
#include "gfx/sprites.h"
#include "app/text_and_frames.h"
#include "app/message_windows.h"
#include "app/choices_and_records.h"
#include "script/interpreter.h"
#include "script/loader.h"
#include "platform/sjis.h"

namespace qf {

namespace {

void DrawWindows(Engine& e) { e.windows.DrawFrame(); }

void DrawDebugOverlay(Engine& e) {
    if (e.files.m_nRomMode != 1) return;
    EngineCanvas canvas(e);
    DebugOverlay(e, canvas);
}

void PacedPath(Engine& e) {
    e.pictures.ClearBackBuffer();
    DrawWindows(e);
    DrawDebugOverlay(e);
    e.timers.set(6, e.host.tickMs());
    e.display.Present();
}

void VerticalBlankPath(Engine& e) {
    if (e.game.quitRequest) return;
    if (e.run.alternateFrameMode == 1) {
        e.game.alternateParity = (e.game.alternateParity + 1) % 2;
        if (e.game.alternateParity == 1) {
            DrawDebugOverlay(e);
            e.host.waitForVerticalBlank();
            e.timers.set(6, e.host.tickMs());
            e.display.Present();
        } else {
            e.pictures.ClearBackBuffer();
            DrawWindows(e);
            // The gauges are drawn once more on the rendering tick.
            DrawGauges(e.gauges, e.text);
            DrawDebugOverlay(e);
            e.host.waitForVerticalBlank();
            e.timers.set(6, e.host.tickMs());
        }
        return;
    }
    e.pictures.ClearBackBuffer();
    DrawWindows(e);
    DrawDebugOverlay(e);
    if (!e.host.waitForVerticalBlank()) dialog(e.host, sj("垂直同期エラー"));
    e.timers.set(6, e.host.tickMs());
    e.display.Present();
}

}  // namespace

void RegisterStartupWindows(Engine& e) {
    struct Entry {
        const char* name;
        int focus;
    };
    static constexpr Entry kWindows[kStartupWindowCount] = {
        {"WND_DRV", 1}, {"WND_PLN", 0}, {"WND_SPR", 0}, {"WND_MAP", 1}, {"WND_OBJ", 0},
        {"WND_CLP", 0}, {"WND_EFX", 0}, {"WND_MSG", 1}, {"WND_LOG", 1}, {"WND_SEL", 1},
        {"WND_NAME", 1}, {"WND_NUM", 1}, {"WND_REC", 1}, {"WND_FLG", 1},
    };
    for (const Entry& w : kWindows) e.windows.Register(nullptr, nullptr, w.name, w.focus);
}

int GameInit(Engine& e) {
    Game& g = e.game;
    // The display device is needed only for the vertical-blank wait, which the host provides.
    g.refreshRate = e.host.refreshRate();
    e.random.seed(g.seed ? *g.seed : static_cast<unsigned>(std::time(nullptr)));
    errLogClear(e.errorLog);
    e.display.zoom = 200;
    RegisterStartupWindows(e);
    e.windows.update[WND_DRV] = [&e] { e.interp.step(); };
    e.audio.Init();
    inputInit(e.input, e.vars);
    installTextAndFrames(e);
    installMessageWindows(e);
    installChoiceAndRecordWindows(e);
    installSprites(e);
    installEffectWindows(e);
    installMapLayers(e);
    installMapObjects(e);  // wraps the map's step and drawing
    e.windows.draw[WND_PLN] = [&e](int) { DrawPlanes(e.planes, {e.text, e.sprites, e.vars, e.rpn, e.looks.images}); };
    e.interp.start();
    gameLoad(e, g.scriptName);
    e.timers.set(6, e.host.tickMs());
    e.input.Defaults();
    fillPluginBlock(e);
    g.initialised = 1;
    return 1;
}

int FrameTick(Engine& e) {
    Game& g = e.game;
    // The packer's start delay runs on the host's clock, focused or not.
    e.packer.poll();
    // No frame while unfocused; MIDI pauses once when the focus goes and
    // resumes once when it returns.
    const bool focused = e.host.hasFocus();
    e.audio.MidiFocus(focused);
    if (!focused) return 0;
    if (g.quitRequest) PostQuit(e);

    if (g.refreshRate != 60) {
        uint32_t now = e.host.tickMs();
        if (!g.pacerStarted) {
            g.pacerStarted = 1;
            g.pacerReference = now;
        }
        if (now - g.pacerReference < 16) return 0;
        g.pacerReference = now;
    }
    // Escape is read on the ticks that run a frame, so the frame in which it
    // is first seen still runs to its end.
    if (e.host.keyState(vk::ESCAPE) < 0) PostQuit(e);

    padPollFrame(e.input, e.vars);
    mousePollFrame(e.input, e.vars, e.display.width, e.display.height);
    e.timers.tick(e.host.tickMs());
    e.audio.FrameService();
    e.windows.UpdateFrame();
    if (g.refreshRate != 60) PacedPath(e);
    else VerticalBlankPath(e);
    e.input.EndFrame();
    return 1;
}

void GameClose(Engine& e) {
    scriptRelease(e.program);
    e.audio.Shutdown();
    // The packer may still add lines to the log.
    e.packer.finish();
    // Every plug-in's "dllClose", then the libraries are freed.
    e.plugins.closeAll();
    errLogSave(e.errorLog, e.userData.root() ? *e.userData.root() : e.files.Root());
}

}  // namespace qf
