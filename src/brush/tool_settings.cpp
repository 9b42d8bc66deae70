#include "brush/tool_settings.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "brush/brush_shape.h"
#include "brush/grit.h"
#include "brush/mix_modes.h"
#include "core/last_error.h"
#include "core/random.h"

namespace vlm::brush {
namespace {

// Arithmetic that wraps at 32 bits, as the settings' derived values always have, without overflow.
int wrap(std::int64_t v) { return static_cast<int>(static_cast<std::uint32_t>(v)); }

// Truncation toward zero that saturates instead of leaving the int range.
int trunc_to_int(double v) {
    if (!(v > static_cast<double>(INT_MIN))) return v != v ? 0 : INT_MIN;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(v);
}

std::uint16_t widen8(int v) { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(v) << 8); }

Colour64 colour8(int r, int g, int b) { return {widen8(r), widen8(g), widen8(b), 0xFFFF}; }

} // namespace

void set_tool(const ToolArgs& a) {
    Engine& e = g_engine;
    Tool& t = e.brush.tool;
    core::reseed(static_cast<unsigned int>(e.random.seed));

    t.shape_strength = a.shape_strength;
    t.grit_cell_size = a.grit_cell_size;
    t.grit_cell_threshold = a.grit_cell_threshold;
    t.grit_pixel_threshold = a.grit_pixel_threshold;
    t.edge_softness = static_cast<std::uint8_t>(a.edge_softness);
    t.colour_vary = a.colour_vary;
    t.drawing_length = a.drawing_length;
    t.blend_strength = a.blend_strength;
    t.blend_primary_strength = a.blend_primary_strength;
    t.blend_remix = static_cast<std::uint8_t>(a.blend_remix);
    t.invert_shape = static_cast<std::uint8_t>(a.invert_shape);
    t.mix_mode = kMixNormal;

    if (t.grit_cell_size != 0) build_tool_grit();

    if (a.grit_source && strnlen(a.grit_source, 2) >= 2 &&
        std::int64_t{t.brush_size} + kGritMargin < kPictureGritEdge) {
        try {
            take_grit_from_picture(a.grit_source);
        } catch (...) {
            // A picture that cannot be used leaves the random grit in place.
        }
    }

    try {
        set_brush_shape(a.shape_path, a.shape_angle, ShapeRules::Current);
    } catch (...) {
        core::record_exception("SetBrushShape");
    }

    if (t.blend_strength > 0) t.blend_complement = 256 - t.blend_strength;
    if (t.blend_primary_strength > 0) t.primary_complement = 256 - t.blend_primary_strength;
    t.blend_disabled = 0;
    e.mask.maker = 0;
    t.erase = 0;
}

void set_colour(int r, int g, int b) { tool().colour = colour8(r, g, b); }

void set_colour16(int r, int g, int b) {
    tool().colour = {static_cast<std::uint16_t>(r), static_cast<std::uint16_t>(g),
                     static_cast<std::uint16_t>(b), 0xFFFF};
}

void set_colour_banks(const int (&rgb)[12]) {
    for (int k = 0; k < 4; ++k) tool().banks[k] = colour8(rgb[3 * k], rgb[3 * k + 1], rgb[3 * k + 2]);
}

void set_blend_strength(int strength) {
    Tool& t = tool();
    t.blend_strength = strength;
    if (strength > 0) t.blend_complement = 256 - strength;
}

void set_blend_primary_strength(int strength) {
    Tool& t = tool();
    t.blend_primary_strength = strength;
    if (strength > 0) t.primary_complement = 256 - strength;
}

void set_density(int d) { tool().density = wrap(std::int64_t{d} - 1); }

void set_alpha(int percent) {
    Tool& t = tool();
    t.alpha = percent;
    t.alpha_scale = trunc_to_int(percent * 1.28);
}

void set_rotate_brush_mode(int mode, int degrees) {
    Tool& t = tool();
    t.rotate_mode = mode;
    t.rotate_degrees = degrees;
    t.rotate_radians = static_cast<float>(degrees * (1.0 / 180.0) * 3.14159);
    t.rotate_sin = static_cast<float>(std::sin(static_cast<double>(t.rotate_radians)));
    t.rotate_cos = static_cast<float>(std::cos(static_cast<double>(t.rotate_radians)));
}

void set_mix_mode(int mode, int amount) {
    Tool& t = tool();
    t.mix_mode = mode;
    t.mix_amount = amount;
    t.mix_complement = wrap(256 - std::int64_t{amount});
    t.posterize_shift = posterize_shift(amount);
}

void set_size(int s) {
    if (s < 1 || s > kMaxSampleSize) return;
    Tool& t = tool();
    t.brush_size = s;
    t.dab_size = s;
    for (int i = 0; i < s; ++i) t.sample_table[i] = i;
}

void set_scale_size(int n) {
    Tool& t = tool();
    n = std::max(n, 1);
    n = std::min(n, t.brush_size);
    n = std::min(n, kMaxScaledDab);
    t.dab_size = n;
    if (n < 1) return; // no brush size yet
    // Repeated addition, not (i + 0.5) * step: the table has always been built this way.
    const double step = static_cast<double>(t.brush_size) / n;
    double acc = step * 0.5;
    for (int i = 0; i < n; ++i) {
        t.sample_table[i] = static_cast<int>(acc);
        acc += step;
    }
}

void set_pix_colour_vary(int v) {
    tool().pix_colour_vary = v;
    if (v > 0)
        core::MakeRandArrayByte(g_engine.random.color_vary, 1000,
                                wrap(3 * std::int64_t{g_engine.canvas.max_brush}));
}

void set_pix_lum_vary(int v) {
    tool().pix_lum_vary = v;
    if (v > 0)
        core::MakeRandArrayByte(g_engine.random.lum_vary, 256,
                                wrap(3 * std::int64_t{g_engine.canvas.max_brush}));
}

void dec_drawing_length() { tool().remaining_length = wrap(std::int64_t{tool().remaining_length} - 1); }

} // namespace vlm::brush
