// The tile-map commands: the current slot, the view, loading, scrolling, the
// cells, raster offsets, the land table, and the quick look at an "lmu" file.
#include <string>
#include <vector>

#include "commands/args.h"
#include "commands/events.h"
#include "commands/registry.h"
#include "map/map_files.h"
#include "map/map_layers.h"
#include "map/map_load.h"
#include "map/map_variables.h"
#include "platform/report.h"

namespace qf {

namespace {

int sheetWidth(Engine& e, int slot) {
    const S_Dib* dib = e.pictures.Slot(slot);
    return dib ? dib->Width() : 0;
}

void setChipPicture(Engine& e, S_Map2& map, int slot) { map.SetChipPicture(slot, sheetWidth(e, slot)); }

void cmdMapSel(Engine& e) { e.maps.Select(argInt(e, 0)); }

void cmdMapInit(Engine& e) {
    S_Map2& map = e.maps.Current();
    if (argGiven(e, 0)) setChipPicture(e, map, argInt(e, 0));
    const auto a = argInts<7>(e);
    for (S_Map2* m : {&map, &e.maps.upper}) {
        m->SetView(a[1], a[2], a[3], a[4]);
        m->SetScreenPos(a[5], a[6]);
    }
    mapEventsFollowView(e);
    publishMapPosition(map, e.vars);
}

void cmdMapLoad(Engine& e) {
    S_Map2& map = e.maps.Current();
    S_Map2& upper = e.maps.upper;
    const bool chipGiven = argGiven(e, 5);
    if (chipGiven) setChipPicture(e, map, argInt(e, 5));
    if (argGiven(e, 4)) {
        map.SetView(kNil, kNil, kNil, argInt(e, 4));
        upper.SetView(kNil, kNil, kNil, argInt(e, 4));
    }
    const std::string name = argText(e, 0);
    const MapLoadResult result = loadMapFile(
        map, upper, name, argInt(e, 1),
        [&e](const std::string& file, std::vector<uint8_t>& out) { return readResource(e, file, out); },
        [&e](int slot) { return sheetWidth(e, slot); });
    // A file that cannot be read at all is reported by the resource lookup.
    if (!result.error.empty() && !result.unreadable)
        errLogAdd(e.errorLog, 5, name + ": " + result.error);
    if (chipGiven) setChipPicture(e, map, argInt(e, 5));
    if (argGiven(e, 2)) {
        map.outChip = argInt(e, 2);
        map.Refill();
    }
    if (argGiven(e, 3)) {
        if (argInt(e, 3) == 1) map.Show();
        else if (argInt(e, 3) == 0) map.Hide();
    }
    mapEventsFollowLoad(e, argGiven(e, 3) ? argInt(e, 3) : kNil);
    publishMapLoad(map, result, e.vars);
    publishMapPosition(map, e.vars);
}

void cmdMapView(Engine& e) {
    if (argInt(e, 0) != 0) e.maps.Current().Show();
    else e.maps.Current().Hide();
    mapEventsShow(e, argInt(e, 0));
}

void cmdMapScr(Engine& e) {
    const auto a = argInts<3>(e);
    e.maps.Current().StartScroll(a[0], a[1], a[2]);
    e.maps.upper.StartScroll(a[0], a[1], a[2]);
}

void cmdMapMove(Engine& e) {
    const int x = argInt(e, 0), y = argInt(e, 1);
    e.maps.Current().CentreOn(x, y);
    e.maps.upper.CentreOn(x, y);
    mapEventsCentre(e, x, y);
    publishMapPosition(e.maps.Current(), e.vars);
}

void cmdMapPixel(Engine& e) {
    const auto a = argInts<3>(e);
    e.maps.Current().SetCell(a[0], a[1], a[2]);
    publishMapPosition(e.maps.Current(), e.vars);
}

void cmdMapPixelGet(Engine& e) { setResultInt(e, e.maps.Current().GetCell(argInt(e, 1), argInt(e, 2))); }

void cmdMapReplace(Engine& e) { e.maps.Current().Replace(argInt(e, 0), argInt(e, 1)); }

void cmdMapRasterScr(Engine& e) { e.maps.Current().SetRowOffset(argInt(e, 0), argInt(e, 1)); }

void cmdMapLandLoad(Engine& e) {
    std::string text;
    if (!readScript(e, argText(e, 0), text) || !e.maps.land.LoadTable(text)) return;
    e.maps.land.Build(e.maps.Current(), argOr(e, 1, 0));
}

// Reads any file as an "lmu" map and shows the first word of its lower layer.
void cmdTest(Engine& e) {
    std::vector<uint8_t> bytes;
    readResource(e, argText(e, 0), bytes);
    const LmuSummary summary = summariseLmu(bytes.data(), bytes.size());
    setVariableInt(e, "_mapW", summary.width);
    setVariableInt(e, "_mapH", summary.height);
    setVariableInt(e, "_mapBufId", summary.chipSet);
    setVariableInt(e, "_mapScrType", summary.scrollType);
    if (summary.hasChipWord) dialog(e.host, static_cast<int>(summary.chipWord));
}

}  // namespace

const CommandFamily kMapCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#mapSel", cmdMapSel},           {"#mapInit", cmdMapInit},         {"#mapLoad", cmdMapLoad},
        {"#mapView", cmdMapView},         {"#mapScr", cmdMapScr},           {"#mapMove", cmdMapMove},
        {"#mapPixel", cmdMapPixel},       {"#mapPixelGet", cmdMapPixelGet}, {"#mapReplace", cmdMapReplace},
        {"#mapRasterScr", cmdMapRasterScr}, {"#mapLandLoad", cmdMapLandLoad}, {"#_test", cmdTest},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
