#include "platform/audio/smf_check.h"

#include <cstring>

namespace qf {

namespace {
uint32_t be32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}
uint16_t be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
}  // namespace

SmfError checkSmf(const uint8_t* data, size_t size) {
    if (size > kMaxSmfBytes) return SmfError::TooLarge;
    if (data == nullptr || size < 14 || std::memcmp(data, "MThd", 4) != 0) return SmfError::NotMidi;
    uint32_t headerLength = be32(data + 4);
    if (headerLength < 6) return SmfError::NotMidi;
    if (headerLength > size - 8) return SmfError::Truncated;
    uint16_t format = be16(data + 8), tracks = be16(data + 10), division = be16(data + 12);
    if (format > 2 || tracks == 0 || division == 0) return SmfError::BadHeader;
    size_t pos = 8 + static_cast<size_t>(headerLength);
    int trackChunks = 0;
    while (size - pos >= 8) {
        uint32_t length = be32(data + pos + 4);
        if (length > size - pos - 8) return SmfError::Truncated;
        if (std::memcmp(data + pos, "MTrk", 4) == 0) ++trackChunks;
        pos += 8 + static_cast<size_t>(length);
    }
    return trackChunks ? SmfError::None : SmfError::NoTracks;
}

const char* smfErrorText(SmfError error) {
    switch (error) {
    case SmfError::None: return "no error";
    case SmfError::NotMidi: return "not a standard MIDI file";
    case SmfError::BadHeader: return "impossible header values (format, track count or division)";
    case SmfError::Truncated: return "a chunk runs past the end of the file";
    case SmfError::NoTracks: return "no track chunk";
    case SmfError::TooLarge: return "the file is larger than the engine plays";
    }
    return "unknown error";
}

}  // namespace qf
