#pragma once
// What the dab and the blend-buffer operations share: the brush area on the canvas, the mask's scaling
// of a canvas alpha, the grey level of the current colour and the tool's mix parameters.
#include <algorithm>
#include <cstdint>

#include "brush/mix_modes.h"
#include "brush/state.h"
#include "core/engine_state.h"

namespace vlm::brush {

// The brush square of edge S centred on (x, y), clipped to the canvas. Canvas pixel (cx, cy) matches
// shape pixel (cy - top, cx - left); [x0, x1] x [y0, y1] (inclusive) are the canvas pixels visited.
struct BrushArea {
    int left, top;
    int x0, y0, x1, y1;
    bool clipped;
    bool empty() const { return x0 > x1 || y0 > y1; }
};

inline BrushArea brush_area(int x, int y, int size) {
    const core::CanvasState& c = g_engine.canvas;
    BrushArea a;
    // 64-bit corners: a host may pass any int, and the square must not wrap around.
    const long long left = static_cast<long long>(x) - size / 2, top = static_cast<long long>(y) - size / 2;
    const long long right = left + size - 1, bottom = top + size - 1;
    a.clipped = left < 0 || top < 0 || right > c.width - 1 || bottom > c.height - 1;
    a.left = static_cast<int>(std::clamp<long long>(left, -size, c.width));
    a.top = static_cast<int>(std::clamp<long long>(top, -size, c.height));
    a.x0 = static_cast<int>(std::max<long long>(left, 0));
    a.y0 = static_cast<int>(std::max<long long>(top, 0));
    a.x1 = static_cast<int>(std::min<long long>(right, c.width - 1));
    a.y1 = static_cast<int>(std::min<long long>(bottom, c.height - 1));
    if (a.x0 > a.x1 || a.y0 > a.y1) a.x0 = 1, a.x1 = 0; // nothing on the canvas
    return a;
}

// The canvas alpha pA as the enabled mask lets it through at mask value m.
inline std::uint32_t masked_alpha(std::uint32_t pA, std::uint32_t m) {
    const std::uint32_t scale = m < 65535 ? (m * 65535) >> 16 : 65535;
    return static_cast<std::uint32_t>(pA * static_cast<double>(scale) / 65535);
}

// The mask level of a colour: white gives 0, near-black 65535. Greys above white (16-bit colours) give 0
// too instead of wrapping round to a huge level.
inline std::uint32_t mask_level(const Colour64& c) {
    const std::uint32_t m = (static_cast<std::uint32_t>(c.r) + c.g + c.b) / 3;
    return m < 256 ? 65535 : m >= 65280 ? 0 : 65280 - m;
}

// The enabled mask plane, or null.
inline const std::uint16_t* enabled_mask() {
    const mask::State& m = g_engine.mask;
    return m.enabled ? m.plane : nullptr;
}

// Division by a result alpha d (1..65535), the same quotient as x / d: one reciprocal per pixel instead
// of a division per channel. With m = ceil(2^48 / d), floor(x * m / 2^48) = floor(x / d) for every x below
// 2^32, because the error x * (m * d - 2^48) stays below 2^48 and the fraction of x / d below 1 - 1/d.
struct AlphaDivider {
    std::uint64_t d, m;
    explicit AlphaDivider(std::uint32_t alpha)
        : d(alpha), m(((std::uint64_t{1} << 48) + alpha - 1) / alpha) {}
    std::uint64_t operator()(std::uint64_t x) const {
        if (d == 65535) return x / 65535; // over opaque paint: a constant divisor
        if (x >> 32) return x / d;
        return static_cast<std::uint64_t>((static_cast<unsigned __int128>(x) * m) >> 48);
    }
};

inline MixParams tool_mix_params(bool erase) {
    const Tool& t = g_engine.brush.tool;
    MixParams p{};
    p.amount = static_cast<std::uint32_t>(t.mix_amount);
    p.complement = static_cast<std::uint32_t>(t.mix_complement);
    p.posterize_shift = t.posterize_shift;
    p.colour[0] = t.colour.r;
    p.colour[1] = t.colour.g;
    p.colour[2] = t.colour.b;
    for (int k = 0; k < 4; ++k) {
        p.banks[k][0] = t.banks[k].r;
        p.banks[k][1] = t.banks[k].g;
        p.banks[k][2] = t.banks[k].b;
    }
    p.erase = erase;
    return p;
}

} // namespace vlm::brush
