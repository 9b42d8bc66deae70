#pragma once
// What every pixel transfer shares: the transfer weight from the texture and mask planes, the weighted
// blend, buffer-shape checks and the widening of the undo dirty rectangle.
#include <cstddef>
#include <cstdint>

#include "core/layer.h"

namespace vlm::core {

// Rule A (loads into layers): texture byte t scales W by (2t + 1) / 256 below 128 and zeroes it at 0;
// mask high byte h scales by (h + 1) / 256 below 255 and zeroes it at 0. Either plane may be absent.
inline std::uint32_t weight_rule_a(const std::uint8_t* texture, const std::uint16_t* mask) {
    std::uint32_t w = 65535;
    if (texture) {
        const std::uint32_t t = *texture;
        if (t == 0) return 0;
        if (t < 128) w = (2 * t + 1) * w / 256;
    }
    if (mask) {
        const std::uint32_t h = *mask >> 8;
        if (h == 0) return 0;
        if (h != 255) w = (h + 1) * w / 256;
    }
    return w;
}

// Rule B (alpha loads and the alpha adjustments): texture below 128 gives 2t x 65535 / 256; a mask value
// below 65535 scales W by m / 65536.
inline std::uint32_t weight_rule_b(const std::uint8_t* texture, const std::uint16_t* mask) {
    std::uint32_t w = 65535;
    if (texture) {
        const std::uint32_t t = *texture;
        if (t < 128) w = 2 * t * 65535 / 256;
    }
    if (mask && *mask != 65535) w = *mask * w / 65536;
    return w;
}

// Moves a 16-bit value d toward the 8-bit value s by weight w (0..65535).
inline std::uint16_t weighted_blend(std::uint32_t d, std::uint32_t s, std::uint32_t w) {
    if (w == 65535) return static_cast<std::uint16_t>(s << 8);
    if (w == 0) return static_cast<std::uint16_t>(d);
    return static_cast<std::uint16_t>(((s * 256 * w) / 256 + (d * (65535 - w)) / 256) / 256);
}

// The planes a weighted transfer reads, in canvas indexing: the mask only while it is enabled.
struct WeightPlanes {
    const std::uint16_t* mask;
    const std::uint8_t* texture;
    int width; // canvas width: the row length of both planes
    int height; // canvas height
    bool any() const { return mask || texture; }
    const std::uint16_t* mask_row(int y, int x) const {
        return mask ? mask + static_cast<std::size_t>(y) * width + x : nullptr;
    }
    const std::uint8_t* texture_row(int y, int x) const {
        return texture ? texture + static_cast<std::size_t>(y) * width + x : nullptr;
    }
};
WeightPlanes weight_planes();

// The low byte of a flag argument, as the host's 8-bit booleans are passed.
inline bool flag_set(int flag) { return (flag & 0xFF) != 0; }

// Whether rows of row_bytes each fit a host buffer whose rows are pitch bytes apart: overlapping rows
// would run past a buffer of pitch x rows bytes. A single row needs no pitch.
inline bool rows_fit(int pitch, std::size_t row_bytes, int rows) {
    return rows <= 1 || (pitch >= 0 && static_cast<std::size_t>(pitch) >= row_bytes);
}

inline std::size_t offset_of(int y, int pitch) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(pitch);
}

std::size_t canvas_pixel_count();

// The current layer when it is addressable with canvas geometry, else null.
Layer* current_canvas_layer();

// Widens the undo dirty rectangle (core/dirty_rect.h) for a change of a layer, which counts only when it is
// the current layer.
void layer_changed(const Layer* layer, int x0, int y0, int x1, int y1);
void layer_changed_whole(const Layer* layer);

} // namespace vlm::core
