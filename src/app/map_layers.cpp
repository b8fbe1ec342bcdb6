#include "app/map_layers.h"

#include "app/engine.h"
#include "map/map_draw.h"
#include "map/map_variables.h"

namespace qf {

namespace {

// The frames and pixels per frame of one look-around step.
constexpr int kKeyScrollFrames = 16;

// While the map window is in front it owns the pad: each direction pulse
// (with key repeat) starts a one-pixel-a-frame scroll, B puts the map away.
void mapKeys(Engine& e, S_Map2& map) {
    Input& in = e.input;
    if (in.press(BTN_B)) {
        map.Hide();
        e.windows.Deactivate(WND_MAP);
    } else {
        const int dx = (in.press(BTN_R) ? 1 : 0) - (in.press(BTN_L) ? 1 : 0);
        const int dy = (in.press(BTN_D) ? 1 : 0) - (in.press(BTN_U) ? 1 : 0);
        if (dx != 0 || dy != 0) map.StartScroll(dx, dy, kKeyScrollFrames);
    }
    padClearPulses(in.pad());
}

}  // namespace

void stepMaps(Engine& e) {
    S_Map2& map = e.maps.Current();
    if (e.windows.OrderAt(0) == WND_MAP) mapKeys(e, map);
    if (map.visible && map.loaded()) {
        map.Step();
        publishMapPosition(map, e.vars);
    }
    e.maps.upper.Step();
}

void drawCurrentMap(Engine& e) {
    e.pictures.SelectTarget(Pictures::kBackBufferSlot);
    DrawMap(e.maps.Current(), e.pictures);
}

void drawUpperLayer(Engine& e) {
    e.pictures.SelectTarget(Pictures::kBackBufferSlot);
    DrawMap(e.maps.upper, e.pictures);
}

void installMapLayers(Engine& e) {
    e.windows.preUpdate = [&e] { stepMaps(e); };
    e.windows.draw[WND_MAP] = [&e](int) { drawCurrentMap(e); };
    e.windows.drawAfterSprites = [&e] { drawUpperLayer(e); };
}

}  // namespace qf
