#include "map/map_variables.h"

#include "map/map.h"
#include "map/map_load.h"
#include "script/variables.h"

namespace qf {

void publishMapPosition(const S_Map2& map, Variables& vars) {
    const MapPosition p = map.Position();
    vars.valSetInt("_mapX", p.mapX);
    vars.valSetInt("_mapY", p.mapY);
    vars.valSetInt("_mapScrX", p.scrX);
    vars.valSetInt("_mapScrY", p.scrY);
    vars.valSetInt("_mapLX", p.lx);
    vars.valSetInt("_mapLY", p.ly);
}

void publishMapLoad(const S_Map2& map, const MapLoadResult& result, Variables& vars) {
    vars.valSetInt("_mapW", map.m_nMapW);
    vars.valSetInt("_mapH", map.m_nMapH);
    if (result.lmu && result.loaded) {
        vars.valSetInt("_mapBufId", result.chipSet);
        vars.valSetInt("_mapScrType", result.scrollType);
    }
}

}  // namespace qf
