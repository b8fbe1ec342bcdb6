#include "app/engine_canvas.h"

#include "app/engine.h"
#include "gfx/draw.h"
#include "gfx/text_output.h"

namespace qf {

EngineCanvas::EngineCanvas(Engine& e) : e_(e), previousTarget_(e.pictures.m_nCurBuf) {
    e_.pictures.SelectTarget(Pictures::kBackBufferSlot);
}

EngineCanvas::~EngineCanvas() { e_.pictures.m_nCurBuf = previousTarget_; }

void EngineCanvas::box(int x, int y, int w, int h, int keep, int outline) { Box(e_.text, x, y, w, h, keep, outline); }

void EngineCanvas::text(int x, int y, std::string_view sjis) {
    SetTextPos(e_.text, x, y);
    PrintLine(e_.text, sjis);
}

void EngineCanvas::number(int x, int y, int n, int digits) {
    SetTextPos(e_.text, x, y);
    PrintNumber(e_.text, n, digits);
}

void EngineCanvas::fill(int x, int y, int w, int h, uint32_t colour) {
    if (S_Dib* target = e_.pictures.Target())
        target->Tint(x, y, w, h, colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF, 0);
}

uint32_t EngineCanvas::textColour() { return e_.text.textColour; }

int EngineCanvas::lineHeight() { return FontHeight(e_.text); }

void EngineCanvas::picture(int index) {
    DrawPlain(e_.pictures, index + Pictures::kFirstSlot, 127, 0, 0, -1, -1, 0, 0);
}

}  // namespace qf
