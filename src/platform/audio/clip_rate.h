// Whole sounds held in memory (effects, the MCI devices' sounds) are brought
// to the mixer's rate once, when they are loaded, by libsamplerate's
// band-limited sinc converter. Streams are converted while they play instead
// (see resampler.h), where each block must end at an exact output frame.
#pragma once

#include "platform/audio/pcm_clip.h"

namespace qf {

// Converts `clip` to kMixRate in place; sourceRate keeps the rate it had.
// False, leaving the clip as it was, when the result would exceed
// kMaxWavFrames frames or the converter fails.
bool convertToMixRate(PcmClip& clip);

}  // namespace qf
