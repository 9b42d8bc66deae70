#pragma once
// The 8-bit processing buffers: copies of the current layer that image operations work on.
#include "imaging/state.h"

namespace vlm::imaging {

void free_buffer(Buffer& buffer);
// Frees the four IPL buffers (the tool pair survives canvas changes).
void free_ipl_buffers();

} // namespace vlm::imaging
