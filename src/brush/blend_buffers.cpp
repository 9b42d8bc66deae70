#include "brush/blend_buffers.h"

#include <algorithm>

#include "core/engine_state.h"
#include "core/hooks.h"
#include "core/memory.h"

namespace vlm::brush {

void set_blend_buffer_count(int n) {
    State& b = g_engine.brush;
    n = std::clamp(n, 0, kBlendBuffers);
    if (n != b.blend_count) {
        for (core::Layer& buffer : b.blend) core::free_block(buffer.pixels);
        const int m = g_engine.canvas.max_brush;
        const std::size_t values = static_cast<std::size_t>(m) * static_cast<std::size_t>(m) * 4;
        for (int i = 0; i < n; ++i) {
            core::Layer& buffer = b.blend[i];
            buffer.pixels = core::x_NewShortUndoReduce(values);
            if (buffer.pixels) std::fill_n(buffer.pixels, values, std::uint16_t{0});
            buffer.pitch = m * 4;
        }
    }
    b.blend_count = n;
    b.blend_selected = &b.blend[0];
}

namespace {
const bool kHooked = (core::hooks().set_blend_buffer_count = &set_blend_buffer_count, true);
}

} // namespace vlm::brush
