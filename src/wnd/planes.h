// The text planes: eight planes of window frames, attached sprites, printed
// lines and placed texts that scripts fill with "#print", "#txt" and their
// companions. A text may be fixed, a number, or a variable or expression
// that is read again every frame. The layer draws as "WND_PLN".
#pragma once

#include <string>

#include "script/variant.h"
#include "wnd/frame.h"

namespace qf {

class Rpn;
class Variables;
struct FrameImages;
struct Sprites;
struct TextState;

enum PlaneStrType { kPlaneFree = 0, kPlaneFixed = 1, kPlaneNumber = 2, kPlaneReference = 3 };
// The reference of a type-3 entry: a variable index, or one of these.
constexpr int kPlaneUnresolved = -1, kPlaneExpression = -2;

struct PlaneStr {
    int type = kPlaneFree;
    variant text;  // the string; a number's decimal text; a variable name or an expression
    int x = 0, y = 0;
    int size = 10;
    int r = -1, g = 0, b = 0;  // r = -1: the layer's default colours (placed texts)
    int sr = 0, sg = 0, sb = 0;
    int reference = kPlaneUnresolved;
    // The variable table's generation when `reference` was resolved: records
    // that move (sorting, clearing) make the name be looked up again.
    uint64_t resolvedGeneration = 0;
};

class Plane {
public:
    static constexpr int kFrames = 8, kListSize = 256, kSpriteSlots = 16;

    Plane();

    S_Frame frames[kFrames];
    PlaneStr printList[kListSize];
    PlaneStr texts[kListSize];
    int sprites[kSpriteSlots];  // sprite numbers, -1 none
    int spriteVisible[kSpriteSlots] = {};
    int m_nCntPrint = 0;
    int textCount = 0;
    int m_nCntSpr = 0;
    int lastText = -1;
    int visible = 1;
};

struct Planes {
    static constexpr int kPlanes = 8, kRing = 16;

    Plane plane[kPlanes];
    int order[kPlanes] = {0, 1, 2, 3, 4, 5, 6, 7};  // drawn first to last
    int m_nFlagWndPln = 1;
    int g_nPlnSel = 0;
    int ring[kRing] = {};
    int g_nPlnSelCnt = 0;
    int printX = 0, printY = 0;

    Plane& selected() { return plane[g_nPlnSel]; }
    // Moves plane n to the last place of the drawing order.
    void BringToFront(int n);
};

// What drawing the planes reads besides the planes themselves.
struct PlaneDrawContext {
    TextState& text;
    Sprites& sprites;
    Variables& vars;
    Rpn& rpn;  // evaluates the expressions of placed texts
    const FrameImages& images;
};

// The draw callback of "WND_PLN".
void DrawPlanes(Planes& planes, const PlaneDrawContext& c);
// The planes' debug display.
void DrawPlanesDebug(const Planes& planes, TextState& text);

// Entry building for the commands (exposed for tests).
// Adds t to the print list: a double-quoted t is a fixed string without its
// quotes, anything else the name of a variable looked up when drawn.
PlaneStr* AddPrintLine(Planes& planes, const TextState& textState, std::string_view t);
PlaneStr* AddFixedLine(Planes& planes, const TextState& textState, std::string_view text);
PlaneStr* AddNumberLine(Planes& planes, const TextState& textState, const std::string& decimal);
PlaneStr* AddVariableLine(Planes& planes, const TextState& textState, int index, std::string_view name, uint64_t generation);

}  // namespace qf
