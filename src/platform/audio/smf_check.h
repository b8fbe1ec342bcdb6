// Structure check of a standard MIDI file before it reaches the synthesizer:
// the "MThd" header and every chunk lie inside the image, and there is at
// least one "MTrk" chunk.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qf {

enum class SmfError {
    None,
    NotMidi,      // no "MThd" header of at least 6 bytes
    BadHeader,    // format above 2, no tracks, or a zero time division
    Truncated,    // a chunk runs past the end of the image
    NoTracks,     // no "MTrk" chunk
    TooLarge,     // above kMaxSmfBytes
};

inline constexpr size_t kMaxSmfBytes = size_t(16) << 20;

SmfError checkSmf(const uint8_t* data, size_t size);
const char* smfErrorText(SmfError error);

}  // namespace qf
