// Deterministic host for tests and servers: a virtual clock that moves only
// when the engine sleeps or waits for the vertical blank, input from a script
// of timed events, message boxes and debugger lines written to a log.
#pragma once

#include <atomic>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/mixer.h"
#include "platform/audio/wav_writer.h"
#include "platform/host.h"
#include "platform/host_log.h"
#include "platform/input_script.h"

namespace qf {

class HeadlessHost : public Host {
public:
    HeadlessHost();
    ~HeadlessHost() override;

    // Set-up, before the engine starts.
    void setRefreshRate(int hz) { refreshRate_ = hz; }
    bool openLog(const std::string& path, std::string& error) { return log_.open(path, error); }
    void setInputScript(InputScript script) { input_ = std::move(script); }
    // Everything the mixer produces from now on goes to this WAV file, written
    // when finishAudioCapture() is called.
    bool captureAudio(const std::string& path, std::string& error);
    bool finishAudioCapture(std::string& error);

    // Everything reported so far, one entry per line, in the log format.
    std::vector<std::string> logLines() const { return log_.lines(); }
    // The last presented frame (24-bit top-down BGR), empty before the first present.
    const std::vector<uint8_t>& lastFrame() const { return lastFrame_; }
    int lastFrameWidth() const { return lastFrameWidth_; }
    int lastFrameHeight() const { return lastFrameHeight_; }
    uint64_t presentCount() const { return presentCount_; }
    uint64_t verticalBlankWaits() const { return verticalBlankWaits_; }
    uint64_t framesRun() const { return framesRun_; }
    uint64_t clockMicroseconds() const { return clockUs_; }
    const std::string& title() const { return title_; }
    Rect clientSize() const { return {0, 0, clientWidth_, clientHeight_}; }
    bool fullscreen() const { return fullscreen_; }

    // Direct input control for unit tests.
    void setKey(int virtualKey, bool down);
    void setFocus(bool focus) { focus_ = focus; }
    void setCursor(int x, int y) { cursorX_ = x; cursorY_ = y; }
    // Wheel movement waiting to be taken, saturated within the int range.
    void addWheel(int delta) {
        const long long sum = static_cast<long long>(wheel_) + delta;
        wheel_ = static_cast<int>(std::clamp<long long>(sum, INT32_MIN, INT32_MAX));
    }
    void setJoystick(const JoystickState& joy) { joystick_ = joy; }

    // Host
    uint32_t tickMs() override { return static_cast<uint32_t>(clockUs_ / 1000); }
    void sleepMs(uint32_t ms) override;
    bool waitForVerticalBlank() override;
    int refreshRate() override { return refreshRate_; }
    void setTitle(std::string_view sjis) override { title_ = std::string(sjis); }
    void setClientSize(int width, int height) override { clientWidth_ = width; clientHeight_ = height; }
    void setFullscreen(bool on) override { fullscreen_ = on; }
    bool hasFocus() override { return focus_; }
    void present(const uint8_t* bgr, int width, int height, Rect dest) override;
    void showCursor(bool show) override { cursorShown_ = show; }
    PumpResult pumpEvents() override;
    void frameRan() override { ++framesRun_; }
    int16_t keyState(int virtualKey) override;
    void cursorPosition(int& x, int& y) override { x = cursorX_; y = cursorY_; }
    bool cursorInClient() override;
    int takeWheelDelta() override;
    JoystickState joystick() override { return joystick_; }
    void messageBox(std::string_view captionSjis, std::string_view textSjis) override;
    void debugOutput(std::string_view sjis) override;
    SoundDevice& sound() override { return mixer_; }
    Mixer& mixer() { return mixer_; }

private:
    void applyDueEvents();
    // The clock moved from `fromUs`: the mixer plays the milliseconds that passed.
    void advanceSound(uint64_t fromUs);
    void apply(const InputEvent& event);

    Mixer mixer_;
    std::unique_ptr<WavWriter> capture_;
    std::vector<int16_t> captured_;
    int refreshRate_ = 0;
    uint64_t clockUs_ = 0;
    uint64_t verticalBlankWaits_ = 0;
    uint64_t framesRun_ = 0;
    uint64_t presentCount_ = 0;
    InputScript input_;
    size_t nextFrameEvent_ = 0;
    size_t nextTimeEvent_ = 0;
    // Read by hasFocus(), which a sound device may ask from its own thread.
    std::atomic<bool> focus_{true};
    bool fullscreen_ = false;
    bool cursorShown_ = true;
    uint8_t keys_[256] = {};  // bit 7 held, bit 0 toggle
    int cursorX_ = -1, cursorY_ = -1;
    int wheel_ = 0;
    JoystickState joystick_{.present = true};
    std::string title_;
    int clientWidth_ = 512, clientHeight_ = 448;
    std::vector<uint8_t> lastFrame_;
    int lastFrameWidth_ = 0, lastFrameHeight_ = 0;
    HostLog log_;
};

}  // namespace qf
