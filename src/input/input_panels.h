// What the pad and mouse panels of the debug overlay show, as positioned
// blocks of text lines for the overlay to draw.
#pragma once

#include <string>
#include <vector>

namespace qf {

struct Input;

struct PanelText {
    int x = 0, y = 0;
    std::vector<std::string> lines;  // Shift-JIS, top to bottom
};

// Four columns (press, repeat, held, first) of the current pad's 12 buttons.
std::vector<PanelText> padPanelText(const Input& input);
// "マウス" with the mouse x and y.
PanelText mousePanelText(const Input& input);

}  // namespace qf
