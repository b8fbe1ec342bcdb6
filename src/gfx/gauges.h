// The 64 bar gauges: a black frame box, a bar in the gauge's colour filled
// in proportion to current / maximum, and the current and maximum values as
// numbers beside it.
#pragma once

namespace qf {

class Pictures;
struct TextState;

struct Gauge {
    int max = 0, cur = 0;
    int x = 0, y = 0, w = 0, h = 0;
    int r = 0, g = 0, b = 0, keep = 0;
    int frame = 0;  // frame width
    int dir = 0;    // 0 horizontal, 1 vertical
    int view = 0;   // bit 0 bar, bit 1 current value, bit 2 maximum
};

enum GaugeViewBits { kGaugeBar = 1, kGaugeCurrent = 2, kGaugeMaximum = 4 };

struct Gauges {
    static constexpr int kCount = 64;
    Gauge m_gauge[kCount];
    Gauge* At(int n) { return n >= 0 && n < kCount ? &m_gauge[n] : nullptr; }
};

struct GaugeRect {
    int x = 0, y = 0, w = 0, h = 0;
};

struct GaugeGeometry {
    bool frameBox = false;
    GaugeRect box;
    bool bar = false;
    GaugeRect fill;
};

// The rectangles the bar bit draws. A gauge whose maximum is 0 has an empty bar.
GaugeGeometry gaugeGeometry(const Gauge& g);

enum class GaugeLabelKind { Current, Slash, Maximum };

// A number ends at x (right-aligned); the slash starts at x.
struct GaugeLabel {
    GaugeLabelKind kind = GaugeLabelKind::Current;
    int value = 0;
    int x = 0, y = 0;
};

// The labels the view bits ask for, in drawing order; returns how many (0..3).
int gaugeLabels(const Gauge& g, GaugeLabel out[3]);

// The frame box and the bar of one gauge into the back buffer.
void DrawGaugeBars(const Gauge& g, Pictures& pictures);
// One label through the engine's text output.
void printGaugeLabel(TextState& text, const GaugeLabel& label);
// Every gauge whose view flags are not 0, in ascending number.
void DrawGauges(const Gauges& gauges, TextState& text);

}  // namespace qf
