#include "app/text_and_frames.h"

#include "app/engine.h"
#include "gfx/text_output.h"
#include "wnd/flag_window.h"

namespace qf {

void installTextAndFrames(Engine& e) {
    InitText(e.text);
    e.pictures.SelectTarget(Pictures::kBackBufferSlot);
    SetFontSize(e.text, 10);
    SetFontColor(e.text, 255, 255, 255);
    e.pictures.SelectTarget(Pictures::kWindowSlot);

    e.windows.update[WND_FLG] = [&e] { FlagWindowUpdate(e.flagWindow, e.input, e.vars, e.windows); };
    e.windows.draw[WND_FLG] = [&e](int) {
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
        FlagWindowDraw(e.flagWindow, e.text, e.input, e.vars);
    };
}

}  // namespace qf
