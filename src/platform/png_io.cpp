#include "platform/png_io.h"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace qf {

bool writePngBgr(const std::string& path, const uint8_t* bgr, int width, int height) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGR;
    int ok = png_image_write_to_file(&image, path.c_str(), 0, bgr, width * 3, nullptr);
    png_image_free(&image);
    return ok != 0;
}

bool readPngBgr(const std::string& path, std::vector<uint8_t>& bgr, int& width, int& height) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_BGR;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    bgr.assign(PNG_IMAGE_SIZE(image), 0);
    // Transparent pixels of the reference pictures are composed on black.
    png_color background{0, 0, 0};
    if (!png_image_finish_read(&image, &background, bgr.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return true;
}

}  // namespace qf
