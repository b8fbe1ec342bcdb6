// Files of the game directory by game names ("\\" separators, any letter
// case), for the file commands and the binary buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qf {

struct Engine;

// Files larger than this are refused by readGameFile.
constexpr int64_t kMaxGameFileBytes = int64_t(1) << 30;
// The whole file; false when it cannot be opened or is too large.
bool readGameFile(Engine& e, const std::string& name, std::vector<uint8_t>& out);
// Replaces the file with exactly these bytes.
bool writeGameFile(Engine& e, const std::string& name, const uint8_t* data, size_t size);

}  // namespace qf
