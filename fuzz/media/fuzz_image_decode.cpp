// Arbitrary bytes as a picture file for the built-in decoders: a picture or a
// refusal with a reason, never a crash, a hang or an allocation beyond the
// picture limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/media/image_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    qf::DecodedImage image;
    std::string error;
    if (qf::decodeImage(data, size, image, error)) {
        if (image.width <= 0 || image.height <= 0 || image.width > qf::kMaxImageSide ||
            image.height > qf::kMaxImageSide || image.stride < image.width * 3 || image.stride % 4 != 0 ||
            image.rows.size() != size_t(image.stride) * size_t(image.height) || !error.empty())
            std::abort();
    } else if (error.empty() || !image.rows.empty()) {
        std::abort();
    }
    return 0;
}
