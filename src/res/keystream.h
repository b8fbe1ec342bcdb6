// The scrambling of archive blocks and save records: byte i of a block is
// XORed with the low 8 bits of the i-th output of SFMT-19937 seeded with the
// archive seed. Every block restarts the same keystream, so its start is
// generated once and kept; scrambling and unscrambling are the same call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "res/sfmt.h"

namespace qf {

// Archives and save records can be read only by a build that uses this value.
constexpr uint32_t kArchiveSeed = 0x7146656Eu;

class Keystream {
public:
    // Keystream bytes kept in memory; blocks longer than this continue with a
    // generator that walks forward from the end of the kept part.
    static constexpr size_t kKeptBytes = 16u << 20;

    explicit Keystream(uint32_t seed = kArchiveSeed) : m_keptEnd(seed) {}

    // XORs bytes [position, position + n) of the block's keystream into `data`.
    void apply(uint8_t* data, size_t n, uint64_t position = 0);

private:
    void keep(size_t bytes);

    // Allocated once at full size (pages are touched only as they are
    // generated), so growing never copies.
    std::unique_ptr<uint8_t[]> m_kept;
    size_t m_keptSize = 0;
    Sfmt19937 m_keptEnd;                 // positioned at m_keptSize
    std::optional<Sfmt19937> m_walker;   // beyond the kept part
    uint64_t m_walkerPos = 0;
};

}  // namespace qf
