#include "compose/blend_pixel.h"

#include <algorithm>

#include "compose/pixel_merge.h"
#include "core/engine_state.h"

namespace vlm::compose {

namespace {
// Host ints that should hold 16-bit values are taken as the nearest one.
std::uint32_t to_u16(int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 65535)); }
} // namespace

void merge_pixel_ints(int* r, int* g, int* b, int* a, int sr, int sg, int sb, int sa, int mode, int opacity,
                      int alpha_lock) {
    if (!r || !g || !b || !a) return;
    Rgba16 d{{to_u16(*r), to_u16(*g), to_u16(*b), to_u16(*a)}};
    const Rgba16 s{{to_u16(sr), to_u16(sg), to_u16(sb), to_u16(sa)}};
    const std::uint32_t o = static_cast<std::uint32_t>(std::clamp(opacity, 0, 255));
    const bool lock = (alpha_lock & 0xFF) != 0;
    if (!merge_pixel(mode, d, s, o, lock, g_engine.compose.alpha_layer_opacity)) return;
    *r = static_cast<int>(d.c[Rgba16::R]);
    *g = static_cast<int>(d.c[Rgba16::G]);
    *b = static_cast<int>(d.c[Rgba16::B]);
    if (!lock) *a = static_cast<int>(d.c[Rgba16::A]);
}

int set_alpha_layer_opacity(int percent) {
    const double scaled = std::clamp(percent, 0, 100) * 0.01 * 65535;
    g_engine.compose.alpha_layer_opacity = static_cast<std::uint16_t>(scaled);
    return g_engine.compose.alpha_layer_opacity;
}

} // namespace vlm::compose
