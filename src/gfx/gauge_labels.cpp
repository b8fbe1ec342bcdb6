// The gauge values as text: numbers right-aligned so that they end at the
// label's x, the slash starting there.
#include "gfx/gauges.h"
#include "gfx/text_output.h"

namespace qf {

void printGaugeLabel(TextState& text, const GaugeLabel& label) {
    SetTextPos(text, label.x, label.y);
    if (label.kind == GaugeLabelKind::Slash)
        PrintLine(text, "/");
    else
        PrintNumber(text, label.value, 0);
}

}  // namespace qf
