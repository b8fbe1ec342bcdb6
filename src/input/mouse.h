// The mouse: position on the zoomed screen, buttons, wheel, single and double
// clicks, and the button toggles that window clicks compare against.
#pragma once

#include "platform/host.h"

namespace qf {

struct Mouse {
    int x = 0, y = 0;              // client pixels of the zoomed screen, -1 outside
    int left = 0, right = 0, middle = 0;  // key states of the buttons (negative while down)
    int wheel = 0;                 // this frame's wheel value as published
    int wheelStored = 0;           // delta handed over since the last poll
    int wheelArrived = 0;
    int leftClick = 0;             // 0, 1 single click, 2 double click
    int rightClickEvent = 0;       // 0 nothing new, -1 button down, 1 released this frame
    int clickCountdown = 0;        // frames the double-click window stays open
    int clickX = 0, clickY = 0;    // position of the click that opened the window
    int clickCounted = 0;          // the current press has been counted
    int rightRemembered = 0;       // right button state last seen released
    int toggle[2] = {};            // left and right toggles last seen by mouseClicked
};

constexpr int kDoubleClickFrames = 30;
constexpr int kDoubleClickDistance = 20;

// Toggle bits of both buttons as they are now.
void mouseRememberToggles(Mouse& m, HostInput& host);
void mouseWheelSet(Mouse& m, int delta);
// One frame of the mouse; the position is valid below twice the screen size.
void mousePoll(Mouse& m, HostInput& host, int screenWidth, int screenHeight);
// 1 when the cursor lies in the screen rectangle (x, y, w, h) at the zoom.
int mouseIn(const Mouse& m, int x, int y, int w, int h, int zoomPercent);
// 0 left, 1 right: 1 once per press; 2 middle: 1 while held.
int mouseClicked(Mouse& m, HostInput& host, int button);

}  // namespace qf
