// Map events: the object table, asking a cell for its object, moves and
// looks of single objects, layer scrolling, and the movement ranges.
#include "commands/events.h"

#include <string>

#include "commands/args.h"
#include "commands/registry.h"
#include "map/map_layers.h"
#include "map/objects_state.h"

namespace qf {

namespace {

MapObjects& layer(Engine& e) { return e.mapEvents.objects; }

void publishAutoEvent(Engine& e) { setVariableInt(e, "_nAutoEvt", layer(e).autoEvent); }

void cmdEvtLoad(Engine& e) {
    std::string text;
    readScript(e, argText(e, 1), text);
    const std::string label = argGiven(e, 2) ? argText(e, 2) : std::string();
    const S_Map2& map = e.maps.Current();
    if (layer(e).Load(e.host, text, label, argInt(e, 0), map.m_nMapW, map.m_nMapH, e.vars.m_flag)) publishAutoEvent(e);
}

void cmdEvtScr(Engine& e) { layer(e).StartScroll(argOr(e, 0, 0), argOr(e, 1, 0), argOr(e, 2, 0)); }

void cmdEvtIsObj(Engine& e) {
    const ObjectQuery q = layer(e).Query(argInt(e, 1), argInt(e, 2));
    setResultInt(e, q.id);
    if (!q.inside) return;
    setVariableInt(e, "_evtConf", q.trigger);
    setVariableInt(e, "_evtId", q.eventId);
    if (q.id == 0) return;
    setVariableInt(e, "_evtImg", q.baseImage);
    setVariableInt(e, "_evtStartUp", q.startUp);
}

void cmdEvtIsConf(Engine& e) {
    setVariableInt(e, "_evtConf", 0);
    setVariableInt(e, "_evtId", 0);
    setVariableInt(e, "nIsObj", 0);
}

void cmdEvtStop(Engine& e) { layer(e).stopped = argOr(e, 0, 0); }

void cmdEvtRefresh(Engine& e) { refreshMapEvents(e); }

void cmdEvtActAdd(Engine& e) { layer(e).AddMove(argInt(e, 0), argInt(e, 1)); }

void cmdEvtView(Engine& e) { layer(e).SetActive(argInt(e, 0), argInt(e, 1)); }

void cmdEvtSet(Engine& e) {
    const auto a = argInts<7>(e);
    layer(e).Set(a[0], a[1], a[2], a[3], a[4], a[5], a[6], kNil);
}

void cmdEvtImgSet(Engine& e) { layer(e).SetImage(argInt(e, 0), argInt(e, 1), argInt(e, 2), argGiven(e, 2)); }

void setRangeVariables(Engine& e, int n, int x, int y, bool values) {
    const S_Map2& map = e.maps.Current();
    const MovementRange& range = e.mapEvents.range;
    for (int i = -n; i <= n; ++i)
        for (int j = -n; j <= n; ++j) {
            int value = 255;
            if (values) {
                const long long mx = static_cast<long long>(x) + j, my = static_cast<long long>(y) + i;
                const bool inside = mx >= 0 && my >= 0 && mx < map.m_nMapW && my < map.m_nMapH;
                value = inside ? range.At(i, j) : -1;
            }
            setVariableInt(e, elementName("_range", i, j), value);
        }
}

void cmdMapRange(Engine& e) {
    MovementRange& range = e.mapEvents.range;
    const int n = argInt(e, 0), x = argInt(e, 1), y = argInt(e, 2);
    if (n <= 0) {
        range.Clear();
        return;
    }
    if (n > MovementRange::kMaxRadius) return;
    setRangeVariables(e, n, x, y, false);
    const std::string name = argGiven(e, 3) ? argText(e, 3) : std::string("nRange");
    range.Compute(n, x, y, e.maps.Current(),
                  [&e, &name](int chip) { return truncInt(variableNumber(e, elementName(name, chip))); });
    setRangeVariables(e, n, x, y, true);
    if (argGiven(e, 4) && argInt(e, 4) == 0) range.marks.clear();
}

void cmdMapRangeWalk(Engine& e) {
    MovementRange& range = e.mapEvents.range;
    range.Walk(argInt(e, 0), argInt(e, 1));
    setVariableInt(e, "_rangeWalkCnt", static_cast<int>(range.route.size()));
    for (size_t k = 0; k < range.route.size(); ++k)
        setVariableInt(e, elementName("_rangeWalk", static_cast<long long>(k)), range.route[k]);
}

}  // namespace

void refreshMapEvents(Engine& e) {
    layer(e).Refresh(e.vars.m_flag);
    publishAutoEvent(e);
}

void mapEventsCentre(Engine& e, int x, int y) { layer(e).CentreOn(x, y, e.display.width, e.display.height); }

void mapEventsFollowView(Engine& e) {
    const S_Map2& map = e.maps.Current();
    layer(e).SetView(map.chipSize, map.m_nCrtn, map.screenX, map.screenY);
}

void mapEventsFollowLoad(Engine& e, int show) {
    const S_Map2& map = e.maps.Current();
    layer(e).ResizeGrid(map.m_nMapW, map.m_nMapH);
    if (show == 1) layer(e).visible = 1;
    if (show == 0) layer(e).visible = 0;
}

void mapEventsShow(Engine& e, int flag) { layer(e).visible = flag != 0 ? 1 : 0; }

const CommandFamily kEventCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#evtLoad", cmdEvtLoad},       {"#evtScr", cmdEvtScr},         {"#evtIsObj", cmdEvtIsObj},
        {"#evtIsConf", cmdEvtIsConf},   {"#evtStop", cmdEvtStop},       {"#evtRefresh", cmdEvtRefresh},
        {"#evtActAdd", cmdEvtActAdd},   {"#evtView", cmdEvtView},       {"#evtSet", cmdEvtSet},
        {"#evtImgSet", cmdEvtImgSet},   {"#mapRange", cmdMapRange},     {"#mapRangeWalk", cmdMapRangeWalk},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
