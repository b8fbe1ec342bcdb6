// The clip of "WND_CLP": a numbered series of BMP files loaded as frames of
// its own (apart from the picture slots) and shown one after another at the
// screen's top-left.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gfx/dib.h"

namespace qf {

class Pictures;

struct Clip {
    static constexpr int kMaxFrames = 256;

    int on = 0;  // the clip window draws
    std::vector<std::unique_ptr<S_Dib>> frames;
    int frameCount = 1;  // frames played, 1..256
    int frame = 0;
    int timer = 0;
    int speed = 1;  // frames of the screen per clip frame
    int loops = 0;  // > 0 loops left, < 0 endless, 0 none
    int advanced = 0;  // clip frames advanced since start-up
    int paused = 0;
    int holding = 0;  // started with a loop count of 0: the frame does not move
    int x = 0, y = 0;
};

// The file name of frame `index`: base and the number with 1, 2 or 3 digits
// (digits outside 1..3 are clamped).
std::string ClipFrameName(const std::string& base, int index, int digits);
// Frees the previous frames and loads frames 0 .. count − 1, at most 256 of
// them, through the picture reader; a missing or unreadable file is reported
// as the picture loader reports it and leaves that frame empty.
void LoadClip(Clip& clip, Pictures& pics, const std::string& base, int count, int digits);
// Starts playback from the current frame. A speed below 1 is 1.
void PlayClip(Clip& clip, int x, int y, int loops, int speed);
void StopClip(Clip& clip);
void DeleteClip(Clip& clip);
// One frame: advance, then draw the current frame onto the back buffer.
void DrawClip(Clip& clip, Pictures& pics);

}  // namespace qf
