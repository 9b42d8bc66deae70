#pragma once
// Blurs of the imaging kit.
#include <cstdint>

namespace vlm::kit {

// The soft blur behind the paint layer's alpha smoothing: blurs a width x height image of
// bytes_per_pixel 1, 3 or 4 from src (stride src_stride bytes) into dst (stride dst_stride bytes).
// amount 0..100 is the strength, mode selects the kernel (1 = the soft 3 x 3 blur). Returns non-zero
// on success, 0 for bad arguments.
int blur_image(const std::uint8_t* src, int width, int height, int bytes_per_pixel, int src_stride,
               std::uint8_t* dst, int dst_stride, int amount, int mode);

} // namespace vlm::kit
