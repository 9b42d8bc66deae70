#pragma once
// The blend buffers: brush-sized RGBA64 images that carry picked-up paint.
namespace vlm::brush {

// Makes n buffers (at most 20) of M x M cleared pixels and selects buffer 0.
void set_blend_buffer_count(int n);

} // namespace vlm::brush
