#include "gfx/planes.h"

#include <algorithm>

#include "app/engine.h"
#include "gfx/text_output.h"
#include "script/script_services.h"

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

PlaneStr* NextPrintEntry(Engine& e) {
    Planes& planes = e.planes;
    Plane& p = planes.selected();
    if (p.m_nCntPrint >= Plane::kListSize) return nullptr;
    PlaneStr& s = p.printList[p.m_nCntPrint++];
    s = PlaneStr{};
    s.x = planes.printX;
    s.y = planes.printY;
    s.size = FontHeight(e);
    planes.printY += FontHeight(e) + e.text.lineSpacing;
    return &s;
}

}  // namespace

PlaneStr* AddPrintLine(Engine& e, std::string_view t) {
    if (!t.empty() && t.front() == '"') {
        std::string_view inner = t.substr(1);
        if (!inner.empty()) inner.remove_suffix(1);
        return AddFixedLine(e, inner);
    }
    PlaneStr* s = NextPrintEntry(e);
    if (!s) return nullptr;
    s->type = kPlaneReference;
    s->text = std::string(t);
    s->reference = kPlaneUnresolved;
    return s;
}

PlaneStr* AddFixedLine(Engine& e, std::string_view text) {
    PlaneStr* s = NextPrintEntry(e);
    if (!s) return nullptr;
    s->type = kPlaneFixed;
    s->text = std::string(text);
    return s;
}

PlaneStr* AddNumberLine(Engine& e, const std::string& decimal) {
    PlaneStr* s = NextPrintEntry(e);
    if (!s) return nullptr;
    s->type = kPlaneNumber;
    s->text = decimal;
    return s;
}

PlaneStr* AddVariableLine(Engine& e, int index, std::string_view name) {
    PlaneStr* s = NextPrintEntry(e);
    if (!s) return nullptr;
    s->type = kPlaneReference;
    s->text = std::string(name);
    s->reference = index;
    s->resolvedGeneration = e.vars.generation();
    return s;
}

}  // namespace qf
