#include "platform/sdl/sdl_host.h"

#include "platform/audio/mixer.h"

#include <SDL.h>

#include <atomic>

#include "platform/host_log.h"
#include "platform/sjis.h"

namespace qf {

namespace {

constexpr int kOem102 = 0xE2;
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

    bool init(int refreshOverride, const std::string& logPath, std::string& error) {
        for (int16_t& p : pressedAs_) p = -1;
        if (!logPath.empty() && !log_.open(logPath, error)) return false;
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER | SDL_INIT_TIMER) != 0) {
            error = std::string("cannot open a window: ") + SDL_GetError();
            return false;
        }
        window_ = SDL_CreateWindow("Tov", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, clientW_, clientH_, SDL_WINDOW_HIDDEN);
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
        if (refreshOverride >= 0) refresh_ = refreshOverride;
        epoch_ = SDL_GetPerformanceCounter();
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
        want.callback = [](void* mixer, Uint8* stream, int bytes) {
            static_cast<Mixer*>(mixer)->render(reinterpret_cast<int16_t*>(stream), bytes / (2 * Mixer::kChannels));
        };
        want.userdata = &mixer_;
        return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    }

    SoundDevice& sound() override { return mixer_; }

    uint32_t tickMs() override { return SDL_GetTicks(); }
    void sleepMs(uint32_t ms) override { SDL_Delay(ms); }

    bool waitForVerticalBlank() override {
        // Vertical blanks are taken to fall at multiples of the refresh period from start-up.
        int hz = refresh_ > 0 ? refresh_ : 60;
        uint64_t freq = SDL_GetPerformanceFrequency();
        uint64_t now = SDL_GetPerformanceCounter() - epoch_;
        uint64_t period = freq / static_cast<uint64_t>(hz);
        uint64_t next = (now / period + 1) * period;
        while (true) {
            now = SDL_GetPerformanceCounter() - epoch_;
            if (now >= next) break;
            uint64_t leftMs = (next - now) * 1000 / freq;
            if (leftMs > 1) SDL_Delay(static_cast<uint32_t>(leftMs - 1));
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
        if (!fullscreen_) SDL_SetWindowSize(window_, width, height);
    }

    void setFullscreen(bool on) override {
        fullscreen_ = on;
        if (on) {
            SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
            SDL_RenderSetLogicalSize(renderer_, 640, 480);
        } else {
            SDL_SetWindowFullscreen(window_, 0);
            SDL_RenderSetLogicalSize(renderer_, 0, 0);
            SDL_SetWindowSize(window_, clientW_, clientH_);
            SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        }
    }

    // Asked on the audio thread too, where SDL's window functions may not be
    // called: the flag is read here and refreshed by pumpEvents().
    bool hasFocus() override { return focused_.load(); }

    void present(const uint8_t* bgr, int width, int height, Rect dest) override {
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
                    if (ev.key.repeat) break;
                    const SDL_Scancode sc = ev.key.keysym.scancode;
                    if (sc < 0 || sc >= SDL_NUM_SCANCODES) break;
                    int code = -1;
                    if (ev.type == SDL_KEYDOWN) {
                        code = virtualKeyFromKeysym(ev.key.keysym);
                        if (code < 0) code = virtualKeyFromScancode(sc);
                        pressedAs_[sc] = static_cast<int16_t>(code);
                    } else {
                        // Released as the code it went down as, whatever the layout does meanwhile.
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
                    if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) releaseAllKeys();
                    break;
                default: break;
            }
        }
        // A window not shown yet counts as focused, so the first frames run.
        focused_.store(!shown_ || (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0);
        return PumpResult::Idle;
    }

    int16_t keyState(int virtualKey) override {
        if (virtualKey < 0 || virtualKey > 255) return 0;
        uint8_t k = keys_[virtualKey];
        return static_cast<int16_t>(((k & 0x80) ? 0x8000 : 0) | (k & 1));
    }

    void cursorPosition(int& x, int& y) override {
        int gx = 0, gy = 0, wx = 0, wy = 0;
        SDL_GetGlobalMouseState(&gx, &gy);
        SDL_GetWindowPosition(window_, &wx, &wy);
        x = gx - wx;
        y = gy - wy;
    }

    bool cursorInClient() override {
        int x = 0, y = 0, w = 0, h = 0;
        cursorPosition(x, y);
        SDL_GetWindowSize(window_, &w, &h);
        return x >= 0 && y >= 0 && x < w && y < h;
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
    int clientW_ = 512, clientH_ = 448;
    int refresh_ = 0;
    bool fullscreen_ = false;
    bool shown_ = false;
    std::atomic<bool> focused_{true};
    uint64_t epoch_ = 0;
    uint8_t keys_[256] = {};
    int16_t pressedAs_[SDL_NUM_SCANCODES];  // code each key went down as, -1 while up
    int wheel_ = 0;
    HostLog log_;
};

}  // namespace

std::unique_ptr<Host> createSdlHost(int refreshOverride, const std::string& logPath, std::string& error) {
    auto host = std::make_unique<SdlHost>();
    if (!host->init(refreshOverride, logPath, error)) return nullptr;
    return host;
}

}  // namespace qf
