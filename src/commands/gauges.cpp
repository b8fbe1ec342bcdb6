// The gauge commands. Arguments are truncated to integers; an argument left
// out (_NIL) keeps the field it would set unless a command says otherwise.
#include <algorithm>

#include "gfx/gauges.h"
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

Gauge* gauge(Engine& e) { return e.gauges.At(argInt(e, 0)); }

void cmdGaugeSet(Engine& e) {
    Gauge* g = gauge(e);
    if (!g) return;
    if (argGiven(e, 2)) g->max = std::max(argInt(e, 2), 0);
    keepArg(e, 1, g->cur);
    keepArg(e, 3, g->x);
    keepArg(e, 4, g->y);
    keepArg(e, 5, g->w);
    keepArg(e, 6, g->h);
    keepArg(e, 7, g->frame);
    g->cur = std::clamp(g->cur, 0, g->max);
}

void cmdGaugeColor(Engine& e) {
    if (Gauge* g = gauge(e)) {
        keepArg(e, 1, g->r);
        keepArg(e, 2, g->g);
        keepArg(e, 3, g->b);
        keepArg(e, 4, g->keep);
    }
}

void cmdGaugeView(Engine& e) {
    Gauge* g = gauge(e);
    if (!g) return;
    g->view = std::max(argInt(e, 1), 0);
    if (argGiven(e, 2)) g->dir = std::clamp(argInt(e, 2), 0, 1);
}

}  // namespace

const CommandFamily kGaugeCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#gaugeSet", cmdGaugeSet},
        {"#gaugeColor", cmdGaugeColor},
        {"#gaugeView", cmdGaugeView},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
