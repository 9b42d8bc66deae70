#include "core/last_error.h"

#include <cstring>

#include "core/engine_state.h"

namespace vlm::core {

void set_last_error(const char* text) {
    if (!text) return;
    char* buffer = g_engine.host.last_error;
    std::size_t n = strnlen(text, kLastErrorBytes - 1);
    std::memmove(buffer, text, n);
    buffer[n] = '\0';
}

void record_exception(const char* name) {
    char message[kLastErrorBytes];
    std::size_t n = strnlen(name, kLastErrorBytes - 7);
    std::memcpy(message, name, n);
    std::memcpy(message + n, " Excpt", 7);
    set_last_error(message);
}

const char* last_error() { return g_engine.host.last_error; }

} // namespace vlm::core
