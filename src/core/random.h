#pragma once
// The engine's pseudo-random generator (values 0..32767) and the seeded random byte arrays.
#include <cstdint>

#include "core/state.h"

namespace vlm::core {

inline constexpr int kRandMax = 32767;

// A linear congruential generator of our own, so that a seed reproduces a stroke on every platform.
struct Generator {
    std::uint32_t state;
    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7fffu);
    }
};

// The generator the brush code draws from, seeded by set_random_seed and reseeded by the tool.
void reseed(unsigned int seed);
int rand_next();
void set_random_seed(unsigned int seed);

// Makes (or keeps, when length, modulus and seed are unchanged) an array of length bytes, byte i being
// (i-th generator value after reseeding with the current seed) mod modulus, truncated to 8 bits.
void MakeRandArrayByte(RandArrayByte& array, int modulus, int length);
void DeleteRandArrayBtye(RandArrayByte& array);

} // namespace vlm::core
