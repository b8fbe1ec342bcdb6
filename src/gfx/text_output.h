// Text on screen: the one current font, the text and shadow colours, the
// text style, the text cursor, the window colour, and the print and box
// primitives every window and overlay draws with.
//
// Text goes into the pixels of the current drawing target. Slot −8 stands
// for the window itself, which every present repaints whole, so text and
// outlines drawn while it is the target are not seen; every other slot with
// pixels (the back buffer −7, the work screen −6, script pictures) receives them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/host.h"

namespace qf {

class Pictures;
class variant;

enum TextStyle { kTextPlain = 0, kTextShadow = 1, kTextOutline = 2 };

constexpr uint32_t packRgb(int r, int g, int b) {
    return uint32_t(r & 0xFF) | uint32_t(g & 0xFF) << 8 | uint32_t(b & 0xFF) << 16;
}

struct TextState {
    FontDescription font = initialFont();
    FontDescription savedFont = initialFont();  // taken before every face change
    std::unique_ptr<Font> current;
    uint32_t textColour = 0;                     // R | G << 8 | B << 16
    uint32_t shadowColour = 0;
    int style = kTextOutline;
    int lineSpacing = 0;                         // added by callers between lines
    int fullWidthDigits = 0;
    int cursorX = 10, cursorY = 10;
    uint32_t windowColour = packRgb(0, 0, 192);  // the fill of boxes
    uint32_t savedWindowColour = packRgb(0, 0, 192);
    // The private font of "#fontInst", removed when the engine ends.
    Host* privateFontHost = nullptr;
    int privateFontHandle = 0;
    // Where fonts come from and where text goes.
    Host* host = nullptr;
    Pictures* pictures = nullptr;

    TextState() = default;
    TextState(const TextState&) = delete;
    TextState& operator=(const TextState&) = delete;
    ~TextState();

    static FontDescription initialFont();
};

// Display start-up: the first font (height 40), the window colour, the shadow colour.
void InitText(TextState& t);

int FontHeight(const TextState& t);
void SetFontSize(TextState& t, int height);
// Saves the whole description first, so RestoreFont brings the previous face back.
void SetFontName(TextState& t, const std::string& faceSjis);
void RestoreFont(TextState& t);
void SetFontColor(TextState& t, int r, int g, int b);
void SetShadowColor(TextState& t, int r, int g, int b);
void SetTextStyle(TextState& t, int style);
void SetLineSpacing(TextState& t, int pixels);
void SetFullWidthDigits(TextState& t, int flag);
void SetTextPos(TextState& t, int x, int y);

// One line at the cursor in the current style; the cursor moves down one font height.
void PrintLine(TextState& t, std::string_view sjis);
// Right-aligned so that the units digit ends one font height left of the
// cursor; digits < 1 prints as many digits as the number has. The cursor ends
// one line below where it was.
void PrintNumber(TextState& t, int n, int digits);
void PrintInt(TextState& t, int n);
void PrintChar(TextState& t, int c);
void PrintLabel(TextState& t, std::string_view labelSjis, int n);
// Numbers go to PrintNumber, texts to PrintLine.
void PrintValue(TextState& t, const variant& value, int digits);
// Advance width of the text in the current font.
int TextWidth(TextState& t, std::string_view sjis);

// A rectangle tinted with the window colour (keep 0 solid, 255 unchanged)
// and, when outline > 0, a rounded outline of that width in the text colour
// from (x + outline, y + outline) to (x + w − 1, y + h − 1).
void Box(TextState& t, int x, int y, int w, int h, int keep, int outline);
// The keep of the boxes behind the debug panels and the flag window.
constexpr int kPanelBoxKeep = 64;

void PushWindowColor(TextState& t, int r, int g, int b);
void PopWindowColor(TextState& t);

// Decimal digits of n, least significant first. digits < 1: as many as n
// has (0 has one); otherwise exactly `digits` (at most kMaxSplitDigits),
// missing high digits 0 and surplus high digits kept together in the last.
constexpr int kMaxSplitDigits = 10;
int SplitDigits(int64_t n, int digits, int64_t (&out)[kMaxSplitDigits]);

// Printable ASCII in its Shift-JIS full-width form; other bytes unchanged.
std::string ToFullWidth(std::string_view sjis);

// The pixels text and outlines go to: false for slot −8 and for empty pictures.
bool TextTarget(TextState& t, PixelTarget& out);

}  // namespace qf
