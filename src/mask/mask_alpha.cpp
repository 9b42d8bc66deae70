#include "mask/mask_alpha.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/dirty_rect.h"
#include "core/layer_store.h"
#include "core/transfer_common.h"
#include "mask/kernels.h"
#include "mask/mask_plane.h"
#include "mask/mask_select.h"

namespace vlm::mask {

namespace {

std::uint8_t low_byte(int v) { return static_cast<std::uint8_t>(v); }

// Runs f(pixel) over every pixel of a canvas-sized RGBA32 picture; false when there is none to run on.
template <class F> bool each_canvas_pixel(void* image, F&& f) {
    const Plane p = plane();
    if (!p || !image) return false;
    auto* px = static_cast<std::uint8_t*>(image);
    for (std::size_t i = 0, n = p.count(); i < n; ++i, px += 4) f(px, i);
    return true;
}

} // namespace

void apply_mask_to_canvas_alpha(void* image) {
    const Plane p = plane();
    if (!p || !image) return;
    apply_mask_to_alpha_rgba32(static_cast<std::uint8_t*>(image), static_cast<std::size_t>(p.width) * 4,
                               p.values, static_cast<std::size_t>(p.width), p.width, p.height);
}

void apply_mask_to_rect_alpha(void* image, int pitch, int x0, int y0, int x1, int y1) {
    const Plane p = plane();
    if (!p || !image || x1 < x0 || y1 < y0) return;
    // 64 bits: the corners may be anywhere in the int range.
    const long long width = static_cast<long long>(x1) - x0 + 1, height = static_cast<long long>(y1) - y0 + 1;
    if (height > 1 && (pitch < 0 || pitch < width * 4)) refuse("RGBA32 pitch");
    const long long cx0 = std::max<long long>(x0, 0), cy0 = std::max<long long>(y0, 0);
    const long long cx1 = std::min<long long>(x1, p.width - 1), cy1 = std::min<long long>(y1, p.height - 1);
    if (cx1 < cx0 || cy1 < cy0) return;
    auto* first = static_cast<std::uint8_t*>(image) +
                  static_cast<std::size_t>(cy0 - y0) * static_cast<std::size_t>(pitch) +
                  static_cast<std::size_t>(cx0 - x0) * 4;
    apply_mask_to_alpha_rgba32(first, static_cast<std::size_t>(pitch), p.row(static_cast<int>(cy0)) + cx0,
                               static_cast<std::size_t>(p.width), static_cast<int>(cx1 - cx0 + 1),
                               static_cast<int>(cy1 - cy0 + 1));
}

void color_from_flood_mask(void* image, const void* plane_bytes, int r, int g, int b, int a) {
    if (!plane_bytes) return;
    const auto* flood = static_cast<const std::uint8_t*>(plane_bytes);
    const std::uint8_t colour[4] = {low_byte(r), low_byte(g), low_byte(b), low_byte(a)};
    if (each_canvas_pixel(image, [&](std::uint8_t* px, std::size_t i) {
            if (flood[i] == 1) std::memcpy(px, colour, 4);
        }))
        core::dirty_whole_canvas();
}

void replace_alpha_range(void* image, int alpha, int percent, int r, int g, int b, int a) {
    const long long t = byte_tolerance(percent);
    const std::uint8_t colour[4] = {low_byte(r), low_byte(g), low_byte(b), low_byte(a)};
    each_canvas_pixel(image, [&](std::uint8_t* px, std::size_t) {
        const long long d = static_cast<long long>(px[3]) - alpha;
        if (d <= t && -d <= t) std::memcpy(px, colour, 4);
    });
}

void clear_alpha_of_color(void* image, int r, int g, int b) {
    each_canvas_pixel(image, [&](std::uint8_t* px, std::size_t) {
        if (px[0] == r && px[1] == g && px[2] == b) px[3] = 0;
    });
}

void create_blob_from_image(int slot, int mode) {
    core::Layer* layer = core::layer_at(slot);
    if (!layer || !layer->pixels || layer->width <= 0 || layer->height <= 0 ||
        layer->pitch < layer->width * 4)
        return;
    for (int y = 0; y < layer->height; ++y) {
        std::uint16_t* px = layer->pixels + core::offset_of(y, layer->pitch);
        for (int x = 0; x < layer->width; ++x, px += 4) {
            const std::uint32_t l = (std::uint32_t{px[0]} + px[1] + px[2]) / 3;
            if (mode == 1) {
                if (l >= 32767) {
                    const double v = (l - 32767) / 65534.0;
                    for (int c = 0; c < 3; ++c) px[c] = static_cast<std::uint16_t>(px[c] - px[c] * v);
                } else {
                    const double v = (32767 - l) / 65534.0;
                    for (int c = 0; c < 3; ++c)
                        px[c] = static_cast<std::uint16_t>(px[c] + (65535 - px[c]) * v);
                }
            } else {
                px[0] = px[1] = px[2] = 32767;
            }
            if (px[3] > 8191) px[3] = static_cast<std::uint16_t>(l * 0.843 + 10239);
        }
    }
    core::layer_changed_whole(layer);
}

} // namespace vlm::mask
