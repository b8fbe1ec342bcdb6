#include "platform/sdl/sdl_host.h"

#include "platform/audio/mixer.h"

#include <SDL.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/host_log.h"
#include "platform/png_io.h"
#include "platform/sjis.h"

namespace qf {

namespace {

constexpr int kOem102 = 0xE2;
// Holding Tab runs the game this many times as fast (clock, frames and sound).
constexpr int kFastForward = 4;
// The logical screen of the game's full-screen mode.
constexpr int kFullscreenWidth = 640, kFullscreenHeight = 480;
// Marks a key whose press the player's shortcuts took: its release is theirs too.
constexpr int16_t kSwallowed = -2;

// Creates every missing directory of an absolute path.
bool makeDirectories(const std::string& path) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/') continue;
        if (::mkdir(path.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}
// Stick positions this close to the centre report the centre, as a
// calibrated joystick driver does.
constexpr int kStickDeadZone = 8000;

// Win32 gives letters and digits the code of the character the key types in
// the active layout; the other keys keep their place on the board.
int virtualKeyFromKeysym(const SDL_Keysym& key) {
    const SDL_Keycode k = key.sym;
    if (k >= SDLK_a && k <= SDLK_z) return vk::KEY_A + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return vk::KEY_0 + (k - SDLK_0);
    return -1;
}

int virtualKeyFromScancode(SDL_Scancode s) {
    if (s >= SDL_SCANCODE_A && s <= SDL_SCANCODE_Z) return vk::KEY_A + (s - SDL_SCANCODE_A);
    if (s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_9) return '1' + (s - SDL_SCANCODE_1);
    if (s == SDL_SCANCODE_0) return '0';
    if (s >= SDL_SCANCODE_F1 && s <= SDL_SCANCODE_F12) return vk::F1 + (s - SDL_SCANCODE_F1);
    if (s >= SDL_SCANCODE_KP_1 && s <= SDL_SCANCODE_KP_9) return vk::NUMPAD0 + 1 + (s - SDL_SCANCODE_KP_1);
    switch (s) {
        case SDL_SCANCODE_KP_0: return vk::NUMPAD0;
        case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return vk::RETURN;
        case SDL_SCANCODE_ESCAPE: return vk::ESCAPE;
        case SDL_SCANCODE_BACKSPACE: return vk::BACK;
        case SDL_SCANCODE_TAB: return vk::TAB;
        case SDL_SCANCODE_SPACE: return vk::SPACE;
        case SDL_SCANCODE_LEFT: return vk::LEFT;
        case SDL_SCANCODE_RIGHT: return vk::RIGHT;
        case SDL_SCANCODE_UP: return vk::UP;
        case SDL_SCANCODE_DOWN: return vk::DOWN;
        case SDL_SCANCODE_INSERT: return vk::INSERT;
        case SDL_SCANCODE_DELETE: return vk::DELETE_;
        case SDL_SCANCODE_HOME: return vk::HOME;
        case SDL_SCANCODE_END: return vk::END;
        case SDL_SCANCODE_PAGEUP: return vk::PRIOR;
        case SDL_SCANCODE_PAGEDOWN: return vk::NEXT;
        case SDL_SCANCODE_LSHIFT: return vk::LSHIFT;
        case SDL_SCANCODE_RSHIFT: return vk::RSHIFT;
        case SDL_SCANCODE_LCTRL: return vk::LCONTROL;
        case SDL_SCANCODE_RCTRL: return vk::RCONTROL;
        case SDL_SCANCODE_LALT: return vk::LMENU;
        case SDL_SCANCODE_RALT: return vk::RMENU;
        // The OEM keys as a US board names them.
        case SDL_SCANCODE_SEMICOLON: return vk::OEM_1;
        case SDL_SCANCODE_EQUALS: return vk::OEM_PLUS;
        case SDL_SCANCODE_COMMA: return vk::OEM_COMMA;
        case SDL_SCANCODE_MINUS: return vk::OEM_MINUS;
        case SDL_SCANCODE_PERIOD: return vk::OEM_PERIOD;
        case SDL_SCANCODE_SLASH: return vk::OEM_2;
        case SDL_SCANCODE_GRAVE: return vk::OEM_3;
        case SDL_SCANCODE_LEFTBRACKET: return vk::OEM_4;
        case SDL_SCANCODE_BACKSLASH: return vk::OEM_5;
        case SDL_SCANCODE_RIGHTBRACKET: return vk::OEM_6;
        case SDL_SCANCODE_APOSTROPHE: return vk::OEM_7;
        case SDL_SCANCODE_INTERNATIONAL3: return vk::OEM_5;
        case SDL_SCANCODE_NONUSBACKSLASH: case SDL_SCANCODE_INTERNATIONAL1: return kOem102;
        default: return -1;
    }
}

class SdlHost : public Host {
public:
    ~SdlHost() override {
        if (audioDevice_) SDL_CloseAudioDevice(audioDevice_);
        if (dummyAudio_) SDL_AudioQuit();
        if (controller_) SDL_GameControllerClose(controller_);
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        SDL_Quit();
    }

    bool init(const SdlOptions& options, std::string& error) {
        for (int16_t& p : pressedAs_) p = -1;
        if (!options.logPath.empty() && !log_.open(options.logPath, error)) return false;
        scale_ = options.zoomPercent > 0 ? options.zoomPercent / double(kGameZoomPercent) : 1.0;
        playerFullscreen_ = options.fullscreen;
        screenshotDir_ = options.screenshotDir;
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER | SDL_INIT_TIMER) != 0) {
            error = std::string("cannot open a window: ") + SDL_GetError();
            return false;
        }
        window_ = SDL_CreateWindow("Tov", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, scaled(clientW_), scaled(clientH_),
                                   SDL_WINDOW_HIDDEN);
        if (!window_) {
            error = std::string("cannot create the window: ") + SDL_GetError();
            return false;
        }
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_) {
            error = std::string("cannot create a renderer: ") + SDL_GetError();
            return false;
        }
        SDL_DisplayMode mode;
        refresh_ = SDL_GetCurrentDisplayMode(0, &mode) == 0 ? mode.refresh_rate : 0;
        if (options.refreshOverride >= 0) refresh_ = options.refreshOverride;
        const char* video = SDL_GetCurrentVideoDriver();
        // No window manager hands out the focus there.
        alwaysFocused_ = video != nullptr && SDL_strcmp(video, "dummy") == 0;
        counterHz_ = SDL_GetPerformanceFrequency();
        lastCounter_ = SDL_GetPerformanceCounter();
        setIcon(options.iconFiles);
        applyWindow();
        SDL_StopTextInput();  // no input method
        openController();
        openAudio();
        return true;
    }

    // No sound device means a silent game with one debug line saying so. The
    // mixer then runs on SDL's dummy driver, unheard, so blocks still complete
    // in time and nothing waits for a sound forever.
    void openAudio() {
        std::string silence;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            silence = std::string("no sound driver (") + SDL_GetError() + ")";
        } else {
            const char* driver = SDL_GetCurrentAudioDriver();
            if (driver != nullptr && SDL_strcmp(driver, "dummy") == 0) silence = "the dummy sound driver";
            audioDevice_ = openAudioDevice();
            if (!audioDevice_) {
                if (silence.empty()) silence = std::string("no sound device (") + SDL_GetError() + ")";
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
            }
        }
        if (!audioDevice_ && SDL_AudioInit("dummy") == 0) {
            dummyAudio_ = true;
            audioDevice_ = openAudioDevice();
        }
        if (audioDevice_) SDL_PauseAudioDevice(audioDevice_, 0);
        if (!silence.empty()) log_.debugLine("sound: " + silence + "; the game plays without sound");
    }

    SDL_AudioDeviceID openAudioDevice() {
        SDL_AudioSpec want{}, have{};
        want.freq = Mixer::kRate;
        want.format = AUDIO_S16SYS;
        want.channels = Mixer::kChannels;
        want.samples = 1024;
        want.callback = [](void* host, Uint8* stream, int bytes) {
            static_cast<SdlHost*>(host)->renderSound(reinterpret_cast<int16_t*>(stream), bytes / (2 * Mixer::kChannels));
        };
        want.userdata = this;
        return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    }

    SoundDevice& sound() override { return mixer_; }

    // While Tab is held the sound plays as fast as the game runs: each output
    // frame is the mean of `speed` mixed frames.
    void renderSound(int16_t* out, int frames) {
        const int speed = speed_.load();
        if (speed <= 1) {
            mixer_.render(out, frames);
            return;
        }
        const size_t need = static_cast<size_t>(frames) * speed * Mixer::kChannels;
        if (fastMix_.size() < need) fastMix_.resize(need);
        mixer_.render(fastMix_.data(), frames * speed);
        for (int f = 0; f < frames; ++f) {
            for (int ch = 0; ch < Mixer::kChannels; ++ch) {
                int sum = 0;
                for (int k = 0; k < speed; ++k) sum += fastMix_[(static_cast<size_t>(f) * speed + k) * Mixer::kChannels + ch];
                out[f * Mixer::kChannels + ch] = static_cast<int16_t>(sum / speed);
            }
        }
    }

    // The game's clock: real time, running kFastForward times as fast while
    // Tab is held, so that everything the game measures looks as usual.
    uint32_t tickMs() override {
        const uint64_t t = gameCounter();
        return static_cast<uint32_t>((t / counterHz_) * 1000 + (t % counterHz_) * 1000 / counterHz_);
    }

    void sleepMs(uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::microseconds(uint64_t(ms) * 1000 / static_cast<uint64_t>(speed_.load())));
    }

    bool waitForVerticalBlank() override {
        // Vertical blanks are taken to fall at multiples of the refresh period
        // of the game's clock from start-up.
        const uint64_t hz = static_cast<uint64_t>(refresh_ > 0 ? refresh_ : 60);
        const uint64_t period = counterHz_ / hz;
        const uint64_t next = (gameCounter() / period + 1) * period;
        while (true) {
            const uint64_t now = gameCounter();
            if (now >= next) break;
            const uint64_t leftUs = (next - now) * 1000000 / counterHz_ / static_cast<uint64_t>(speed_.load());
            if (leftUs > 1000) std::this_thread::sleep_for(std::chrono::microseconds(leftUs - 1000));
        }
        return true;
    }

    int refreshRate() override { return refresh_; }

    void setTitle(std::string_view sjis) override {
        SDL_SetWindowTitle(window_, sjisToUtf8(sjis).c_str());
    }

    void setClientSize(int width, int height) override {
        clientW_ = width;
        clientH_ = height;
        applyWindow();
    }

    void setFullscreen(bool on) override {
        gameFullscreen_ = on;
        applyWindow();
    }

    // Asked on the audio thread too, where SDL's window functions may not be
    // called: the flag is read here and refreshed by pumpEvents().
    bool hasFocus() override { return focused_.load(); }

    void present(const uint8_t* bgr, int width, int height, Rect dest) override {
        lastFrame_.assign(bgr, bgr + static_cast<size_t>(width) * height * 3);
        lastFrameW_ = width;
        lastFrameH_ = height;
        if (!shown_) {
            SDL_ShowWindow(window_);
            SDL_RaiseWindow(window_);
            shown_ = true;
        }
        if (!texture_ || texW_ != width || texH_ != height) {
            if (texture_) SDL_DestroyTexture(texture_);
            texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STREAMING, width, height);
            texW_ = width;
            texH_ = height;
        }
        if (!texture_) return;
        SDL_UpdateTexture(texture_, nullptr, bgr, width * 3);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_Rect d{dest.x, dest.y, dest.w, dest.h};
        SDL_RenderCopy(renderer_, texture_, nullptr, &d);
        SDL_RenderPresent(renderer_);
    }

    void showCursor(bool show) override { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

    PumpResult pumpEvents() override {
        SDL_Event ev;
        while (SDL_PollEvent(&ev)) {
            switch (ev.type) {
                case SDL_QUIT: return PumpResult::Closed;
                case SDL_KEYDOWN:
                case SDL_KEYUP: {
                    const SDL_Scancode sc = ev.key.keysym.scancode;
                    if (sc < 0 || sc >= SDL_NUM_SCANCODES) break;
                    if (playerKey(ev.key)) break;
                    if (ev.key.repeat) break;
                    int code = -1;
                    if (ev.type == SDL_KEYDOWN) {
                        code = virtualKeyFromKeysym(ev.key.keysym);
                        if (code < 0) code = virtualKeyFromScancode(sc);
                        pressedAs_[sc] = static_cast<int16_t>(code);
                    } else {
                        // Released as the code it went down as, whatever the layout does meanwhile.
                        if (pressedAs_[sc] == kSwallowed) {
                            pressedAs_[sc] = -1;
                            break;
                        }
                        code = pressedAs_[sc] >= 0 ? pressedAs_[sc] : virtualKeyFromScancode(sc);
                        pressedAs_[sc] = -1;
                    }
                    if (code >= 0) setKey(code, ev.type == SDL_KEYDOWN);
                    break;
                }
                case SDL_MOUSEBUTTONDOWN:
                case SDL_MOUSEBUTTONUP: {
                    int code = ev.button.button == SDL_BUTTON_LEFT ? vk::LBUTTON
                             : ev.button.button == SDL_BUTTON_RIGHT ? vk::RBUTTON
                             : ev.button.button == SDL_BUTTON_MIDDLE ? vk::MBUTTON : -1;
                    if (code >= 0) setKey(code, ev.type == SDL_MOUSEBUTTONDOWN);
                    break;
                }
                case SDL_MOUSEWHEEL: {
                    int y = ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -ev.wheel.y : ev.wheel.y;
                    wheel_ += 120 * y;
                    break;
                }
                case SDL_CONTROLLERDEVICEADDED:
                    if (!controller_) openController();
                    break;
                case SDL_CONTROLLERDEVICEREMOVED:
                    if (controller_ && ev.cdevice.which == SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller_))) {
                        SDL_GameControllerClose(controller_);
                        controller_ = nullptr;
                        openController();
                    }
                    break;
                case SDL_WINDOWEVENT:
                    if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                        releaseAllKeys();
                        setSpeed(1);
                    }
                    break;
                default: break;
            }
        }
        // A window not shown yet counts as focused, so the first frames run.
        focused_.store(!shown_ || alwaysFocused_ || (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0);
        return PumpResult::Idle;
    }

    int16_t keyState(int virtualKey) override {
        if (virtualKey < 0 || virtualKey > 255) return 0;
        uint8_t k = keys_[virtualKey];
        return static_cast<int16_t>(((k & 0x80) ? 0x8000 : 0) | (k & 1));
    }

    // In pixels of the window the game asked for, whatever the player's zoom
    // or full screen make of it.
    void cursorPosition(int& x, int& y) override {
        int gx = 0, gy = 0, wx = 0, wy = 0;
        SDL_GetGlobalMouseState(&gx, &gy);
        SDL_GetWindowPosition(window_, &wx, &wy);
        float lx = 0, ly = 0;
        SDL_RenderWindowToLogical(renderer_, gx - wx, gy - wy, &lx, &ly);
        x = static_cast<int>(std::floor(lx));
        y = static_cast<int>(std::floor(ly));
    }

    bool cursorInClient() override {
        int x = 0, y = 0;
        cursorPosition(x, y);
        return x >= 0 && y >= 0 && x < logicalW() && y < logicalH();
    }

    int takeWheelDelta() override {
        int d = wheel_;
        wheel_ = 0;
        return d;
    }

    JoystickState joystick() override {
        // Device 0 always exists; without a controller it rests, holding nothing.
        JoystickState j;
        j.present = true;
        if (!controller_) return j;
        auto axis = [&](SDL_GameControllerAxis a, SDL_GameControllerButton minus, SDL_GameControllerButton plus) {
            const int raw = SDL_GameControllerGetAxis(controller_, a);
            // The resting stick reports 32767, which holds no direction.
            int v = raw > -kStickDeadZone && raw < kStickDeadZone ? 32767 : 32767 + raw;
            if (SDL_GameControllerGetButton(controller_, minus)) v = 0;
            if (SDL_GameControllerGetButton(controller_, plus)) v = 65535;
            return static_cast<uint32_t>(v < 0 ? 0 : v > 65535 ? 65535 : v);
        };
        j.x = axis(SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        j.y = axis(SDL_CONTROLLER_AXIS_LEFTY, SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
        static constexpr SDL_GameControllerButton kButtons[8] = {
            SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y,
            SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, SDL_CONTROLLER_BUTTON_BACK,
            SDL_CONTROLLER_BUTTON_START};
        for (int i = 0; i < 8; ++i)
            if (SDL_GameControllerGetButton(controller_, kButtons[i])) j.buttons |= 1u << i;
        return j;
    }

    void messageBox(std::string_view captionSjis, std::string_view textSjis) override {
        log_.messageBox(captionSjis, textSjis);
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, sjisToUtf8(captionSjis).c_str(), sjisToUtf8(textSjis).c_str(), window_);
        // The box swallowed the key releases: start from a clean keyboard.
        releaseAllKeys();
    }

    void debugOutput(std::string_view sjis) override { log_.debugLine(sjis); }

private:
    int scaled(int size) const { return std::max(1, static_cast<int>(std::lround(size * scale_))); }
    int logicalW() const { return gameFullscreen_ ? kFullscreenWidth : clientW_; }
    int logicalH() const { return gameFullscreen_ ? kFullscreenHeight : clientH_; }

    // The window as the game and the player want it: full screen when either
    // asks; otherwise the game's size scaled by the player's zoom. The game
    // draws into its own size, which SDL scales to the window.
    void applyWindow() {
        const bool full = gameFullscreen_ || playerFullscreen_;
        if (full) {
            SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
        } else {
            const bool wasFull = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
            SDL_SetWindowFullscreen(window_, 0);
            SDL_SetWindowSize(window_, scaled(logicalW()), scaled(logicalH()));
            if (wasFull) SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        }
        SDL_RenderSetLogicalSize(renderer_, logicalW(), logicalH());
        const std::string state = full ? "window: full screen"
                                       : "window: " + std::to_string(scaled(logicalW())) + "x" + std::to_string(scaled(logicalH()));
        if (state != windowState_) log_.debugLine(state);
        windowState_ = state;
    }

    // Tab, F12 and Alt+Enter belong to the player: true when the event was
    // one of them, which the game then never sees.
    bool playerKey(const SDL_KeyboardEvent& key) {
        const SDL_Scancode sc = key.keysym.scancode;
        const bool down = key.type == SDL_KEYDOWN;
        if (sc == SDL_SCANCODE_TAB) {
            setSpeed(down ? kFastForward : 1);
            return true;
        }
        if (sc == SDL_SCANCODE_F12) {
            if (down && !key.repeat) saveScreenshot();
            return true;
        }
        if (down && (sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER) && (key.keysym.mod & KMOD_ALT)) {
            if (!key.repeat) {
                playerFullscreen_ = !playerFullscreen_;
                applyWindow();
            }
            pressedAs_[sc] = kSwallowed;
            return true;
        }
        return false;
    }

    // The game's clock in performance-counter units.
    uint64_t gameCounter() {
        std::lock_guard<std::mutex> guard(clockLock_);
        const uint64_t now = SDL_GetPerformanceCounter();
        gameCounter_ += (now - lastCounter_) * static_cast<uint64_t>(speed_.load());
        lastCounter_ = now;
        return gameCounter_;
    }

    void setSpeed(int speed) {
        if (speed == speed_.load()) return;
        gameCounter();  // the time so far runs at the old speed
        speed_.store(speed);
    }

    void saveScreenshot() {
        if (lastFrame_.empty()) return;
        if (screenshotDir_.empty() || !makeDirectories(screenshotDir_)) {
            log_.debugLine("screenshot: no directory to save it in");
            return;
        }
        char stamp[32];
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        std::string path;
        struct stat st {};
        for (int n = 0; n < 1000; ++n) {
            path = screenshotDir_ + "/quillfen-" + stamp + (n ? "-" + std::to_string(n) : std::string()) + ".png";
            if (::stat(path.c_str(), &st) != 0) break;
        }
        if (writePngBgr(path, lastFrame_.data(), lastFrameW_, lastFrameH_)) log_.debugLine("screenshot: " + path);
        else log_.debugLine("screenshot: cannot write " + path);
    }

    void setIcon(const std::vector<std::string>& files) {
        for (const std::string& file : files) {
            std::vector<uint8_t> bgr;
            int w = 0, h = 0;
            if (!readPngBgr(file, bgr, w, h)) continue;
            SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(bgr.data(), w, h, 24, w * 3, SDL_PIXELFORMAT_BGR24);
            if (!icon) continue;
            // The picture's transparent corners read as black.
            SDL_SetColorKey(icon, SDL_TRUE, SDL_MapRGB(icon->format, 0, 0, 0));
            SDL_SetWindowIcon(window_, icon);
            SDL_FreeSurface(icon);
            return;
        }
    }

    void openController() {
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_IsGameController(i)) {
                controller_ = SDL_GameControllerOpen(i);
                if (controller_) return;
            }
        }
    }

    // Every key up; the toggle states stay, as they do on Windows.
    void releaseAllKeys() {
        for (uint8_t& k : keys_) k &= 1;
        for (int16_t& p : pressedAs_) p = -1;
    }

    void setKey(int code, bool down) {
        uint8_t& k = keys_[code];
        if (down) {
            if (!(k & 0x80)) k ^= 1;
            k |= 0x80;
        } else {
            k &= static_cast<uint8_t>(~0x80);
        }
        auto mirror = [&](int generic, int left, int right) {
            if (code == left || code == right) {
                bool held = (keys_[left] & 0x80) || (keys_[right] & 0x80);
                keys_[generic] = static_cast<uint8_t>((keys_[generic] & 1) | (held ? 0x80 : 0));
            }
        };
        mirror(vk::SHIFT, vk::LSHIFT, vk::RSHIFT);
        mirror(vk::CONTROL, vk::LCONTROL, vk::RCONTROL);
        mirror(vk::MENU, vk::LMENU, vk::RMENU);
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_GameController* controller_ = nullptr;
    Mixer mixer_;
    SDL_AudioDeviceID audioDevice_ = 0;
    bool dummyAudio_ = false;  // the audio core started by hand on the dummy driver
    int texW_ = 0, texH_ = 0;
    int clientW_ = 512, clientH_ = 448;  // the client size the game asked for
    int refresh_ = 0;
    double scale_ = 1.0;            // the player's zoom over the game's
    bool gameFullscreen_ = false;   // the game's own screen mode
    bool playerFullscreen_ = false; // --fullscreen, Alt+Enter
    std::string windowState_;
    bool shown_ = false;
    bool alwaysFocused_ = false;
    std::atomic<bool> focused_{true};
    std::atomic<int> speed_{1};
    std::mutex clockLock_;
    uint64_t counterHz_ = 1;
    uint64_t lastCounter_ = 0;
    uint64_t gameCounter_ = 0;
    std::vector<int16_t> fastMix_;  // the audio thread's
    std::vector<uint8_t> lastFrame_;
    int lastFrameW_ = 0, lastFrameH_ = 0;
    std::string screenshotDir_;
    uint8_t keys_[256] = {};
    int16_t pressedAs_[SDL_NUM_SCANCODES];  // code each key went down as, -1 while up
    int wheel_ = 0;
    HostLog log_;
};

}  // namespace

std::unique_ptr<Host> createSdlHost(const SdlOptions& options, std::string& error) {
    auto host = std::make_unique<SdlHost>();
    if (!host->init(options, error)) return nullptr;
    return host;
}

}  // namespace qf
