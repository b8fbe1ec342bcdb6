#include "map/map_variables.h"

#include "map/map.h"
#include "map/map_load.h"
#include "script/variables.h"

namespace qf {

void publishMapPosition(const S_Map2& map, Variables& vars) {
    // Written every frame the map is shown: the records are kept, not looked up.
    static thread_local Variables::KeptName names[6] = {{"_mapX"}, {"_mapY"}, {"_mapScrX"}, {"_mapScrY"}, {"_mapLX"}, {"_mapLY"}};
    const MapPosition p = map.Position();
    const int values[6] = {p.mapX, p.mapY, p.scrX, p.scrY, p.lx, p.ly};
    for (int k = 0; k < 6; ++k) vars.valSetKeptInt(names[k], values[k]);
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
