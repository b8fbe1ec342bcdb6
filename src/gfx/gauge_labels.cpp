// The gauge values as text: numbers right-aligned so that they end at the
// label's x, the slash starting there.
#include "gfx/gauges.h"
#include "gfx/text_output.h"

namespace qf {

void printGaugeLabel(Engine& e, const GaugeLabel& label) {
    SetTextPos(e, label.x, label.y);
    if (label.kind == GaugeLabelKind::Slash)
        PrintLine(e, "/");
    else
        PrintNumber(e, label.value, 0);
}

}  // namespace qf
