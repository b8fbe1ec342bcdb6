// Where pictures come from: a callback that reads a whole named resource.
// The default reads the file from disk; the engine plugs in its resource lookup.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qf {

// Fills `out` with the whole resource; false when it does not exist.
using ResourceReader = std::function<bool(const std::string& name, std::vector<uint8_t>& out)>;

// Reads the file from disk (backslashes taken as directory separators).
// Refuses files above kMaxResourceFileSize.
bool readResourceFromDisk(const std::string& name, std::vector<uint8_t>& out);

inline constexpr uint64_t kMaxResourceFileSize = 512ull << 20;

}  // namespace qf
