#include "imaging/processing_buffers.h"

#include "core/engine_state.h"
#include "core/hooks.h"
#include "core/memory.h"

namespace vlm::imaging {

void free_buffer(Buffer& buffer) {
    core::free_block(buffer.pixels);
    buffer.size = 0;
}

void free_ipl_buffers() {
    State& s = g_engine.imaging;
    free_buffer(s.src32);
    free_buffer(s.dst32);
    free_buffer(s.src24);
    free_buffer(s.dst24);
}

namespace {
const bool kHooked = (core::hooks().free_processing_buffers = &free_ipl_buffers, true);
}

} // namespace vlm::imaging
