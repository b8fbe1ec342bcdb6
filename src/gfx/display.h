// The screen: logical size, the 24-bit top-down back buffer all drawing ends
// in, the zoom, window or full screen, and the hand-over of each frame to the
// host with the screen shake.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/host.h"
#include "script/random.h"

namespace qf {

struct Display {
    Host& host;
    ScriptRandom& random;  // the shake offsets
    int width = 256, height = 224;
    int zoom = 200;
    int fullscreen = 0;
    int toggleState = 0;
    // Shake of "#efxShake".
    int shakeFramesLeft = 0, shakeAmplitude = 5, shakeInterval = 1;
    int shakeX = 0, shakeY = 0;
    std::vector<uint8_t> backBuffer;     // width × height × 3, BGR, top-down
    std::vector<uint8_t> lastPresented;  // the last frame handed to the host
    uint64_t presentCount = 0;

    Display(Host& h, ScriptRandom& r) : host(h), random(r) { CreateScreen(256, 224); }

    void CreateScreen(int w, int h);
    void SetZoom(int percent) { zoom = percent; }
    int GetZoom() const { return zoom; }
    // -1 toggle, 0 window, 1 full screen; other values do nothing.
    void SetScreenMode(int mode);
    // The client size of the window for the current screen and zoom.
    Rect WindowClientSize() const;
    // The window size the engine would ask a Win32 frame for (client plus borders and title).
    Rect FramedWindowSize() const;
    // "#screen": w, h and zoom may be _NIL to keep the current value; mode only when given.
    void ScreenCommand(int w, int h, int zoomPercent, int mode, bool modeGiven);
    void StartShake(int frames, int amplitude, int interval);
    // Where the frame goes in the client area this frame (consumes one shake step).
    Rect NextPresentRect();
    void Present();
};

}  // namespace qf
