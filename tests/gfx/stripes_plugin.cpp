// An image plug-in for the tests: reads "STRIPES1", width, height (one byte
// each) and one R, G, B triple per row from the top; each row is its colour
// with a black first column. Counts the blocks it has handed out and not yet
// had back.
#include <quillfen/image_plugin.h>
#include <quillfen/plugin.h>

#include <cstdlib>
#include <cstring>

namespace {

int liveBlocks = 0;

void* block(size_t size) {
    ++liveBlocks;
    return std::calloc(1, size);
}

}  // namespace

extern "C" {

QF_PLUGIN_EXPORT int stripesLiveBlocks() { return liveBlocks; }

QF_PLUGIN_EXPORT int IsSupported(const char* fileName, void* head) {
    return fileName == nullptr && head != nullptr && std::memcmp(head, "STRIPES1", 8) == 0;
}

QF_PLUGIN_EXPORT int GetPicture(const char* buffer, intptr_t length, unsigned int flag, void** info, void** bits,
                                qf_ImageProgress progress, intptr_t progressData) {
    if (flag != QF_IMAGE_FROM_MEMORY || length < 10 || !progress || progress(0, 1, progressData) != 0) return 2;
    const auto* in = reinterpret_cast<const unsigned char*>(buffer);
    const int width = in[8], height = in[9];
    if (width == 0 || height == 0 || length < 10 + 3 * height) return 3;
    const int stride = (width * 3 + 3) & ~3;
    auto* header = static_cast<qf_ImageInfoHeader*>(block(sizeof(qf_ImageInfoHeader)));
    header->biSize = 40;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biSizeImage = uint32_t(stride * height);
    auto* rows = static_cast<unsigned char*>(block(size_t(stride) * height));
    for (int y = 0; y < height; ++y) {
        const unsigned char* rgb = in + 10 + 3 * y;
        unsigned char* row = rows + size_t(height - 1 - y) * stride;  // bottom-up
        for (int x = 1; x < width; ++x) {
            row[x * 3] = rgb[2];
            row[x * 3 + 1] = rgb[1];
            row[x * 3 + 2] = rgb[0];
        }
    }
    *info = header;
    *bits = rows;
    return 0;
}

QF_PLUGIN_EXPORT void FreeBlock(void* p) {
    if (!p) return;
    --liveBlocks;
    std::free(p);
}

}  // extern "C"
