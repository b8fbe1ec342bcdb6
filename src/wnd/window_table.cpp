#include "wnd/window_table.h"

namespace qf {

int WindowTable::Register(Update onUpdate, Draw onDraw, const std::string& windowName, int focus) {
    if (count >= kCapacity) return -1;
    int id = count++;
    update[id] = std::move(onUpdate);
    draw[id] = std::move(onDraw);
    name[id] = windowName;
    takesFocus[id] = focus;
    alwaysInFront[id] = 0;
    order[id] = id;
    return id;
}

int WindowTable::positionOf(int id) const {
    for (int p = 0; p < count; ++p)
        if (order[p] == id) return p;
    return -1;
}

void WindowTable::moveToFront(int id) {
    int p = positionOf(id);
    if (p < 0) return;
    for (; p > 0; --p) order[p] = order[p - 1];
    order[0] = id;
}

int WindowTable::Activate(int id) {
    if (id >= kCapacity) return 0;
    if (id >= 0) moveToFront(id);
    // Highest id first, so the lowest always-in-front id ends in front.
    for (int w = count - 1; w >= 0; --w)
        if (alwaysInFront[w]) moveToFront(w);
    return 1;
}

int WindowTable::Deactivate(int id) {
    if (id < 0 || id >= kCapacity) return 0;
    int p = positionOf(id);
    if (p < 0) return 1;
    for (; p < count - 1; ++p) order[p] = order[p + 1];
    order[count - 1] = id;
    return 1;
}

void WindowTable::SetAlwaysInFront(int id, int flag) {
    if (id >= 0 && id < kCapacity) alwaysInFront[id] = flag;
}

int WindowTable::FocusWindow() const {
    for (int p = 0; p < count; ++p)
        if (takesFocus[order[p]]) return order[p];
    return -1;
}

int WindowTable::OrderAt(int position) const {
    if (position < 0 || position >= kCapacity || position >= count) return -1;
    return order[position];
}

void WindowTable::UpdateFrame() {
    if (preUpdate) preUpdate();
    int focus = FocusWindow();
    if (focus >= 0 && update[focus]) update[focus]();
}

void WindowTable::DrawFrame() {
    for (int p = count - 1; p >= 0; --p) {
        int id = order[p];
        if (draw[id]) draw[id](id);
        if (id == WND_PLN && drawAfterPlanes) drawAfterPlanes();
        if (id == WND_SPR && drawAfterSprites) drawAfterSprites();
    }
    if (drawAfterAll) drawAfterAll();
}

}  // namespace qf
