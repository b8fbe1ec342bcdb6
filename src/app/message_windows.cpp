#include "app/message_windows.h"

#include "app/engine.h"
#include "gfx/pictures.h"

namespace qf {

void installMessageWindows(Engine& e) {
    e.messages.Defaults(TextState::initialFont().height);
    S_Frame& logFrame = e.looks.frames[kFrameLog];
    logFrame.SetRect(0, 0, 256, 224);
    logFrame.SetColour(0, 0, 0, 128);

    e.windows.update[WND_MSG] = [&e] { e.messages.Update(); };
    e.windows.draw[WND_MSG] = [&e](int) {
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
        e.messages.Draw();
    };
    e.windows.update[WND_LOG] = [&e] { MessageLogUpdate(e.messageLog, e.input, e.windows); };
    e.windows.draw[WND_LOG] = [&e](int) {
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
        MessageLogDraw(e.messageLog, e.text, e.looks.frames[kFrameLog], e.looks.images);
    };
}

}  // namespace qf
