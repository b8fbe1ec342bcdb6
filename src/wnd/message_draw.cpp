// The message window as it appears: frames, name, the typed page character
// by character, ruby, and the wait cursor.
#include "wnd/message_window.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "gfx/pictures.h"
#include "gfx/sprites.h"
#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "wnd/frame.h"

namespace qf {

namespace {

constexpr int kBlinkShown = 30, kBlinkPeriod = 60;
constexpr char kHeartGlyph = '\xA9';  // in the "symbol" face

int clampInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

void printAt(TextState& t, int64_t x, int64_t y, std::string_view sjis) {
    SetTextPos(t, clampInt(x), clampInt(y));
    PrintLine(t, sjis);
}

// The heart: the symbol face at one and a half times the height, centred on the line.
void drawHeart(TextState& t, int64_t x, int64_t y) {
    const int h = FontHeight(t);
    const int heartHeight = clampInt(3 * int64_t(h) / 2);
    const FontDescription keptSaved = t.savedFont;
    SetFontName(t, "symbol");
    SetFontSize(t, heartHeight);
    printAt(t, x, y - (int64_t(heartHeight) - h) / 2 - h / 10, std::string_view(&kHeartGlyph, 1));
    RestoreFont(t);
    t.savedFont = keptSaved;
}

}  // namespace

void MessageWindow::Draw() {
    if (!active || !visible) return;
    if (wait > 0) --wait;
    TextState& t = *links.text;
    WindowLooks& looks = *links.looks;
    S_Frame& frame = looks.frames[kFrameMessage];
    S_Frame& plate = looks.frames[kFrameNamePlate];
    if (frameOn) {
        frame.Draw(t, looks.images);
        plate.Draw(t, looks.images);
    }
    if (!name.empty()) printAt(t, int64_t(plate.x) + nameX, int64_t(plate.y) + nameY, name);

    const int h = FontHeight(t);
    const int64_t half = h / 2, lineStep = int64_t(h) + t.lineSpacing;
    const int64_t left = int64_t(frame.x) + textX, top = int64_t(frame.y) + textY - 3;
    const bool fullWidth = t.fullWidthDigits != 0;
    const size_t end = std::min(static_cast<size_t>(std::max(drawn, 0)), output.size());
    int64_t col = 0, ln = 0;
    for (size_t i = 0; i < end; ++i) {
        const uint8_t c = static_cast<uint8_t>(output[i]);
        const int64_t x = half * col + left, y = lineStep * ln + top;
        if (c == '$') {
            drawHeart(t, x, y);
            col += 2;
        } else if (c == '\n') {
            col = 0;
            ++ln;
        } else if (c >= '0' && c <= '9') {
            // Right-aligned one font height left of the cursor: the cursor
            // goes one height right so that the digit starts at x.
            SetTextPos(t, clampInt(x + h), clampInt(y));
            PrintNumber(t, c - '0', 0);
            col += fullWidth ? 2 : 1;
        } else if (c < 0x80) {
            printAt(t, x, y, std::string_view(output).substr(i, 1));
            ++col;
        } else {
            if (i + 1 < end) printAt(t, x, y, std::string_view(output).substr(i, 2));
            ++i;
            col += 2;
        }
    }

    if (rubyCount > 0) {
        SetFontSize(t, rubyHeight);
        for (int i = 0; i < rubyCount; ++i) printAt(t, ruby[i].x, ruby[i].y, ruby[i].text);
        SetFontSize(t, h);
    }

    if (state == kMessageKeyWait || (state == kMessagePageWait && !keepWindow)) {
        // Each coordinate is fixed in the frame when it is 0 or more, and
        // follows the end of the text when it is negative.
        const int64_t x = iconX >= 0 ? int64_t(frame.x) + iconX : left + int64_t(column) * h / 2 + 2;
        const int64_t y = iconY >= 0 ? int64_t(frame.y) + iconY : lineStep * line + frame.y + textY;
        if (iconSprite >= 0) {
            if (S_Sprite* s = links.sprites->At(iconSprite)) {
                s->m_fX = static_cast<float>(x);
                s->m_fY = static_cast<float>(y);
                DrawSprite(*links.sprites, *t.pictures, iconSprite);
            }
        } else if (blink % kBlinkPeriod < kBlinkShown) {
            SetFontSize(t, clampInt(int64_t(h) - 2));
            printAt(t, x, y, sj("▼"));
            SetFontSize(t, h);
        }
    }
}

}  // namespace qf
