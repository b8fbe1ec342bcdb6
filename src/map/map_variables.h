// The script's view of the current map: the "_map…" system variables.
#pragma once

namespace qf {

class Variables;
struct S_Map2;
struct MapLoadResult;

// _mapX, _mapY, _mapScrX, _mapScrY, _mapLX, _mapLY.
void publishMapPosition(const S_Map2& map, Variables& vars);
// After a load: _mapW, _mapH, and for an "lmu" file that was taken also
// _mapBufId (its chip-set number) and _mapScrType (its scroll type).
void publishMapLoad(const S_Map2& map, const MapLoadResult& result, Variables& vars);

}  // namespace qf
