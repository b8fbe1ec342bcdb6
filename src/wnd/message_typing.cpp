// One frame of typing: source bytes become the page's output, with line and
// page breaks, variable values, ruby and the inline codes.
//
// The bookkeeping keeps total − typed equal to the source bytes still to
// read: every byte the read position passes is either counted (the frame's
// budget) or taken off the total, a value typed for "$name" adds its length
// to both, and a line break the typing inserts adds one to both. The only
// exception is the "!" of a key wait, which Advance() counts when the wait
// ends. A page break starts the next page with total = what remains.
#include "wnd/message_window.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "audio/audio.h"
#include "gfx/sprites.h"
#include "gfx/text_output.h"
#include "script/rpn.h"
#include "script/variables.h"
#include "script/variant.h"
#include "wnd/frame.h"

namespace qf {

namespace {

constexpr int kRubyScanBytes = 127;
// A "$" name longer than this names no variable.
constexpr size_t kNameLimit = 255;
// A wait's number is read whole, but only its first characters count (any
// wait that long is beyond a run anyway).
constexpr int kWaitDigits = 12;
constexpr int kBlinkPeriod = 60;

bool isNameByte(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '[' ||
           c == ']' || c == '.';
}

bool isSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

int hexDigit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int clampInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

}  // namespace

void MessageWindow::advanceAnime() {
    if (animeSlot < 0 || animeSlot >= kAnimeSlots) return;
    S_Sprite* s = links.sprites->At(animeSprite[animeSlot]);
    if (!s) return;
    const int period = std::max(s->m_nPeriod, 1);
    s->m_nAnimeCountdown = static_cast<int>((int64_t(s->m_nAnimeCountdown) + 1) % period);
    if (s->m_nAnimeFrames > 0 && s->m_nAnimeCountdown == s->m_nAnimeFrames - 1)
        s->m_nAnimeCurrent = static_cast<int>((int64_t(s->m_nAnimeCurrent) + 1) % s->m_nAnimeFrames);
}

void MessageWindow::resetAnimeFrame() {
    if (animeSlot < 0 || animeSlot >= kAnimeSlots) return;
    if (S_Sprite* s = links.sprites->At(animeSprite[animeSlot])) s->m_nAnimeCurrent = 0;
}

void MessageWindow::playTypingSound() {
    const int step = soundCounter;
    soundCounter = (soundCounter + 1) % 3;
    if (step != 0) return;
    const int slot = messageSound >= -1 ? messageSound : typingSound;
    if (slot >= 0) links.audio->effects.play(slot);
}

void MessageWindow::addRuby(std::string_view reading) {
    if (reading.size() > size_t(S_Ruby::kShownBytes) || rubyCount >= kRubyCapacity) return;
    const TextState& text = *links.text;
    const S_Frame& frame = links.looks->frames[kFrameMessage];
    const int64_t h = FontHeight(text);
    S_Ruby& r = ruby[rubyCount++];
    std::memcpy(r.text, reading.data(), reading.size());
    r.text[reading.size()] = '\0';
    r.length = static_cast<int>(reading.size());
    const int64_t width = int64_t(r.length / 2) * rubyHeight;
    r.width = clampInt(width);
    const int64_t x = h / 2 * column + frame.x + textX - h;
    const int64_t y = (h + text.lineSpacing) * line + frame.y + textY;
    r.x = clampInt(x + (h - width) / 2);
    r.y = clampInt(y - rubyHeight - 2);
}

// "$name": the value of the variable, or false when there is none. The
// name's subscripts go through the expression evaluator.
bool MessageWindow::typeValue(size_t& count) {
    const size_t start = readPos + 1;
    size_t end = start;
    while (end < source.size() && end - start <= kNameLimit && isNameByte(static_cast<uint8_t>(source[end]))) ++end;
    const size_t nameLength = end - start;
    if (nameLength == 0 || nameLength > kNameLimit) return false;
    std::string variableName = source.substr(start, nameLength);
    if (variableName.find('[') != std::string::npos) {
        links.rpn->rpnFirst(variableName.c_str(), -1, 0);
        variableName = valueText(links.rpn->lastElementName());
    }
    const int index = links.vars->valFind(variableName);
    if (index < 0) return false;
    const std::string value = valueText(links.vars->valGet(index));
    output += value;
    readPos = end;
    total = clampInt(int64_t(total) + int64_t(value.size()) - int64_t(nameLength));
    column = clampInt(int64_t(column) + int64_t(value.size()));
    count += value.size() + 1;
    return true;
}

void MessageWindow::Step() {
    if (wait > 0) return;
    if (state >= kMessagePageWait) {
        blink = (blink + 1) % kBlinkPeriod;
        resetAnimeFrame();
        return;
    }
    if (pageBreakPending) {
        clearPage();
        typed = 0;
        total = remaining();
        pageBreakPending = 0;
        return;
    }
    // Skipping shows the rest of the page, values typed for "$" included.
    int64_t budget = speed;
    if (skipPage) {
        budget = INT64_MAX;
        skipPage = 0;
    }
    const int cols = std::max(columns, 1);
    const bool fullWidthDigits = links.text->fullWidthDigits != 0;
    size_t count = 0;
    auto byteAt = [this](size_t pos) -> uint8_t {
        return pos < source.size() ? static_cast<uint8_t>(source[pos]) : 0;
    };
    // Bytes the read position passes without counting them.
    auto skip = [this](size_t bytes) {
        readPos += bytes;
        total = clampInt(int64_t(total) - int64_t(bytes));
    };
    // Codes that end the step at once, before the frame's bookkeeping.
    auto endNow = [&] {
        typed = clampInt(int64_t(typed) + int64_t(count));
        drawn = static_cast<int>(std::min<size_t>(output.size(), INT_MAX));
    };

    if (typed < total) {
        while (instant || int64_t(count) < budget) {
            const uint8_t c = byteAt(readPos);
            if (inDoubleByte) {
                inDoubleByte = 0;
                // A lead byte at the very end has no second half.
                if (c == 0) {
                    typed = total;
                    count = 0;
                    break;
                }
                output += static_cast<char>(c);
                ++readPos;
                ++count;
                ++column;
                continue;
            }
            if (c == '\n') {
                ++readPos;
                ++count;
                column = std::max(column, cols);
                continue;
            }
            // The end of the text comes before the line break, so a text that
            // ends exactly at the end of a page has no empty page after it.
            if (c == 0) {
                typed = total;
                count = 0;
                break;
            }
            if (column >= cols) {
                output += '\n';
                typed = clampInt(int64_t(typed) + 1);
                total = clampInt(int64_t(total) + 1);
                column = 0;
                ++line;
                if (line >= maxLines) {
                    if (state < kMessagePageWait) {
                        state = kMessagePageWait;
                        pageBreakPending = 1;
                    }
                    break;
                }
                continue;
            }
            if (c == '$') {
                if (!typeValue(count)) {
                    ++readPos;
                    ++count;
                }
                continue;
            }
            if (c == '<') {
                const size_t start = readPos + 1;
                size_t end = start;
                while (end < source.size() && end - start < kRubyScanBytes) {
                    const uint8_t b = static_cast<uint8_t>(source[end]);
                    if (b == '>' || b == 0 || isSpace(b)) break;
                    if (b >= 0x80) {
                        if (end + 1 >= source.size() || end + 2 - start > kRubyScanBytes) break;
                        end += 2;
                    } else {
                        ++end;
                    }
                }
                addRuby(std::string_view(source).substr(start, end - start));
                ++readPos;
                ++count;
                skip(end - start + (byteAt(end) == '>' ? 1 : 0));
                continue;
            }
            if (c == '\\') {
                const uint8_t code = byteAt(readPos + 1);
                switch (code) {
                    case 'H':
                        output += '$';
                        column += 2;
                        ++readPos;
                        ++count;
                        skip(1);
                        continue;
                    case '!':
                        state = kMessageKeyWait;
                        readPos += 2;
                        ++count;
                        endNow();
                        return;
                    case '+':
                        closeFirst = 0;
                        keepWindow = 1;
                        ++readPos;
                        ++count;
                        skip(1);
                        endNow();
                        End();
                        return;
                    case '-':
                        closeFirst = 1;
                        keepWindow = 1;
                        readPos += 2;
                        endNow();
                        typed = total;
                        End();
                        return;
                    case '/':
                        instant = !instant;
                        ++readPos;
                        ++count;
                        skip(1);
                        continue;
                    case 'W': {
                        if (wait > 0) break;
                        size_t pos = readPos + 2;
                        double ms = 0;
                        if (byteAt(pos) == '0' && (byteAt(pos + 1) == 'x' || byteAt(pos + 1) == 'X')) {
                            pos += 2;
                            int digits = 0;
                            for (int d; (d = hexDigit(byteAt(pos))) >= 0; ++pos)
                                if (digits++ < kWaitDigits) ms = ms * 16 + d;
                        } else {
                            const size_t first = pos;
                            while ((byteAt(pos) >= '0' && byteAt(pos) <= '9') || byteAt(pos) == '.') ++pos;
                            char digits[kWaitDigits + 1] = {};
                            std::memcpy(digits, source.data() + first, std::min<size_t>(pos - first, kWaitDigits));
                            ms = std::strtod(digits, nullptr);
                        }
                        // The terminator is one character, a double-byte one included.
                        const uint8_t terminator = byteAt(pos);
                        if (terminator >= 0x80 && byteAt(pos + 1) != 0) pos += 2;
                        else if (terminator != 0) pos += 1;
                        wait = static_cast<int>(std::clamp(std::trunc(ms * 60 * 0.001), 0.0, double(INT_MAX)));
                        ++readPos;
                        ++count;
                        skip(pos - readPos);
                        continue;
                    }
                    case '\\':
                        output += '\\';
                        ++column;
                        ++readPos;
                        ++count;
                        skip(1);
                        continue;
                    case '^':
                        keepWindow = 1;
                        ++readPos;
                        ++count;
                        skip(1);
                        endNow();
                        End();
                        return;
                    case '~':
                        ++readPos;
                        ++count;
                        skip(1);
                        endNow();
                        End();
                        return;
                    default:
                        // The backslash is typed and the character after it is read as usual.
                        output += '\\';
                        ++column;
                        ++readPos;
                        ++count;
                        continue;
                }
                // A second wait met while the first runs: the step ends here
                // and the wait is read again once the first is over.
                break;
            }
            if (c >= 0x80) {
                // A character that would start in the last column moves to
                // the next line whole; a line always takes one character.
                if (column < cols - 1 || column == 0) {
                    output += static_cast<char>(c);
                    ++readPos;
                    ++count;
                    ++column;
                    inDoubleByte = 1;
                } else {
                    column = cols;
                }
                continue;
            }
            output += static_cast<char>(c);
            ++readPos;
            ++count;
            column += (fullWidthDigits && c >= '0' && c <= '9') ? 2 : 1;
        }
    }
    advanceAnime();
    typed = clampInt(int64_t(typed) + int64_t(count));
    if (typed >= total) state = std::max(state, static_cast<int>(kMessagePageWait));
    drawn = static_cast<int>(std::min<size_t>(output.size(), INT_MAX));
    playTypingSound();
}

}  // namespace qf
