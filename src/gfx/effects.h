// The full-screen effects of "WND_EFX": fades to and from black or white, a
// blinking colour flash and the block dissolve of the previous screen, all
// composed from the work screen (slot −6) over the back buffer (slot −7).
#pragma once

#include <vector>

namespace qf {

class Pictures;

enum class FadeKind { OutBlack, InBlack, OutWhite, InWhite };

struct ScreenEffects {
    static constexpr int kCell = 16;
    static constexpr int kDefaultSpeed = 8;

    int on = 0;  // the effects window draws

    int fadeActive = 0;
    int fadeLevel = 0;  // alpha of the work screen: 0 opaque, 255 invisible
    int fadeSpeed = kDefaultSpeed;
    int fadeDirection = 1;

    int flashFramesLeft = 0;
    int flashPeriod = 1;
    int flashLevel = 0;

    int dissolveActive = 0;
    int dissolveRows = 0, dissolveColumns = 0;
    std::vector<int> dissolveCounters;  // row by row, dissolveColumns a row
};

// Starts a fade: the work screen is filled black or white. A speed below 1 is 8.
void StartFade(ScreenEffects& fx, Pictures& pics, FadeKind kind, int speed);
// Starts a flash: the work screen is filled with (r, g, b). A count below 1
// is 1 and a period below 1 is 1.
void StartFlash(ScreenEffects& fx, Pictures& pics, int count, int period, int r, int g, int b, int level);
// Copies the back buffer into the work screen and arms a grid of 16 × 16
// cells over the whole screen, cell (r, c) counting down from r + c.
void StartDissolve(ScreenEffects& fx, Pictures& pics);
// The effects stop drawing and the fade ends; a flash still counting and a
// running dissolve carry on when the effects are next started.
void StopEffects(ScreenEffects& fx);
// One frame of the effects onto the back buffer: dissolve, fade, flash.
// True when a finished fade-in has just switched the effects off.
bool DrawEffects(ScreenEffects& fx, Pictures& pics);

}  // namespace qf
