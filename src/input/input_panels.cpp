#include "input/input_panels.h"

#include "input/input.h"
#include "platform/sjis.h"

namespace qf {

std::vector<PanelText> padPanelText(const Input& input) {
    const Pad& p = input.pad();
    const int (*columns[4])[kPadButtons] = {&p.press, &p.repeat, &p.held, &p.first};
    std::vector<PanelText> out;
    for (int c = 0; c < 4; ++c) {
        PanelText t{210 + 10 * c, 40, {}};
        for (int b = 0; b < kPadButtons; ++b) t.lines.push_back(std::to_string((*columns[c])[b]));
        out.push_back(std::move(t));
    }
    return out;
}

PanelText mousePanelText(const Input& input) {
    return {0, 10, {sj("マウス"), std::to_string(input.mouse.x), std::to_string(input.mouse.y)}};
}

}  // namespace qf
