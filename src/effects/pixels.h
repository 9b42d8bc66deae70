#pragma once
// Pixel access for the built-in effects. Every effect reads a pixel from the destination when the block's
// chain flag is set, else from the source, and writes the destination. The accessors check the position
// against the block's width and height: reads outside give zeros, writes outside do nothing.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "core/colour_space.h"
#include "core/parallel.h"
#include "effects/state.h"

namespace vlm::effects {

inline constexpr double kByteToFraction = 0.00392156862745098; // 1/255
// Pixels below which a whole-image loop stays on the caller's thread.
inline constexpr long long kParallelWork = 1 << 15;

struct Bytes {
    int r, g, b, a;
};
struct Fractions {
    double r, g, b, a;
};

// A floating-point value truncated toward zero, held to the int range (NaN gives 0), so that no setting
// can make a conversion undefined.
inline int to_int(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(v);
}

inline std::uint8_t clamp_byte(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }
inline std::uint8_t clamp_byte(long long v) {
    return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// (R + G + B) / 3 of a pixel's first three bytes.
inline int lum(const std::uint8_t* px) { return (px[0] + px[1] + px[2]) / 3; }

inline bool inside(const Params& p, int x, int y) { return x >= 0 && y >= 0 && x < p.width && y < p.height; }

inline std::size_t offset(const Params& p, int x, int y) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(p.pitch) + static_cast<std::size_t>(x) * 4;
}

// The buffer the reading rule names.
inline const std::uint8_t* read_plane(const Params& p) { return p.chain ? p.destination : p.source; }

inline Bytes read_bytes(const Params& p, int x, int y) {
    if (!inside(p, x, y)) return {0, 0, 0, 0};
    const std::uint8_t* px = read_plane(p) + offset(p, x, y);
    return {px[0], px[1], px[2], px[3]};
}

inline Fractions read_fractions(const Params& p, int x, int y) {
    const Bytes b = read_bytes(p, x, y);
    return {b.r * kByteToFraction, b.g * kByteToFraction, b.b * kByteToFraction, b.a * kByteToFraction};
}

inline void write_bytes(const Params& p, int x, int y, int r, int g, int b, int a) {
    if (!inside(p, x, y)) return;
    std::uint8_t* px = p.destination + offset(p, x, y);
    px[0] = clamp_byte(r);
    px[1] = clamp_byte(g);
    px[2] = clamp_byte(b);
    px[3] = clamp_byte(a);
}

// Each fraction held to 0..1, x 255, truncated.
inline void write_fractions(const Params& p, int x, int y, double r, double g, double b, double a) {
    if (!inside(p, x, y)) return;
    std::uint8_t* px = p.destination + offset(p, x, y);
    px[0] = static_cast<std::uint8_t>(core::unit_to_byte(r));
    px[1] = static_cast<std::uint8_t>(core::unit_to_byte(g));
    px[2] = static_cast<std::uint8_t>(core::unit_to_byte(b));
    px[3] = static_cast<std::uint8_t>(core::unit_to_byte(a));
}

inline void write_rgb(std::uint8_t* px, core::Rgb8 c) {
    px[0] = clamp_byte(c.r);
    px[1] = clamp_byte(c.g);
    px[2] = clamp_byte(c.b);
}

inline double clamp_unit(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

// Hue held to 0..359, saturation and lightness to 0..1; alpha unchanged.
inline void write_hsl(std::uint8_t* px, double h, double s, double l) {
    h = h < 0 ? 0 : h > 359 ? 359 : h;
    write_rgb(px, core::hsl_to_rgb(h, clamp_unit(s), clamp_unit(l)));
}
inline void write_hsl(const Params& p, int x, int y, double h, double s, double l) {
    if (inside(p, x, y)) write_hsl(p.destination + offset(p, x, y), h, s, l);
}

// Alpha unchanged.
inline void write_lab(const Params& p, int x, int y, double l, double a, double b) {
    if (!inside(p, x, y)) return;
    write_rgb(p.destination + offset(p, x, y), core::lab_to_rgb(l, a, b));
}

// Calls fn(in, out) for every pixel of the block, rows split over the cores: in is the pixel by the reading
// rule, out the destination pixel (the same pixel when chained, so fn reads in before writing out).
template <class Fn> void for_each_pixel(const Params& p, Fn&& fn) {
    const std::uint8_t* in_plane = read_plane(p);
    core::parallel_rows(p.height, p.width, kParallelWork, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const std::uint8_t* in = in_plane + offset(p, 0, y);
            std::uint8_t* out = p.destination + offset(p, 0, y);
            for (int x = 0; x < p.width; ++x, in += 4, out += 4) fn(in, out);
        }
    });
}

} // namespace vlm::effects
