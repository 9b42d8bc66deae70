#include "mask/kernels.h"

namespace vlm::mask {

void apply_mask_to_alpha_row(std::uint8_t* rgba, const std::uint16_t* mask, int n) {
    for (int x = 0; x < n; ++x, rgba += 4) rgba[3] = alpha_under_mask(rgba[3], mask[x]);
}

void apply_mask_to_alpha_rgba32(std::uint8_t* rgba, std::size_t pitch, const std::uint16_t* mask,
                                std::size_t mask_pitch, int width, int height) {
    if (!rgba || !mask || width <= 0) return;
    for (int y = 0; y < height; ++y) apply_mask_to_alpha_row(rgba + y * pitch, mask + y * mask_pitch, width);
}

} // namespace vlm::mask
