#include "app/choices_and_records.h"

#include "app/engine.h"
#include "commands/system_windows.h"
#include "gfx/text_output.h"

namespace qf {

namespace {

// The system windows' frames let a quarter of the picture behind them through.
constexpr int kWindowKeep = 64;

void place(S_Frame& frame, int x, int y, int w, int h) {
    frame.x = x;
    frame.y = y;
    frame.w = w;
    frame.h = h;
    frame.keep = kWindowKeep;
}

}  // namespace

void installChoiceAndRecordWindows(Engine& e) {
    S_Frame* frames = e.looks.frames;
    place(frames[kFrameSelection], 16, 120, e.selection.width, e.selection.height);
    place(frames[kFrameNumber], 16, 120, 64, 18);
    place(frames[kFrameNameEntry], 16, 60, 224, 96);
    place(frames[kFrameNameEntry2], 0, 40, 0, 24);
    frames[kFrameRecord].keep = kWindowKeep;
    InitRecordWindow(e.recordWindow, frames[kFrameRecord], FontHeight(e.text));

    e.windows.update[WND_SEL] = [&e] {
        WindowServices s = windowServices(e);
        SelectionUpdate(e.selection, e.looks.frames[kFrameSelection], s);
    };
    e.windows.draw[WND_SEL] = [&e](int) {
        WindowServices s = windowServices(e);
        SelectionDraw(e.selection, e.looks.frames[kFrameSelection], s);
    };
    e.windows.update[WND_NUM] = [&e] {
        WindowServices s = windowServices(e);
        NumberWindowUpdate(e.numberWindow, s);
    };
    e.windows.draw[WND_NUM] = [&e](int) {
        WindowServices s = windowServices(e);
        NumberWindowDraw(e.numberWindow, e.looks.frames[kFrameNumber], s);
    };
    e.windows.update[WND_NAME] = [&e] {
        WindowServices s = windowServices(e);
        NameWindowUpdate(e.nameWindow, s);
    };
    e.windows.draw[WND_NAME] = [&e](int) {
        WindowServices s = windowServices(e);
        NameWindowDraw(e.nameWindow, e.looks.frames[kFrameNameEntry], e.looks.frames[kFrameNameEntry2], s);
    };
    e.windows.update[WND_REC] = [&e] {
        WindowServices s = windowServices(e);
        RecordWindowUpdate(e.recordWindow, s, recordFiles(e));
    };
    e.windows.draw[WND_REC] = [&e](int) {
        WindowServices s = windowServices(e);
        RecordWindowDraw(e.recordWindow, e.looks.frames[kFrameRecord], s);
    };
}

}  // namespace qf
