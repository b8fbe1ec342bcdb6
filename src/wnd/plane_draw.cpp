// Drawing the text planes, and their debug display.
#include <cstdlib>
#include <string>

#include "app/engine.h"
#include "gfx/planes.h"
#include "gfx/sprites.h"
#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "script/script_services.h"

namespace qf {

namespace {

struct TextColours {
    uint32_t text, shadow;
};

void applyColours(Engine& e, uint32_t text, uint32_t shadow) {
    SetFontColor(e, text & 0xFF, (text >> 8) & 0xFF, (text >> 16) & 0xFF);
    SetShadowColor(e, shadow & 0xFF, (shadow >> 8) & 0xFF, (shadow >> 16) & 0xFF);
}

void printValue(Engine& e, const variant& v) {
    if (v.isString()) PrintLine(e, valueText(v));
    else if (v.type() == variant::kInteger) PrintNumber(e, static_cast<int>(v.num()), 0);
    else PrintLine(e, valueText(v));
}

// The variable a type-3 entry names, looked up again when the table's records moved.
int resolvedVariable(Engine& e, PlaneStr& s) {
    if (s.reference >= 0 && s.resolvedGeneration != e.vars.generation()) s.reference = kPlaneUnresolved;
    if (s.reference == kPlaneUnresolved) {
        const int i = e.vars.valFind(valueText(s.text));
        if (i < 0 || i >= e.vars.count()) return -1;
        s.reference = i;
        s.resolvedGeneration = e.vars.generation();
    }
    return s.reference;
}

void drawEntry(Engine& e, PlaneStr& s) {
    if (s.size != FontHeight(e)) SetFontSize(e, s.size);
    SetTextPos(e, s.x, s.y);
    switch (s.type) {
        case kPlaneFixed: PrintLine(e, valueText(s.text)); break;
        case kPlaneNumber: {
            const long long n = std::strtoll(valueText(s.text).c_str(), nullptr, 10);
            if (n == kNil) SetTextPos(e, s.x, s.y + FontHeight(e));
            else PrintNumber(e, static_cast<int>(n), 0);
            break;
        }
        case kPlaneReference:
            if (s.reference == kPlaneExpression) {
                printValue(e, evaluateInfix(e, valueText(s.text), 0));
            } else if (int i = resolvedVariable(e, s); i >= 0) {
                printValue(e, e.vars.valGet(i));
            }
            break;
        default: break;
    }
}

void drawPlane(Engine& e, Plane& p, const TextColours& defaults, int fontHeight) {
    e.pictures.SelectTarget(Pictures::kBackBufferSlot);
    for (S_Frame& f : p.frames) f.Draw(e);
    e.pictures.SelectTarget(Pictures::kBackBufferSlot);
    for (int slot = 0; slot < p.m_nCntSpr; ++slot) {
        if (p.sprites[slot] < 0) break;
        if (p.spriteVisible[slot]) DrawSprite(e, p.sprites[slot]);
    }
    for (int i = 0; i < p.m_nCntPrint; ++i)
        if (p.printList[i].type != kPlaneFree) drawEntry(e, p.printList[i]);
    for (int i = 0; i < p.textCount; ++i) {
        PlaneStr& s = p.texts[i];
        if (s.type == kPlaneFree) continue;
        if (s.r == -1) applyColours(e, defaults.text, defaults.shadow);
        else applyColours(e, packRgb(s.r, s.g, s.b), packRgb(s.sr, s.sg, s.sb));
        drawEntry(e, s);
    }
    if (FontHeight(e) != fontHeight) SetFontSize(e, fontHeight);
    applyColours(e, defaults.text, defaults.shadow);
}

}  // namespace

void DrawPlanes(Engine& e) {
    Planes& planes = e.planes;
    if (!planes.m_nFlagWndPln) return;
    const TextColours defaults{e.text.textColour, e.text.shadowColour};
    const int fontHeight = FontHeight(e);
    for (int place = 0; place < Planes::kPlanes; ++place) {
        Plane& p = planes.plane[planes.order[place]];
        if (p.visible) drawPlane(e, p, defaults, fontHeight);
    }
}

void DrawPlanesDebug(Engine& e) {
    const Planes& planes = e.planes;
    Box(e, 100, 10, 100, 200, kPanelBoxKeep, 1);
    SetTextPos(e, 105, 15);
    PrintLine(e, sj("テキストプレーン"));
    PrintLabel(e, "m_nFlagWndPln", planes.m_nFlagWndPln);
    PrintLabel(e, "g_nPlnSel", planes.g_nPlnSel);
    PrintLabel(e, "unsel", planes.ring[planes.g_nPlnSelCnt]);
    PrintLabel(e, "m_nCntPrint", planes.plane[0].m_nCntPrint);
    PrintLabel(e, "m_nCntSpr", planes.plane[0].m_nCntSpr);
    for (int place = 0; place < Planes::kPlanes; ++place) PrintLabel(e, "Order" + std::to_string(place), planes.order[place]);
    SetTextPos(e, 175, 15);
    PrintLabel(e, "g_nPlnSelCnt", planes.g_nPlnSelCnt);
    for (int i = 0; i < Planes::kRing; ++i) PrintLabel(e, "unsel." + std::to_string(i), planes.ring[i]);
}

void installPlanes(Engine& e) {
    e.windows.draw[WND_PLN] = [&e](int) { DrawPlanes(e); };
}

}  // namespace qf
