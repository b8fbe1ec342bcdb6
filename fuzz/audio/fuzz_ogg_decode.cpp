// Arbitrary bytes as an Ogg Vorbis image: opening, the stream's facts, a
// bounded amount of decoding and seeking must never crash, hang or read
// outside the image.
#include <cstdint>
#include <vector>

#include "platform/audio/ogg_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qf::OggDecoder decoder;
    if (decoder.open(std::vector<uint8_t>(data, data + size)) != 0) {
        if (decoder.isOpen()) __builtin_trap();
        return 0;
    }
    const int channels = decoder.channels();
    decoder.rate();
    decoder.comments();
    decoder.bitrate();
    const int64_t total = decoder.pcmTotal();
    uint8_t chunk[4096];
    int section = 0;
    // At most 64 chunks, then a seek into the middle and a few more.
    for (int i = 0; i < 64; ++i) {
        long n = decoder.read(chunk, sizeof chunk, &section);
        if (n > static_cast<long>(sizeof chunk)) __builtin_trap();
        if (n > 0 && channels > 0 && n % (2 * channels) != 0) __builtin_trap();
        if (n == 0) break;
    }
    if (total > 0) decoder.pcmSeek(total / 2);
    for (int i = 0; i < 8; ++i)
        if (decoder.read(chunk, sizeof chunk, &section) == 0) break;
    decoder.pcmSeek(0);
    decoder.pcmTell();
    return 0;
}
