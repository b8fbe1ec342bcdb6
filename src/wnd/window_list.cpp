#include "wnd/window_list.h"

#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "wnd/window_table.h"

namespace qf {

void DrawWindowList(const WindowTable& t, TextState& text, int x, int y) {
    Box(text, x, y, 100, 11 * t.Count() + 10, kPanelBoxKeep, 0);
    SetTextPos(text, x + 5, y + 5);
    PrintLine(text, sj("ウィンドウテーブル"));
    for (int position = 0; position < t.Count(); ++position) PrintLine(text, t.name[t.OrderAt(position)]);
    SetTextPos(text, x + 75, y + 15);
    PrintInt(text, t.Count());
}

}  // namespace qf
