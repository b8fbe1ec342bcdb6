// Arbitrary bytes as a movie file: it opens or is refused, and the frames of
// an open movie are read (a bounded number of them, forwards and back) without
// a crash, a hang or an allocation beyond the picture limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/media/image_decode.h"
#include "platform/media/movie_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 18)) return 0;
    qf::MovieReader reader;
    if (reader.open(std::vector<uint8_t>(data, data + size)) != qf::MovieOpenError::None) {
        if (reader.isOpen()) std::abort();
        return 0;
    }
    const int w = reader.width(), h = reader.height();
    if (w <= 0 || h <= 0 || int64_t(w) * h > qf::kMaxImagePixels || reader.frameCount() < 0) std::abort();
    // Small pictures only: the time goes into the parsing, not the pixels.
    if (int64_t(w) * h > 256 * 256) return 0;
    std::vector<uint8_t> frame(size_t(w) * size_t(h) * 3);
    const int64_t count = reader.frameCount();
    for (int64_t n : {int64_t(0), int64_t(1), count / 2, count - 1, int64_t(0), count}) reader.readFrame(n, frame.data());
    return 0;
}
