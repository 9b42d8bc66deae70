#include <cstdlib>
#include <cstring>

#include "core/last_error.h"
#include "core/memory.h"
#include "core/random.h"
#include "exports/guard.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::silent;

void VLM_SetLastError(const char* text) { core::set_last_error(text); }

const char* VLM_GetLastError(void) { return core::last_error(); }

void* VLM_Alloc(int size) {
    if (size < 0) return nullptr;
    return silent<void*>(nullptr, [&] { return core::alloc_for_host(static_cast<std::size_t>(size)); });
}

void VLM_Free(void* block) { std::free(block); }

void VLM_Memcpy(void* destination, const void* source, int count) {
    if (destination && source && count > 0) std::memmove(destination, source, static_cast<std::size_t>(count));
}

void* BankAdrs(void* pointer) { return pointer; }

void VLM_SetRandomSeed(unsigned int seed) { core::set_random_seed(seed); }
