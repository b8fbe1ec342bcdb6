#include "app/map_objects.h"

#include <climits>
#include <utility>

#include "app/engine.h"
#include "input/pad.h"
#include "map/object_draw.h"
#include "map/range_marks.h"

namespace qf {

namespace {

// The player's cell as the map last published it; no cell before that.
int variableOr(const Engine& e, const char* name) {
    const int index = e.vars.valFind(name);
    return index < 0 ? INT_MIN : e.vars.valGetInt(index);
}

}  // namespace

void stepMapObjects(Engine& e) {
    MapObjects& layer = e.mapEvents.objects;
    const bool scrolling = layer.scrollFrames > 0;
    const ObjectFrameInput in{variableOr(e, "_mapX"), variableOr(e, "_mapY")};
    const bool consume = layer.Step(e.maps.land, e.random, in);
    if (scrolling) e.vars.valSetInt("_nCntMove", layer.scrollFrames);
    if (consume) padClearPulses(e.input.pad());
}

void installMapObjects(Engine& e) {
    std::function<void()> before = std::move(e.windows.preUpdate);
    e.windows.preUpdate = [&e, before = std::move(before)] {
        if (before) before();
        stepMapObjects(e);
    };
    e.windows.draw[WND_OBJ] = [&e](int) {
        DrawObjects(e.mapEvents.objects, e.pictures, e.maps.Current().chipsPerRow);
    };
    WindowTable::Draw mapDraw = std::move(e.windows.draw[WND_MAP]);
    e.windows.draw[WND_MAP] = [&e, mapDraw = std::move(mapDraw)](int id) {
        if (mapDraw) mapDraw(id);
        DrawRangeMarks(e.mapEvents.range, e.pictures, e.maps.Current());
    };
}

}  // namespace qf
