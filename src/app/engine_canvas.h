// The debug overlay's canvas over the engine's text primitives and pictures:
// everything goes into the back buffer (slot −7).
#pragma once

#include "app/overlay_canvas.h"

namespace qf {

struct Engine;

class EngineCanvas : public OverlayCanvas {
public:
    // Selects the back buffer; the previous drawing target comes back on destruction.
    explicit EngineCanvas(Engine& e);
    ~EngineCanvas() override;
    EngineCanvas(const EngineCanvas&) = delete;
    EngineCanvas& operator=(const EngineCanvas&) = delete;

    void box(int x, int y, int w, int h, int keep, int outline) override;
    void text(int x, int y, std::string_view sjis) override;
    void number(int x, int y, int n, int digits) override;
    void fill(int x, int y, int w, int h, uint32_t colour) override;
    uint32_t textColour() override;
    int lineHeight() override;
    void picture(int index) override;

private:
    Engine& e_;
    int previousTarget_;
};

}  // namespace qf
