#include "wnd/text_and_frames.h"

#include "app/engine.h"
#include "gfx/text_output.h"
#include "wnd/flag_window.h"

namespace qf {

void installTextAndFrames(Engine& e) {
    InitText(e);
    e.pictures.SelectTarget(Pictures::kBackBufferSlot);
    SetFontSize(e, 10);
    SetFontColor(e, 255, 255, 255);
    e.pictures.SelectTarget(Pictures::kWindowSlot);

    e.windows.update[WND_FLG] = [&e] { FlagWindowUpdate(e); };
    e.windows.draw[WND_FLG] = [&e](int) {
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
        FlagWindowDraw(e);
    };
}

}  // namespace qf
