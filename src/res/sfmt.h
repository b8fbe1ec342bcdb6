// SFMT-19937, the SIMD-oriented Fast Mersenne Twister of Saito and Matsumoto
// (exponent 19937), seeded from one 32-bit integer, with 32-bit outputs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qf {

class Sfmt19937 {
public:
    static constexpr int kWords = 624;  // 32-bit words of state (156 × 128 bits)

    explicit Sfmt19937(uint32_t seed) { reseed(seed); }
    void reseed(uint32_t seed);
    uint32_t next32() {
        if (m_index >= kWords) generateBlock();
        return m_state[m_index++];
    }
    // The low 8 bits of the next `n` outputs.
    void nextLowBytes(uint8_t* out, size_t n);
    // Drops the next `n` outputs.
    void skip(uint64_t n);

private:
    void generateBlock();
    void certifyPeriod();

    alignas(16) uint32_t m_state[kWords];
    int m_index = kWords;
};

}  // namespace qf
