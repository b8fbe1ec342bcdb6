// The gauge values as text. The number primitive (right-aligned, ending at
// the label's x, one line at its y) and the line print belong to the text
// output, which the engine does not have yet: until it does, gauges show
// their bars and this is the one place where their numbers will be printed.
#include "gfx/gauges.h"

namespace qf {

void printGaugeLabel(Engine&, const GaugeLabel&) {}

}  // namespace qf
