// Scratch directories and hand-built archives for the resource tests.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "res/crc32.h"
#include "res/keystream.h"
#include "res/game_root.h"
#include "res/rom.h"
#include "tests/support/scratch_game.h"

namespace qf::test {

using TempDir = ScratchDir;

// The directory as a game root; a directory that cannot be opened fails the test.
inline GameRoot openRoot(const std::string& path) {
    std::optional<GameRoot> root = GameRoot::open(path);
    if (!root) throw std::runtime_error("cannot open " + path);
    return std::move(*root);
}

// The names in a directory, links and temporaries included, sorted byte-wise.
inline std::vector<std::string> entriesOf(const std::string& path) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(path, ec)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

inline std::string scrambled(std::string block) {
    static Keystream ks;
    ks.apply(reinterpret_cast<uint8_t*>(block.data()), block.size());
    return block;
}

inline std::string le32(uint32_t v) {
    std::string s(4, '\0');
    writeLe32(reinterpret_cast<uint8_t*>(s.data()), v);
    return s;
}

using Entries = std::vector<std::pair<std::string, std::string>>;

inline std::string joinNames(const Entries& entries) {
    std::string names;
    for (size_t i = 0; i < entries.size(); ++i) names += (i ? "\n" : "") + entries[i].first;
    return names;
}

// A layout 1 archive written from the format's description, independent of the packer.
inline std::string layout1Archive(const Entries& entries, int major = 1, int minor = 0) {
    std::string names = joinNames(entries);
    uint32_t n = static_cast<uint32_t>(entries.size());
    uint32_t t = static_cast<uint32_t>(8 * n + names.size());
    std::string outer(256, '\0');
    std::memcpy(outer.data(), "AR1\x01\x00\x00\x00\x01", 8);
    std::string inner(32, '\0');
    std::memcpy(inner.data(), "AR1", 4);
    inner[4] = static_cast<char>(major);
    inner[5] = static_cast<char>(minor);
    inner[7] = 1;
    inner.replace(8, 4, le32(32));
    inner.replace(20, 4, le32(n));
    inner.replace(24, 4, le32(t));
    std::string sizes, crcs, data;
    for (const auto& [name, bytes] : entries) {
        sizes += le32(static_cast<uint32_t>(bytes.size()));
        crcs += le32(engineCrc32(bytes.data(), static_cast<long long>(bytes.size())));
        data += scrambled(bytes);
    }
    return outer + scrambled(inner) + scrambled(sizes) + scrambled(crcs) + scrambled(names) + data;
}

inline std::string layout0Archive(const Entries& entries) {
    std::string names = joinNames(entries);
    uint32_t n = static_cast<uint32_t>(entries.size());
    std::string header(272, '\0');
    std::memcpy(header.data(), "AR1100\x10\x01", 8);
    header.replace(264, 4, le32(n));
    header.replace(268, 4, le32(static_cast<uint32_t>(4 * n + names.size())));
    std::string sizes, data;
    for (const auto& [name, bytes] : entries) {
        sizes += le32(static_cast<uint32_t>(bytes.size()));
        data += scrambled(bytes);
    }
    return header + scrambled(sizes) + scrambled(names) + data;
}

}  // namespace qf::test
