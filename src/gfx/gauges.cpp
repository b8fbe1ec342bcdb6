#include "gfx/gauges.h"

#include <cstdint>

#include "gfx/text_output.h"
#include "gfx/pictures.h"
#include "gfx/sprite_math.h"

namespace qf {

namespace {

int32_t wrap(int64_t v) { return wrapAdd(0, v); }

// size × current / maximum, with current already within 0..maximum.
int32_t share(int size, int cur, int max) { return max > 0 ? int32_t(int64_t(size) * cur / max) : 0; }

}  // namespace

GaugeGeometry gaugeGeometry(const Gauge& g) {
    GaugeGeometry out;
    if (!(g.view & kGaugeBar)) return out;
    int barW = g.w, barH = g.h, offset = 0;
    if (g.dir == 0) {
        barW = share(g.w, g.cur, g.max);
    } else {
        barH = share(g.h, g.cur, g.max);
        offset = wrap(int64_t(g.h) - barH);
    }
    out.frameBox = g.frame >= 0;
    out.box = {g.x, g.y, wrap(int64_t(g.w) + 2 * int64_t(g.frame)), wrap(int64_t(g.h) + 2 * int64_t(g.frame))};
    out.bar = true;
    out.fill = {wrap(int64_t(g.x) + g.frame), wrap(int64_t(g.y) + g.frame + offset), barW, barH};
    return out;
}

int gaugeLabels(const Gauge& g, GaugeLabel out[3]) {
    const int32_t valueEnd = wrap(int64_t(g.x) + g.w + 30), maximumEnd = wrap(int64_t(g.x) + g.w + 64);
    int n = 0;
    if (g.view & kGaugeCurrent) out[n++] = {GaugeLabelKind::Current, g.cur, valueEnd, g.y};
    if ((g.view & kGaugeCurrent) && (g.view & kGaugeMaximum)) out[n++] = {GaugeLabelKind::Slash, 0, valueEnd, g.y};
    if (g.view & kGaugeMaximum) out[n++] = {GaugeLabelKind::Maximum, g.max, maximumEnd, g.y};
    return n;
}

void DrawGaugeBars(const Gauge& g, Pictures& pics) {
    const GaugeGeometry geo = gaugeGeometry(g);
    if (!geo.bar) return;
    pics.SelectTarget(Pictures::kBackBufferSlot);
    S_Dib* target = pics.Target();
    if (!target) return;
    if (geo.frameBox) target->Tint(geo.box.x, geo.box.y, geo.box.w, geo.box.h, 0, 0, 0, 0);
    target->Tint(geo.fill.x, geo.fill.y, geo.fill.w, geo.fill.h, colourByte(g.r), colourByte(g.g),
                 colourByte(g.b), std::clamp(g.keep, 0, 255));
}

void DrawGauges(const Gauges& gauges, TextState& text) {
    for (const Gauge& g : gauges.m_gauge) {
        if (g.view == 0) continue;
        DrawGaugeBars(g, *text.pictures);
        text.pictures->SelectTarget(Pictures::kBackBufferSlot);
        GaugeLabel labels[3];
        const int n = gaugeLabels(g, labels);
        for (int i = 0; i < n; ++i) printGaugeLabel(text, labels[i]);
    }
}

}  // namespace qf
