#include "wnd/window_list.h"

#include "app/engine.h"
#include "gfx/text_output.h"
#include "platform/sjis.h"

namespace qf {

void DrawWindowList(Engine& e, int x, int y) {
    const WindowTable& t = e.windows;
    Box(e, x, y, 100, 11 * t.Count() + 10, kPanelBoxKeep, 0);
    SetTextPos(e, x + 5, y + 5);
    PrintLine(e, sj("ウィンドウテーブル"));
    for (int position = 0; position < t.Count(); ++position) PrintLine(e, t.name[t.OrderAt(position)]);
    SetTextPos(e, x + 75, y + 15);
    PrintInt(e, t.Count());
}

}  // namespace qf
