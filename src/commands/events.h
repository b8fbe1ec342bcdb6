// What other command families owe the map events: the automatic events after
// the flags change, and the object view following the map.
#pragma once

namespace qf {

struct Engine;

// Appear and vanish flags again, then `_nAutoEvt`.
void refreshMapEvents(Engine& e);
// "#mapMove": the object view centres on cell (x, y).
void mapEventsCentre(Engine& e, int x, int y);
// "#mapInit": cell size, wrap and screen position from the current map.
void mapEventsFollowView(Engine& e);
// "#mapLoad": the object grid takes the current map's size; show 1 shows the
// objects, 0 hides them, other values change nothing.
void mapEventsFollowLoad(Engine& e, int show);
// "#mapView": non-zero shows the objects, zero hides them.
void mapEventsShow(Engine& e, int flag);

}  // namespace qf
