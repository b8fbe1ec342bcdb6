#include "gfx/clip.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "gfx/blend_modes.h"
#include "gfx/blend_rows.h"
#include "gfx/pictures.h"

namespace qf {

std::string ClipFrameName(const std::string& base, int index, int digits) {
    static const char* const kFormats[] = {"%d.bmp", "%02d.bmp", "%03d.bmp"};
    char number[32];
    std::snprintf(number, sizeof number, kFormats[std::clamp(digits, 1, 3) - 1], index);
    return base + number;
}

void LoadClip(Clip& clip, Pictures& pics, const std::string& base, int count, int digits) {
    clip.frameCount = std::clamp(count, 1, Clip::kMaxFrames);
    clip.frames.clear();
    const int loaded = std::clamp(count, 0, Clip::kMaxFrames);
    clip.frames.reserve(size_t(loaded));
    for (int i = 0; i < loaded; ++i) {
        auto frame = std::make_unique<S_Dib>();
        frame->LoadFile(pics.host, pics.reader, ClipFrameName(base, i, digits), 0);
        clip.frames.push_back(std::move(frame));
    }
}

void PlayClip(Clip& clip, int x, int y, int loops, int speed) {
    clip.x = x;
    clip.y = y;
    clip.loops = loops;
    clip.speed = speed < 1 ? 1 : speed;
    clip.timer = 0;
    clip.holding = loops == 0;
    clip.on = 1;
    clip.paused = 0;
}

void StopClip(Clip& clip) { clip.on = 0; }

void DeleteClip(Clip& clip) {
    StopClip(clip);
    clip.frames.clear();
}

void DrawClip(Clip& clip, Pictures& pics) {
    if (!clip.on) return;
    if (!clip.paused && !clip.holding) {
        // Kept below the speed, which only "#clipPlay" changes, so the count never overflows.
        clip.timer = (clip.timer + 1) % clip.speed;
        if (clip.timer == 0) {
            clip.frame += 1;
            if (clip.advanced < INT_MAX) clip.advanced += 1;
            if (clip.frame >= clip.frameCount) {
                clip.frame = 0;
                if (clip.loops > 0) clip.loops -= 1;
            }
        }
        // The last loop ends on the last frame, which then stays.
        if (clip.loops == 0 && clip.advanced >= clip.frameCount) clip.frame = clip.frameCount - 1;
    }
    pics.SelectTarget(Pictures::kBackBufferSlot);
    S_Dib* target = pics.Target();
    if (clip.frame < 0 || size_t(clip.frame) >= clip.frames.size() || !target || !target->HasPixels()) return;
    const S_Dib& picture = *clip.frames[size_t(clip.frame)];
    if (!picture.HasPixels()) return;
    blendRect(*target, picture, 0, 0, picture.Width(), picture.Height(), 0, 0, 0, kBlendNormal, pics.scratch);
}

}  // namespace qf
