// The script random generator: one stream shared by "#rnd", the screen shake,
// sprite animations and wandering map objects. It produces the C library's
// rand() sequence for a seed, so a seeded run repeats exactly, but it is the
// engine's own state rather than the process's.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace qf {

class ScriptRandom {
public:
    ScriptRandom() {
        initstate_r(1, state_, sizeof state_, &data_);
    }
    ScriptRandom(const ScriptRandom&) = delete;
    ScriptRandom& operator=(const ScriptRandom&) = delete;

    void seed(unsigned value) { srandom_r(value, &data_); }
    // 0 .. RAND_MAX, as rand() gives it.
    int next() {
        int32_t out = 0;
        random_r(&data_, &out);
        return out;
    }

private:
    // 128 bytes selects the generator rand() uses.
    char state_[128] = {};
    random_data data_{};
};

}  // namespace qf
