#include "gfx/display.h"

#include <cstdlib>

#include "script/nil.h"

namespace qf {

namespace {
constexpr int kFullscreenWidth = 640, kFullscreenHeight = 480;
}  // namespace

void Display::CreateScreen(int w, int h) {
    if (w != kNil) width = w;
    if (h != kNil) height = h;
    if (width < 1) width = 1;
    if (height < 1) height = 1;
    backBuffer.assign(static_cast<size_t>(width) * height * 3, 0);
}

Rect Display::WindowClientSize() const { return {0, 0, width * zoom / 100, height * zoom / 100}; }

Rect Display::FramedWindowSize() const {
    return {0, 0, static_cast<int>(width * zoom * 0.01 + 6), static_cast<int>(height * zoom * 0.01 + 32)};
}

void Display::SetScreenMode(int mode) {
    int target;
    if (mode == -1) {
        toggleState = toggleState ? 0 : 1;
        target = toggleState;
    } else if (mode == 0 || mode == 1) {
        target = mode;
    } else {
        return;
    }
    if (target == 1 && !fullscreen) {
        host.setFullscreen(true);
        fullscreen = 1;
    } else if (target == 0 && fullscreen) {
        host.setFullscreen(false);
        host.setClientSize(WindowClientSize().w, WindowClientSize().h);
        fullscreen = 0;
    }
}

void Display::ScreenCommand(int w, int h, int zoomPercent, int mode, bool modeGiven) {
    if (zoomPercent != kNil) SetZoom(zoomPercent);
    CreateScreen(w, h);
    // On Linux the window manager draws the frame: the client area is the zoomed screen.
    if (!fullscreen) host.setClientSize(WindowClientSize().w, WindowClientSize().h);
    if (modeGiven) SetScreenMode(mode);
}

void Display::StartShake(int frames, int amplitude, int interval) {
    shakeFramesLeft = frames;
    shakeAmplitude = amplitude ? amplitude : 5;
    shakeInterval = interval ? interval : 1;
}

Rect Display::NextPresentRect() {
    if (shakeFramesLeft >= 1) {
        if (shakeInterval != 0 && shakeFramesLeft % shakeInterval == 0 && shakeAmplitude != 0) {
            shakeX = random.next() % shakeAmplitude - shakeAmplitude / 2;
            shakeY = random.next() % shakeAmplitude - shakeAmplitude / 2;
        }
        --shakeFramesLeft;
    }
    if (shakeFramesLeft < 1) shakeX = shakeY = 0;
    int sw = width * zoom / 100, sh = height * zoom / 100;
    Rect r{shakeX, shakeY, sw, sh};
    if (fullscreen) {
        r.x += (kFullscreenWidth - sw) / 2;
        r.y += (kFullscreenHeight - sh) / 2;
    }
    return r;
}

void Display::Present() {
    Rect dest = NextPresentRect();
    host.present(backBuffer.data(), width, height, dest);
    lastPresented = backBuffer;
    ++presentCount;
}

}  // namespace qf
