#include "core/random.h"

#include "core/engine_state.h"
#include "core/last_error.h"
#include "core/memory.h"

namespace vlm::core {

void reseed(unsigned int seed) { g_engine.random.generator = seed; }

int rand_next() {
    Generator g{g_engine.random.generator};
    int v = g.next();
    g_engine.random.generator = g.state;
    return v;
}

void set_random_seed(unsigned int seed) {
    g_engine.random.seed = static_cast<int>(seed);
    reseed(seed);
}

void MakeRandArrayByte(RandArrayByte& array, int modulus, int length) try {
    const int seed = g_engine.random.seed;
    if (array.data && array.length == length && array.modulus == modulus && array.seed == seed) return;
    DeleteRandArrayBtye(array);
    if (length <= 0 || modulus <= 0) return;
    reseed(static_cast<unsigned int>(seed));
    array.data = new std::uint8_t[static_cast<std::size_t>(length)];
    Generator g{g_engine.random.generator};
    for (int i = 0; i < length; ++i) array.data[i] = static_cast<std::uint8_t>(g.next() % modulus);
    g_engine.random.generator = g.state;
    array.length = length;
    array.modulus = modulus;
    array.seed = seed;
} catch (...) {
    record_exception("MakeRandArrayByte");
}

void DeleteRandArrayBtye(RandArrayByte& array) try {
    free_block(array.data);
    array.length = 0;
} catch (...) {
    record_exception("DeleteRandArrayBtye");
}

} // namespace vlm::core
