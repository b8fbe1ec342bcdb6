// Opening, continuing and ending a message, and what the player's keys do.
#include "wnd/message_window.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "audio/audio.h"
#include "gfx/sprites.h"
#include "gfx/text_output.h"
#include "input/input.h"
#include "script/nil.h"
#include "script/variables.h"
#include "wnd/frame.h"
#include "wnd/message_log.h"
#include "wnd/window_table.h"

namespace qf {

namespace {

constexpr int kFrameWidth = 224;
constexpr int kNamePlateMinimumText = 60;

bool isOggName(std::string_view file) {
    const size_t dot = file.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view ext = file.substr(dot + 1);
    return ext.size() == 3 && std::tolower(static_cast<unsigned char>(ext[0])) == 'o' &&
           std::tolower(static_cast<unsigned char>(ext[1])) == 'g' && std::tolower(static_cast<unsigned char>(ext[2])) == 'g';
}

}  // namespace

void MessageWindow::Defaults(int fontHeight) {
    iconX = (kFrameWidth - fontHeight) / 2;
    iconY = 54;
    output.reserve(static_cast<size_t>(maxLines * columns + 1));
    if (!links.looks) return;
    S_Frame& frame = links.looks->frames[kFrameMessage];
    frame.SetRect(16, 152, kFrameWidth, 64);
    frame.SetColour(0, 0, 0, 64);
    S_Frame& plate = links.looks->frames[kFrameNamePlate];
    plate.SetRect(16, 136, 64, 16);
    plate.SetColour(0, 0, 0, 64);
}

int MessageWindow::remaining() const {
    return readPos < source.size() ? static_cast<int>(source.size() - readPos) : 0;
}

void MessageWindow::clearPage() {
    output.clear();
    drawn = 0;
    column = line = 0;
    rubyCount = 0;
}

void MessageWindow::Begin(std::string_view text, std::string_view speaker) {
    if (closeFirst) {
        End();
        closeFirst = 0;
    }
    if (text.size() > kSourceLimit) text = text.substr(0, kSourceLimit);
    if (active) {
        // The read position is an offset, so it survives the source growing.
        const size_t room = kSourceLimit - std::min(source.size(), kSourceLimit);
        source.append(text.substr(0, std::min(text.size(), room)));
        total = typed + remaining();
        if (source.size() + 2 > output.capacity()) output.reserve(source.size() + 2);
    } else {
        source.assign(text);
        clearPage();
        output.reserve(std::max(output.capacity(), source.size() + 2));
        readPos = 0;
        total = static_cast<int>(source.size());
        typed = 0;
        state = kMessageTyping;
        visible = 1;
        instant = skipPage = pageBreakPending = inDoubleByte = 0;
        wait = blink = 0;
    }
    name.assign(speaker);
    S_Frame& plate = links.looks->frames[kFrameNamePlate];
    if (!name.empty()) {
        const int h = FontHeight(*links.text);
        const int64_t width = std::max<int64_t>((int64_t(name.size()) + 1) / 2 * h + 2 * int64_t(nameX),
                                                2 * int64_t(nameX) + kNamePlateMinimumText);
        plate.w = static_cast<int>(std::clamp<int64_t>(width, INT32_MIN, INT32_MAX));
        plate.Show();
    } else {
        plate.Hide();
    }
    for (int sprite : animeSprite)
        if (S_Sprite* s = links.sprites->At(sprite)) s->m_nAnimeCountdown = 0;
    links.windows->Activate(WND_MSG);
    active = 1;
    Input& in = *links.input;
    padClearPulses(in.pad());
    mouseRememberToggles(in.mouse, in.host);
}

void MessageWindow::End() {
    if (!active) return;
    ++endCount;
    state = kMessageTyping;
    inDoubleByte = 0;
    if (spriteFirst >= 0) {
        const int64_t last = std::min<int64_t>(int64_t(spriteFirst) + spriteCount, Sprites::kCount);
        for (int64_t n = spriteFirst; n < last; ++n) links.sprites->m_spr[n].m_nView = 0;
    }
    spriteFirst = -1;
    spriteCount = 1;
    messageSound = kNoMessageSound;
    Audio& audio = *links.audio;
    if (voiceKind == kVoiceOgg) audio.ogg.stopCommand(0);
    if (audio.effects.lastPlayed == kVoiceSlot) audio.effects.stop();
    voiceKind = kVoiceNone;
    if (!keepWindow) {
        if (!output.empty()) MessageLogAdd(*links.log, output);
        active = 0;
        links.windows->Deactivate(WND_MSG);
    } else {
        continueFlag = 0;
        keepWindow = 0;
        links.windows->Activate(WND_DRV);
    }
}

void MessageWindow::Advance() {
    if (!visible) {
        visible = 1;
        return;
    }
    if (state >= kMessagePageWait) {
        // The "!" of a key wait is counted here, when the wait is over.
        if (state == kMessageKeyWait) ++typed;
        state = kMessageTyping;
        blink = 0;
        const bool finished = typed >= total && !pageBreakPending;
        if (!finished || keepWindow) PlayWindowSound(*links.looks, *links.audio, kSoundEnter);
    }
    if (wait > 0) return;
    if (typed < total) skipPage = 1;
    else End();
}

void MessageWindow::SkipAll() {
    const int ends = endCount;
    // Every step moves on by at least one byte or one page break; the bound
    // only guards against a mistake there.
    for (int64_t guard = 4 * (int64_t(source.size()) + 16); typed < total && endCount == ends && guard > 0; --guard) {
        skipPage = 1;
        Step();
        if (state == kMessageKeyWait) ++typed;
        state = kMessageTyping;
        wait = 0;
    }
    if (endCount == ends) End();
}

void MessageWindow::Update() {
    if (!active) return;
    Step();
    Input& in = *links.input;
    const bool leftClick = mouseClicked(in.mouse, in.host, 0) != 0;
    const bool rightClick = mouseClicked(in.mouse, in.host, 1) != 0;
    if (in.first(BTN_A) || in.first(BTN_X) || in.first(BTN_L1) || leftClick) Advance();
    if (in.first(BTN_B)) SkipAll();
    if (in.press(BTN_SEL) || rightClick) MessageLogOpen(*links.log, *links.windows);
    if (in.first(BTN_ST) || in.first(BTN_Y)) ToggleVisible();
    padClearPulses(in.pad());
}

void MessageWindow::PlayVoice(const std::string& file) {
    Audio& audio = *links.audio;
    if (isOggName(file)) {
        audio.ogg.loadCommand(file);
        const int position = audio.ogg.playCommand(kNil, kNil, kNil, kNil, kNil, false);
        links.vars->valSetInt("_offset", position);
        voiceKind = kVoiceOgg;
    } else {
        audio.effects.load(kVoiceSlot, file);
        audio.effects.play(kVoiceSlot);
        voiceKind = kVoiceWave;
    }
}

void MessageWindow::ShowSprites(int first, int count, bool countGiven) {
    spriteFirst = first;
    spriteCount = countGiven && count >= 0 ? count : 1;
    if (S_Sprite* s = links.sprites->At(first)) s->m_nView = 1;
    if (!countGiven || first < 0) return;
    const int64_t last = std::min<int64_t>(int64_t(first) + spriteCount, Sprites::kCount);
    for (int64_t n = int64_t(first) + 1; n < last; ++n) links.sprites->m_spr[n].m_nView = 1;
}

void MessageWindow::SetAnime(int slot, int sprite) {
    if (slot < 0 || slot >= kAnimeSlots) return;
    animeSprite[slot] = sprite;
    // A mark of 10 or more freezes the sprite's own animation: the typing moves it.
    if (S_Sprite* s = links.sprites->At(sprite); s && s->m_nAnimeState < 10) s->m_nAnimeState += 10;
}

void MessageWindow::ClearAnime(int slot) {
    if (slot < 0 || slot >= kAnimeSlots) return;
    if (S_Sprite* s = links.sprites->At(animeSprite[slot]); s && s->m_nAnimeState >= 10) s->m_nAnimeState -= 10;
    animeSprite[slot] = -1;
}

}  // namespace qf
