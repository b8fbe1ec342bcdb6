// Drawing the text planes, and their debug display.
#include <cstdlib>
#include <string>

#include "wnd/planes.h"
#include "gfx/pictures.h"
#include "gfx/sprites.h"
#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "script/rpn.h"
#include "script/variables.h"
#include "wnd/frame.h"

namespace qf {

namespace {

struct TextColours {
    uint32_t text, shadow;
};

void applyColours(TextState& t, uint32_t text, uint32_t shadow) {
    SetFontColor(t, text & 0xFF, (text >> 8) & 0xFF, (text >> 16) & 0xFF);
    SetShadowColor(t, shadow & 0xFF, (shadow >> 8) & 0xFF, (shadow >> 16) & 0xFF);
}

void printValue(TextState& t, const variant& v) {
    if (v.isString()) PrintLine(t, valueText(v));
    else if (v.type() == variant::kInteger) PrintNumber(t, static_cast<int>(v.num()), 0);
    else PrintLine(t, valueText(v));
}

// The variable a type-3 entry names, looked up again when the table's records moved.
int resolvedVariable(Variables& vars, PlaneStr& s) {
    if (s.reference >= 0 && s.resolvedGeneration != vars.generation()) s.reference = kPlaneUnresolved;
    if (s.reference == kPlaneUnresolved) {
        const int i = vars.valFind(valueText(s.text));
        if (i < 0 || i >= vars.count()) return -1;
        s.reference = i;
        s.resolvedGeneration = vars.generation();
    }
    return s.reference;
}

void drawEntry(const PlaneDrawContext& c, PlaneStr& s) {
    TextState& t = c.text;
    if (s.size != FontHeight(t)) SetFontSize(t, s.size);
    SetTextPos(t, s.x, s.y);
    switch (s.type) {
        case kPlaneFixed: PrintLine(t, valueText(s.text)); break;
        case kPlaneNumber: {
            const long long n = std::strtoll(valueText(s.text).c_str(), nullptr, 10);
            if (n == kNil) SetTextPos(t, s.x, s.y + FontHeight(t));
            else PrintNumber(t, static_cast<int>(n), 0);
            break;
        }
        case kPlaneReference:
            if (s.reference == kPlaneExpression) {
                printValue(t, c.rpn.rpnFirst(valueText(s.text).c_str(), -1, 0));
            } else if (int i = resolvedVariable(c.vars, s); i >= 0) {
                printValue(t, c.vars.valGet(i));
            }
            break;
        default: break;
    }
}

void drawPlane(const PlaneDrawContext& c, Plane& p, const TextColours& defaults, int fontHeight) {
    TextState& t = c.text;
    t.pictures->SelectTarget(Pictures::kBackBufferSlot);
    for (S_Frame& f : p.frames) f.Draw(t, c.images);
    t.pictures->SelectTarget(Pictures::kBackBufferSlot);
    for (int slot = 0; slot < p.m_nCntSpr; ++slot) {
        if (p.sprites[slot] < 0) break;
        if (p.spriteVisible[slot]) DrawSprite(c.sprites, *t.pictures, p.sprites[slot]);
    }
    for (int i = 0; i < p.m_nCntPrint; ++i)
        if (p.printList[i].type != kPlaneFree) drawEntry(c, p.printList[i]);
    for (int i = 0; i < p.textCount; ++i) {
        PlaneStr& s = p.texts[i];
        if (s.type == kPlaneFree) continue;
        if (s.r == -1) applyColours(t, defaults.text, defaults.shadow);
        else applyColours(t, packRgb(s.r, s.g, s.b), packRgb(s.sr, s.sg, s.sb));
        drawEntry(c, s);
    }
    if (FontHeight(t) != fontHeight) SetFontSize(t, fontHeight);
    applyColours(t, defaults.text, defaults.shadow);
}

}  // namespace

void DrawPlanes(Planes& planes, const PlaneDrawContext& c) {
    if (!planes.m_nFlagWndPln) return;
    const TextColours defaults{c.text.textColour, c.text.shadowColour};
    const int fontHeight = FontHeight(c.text);
    for (int place = 0; place < Planes::kPlanes; ++place) {
        Plane& p = planes.plane[planes.order[place]];
        if (p.visible) drawPlane(c, p, defaults, fontHeight);
    }
}

void DrawPlanesDebug(const Planes& planes, TextState& t) {
    Box(t, 100, 10, 100, 200, kPanelBoxKeep, 1);
    SetTextPos(t, 105, 15);
    PrintLine(t, sj("テキストプレーン"));
    PrintLabel(t, "m_nFlagWndPln", planes.m_nFlagWndPln);
    PrintLabel(t, "g_nPlnSel", planes.g_nPlnSel);
    PrintLabel(t, "unsel", planes.ring[planes.g_nPlnSelCnt]);
    PrintLabel(t, "m_nCntPrint", planes.plane[0].m_nCntPrint);
    PrintLabel(t, "m_nCntSpr", planes.plane[0].m_nCntSpr);
    for (int place = 0; place < Planes::kPlanes; ++place) PrintLabel(t, "Order" + std::to_string(place), planes.order[place]);
    SetTextPos(t, 175, 15);
    PrintLabel(t, "g_nPlnSelCnt", planes.g_nPlnSelCnt);
    for (int i = 0; i < Planes::kRing; ++i) PrintLabel(t, "unsel." + std::to_string(i), planes.ring[i]);
}

}  // namespace qf
