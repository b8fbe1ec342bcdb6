#include "wnd/selection_window.h"

#include <algorithm>
#include <cstdint>

#include "gfx/display.h"
#include "gfx/pictures.h"
#include "gfx/text_output.h"
#include "input/input.h"
#include "platform/sjis.h"
#include "script/variables.h"
#include "wnd/frame.h"
#include "wnd/window_services.h"
#include "wnd/window_table.h"

namespace qf {

namespace {

constexpr int kBarKeep = 128;
constexpr int kBarPeriod = 3;
constexpr int kLightStep = 16, kLightTop = 128;

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        out.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return out;
        start = end + 1;
    }
}

int lineHeight(const TextState& text) { return FontHeight(text) + text.lineSpacing; }

// The light kind of a sprite: a tint whose keep pulses above the sprite's
// own keep, one step every `period` frames.
void drawLightBar(Pictures& pictures, S_Sprite& s) {
    if (s.m_nLightLevel > kLightTop) s.m_nLightDir = -1;
    if (s.m_nLightLevel < 0) s.m_nLightDir = 1;
    ++s.m_nLightTick;
    if (s.m_nLightTick % std::max(s.m_nPeriod, 1) == 0) s.m_nLightLevel += kLightStep * s.m_nLightDir;
    const int keep = std::clamp(s.m_nLightLevel + s.m_nAlpha, 0, 255);
    if (S_Dib* target = pictures.Target())
        target->Tint(int(s.m_fX), int(s.m_fY), s.m_nW, s.m_nH, s.m_nR, s.m_nG, s.m_nB, keep);
}

void finish(SelectionWindow& w, WindowServices& s, int soundKind, int answer) {
    PlayWindowSound(s.looks, s.audio, soundKind);
    if (!w.resultName.empty()) s.vars.valSetInt(w.resultName, answer);
    s.vars.valSetInt("_answer", answer);
    w.active = 0;
    s.windows.Deactivate(WND_SEL);
}

void decide(SelectionWindow& w, WindowServices& s) { finish(w, s, kSoundEnter, w.cursor); }

// A negative cancel value makes cancelling impossible.
void cancel(SelectionWindow& w, WindowServices& s) {
    if (w.cancelValue >= 0) finish(w, s, kSoundCancel, w.cancelValue);
}

void move(SelectionWindow& w, WindowServices& s, int cursor) {
    w.cursor = cursor;
    PlayWindowSound(s.looks, s.audio, kSoundMove);
}

}  // namespace

void OpenSelection(SelectionWindow& w, S_Frame& frame, WindowTable& windows, const TextState& text,
                   const std::string& itemText, int cancelValue, const std::string& resultName, int count) {
    w.cursor = 0;
    w.cancelValue = cancelValue;
    w.items = splitLines(itemText);
    w.count = static_cast<int>(w.items.size());
    const int font = FontHeight(text);
    frame.h = w.height < 1 ? font * w.count + font : w.height;
    size_t longest = 0;
    for (const std::string& item : w.items) longest = std::max(longest, item.size());
    frame.w = w.width < 1 ? font * (static_cast<int>(longest) / 2 + 1) : w.width;
    const bool named = !resultName.empty() && !(resultName[0] >= '0' && resultName[0] <= '9');
    w.resultName = named ? resultName : std::string();
    w.active = 1;
    windows.Activate(WND_SEL);

    S_Sprite& bar = w.bar;
    bar = S_Sprite{};
    bar.m_nView = 1;
    bar.m_nR = bar.m_nG = bar.m_nB = 255;
    bar.m_nAlpha = kBarKeep;
    bar.m_nPeriod = kBarPeriod;
    bar.m_fX = float(frame.x + 2);
    bar.m_fY = float(frame.y);
    bar.m_nW = frame.w - 4;
    bar.m_nH = font;
    if (count != kArgAbsent && count >= 1 && count < w.count) w.count = count;
}

void SelectionUpdate(SelectionWindow& w, const S_Frame& frame, WindowServices& s) {
    if (!w.active || w.count < 1) return;
    Input& in = s.input;
    if (in.repeat(BTN_L)) move(w, s, 0);
    if (in.repeat(BTN_R)) move(w, s, w.count - 1);
    if (in.repeat(BTN_U)) move(w, s, (w.cursor + w.count - 1) % w.count);
    if (in.repeat(BTN_D)) move(w, s, (w.cursor + 1) % w.count);
    if (in.repeat(BTN_A)) decide(w, s);
    if (w.active && in.first(BTN_B)) cancel(w, s);
    if (w.active && (in.first(BTN_X) || in.first(BTN_L1))) decide(w, s);
    if (w.active && mouseIn(in.mouse, frame.x, frame.y, frame.w, frame.h, s.display.zoom)) {
        const int zoom = std::max(s.display.zoom / 100, 1);
        const int line = std::max(lineHeight(s.text), 1);
        const int item = (in.mouse.y / zoom - frame.y - w.margin) / line;
        w.cursor = std::clamp(item, 0, w.count - 1);
        if (mouseClicked(in.mouse, in.host, 0)) decide(w, s);
        else if (mouseClicked(in.mouse, in.host, 1)) cancel(w, s);
    }
    padClearPulses(in.pad());
}

void SelectionDraw(SelectionWindow& w, S_Frame& frame, WindowServices& s) {
    if (!w.active) return;
    TextState& text = s.text;
    Pictures& pictures = *text.pictures;
    pictures.SelectTarget(Pictures::kBackBufferSlot);
    frame.Draw(text, s.looks.images);
    const int line = lineHeight(text);
    const int top = frame.y + w.margin;
    if (w.barOn) {
        w.bar.m_fY = float(top + w.cursor * line);
        drawLightBar(pictures, w.bar);
    }
    for (int i = 0; i < w.count && i < static_cast<int>(w.items.size()); ++i) {
        SetTextPos(text, frame.x + w.margin + line, top + i * line);
        PrintLine(text, w.items[static_cast<size_t>(i)]);
    }
    if (w.markOn) {
        SetTextPos(text, frame.x + w.margin, top + w.cursor * line);
        PrintLine(text, sj("→"));
    }
}

}  // namespace qf
