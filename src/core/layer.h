#pragma once
// The record shared by the 272 layer slots, the blend buffers and the paint layer.
#include <cstdint>

namespace vlm::core {

inline constexpr int kLayerSlots = 272;
inline constexpr int kModeNameBytes = 50;

struct Layer {
    std::uint16_t* pixels; // RGBA64, four values per pixel (R, G, B, A); null when the slot is empty
    int width;
    int height;
    int pitch; // row length in 16-bit units (width * 4)
    std::uint8_t visible;
    std::uint8_t alpha_locked;
    std::int16_t opacity;  // 0..256
    std::int16_t strength; // 255 for table layers; paint layer: its second percentage * 2.559
    char mode_name[kModeNameBytes];
    int mode;
    int x0, y0, x1, y1; // extents (paint layer): x1, y1 exclusive
};

} // namespace vlm::core
