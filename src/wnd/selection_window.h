// The selection window ("WND_SEL"): a vertical list of up to 16 choices in a
// frame, walked with the pad or the mouse. Deciding writes the cursor index,
// cancelling the cancel value, into `_answer` and the result variable, and
// closes the window so that the script goes on.
#pragma once

#include <string>
#include <vector>

#include "gfx/sprite_record.h"

namespace qf {

struct S_Frame;
struct TextState;
struct WindowServices;
struct WindowTable;

struct SelectionWindow {
    static constexpr int kMaxLines = 16;

    // "#wndSelInit": the frame's width and height as set; below 1 they are
    // worked out from the items at every opening.
    int width = 128, height = -1;
    int margin = 5;
    int barOn = 1;
    int markOn = 1;

    int active = 0;
    std::vector<std::string> items;
    int count = 0;
    int cursor = 0;
    int cancelValue = -1;
    std::string resultName;  // empty: only `_answer` receives the answer
    S_Sprite bar;            // the light-kind cursor bar
};

// Opens the window over `itemText` (items joined by "\n"). `count` replaces
// the number of items when it is at least 1 and not more than there are
// items (left out: _NIL). A result name starting with a digit counts as none.
void OpenSelection(SelectionWindow& w, S_Frame& frame, WindowTable& windows, const TextState& text,
                   const std::string& itemText, int cancelValue, const std::string& resultName, int count);
void SelectionUpdate(SelectionWindow& w, const S_Frame& frame, WindowServices& s);
// Into the back buffer, when open.
void SelectionDraw(SelectionWindow& w, S_Frame& frame, WindowServices& s);

}  // namespace qf
