// The text plane commands: selection, printed lines, placed texts, the
// planes' frames and attached sprites.
#include <algorithm>
#include <string>

#include "wnd/planes.h"
#include "gfx/sprites.h"
#include "gfx/text_output.h"
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

bool isIntegerValue(const variant& v) { return v.type() == variant::kInteger; }
std::string integerText(const variant& v) { return std::to_string(static_cast<int>(v.num())); }

void movePrintPosition(Engine& e, int xSlot, int ySlot) {
    if (argGiven(e, xSlot)) e.planes.printX = argInt(e, xSlot);
    if (argGiven(e, ySlot)) e.planes.printY = argInt(e, ySlot);
}

Plane* planeFrameOwner(Engine& e, int slot, S_Frame*& frame) {
    int n = argInt(e, slot);
    if (n < 0 || n >= Plane::kFrames) return nullptr;
    frame = &e.planes.selected().frames[n];
    return &e.planes.selected();
}


void cmdPos(Engine& e) { movePrintPosition(e, 0, 1); }

void cmdSel(Engine& e) {
    Planes& p = e.planes;
    const int n = argInt(e, 0);
    if (n < 0 || n >= Planes::kPlanes) return;
    p.g_nPlnSel = n;
    p.g_nPlnSelCnt = (p.g_nPlnSelCnt + 1) % Planes::kRing;
    p.ring[p.g_nPlnSelCnt] = n;
    setVariableInt(e, "_sel", n);
    if (argGiven(e, 1) && argInt(e, 1) > 0) p.BringToFront(n);
}

void cmdUnsel(Engine& e) {
    Planes& p = e.planes;
    p.ring[p.g_nPlnSelCnt] = 0;
    p.g_nPlnSelCnt = (p.g_nPlnSelCnt + Planes::kRing - 1) % Planes::kRing;
    p.g_nPlnSel = p.ring[p.g_nPlnSelCnt];
}

void cmdCls(Engine& e) {
    Plane& p = e.planes.selected();
    for (int& v : p.spriteVisible) v = 0;
    for (S_Frame& f : p.frames) f.Close(argOr(e, 0, 0), argOr(e, 1, 0));
    p.m_nCntPrint = p.textCount = p.m_nCntSpr = 0;
}

void cmdHide(Engine& e) {
    e.planes.m_nFlagWndPln = 0;
    e.windows.Deactivate(WND_PLN);
}

void cmdView(Engine& e) {
    e.planes.m_nFlagWndPln = 1;
    e.windows.Activate(WND_PLN);
}

void cmdPrint(Engine& e) {
    movePrintPosition(e, 1, 2);
    const std::string r1 = argName(e, 0);
    const variant& value = e.interp.args[0];
    if (!r1.empty() && r1.front() == '"') {
        AddPrintLine(e.planes, e.text, r1);
    } else if (r1.find('[') == std::string::npos) {
        if (int index = variableIndex(e, r1); index >= 0) AddVariableLine(e.planes, e.text, index, r1, e.vars.generation());
        else if (isIntegerValue(value)) AddNumberLine(e.planes, e.text, integerText(value));
        // Not a variable (yet): the value's text as a print line, which names
        // a variable to look up when drawn unless it is quoted.
        else AddPrintLine(e.planes, e.text, valueText(value));
    } else if (argOr(e, 3, 0) == 1) {
        if (PlaneStr* s = AddPrintLine(e.planes, e.text, argRaw(e, 0)); s && s->type == kPlaneReference) s->reference = kPlaneExpression;
    } else {
        AddPrintLine(e.planes, e.text, r1);
    }
}

void cmdPrintf(Engine& e) {
    movePrintPosition(e, 1, 2);
    const std::string r1 = argName(e, 0);
    const variant& value = e.interp.args[0];
    if (!r1.empty() && r1.front() == '"') {
        AddFixedLine(e.planes, e.text, valueText(value));
    } else if (int index = variableIndex(e, r1); index >= 0) {
        const variant held = e.vars.valGet(index);
        if (isIntegerValue(held)) AddNumberLine(e.planes, e.text, integerText(held));
        else AddFixedLine(e.planes, e.text, valueText(held));
    } else if (isIntegerValue(value)) {
        AddNumberLine(e.planes, e.text, integerText(value));
    } else {
        AddFixedLine(e.planes, e.text, valueText(value));
    }
}

void cmdPrintClear(Engine& e) { e.planes.selected().m_nCntPrint = 0; }

// A placed text set from a name as written: quoted, a fixed string; with
// "[", an expression; otherwise a variable name looked up when drawn.
void setFromName(PlaneStr& s, const std::string& r1) {
    if (!r1.empty() && r1.front() == '"') {
        s.type = kPlaneFixed;
        s.text = r1.size() >= 2 ? r1.substr(1, r1.size() - 2) : std::string();
        return;
    }
    s.type = kPlaneReference;
    s.text = r1;
    s.reference = r1.find('[') != std::string::npos ? kPlaneExpression : kPlaneUnresolved;
}

void cmdTxt(Engine& e) {
    Plane& p = e.planes.selected();
    const int n = argGiven(e, 0) ? argInt(e, 0) : p.lastText + 1;
    if (n < 0 || n >= Plane::kListSize) return;
    PlaneStr& s = p.texts[n];
    keepArg(e, 2, s.x);
    keepArg(e, 3, s.y);
    keepArg(e, 5, s.size);
    if (s.size < 1 || s.size > 100) s.size = FontHeight(e.text);
    const bool live = !argGiven(e, 4) || argInt(e, 4) != 0;
    const std::string r1 = argName(e, 1);
    const variant& value = e.interp.args[1];
    s.reference = kPlaneUnresolved;
    if (live && r1.find('[') == std::string::npos) {
        if (int index = variableIndex(e, r1); index >= 0) {
            s.type = kPlaneReference;
            s.text = r1;
            s.reference = index;
            s.resolvedGeneration = e.vars.generation();
        } else if (isIntegerValue(value)) {
            s.type = kPlaneNumber;
            s.text = integerText(value);
        } else {
            setFromName(s, r1);
        }
    } else if (live) {
        if (argInt(e, 4) == 1) {
            s.type = kPlaneReference;
            s.text = argRaw(e, 1);
            s.reference = kPlaneExpression;
        } else {
            setFromName(s, r1);
        }
    } else {
        int index = variableIndex(e, r1);
        if (index >= 0 && !isIntegerValue(e.vars.valGet(index))) {
            s.type = kPlaneFixed;
            s.text = valueText(value);
        } else if (index >= 0) {
            s.type = kPlaneNumber;
            s.text = integerText(value);
        } else {
            // Not a variable: the value as it is now.
            s.type = isIntegerValue(value) ? kPlaneNumber : kPlaneFixed;
            s.text = isIntegerValue(value) ? integerText(value) : valueText(value);
        }
    }
    p.textCount = std::max(p.textCount, n + 1);
    p.lastText = n;
}

void cmdTxtDel(Engine& e) {
    Plane& p = e.planes.selected();
    if (argGiven(e, 0) && argInt(e, 0) != -1) {
        const int n = argInt(e, 0);
        if (n >= 0 && n < Plane::kListSize) p.texts[n].type = kPlaneFree;
        return;
    }
    for (int i = 0; i < p.textCount; ++i) {
        p.texts[i].type = kPlaneFree;
        p.texts[i].size = FontHeight(e.text);
    }
    p.textCount = 0;
    p.lastText = -1;
}

void cmdTxtColor(Engine& e) {
    const int n = argInt(e, 0);
    if (n < 0 || n >= Plane::kListSize) return;
    PlaneStr& s = e.planes.selected().texts[n];
    int* fields[6] = {&s.r, &s.g, &s.b, &s.sr, &s.sg, &s.sb};
    for (int i = 0; i < 6; ++i) keepArg(e, i + 1, *fields[i]);
}

void cmdPlnWndSet(Engine& e) {
    S_Frame* f = nullptr;
    if (!planeFrameOwner(e, 0, f)) return;
    f->SetRect(argInt(e, 1), argInt(e, 2), argInt(e, 3), argInt(e, 4));
    keepArg(e, 5, f->keep);
    if (argGiven(e, 6) && argInt(e, 6) != 0) f->Show();
}

void cmdPlnWndColor(Engine& e) {
    S_Frame* f = nullptr;
    if (!planeFrameOwner(e, 0, f)) return;
    keepArg(e, 1, f->r);
    keepArg(e, 2, f->g);
    keepArg(e, 3, f->b);
    keepArg(e, 4, f->keep);
}

void cmdPlnWndView(Engine& e) {
    S_Frame* f = nullptr;
    if (planeFrameOwner(e, 0, f)) f->Open(argOr(e, 1, 0), argOr(e, 2, 0));
}

void cmdPlnWndHide(Engine& e) {
    S_Frame* f = nullptr;
    if (planeFrameOwner(e, 0, f)) f->Close(argOr(e, 1, 0), argOr(e, 2, 0));
}

// Slot n of the selected plane when it holds a sprite.
S_Sprite* slotSprite(Engine& e, int n) {
    if (n < 0 || n >= Plane::kSpriteSlots) return nullptr;
    return e.sprites.At(e.planes.selected().sprites[n]);
}

void cmdPlnSprSet(Engine& e) {
    Plane& p = e.planes.selected();
    const int n = argInt(e, 0), s = argInt(e, 1);
    if (n < 0 || n >= Plane::kSpriteSlots || s < 0 || s >= Sprites::kBankLimit) return;
    p.sprites[n] = s;
    p.m_nCntSpr = std::max(p.m_nCntSpr, n + 1);
    if (argGiven(e, 2) && argInt(e, 2) > 0) p.spriteVisible[n] = 1;
    else if (argGiven(e, 2) && argInt(e, 2) == 0) p.spriteVisible[n] = 0;
}

void cmdPlnSprPos(Engine& e) {
    S_Sprite* s = slotSprite(e, argInt(e, 0));
    if (!s) return;
    s->m_fX = static_cast<float>(argInt(e, 1));
    s->m_fY = static_cast<float>(argInt(e, 2));
    s->m_nAlpha = argInt(e, 3);
}

void cmdPlnSprView(Engine& e) {
    const int n = argInt(e, 0);
    if (slotSprite(e, n)) e.planes.selected().spriteVisible[n] = 1;
}

void cmdPlnSprHide(Engine& e) {
    const int n = argInt(e, 0);
    if (slotSprite(e, n)) e.planes.selected().spriteVisible[n] = 0;
}

}  // namespace

const CommandFamily kPlaneCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#pos", cmdPos},           {"#sel", cmdSel},
        {"#unsel", cmdUnsel},       {"#cls", cmdCls},
        {"#hide", cmdHide},         {"#view", cmdView},
        {"#print", cmdPrint},       {"#printf", cmdPrintf},
        {"#printClear", cmdPrintClear}, {"#txt", cmdTxt},
        {"#txtDel", cmdTxtDel},     {"#txtColor", cmdTxtColor},
        {"#plnWndSet", cmdPlnWndSet}, {"#plnWndColor", cmdPlnWndColor},
        {"#plnWndView", cmdPlnWndView}, {"#plnWndHide", cmdPlnWndHide},
        {"#plnSprSet", cmdPlnSprSet}, {"#plnSprPos", cmdPlnSprPos},
        {"#plnSprView", cmdPlnSprView}, {"#plnSprHide", cmdPlnSprHide},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
