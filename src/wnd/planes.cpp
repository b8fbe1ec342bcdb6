#include "wnd/planes.h"

#include <algorithm>

#include "gfx/text_output.h"

namespace qf {

Plane::Plane() {
    for (S_Frame& f : frames) f.shown = 0;
    for (int& s : sprites) s = -1;
}

void Planes::BringToFront(int n) {
    int* end = order + kPlanes;
    int* at = std::find(order, end, n);
    if (at == end) return;
    std::rotate(at, at + 1, end);
}

namespace {

PlaneStr* NextPrintEntry(Planes& planes, const TextState& textState) {
    Plane& p = planes.selected();
    if (p.m_nCntPrint >= Plane::kListSize) return nullptr;
    PlaneStr& s = p.printList[p.m_nCntPrint++];
    s = PlaneStr{};
    s.x = planes.printX;
    s.y = planes.printY;
    s.size = FontHeight(textState);
    planes.printY += FontHeight(textState) + textState.lineSpacing;
    return &s;
}

}  // namespace

PlaneStr* AddPrintLine(Planes& planes, const TextState& textState, std::string_view t) {
    if (!t.empty() && t.front() == '"') {
        std::string_view inner = t.substr(1);
        if (!inner.empty()) inner.remove_suffix(1);
        return AddFixedLine(planes, textState, inner);
    }
    PlaneStr* s = NextPrintEntry(planes, textState);
    if (!s) return nullptr;
    s->type = kPlaneReference;
    s->text = std::string(t);
    s->reference = kPlaneUnresolved;
    return s;
}

PlaneStr* AddFixedLine(Planes& planes, const TextState& textState, std::string_view text) {
    PlaneStr* s = NextPrintEntry(planes, textState);
    if (!s) return nullptr;
    s->type = kPlaneFixed;
    s->text = std::string(text);
    return s;
}

PlaneStr* AddNumberLine(Planes& planes, const TextState& textState, const std::string& decimal) {
    PlaneStr* s = NextPrintEntry(planes, textState);
    if (!s) return nullptr;
    s->type = kPlaneNumber;
    s->text = decimal;
    return s;
}

PlaneStr* AddVariableLine(Planes& planes, const TextState& textState, int index, std::string_view name, uint64_t generation) {
    PlaneStr* s = NextPrintEntry(planes, textState);
    if (!s) return nullptr;
    s->type = kPlaneReference;
    s->text = std::string(name);
    s->reference = index;
    s->resolvedGeneration = generation;
    return s;
}

}  // namespace qf
