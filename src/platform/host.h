// The one interface the engine sees of the operating system: clock, window,
// input, message boxes, debugger output, sound, text and dynamic libraries.
// Two implementations exist: the SDL2 window (sdl/) and the deterministic
// headless stand-in (headless/). Every text crossing this interface is
// Shift-JIS, exactly as the engine holds it; a backend converts at its edge.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qf {

class SoundDevice;

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect&) const = default;
};

// Win32 virtual-key codes the engine refers to by name.
namespace vk {
constexpr int LBUTTON = 0x01, RBUTTON = 0x02, MBUTTON = 0x04;
constexpr int BACK = 0x08, TAB = 0x09, RETURN = 0x0D, SHIFT = 0x10, CONTROL = 0x11, MENU = 0x12;
constexpr int ESCAPE = 0x1B, SPACE = 0x20, PRIOR = 0x21, NEXT = 0x22, END = 0x23, HOME = 0x24;
constexpr int LEFT = 0x25, UP = 0x26, RIGHT = 0x27, DOWN = 0x28, INSERT = 0x2D, DELETE_ = 0x2E;
constexpr int KEY_0 = 0x30, KEY_A = 0x41;
constexpr int NUMPAD0 = 0x60, F1 = 0x70;
constexpr int LSHIFT = 0xA0, RSHIFT = 0xA1, LCONTROL = 0xA2, RCONTROL = 0xA3, LMENU = 0xA4, RMENU = 0xA5;
constexpr int OEM_1 = 0xBA, OEM_PLUS = 0xBB, OEM_COMMA = 0xBC, OEM_MINUS = 0xBD, OEM_PERIOD = 0xBE;
constexpr int OEM_2 = 0xBF, OEM_3 = 0xC0, OEM_4 = 0xDB, OEM_5 = 0xDC, OEM_6 = 0xDD, OEM_7 = 0xDE;
}  // namespace vk

// Joystick as the multimedia joystick API reports it: axes 0..65535, centre
// near 32767, buttons as bits (button 1 = bit 0).
struct JoystickState {
    bool present = false;
    uint32_t x = 32767, y = 32767;
    uint32_t buttons = 0;
};

// What a pass of the message loop found.
enum class PumpResult {
    Idle,     // nothing special: run a frame tick
    Closed,   // the window was closed (WM_DESTROY): shut down and end the process
};

// PCM output stream in the wave-out shape: the backend asks for the next block
// through the callback on its own thread.
struct PcmFormat {
    int sampleRate = 44100;
    int channels = 2;
    int bitsPerSample = 16;
};

// A font as a Win32 LOGFONT describes it. A positive height is the character
// cell (ascent plus descent), a negative one the em size, 0 the default size.
struct FontDescription {
    int height = 10;
    int width = 0;          // 0: the face's natural width
    int escapement = 0, orientation = 0;
    int weight = 400;       // 400 normal, 700 bold
    bool italic = false, underline = false, strikeOut = false;
    int charset = 128;      // SHIFTJIS_CHARSET; a "symbol" face reads bytes in the Symbol encoding
    int outPrecision = 0, clipPrecision = 0, quality = 0;
    int pitchAndFamily = 1; // FIXED_PITCH
    std::string faceSjis;   // face name, Shift-JIS
};

// A 24-bit top-down blue-green-red pixel buffer the host may draw into.
struct PixelTarget {
    uint8_t* bits = nullptr;
    int width = 0, height = 0;
    int stride = 0;  // bytes per row
};

class Font {
public:
    virtual ~Font() = default;
    // Draws a Shift-JIS string with its top-left corner at (x, y), colour as R | G << 8 | B << 16.
    virtual void draw(PixelTarget& target, int x, int y, std::string_view sjis, uint32_t colour) = 0;
    // Advance width of a Shift-JIS string.
    virtual int measure(std::string_view sjis) = 0;
};

// What a backend provides, in three parts: the clock, the window (with its
// message loop and failure reports) and the input devices.
class HostClock {
public:
    virtual ~HostClock() = default;
    // --- clock
    virtual uint32_t tickMs() = 0;                 // timeGetTime
    virtual void sleepMs(uint32_t ms) = 0;
    virtual bool waitForVerticalBlank() = 0;       // false: the wait failed
    virtual int refreshRate() = 0;                 // Hz; 60 selects the vertical-blank path
};

class HostWindow {
public:
    virtual ~HostWindow() = default;
    // --- window
    virtual void setTitle(std::string_view sjis) = 0;
    virtual void setClientSize(int width, int height) = 0;
    virtual void setFullscreen(bool on) = 0;
    virtual bool hasFocus() = 0;
    // Shows a width × height 24-bit top-down BGR frame scaled into `dest` of the client area.
    virtual void present(const uint8_t* bgr, int width, int height, Rect dest) = 0;
    virtual void showCursor(bool show) = 0;
    // One pass of the message loop: processes what is pending.
    virtual PumpResult pumpEvents() = 0;
    // The frame loop tells the host each time a frame has run (the headless
    // input script counts frames by it).
    virtual void frameRan() {}

    // --- failure reports
    // Blocks until dismissed (the headless host logs it and returns at once).
    virtual void messageBox(std::string_view captionSjis, std::string_view textSjis) = 0;
    virtual void debugOutput(std::string_view sjis) = 0;
};

class HostInput {
public:
    virtual ~HostInput() = default;
    // --- input
    // GetKeyState: bit 15 (negative) while held, bit 0 the toggle state.
    virtual int16_t keyState(int virtualKey) = 0;
    // Cursor in client pixels; may lie outside the client area.
    virtual void cursorPosition(int& x, int& y) = 0;
    virtual bool cursorInClient() = 0;
    // Wheel movement since the last call, in Windows units (120 a notch away from the user).
    virtual int takeWheelDelta() = 0;
    virtual JoystickState joystick() = 0;
};

// The host as the engine holds it: a backend's clock, window and input, the
// sound device, and the services both backends share (FreeType text, dynamic
// libraries).
class Host : public HostClock, public HostWindow, public HostInput {
public:
    // --- sound: one device for the whole run (both backends mix with the same mixer)
    virtual SoundDevice& sound() = 0;

    // --- text (both hosts draw text with FreeType)
    virtual std::unique_ptr<Font> createFont(const FontDescription& description);
    // Makes a font file from memory available under its family names (every
    // language's); a handle above 0, or 0 when the data is no font.
    virtual int installPrivateFont(const uint8_t* data, size_t size);
    // Fonts already made from it keep working; new ones no longer find it.
    virtual void removePrivateFont(int handle);

    // --- dynamic libraries
    virtual void* loadLibrary(std::string_view path);
    virtual void* findSymbol(void* library, std::string_view name);
    virtual void freeLibrary(void* library);

private:
    std::shared_ptr<class FreeTypeText> text_;
};

}  // namespace qf
