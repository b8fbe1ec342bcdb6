// The sprite groups and the gauges at their places in the window table's draw order.
#pragma once

namespace qf {

struct Engine;

void installSprites(Engine& e);

}  // namespace qf
