// PNG files for screenshots and for the reference pictures of tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qf {

// Writes a 24-bit top-down blue-green-red picture (rows without padding).
bool writePngBgr(const std::string& path, const uint8_t* bgr, int width, int height);

// Reads any PNG as 24-bit top-down blue-green-red pixels (alpha dropped,
// palettes and grey expanded). False when the file is missing or not a PNG.
bool readPngBgr(const std::string& path, std::vector<uint8_t>& bgr, int& width, int& height);

}  // namespace qf
