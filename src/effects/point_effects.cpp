#include "effects/point_effects.h"

#include <algorithm>
#include <vector>

#include "core/engine_state.h"
#include "core/layer_queries.h"
#include "effects/pixels.h"

namespace vlm::effects {

void grayscale(Params& p) {
    for_each_pixel(p, [](const std::uint8_t* in, std::uint8_t* out) {
        const auto l = static_cast<std::uint8_t>(lum(in));
        out[0] = out[1] = out[2] = l;
    });
}

void invert(Params& p) {
    for_each_pixel(p, [](const std::uint8_t* in, std::uint8_t* out) {
        for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>(255 - in[c]);
    });
}

void basic_threshold(Params& p) {
    const int t = to_int(p.v1 * 255);
    for_each_pixel(p, [t](const std::uint8_t* in, std::uint8_t* out) {
        out[0] = out[1] = out[2] = lum(in) >= t ? 255 : 0;
    });
}

void hyper_contrast(Params& p) {
    int k = to_int((1 - p.v1) * 255);
    if (k == 0)
        k = 1;
    else if (k >= 250)
        k = 250;
    for_each_pixel(p, [k](const std::uint8_t* in, std::uint8_t* out) {
        const int mx = std::max({in[0], in[1], in[2]}), mn = std::min({in[0], in[1], in[2]});
        const double w = (mx + mn) * 0.00196078431372549;
        for (int ch = 0; ch < 3; ++ch) {
            const int c = in[ch];
            out[ch] = clamp_byte(to_int((1 - w) * (255 - (255 - c) * (255 - c) / k) + w * (c * c / k)));
        }
    });
}

void alpha_edge_color(Params& p) {
    const int lo = to_int(p.v4 * 255), hi = to_int(p.v5 * 255);
    const std::uint8_t colour[3] = {clamp_byte(to_int(p.v1 * 255)), clamp_byte(to_int(p.v2 * 255)),
                                    clamp_byte(to_int(p.v3 * 255))};
    const bool opaque = p.option3 == 1;
    for_each_pixel(p, [&](const std::uint8_t* in, std::uint8_t* out) {
        const int a = in[3];
        if (a <= lo) {
            out[3] = 0;
        } else if (a < hi) {
            out[0] = colour[0], out[1] = colour[1], out[2] = colour[2];
            out[3] = opaque ? 255 : static_cast<std::uint8_t>(a);
        } else if (opaque) {
            out[3] = 255;
        }
    });
}

void channel(Params& p) {
    const bool red = p.option3 == 1, green = p.option4 == 1, blue = p.option5 == 1;
    for_each_pixel(p, [=](const std::uint8_t* in, std::uint8_t* out) {
        std::uint8_t px[4] = {in[0], in[1], in[2], in[3]};
        // Each step keeps one channel as a pure colour whose alpha is that channel, and sees the result
        // of the step before.
        const auto keep = [&px](bool on, int c) {
            if (!on) return;
            const std::uint8_t v = px[c];
            px[0] = px[1] = px[2] = 0;
            px[3] = v;
            if (v > 0) px[c] = 255;
        };
        keep(red, 0);
        keep(green, 1);
        keep(blue, 2);
        for (int c = 0; c < 4; ++c) out[c] = px[c];
    });
}

void adjust_rgba(Params& p) {
    const double settings[4] = {p.v1, p.v2, p.v3, p.v4};
    for_each_pixel(p, [&settings](const std::uint8_t* in, std::uint8_t* out) {
        for (int c = 0; c < 4; ++c) {
            const double f = in[c] * kByteToFraction, v = settings[c];
            const double adjusted = v < 0.5 ? f - (0.5 - v) * f * 2 : f + (v - 0.5) * (1 - f) * 2;
            out[c] = static_cast<std::uint8_t>(core::unit_to_byte(adjusted));
        }
    });
}

void clamp(Params& p) {
    const double lo = p.v1 * 255, lo_value = p.v2 * 255, hi = p.v3 * 255, hi_value = p.v4 * 255;
    const bool on[4] = {p.option3 == 1, p.option4 == 1, p.option5 == 1, p.option6 == 1};
    for_each_pixel(p, [&](const std::uint8_t* in, std::uint8_t* out) {
        for (int ch = 0; ch < 4; ++ch) {
            int c = in[ch];
            if (on[ch]) {
                if (lo > c) c = to_int(lo_value);
                if (hi < c) c = to_int(hi_value);
            }
            out[ch] = clamp_byte(c);
        }
    });
}

void adjust_lab(Params& p) {
    const double dl = (p.v1 - 0.5) * 200, da = (p.v2 - 0.5) * 200, db = (p.v3 - 0.5) * 200;
    for_each_pixel(p, [=](const std::uint8_t* in, std::uint8_t* out) {
        const core::Xyz xyz = core::rgb_to_xyz(in[0], in[1], in[2]);
        const core::Lab lab = core::xyz_to_lab(xyz.x, xyz.y, xyz.z);
        write_rgb(out, core::lab_to_rgb(lab.l + dl, lab.a + da, lab.b + db));
    });
}

namespace {

// A factor running from `from` at the first index to `to` at the last in equal steps, accumulated as it
// goes. A ramp of one index has no step; it holds `from`.
std::vector<double> ramp(double from, double to, int first, int last) {
    std::vector<double> f(static_cast<std::size_t>(last - first) + 1);
    const double step = last > first ? (to - from) / (last - first) : 0.0;
    double v = from;
    for (double& x : f) {
        x = v;
        v += step;
    }
    return f;
}

} // namespace

void fader(Params& p) {
    int x0 = 0, y0 = 0, x1 = p.width - 1, y1 = p.height - 1;
    if (p.option3 == 1) {
        y0 = 1, y1 = 0; // no readable current layer: nothing to fade
        if (g_engine.layers.current)
            core::find_data_extents(g_engine.layers.current_number, &x0, &y0, &x1, &y1);
    }
    if (y1 < y0 || x1 < x0) return;
    const std::vector<double> fx = ramp(2 * p.v3, 2 * p.v4, x0, x1);
    const std::vector<double> fy = ramp(2 * p.v1, 2 * p.v2, y0, y1);
    const bool saturation = p.option4 != 0, lightness = p.option5 != 0, alpha = p.option6 != 0;
    if (!saturation && !lightness && !alpha) return;
    const Params& block = p;
    core::parallel_rows(y1 - y0 + 1, x1 - x0 + 1, kParallelWork, [&](int first, int last) {
        for (int row = first; row < last; ++row) {
            const int y = y0 + row;
            for (int x = x0; x <= x1; ++x) {
                const double f = fx[x - x0] * fy[row];
                const Bytes px = read_bytes(block, x, y);
                if (saturation || lightness) {
                    core::Hsl hsl = core::rgb_to_hsl(px.r, px.g, px.b);
                    if (saturation) hsl.s *= f;
                    if (lightness) hsl.l *= f;
                    write_hsl(block, x, y, hsl.h, hsl.s, hsl.l);
                }
                if (alpha && inside(block, x, y))
                    block.destination[offset(block, x, y) + 3] = clamp_byte(to_int(f * px.a));
            }
        }
    });
}

} // namespace vlm::effects
