#include "gfx/text_output.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>

#include "gfx/pictures.h"
#include "script/variant.h"
#include "gfx/round_rect.h"
#include "platform/sjis.h"

namespace qf {

namespace {

constexpr size_t kFullWidthIntBytes = 15;

int saturate(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

Font* currentFont(TextState& t) {
        if (!t.current) t.current = t.host->createFont(t.font);
    return t.current.get();
}

void recreateFont(TextState& t) {
    t.current.reset();
    t.current = t.host->createFont(t.font);
}

// Full-width forms of 0x20..0x7E, made once from their Unicode code points.
const std::array<std::string, 0x5F>& fullWidthTable() {
    static const std::array<std::string, 0x5F> table = [] {
        std::array<std::string, 0x5F> t;
        for (int c = 0x20; c < 0x7F; ++c) {
            const char32_t u = c == 0x20 ? 0x3000 : 0xFF01 + (c - 0x21);
            const char utf8[4] = {static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
                                  static_cast<char>(0x80 | (u & 0x3F)), 0};
            std::string sjis = utf8ToSjis(utf8);
            t[static_cast<size_t>(c - 0x20)] = sjis.size() == 2 ? sjis : std::string(1, static_cast<char>(c));
        }
        return t;
    }();
    return table;
}

}  // namespace

TextState::~TextState() {
    if (privateFontHost && privateFontHandle) privateFontHost->removePrivateFont(privateFontHandle);
}

FontDescription TextState::initialFont() {
    FontDescription d;
    d.height = 40;
    d.faceSjis = sj("ＭＳ ゴシック");
    return d;
}

void InitText(TextState& t) {
    t.font = TextState::initialFont();
    recreateFont(t);
    t.windowColour = packRgb(0, 0, 192);
    t.shadowColour = packRgb(0, 0, 0);
}

int FontHeight(const TextState& t) { return t.font.height; }

void SetFontSize(TextState& t, int height) {
    t.font.height = height;
    recreateFont(t);
}

void SetFontName(TextState& t, const std::string& faceSjis) {
        t.savedFont = t.font;
    t.font.faceSjis = faceSjis;
    recreateFont(t);
}

void RestoreFont(TextState& t) {
    t.font = t.savedFont;
    recreateFont(t);
}

void SetFontColor(TextState& t, int r, int g, int b) { t.textColour = packRgb(r, g, b); }
void SetShadowColor(TextState& t, int r, int g, int b) { t.shadowColour = packRgb(r, g, b); }
void SetTextStyle(TextState& t, int style) { t.style = style; }
void SetLineSpacing(TextState& t, int pixels) { t.lineSpacing = pixels; }
void SetFullWidthDigits(TextState& t, int flag) { t.fullWidthDigits = flag; }

void SetTextPos(TextState& t, int x, int y) {
    t.cursorX = x;
    t.cursorY = y;
}

bool TextTarget(TextState& t, PixelTarget& out) {
    if (t.pictures->m_nCurBuf == Pictures::kWindowSlot - Pictures::kFirstSlot) return false;
    S_Dib* dib = t.pictures->Target();
    if (!dib || !dib->HasPixels() || dib->Width() <= 0 || dib->Height() <= 0) return false;
    out.bits = dib->m_pBits;
    out.width = dib->Width();
    out.height = dib->Height();
    out.stride = dib->Width() * 3;
    return true;
}

void PrintLine(TextState& t, std::string_view sjis) {
        PixelTarget target;
    Font* font = TextTarget(t, target) ? currentFont(t) : nullptr;
    if (font) {
        const int64_t x = t.cursorX, y = t.cursorY;
        auto drawAt = [&](int64_t dx, int64_t dy, uint32_t colour) {
            font->draw(target, saturate(x + dx), saturate(y + dy), sjis, colour);
        };
        if (t.style == kTextOutline) {
            drawAt(-1, 0, t.shadowColour);
            drawAt(1, 0, t.shadowColour);
            drawAt(0, -1, t.shadowColour);
            drawAt(0, 1, t.shadowColour);
        } else if (t.style == kTextShadow) {
            drawAt(1, 1, t.shadowColour);
        }
        drawAt(0, 0, t.textColour);
    }
    t.cursorY = saturate(int64_t(t.cursorY) + t.font.height);
}

int SplitDigits(int64_t n, int digits, int64_t (&out)[kMaxSplitDigits]) {
    int count = digits;
    if (digits < 1) {
        count = 1;
        for (int64_t rest = n / 10; rest != 0 && count < kMaxSplitDigits; rest /= 10) ++count;
    }
    count = std::min(count, kMaxSplitDigits);
    int64_t power = 1;
    for (int i = 1; i < count; ++i) power *= 10;
    for (int i = count - 1; i >= 0; --i, power /= 10) {
        out[i] = n / power;
        n %= power;
    }
    return count;
}

void PrintNumber(TextState& t, int n, int digits) {
        const int x = t.cursorX, y = t.cursorY;
    const int64_t h = t.font.height;
    const bool negative = n < 0;
    int64_t parts[kMaxSplitDigits];
    const int count = SplitDigits(negative ? -int64_t(n) : int64_t(n), digits, parts);
    std::string elements[kMaxSplitDigits + 1];
    int elementCount = 0;
    for (; elementCount < count; ++elementCount) elements[elementCount] = std::to_string(parts[elementCount]);
    if (negative && elementCount < kMaxSplitDigits) elements[elementCount++] = "-";
    const int64_t step = t.fullWidthDigits ? h - 2 : (h + 1) / 2;
    for (int k = 0; k < elementCount; ++k) {
        t.cursorX = saturate(x - k * step - h);
        t.cursorY = y;
        PrintLine(t, t.fullWidthDigits ? ToFullWidth(elements[k]) : elements[k]);
    }
    t.cursorX = x;
    t.cursorY = saturate(int64_t(y) + h);
}

void PrintInt(TextState& t, int n) {
    std::string text = std::to_string(n);
    if (t.fullWidthDigits) {
        text = ToFullWidth(text);
        // Whole two-byte characters only.
        if (text.size() > kFullWidthIntBytes) text.resize(kFullWidthIntBytes & ~size_t(1));
    }
    PrintLine(t, text);
}

void PrintChar(TextState& t, int c) {
    const char byte = static_cast<char>(c);
    PrintLine(t, std::string_view(&byte, 1));
}

void PrintLabel(TextState& t, std::string_view labelSjis, int n) {
    std::string text(labelSjis);
    text += ':';
    text += std::to_string(n);
    PrintLine(t, text);
}

void PrintValue(TextState& t, const variant& value, int digits) {
    if (value.isNumber()) PrintNumber(t, truncInt(value.num()), digits);
    else PrintLine(t, valueText(value));
}

int TextWidth(TextState& t, std::string_view sjis) {
    Font* font = currentFont(t);
    return font ? font->measure(sjis) : 0;
}

void Box(TextState& t, int x, int y, int w, int h, int keep, int outline) {
    const uint32_t c = t.windowColour;
    t.pictures->TintTarget(x, y, w, h, int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF), keep, c);
    if (outline <= 0) return;
    PixelTarget target;
    if (!TextTarget(t, target)) return;
    RoundRectShape shape;
    shape.left = int64_t(x) + outline;
    shape.top = int64_t(y) + outline;
    shape.right = int64_t(x) + w - 1;
    shape.bottom = int64_t(y) + h - 1;
    shape.cornerWidth = 6;
    StrokeRoundRect(target, shape, outline, t.textColour);
}

void PushWindowColor(TextState& t, int r, int g, int b) {
    t.savedWindowColour = t.windowColour;
    t.windowColour = packRgb(r, g, b);
}

void PopWindowColor(TextState& t) { t.windowColour = t.savedWindowColour; }

std::string ToFullWidth(std::string_view sjis) {
    const auto& table = fullWidthTable();
    std::string out;
    out.reserve(sjis.size() * 2);
    for (size_t i = 0; i < sjis.size(); ++i) {
        const uint8_t c = static_cast<uint8_t>(sjis[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
            out += sjis[i];
            if (i + 1 < sjis.size()) out += sjis[++i];
        } else if (c >= 0x20 && c < 0x7F) {
            out += table[c - 0x20];
        } else {
            out += sjis[i];
        }
    }
    return out;
}

}  // namespace qf
