#include "core/new_rgba.h"

#include <cstddef>
#include <cstring>

#include "core/engine_state.h"
#include "core/last_error.h"
#include "core/memory.h"
#include "core/transfer_convert.h"

namespace vlm::core {

namespace {

std::size_t pixel_count(const NewRgba& n) {
    return n.pixels ? static_cast<std::size_t>(n.width) * static_cast<std::size_t>(n.height) : 0;
}

} // namespace

std::uint8_t* create_new_rgba(int width, int height) try {
    NewRgba& n = g_engine.new_rgba;
    delete_new_rgba();
    if (width <= 0 || height <= 0) return nullptr;
    n.pixels = x_NewCharUndoReduce(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    // The size is kept only with pixels, so that a host never sizes a copy for a picture that is not there.
    if (n.pixels) n.width = width, n.height = height;
    return n.pixels;
} catch (...) {
    record_exception("CreateNewRGBA");
    return nullptr;
}

void delete_new_rgba() {
    NewRgba& n = g_engine.new_rgba;
    free_block(n.pixels);
    n.width = n.height = 0;
}

void get_new_rgba32(void* buffer) {
    const NewRgba& n = g_engine.new_rgba;
    if (buffer && n.pixels) std::memcpy(buffer, n.pixels, pixel_count(n) * 4);
}

void get_new_rgba24(void* buffer) {
    const NewRgba& n = g_engine.new_rgba;
    if (n.pixels) rgba_to_rgb(buffer, n.width, n.height, n.pixels);
}

int is_new_rgba32_transparent() {
    const NewRgba& n = g_engine.new_rgba;
    const std::uint8_t* p = n.pixels;
    for (std::size_t i = 0, count = pixel_count(n); i < count; ++i, p += 4)
        if (p[3] != 255) return 1;
    return 0;
}

} // namespace vlm::core
