// The message window: story text typed out a few characters a frame into a
// box of lines and columns under a name plate, with inline codes for waits,
// key waits, variable values, ruby, a heart and the window's continuation.
// While a message shows, the window is the focus window, so the script waits
// until the player has read it; when it closes it goes to the message log.
//
// Inline codes, each after a backslash: "H" a heart, "!" wait for a key,
// "W" and milliseconds ("W500;", "W0x1F4;") a timed pause, "/" instant
// typing on or off, "+" / "-" / "^" end here keeping the text on screen while
// the script runs on (the next message continues it, or with "-" replaces
// it), "~" end here, "\" a backslash. "$name" types a variable's value and
// "<reading>" puts ruby over the character before it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qf {

class Audio;
class Rpn;
class Variables;
struct Input;
struct MessageLog;
struct Sprites;
struct TextState;
struct WindowLooks;
struct WindowTable;

// One ruby reading, placed when it is met in the text.
struct S_Ruby {
    static constexpr int kShownBytes = 10;  // longer readings are not shown
    char text[kShownBytes + 1] = {};
    int x = 0, y = 0, width = 0, length = 0;
};

enum MessageState { kMessageTyping = 0, kMessagePageWait = 1, kMessageKeyWait = 2 };
enum MessageVoice { kVoiceNone = -1, kVoiceWave = 31, kVoiceOgg = 32 };

// What the window works with; bound once by the engine.
struct MessageLinks {
    TextState* text = nullptr;
    WindowTable* windows = nullptr;
    WindowLooks* looks = nullptr;  // the message and name plate frames, the window sounds
    MessageLog* log = nullptr;
    Sprites* sprites = nullptr;
    Audio* audio = nullptr;
    Input* input = nullptr;
    Variables* vars = nullptr;
    Rpn* rpn = nullptr;
};

struct MessageWindow {
    static constexpr int kRubyCapacity = 64;
    static constexpr int kAnimeSlots = 4;
    static constexpr int kVoiceSlot = 31;
    static constexpr int kNoMessageSound = -2;
    // Beyond this a continued text is cut: the counts stay far from overflow.
    static constexpr size_t kSourceLimit = size_t(1) << 24;

    // --- settings
    int maxLines = 4;
    int columns = 40;    // half-width units
    int speed = 2;       // source bytes a frame
    int textX = 8, textY = 14;  // inside the message frame
    int nameX = 8, nameY = 3;   // inside the name plate
    int frameOn = 1;
    int iconSprite = -1;        // -1: the "▼" glyph
    int iconX = 0, iconY = 54;  // inside the frame; negative: after the text
    int typingSound = -1;       // sound-effect slot, negative none
    int messageSound = kNoMessageSound;  // this message's slot, -2 none
    int animeSprite[kAnimeSlots] = {-1, -1, -1, -1};
    int animeSlot = 0;
    int rubyHeight = 6;

    // --- the message
    std::string source;  // Shift-JIS
    std::string output;  // what is typed on this page, ends at the write position
    std::string name;
    size_t readPos = 0;
    // Bytes: total − typed is what remains of the source.
    int total = 0, typed = 0, drawn = 0;
    int column = 0, line = 0;
    int state = kMessageTyping;
    int active = 0, visible = 1, instant = 0, skipPage = 0, pageBreakPending = 0, inDoubleByte = 0;
    int wait = 0, blink = 0, soundCounter = 0;
    int continueFlag = 0, keepWindow = 0, closeFirst = 0;
    int voiceKind = kVoiceNone;
    int spriteFirst = -1, spriteCount = 1;
    S_Ruby ruby[kRubyCapacity];
    int rubyCount = 0;
    int endCount = 0;  // End() calls that did something

    MessageLinks links;

    // Default positions that depend on the font height in force at start-up.
    void Defaults(int fontHeight);

    // A new message, or the continuation of the one still open.
    void Begin(std::string_view text, std::string_view speaker);
    void End();
    // One frame of typing.
    void Step();
    // The window table's callbacks.
    void Update();
    void Draw();
    // What the player's keys do.
    void Advance();
    void SkipAll();
    void ToggleVisible() { visible = !visible; }

    // Voice of "#msg": a WAV file into the voice slot and played, or an Ogg
    // file through the music stream.
    void PlayVoice(const std::string& file);
    // Sprites first .. first + count − 1 are shown until the message ends.
    void ShowSprites(int first, int count, bool countGiven);
    // Animation slots: "#msgAnime", "#msgAnimeDel".
    void SetAnime(int slot, int sprite);
    void ClearAnime(int slot);

private:
    int remaining() const;
    void clearPage();
    void advanceAnime();
    void resetAnimeFrame();
    void playTypingSound();
    bool typeValue(size_t& count);
    void addRuby(std::string_view reading);
};

}  // namespace qf
