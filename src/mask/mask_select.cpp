#include "mask/mask_select.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/colour_space.h"
#include "core/dirty_rect.h"
#include "core/parallel.h"
#include "mask/kernels.h"
#include "mask/mask_plane.h"

namespace vlm::mask {

namespace {

// Below this many units of work a selection stays on the caller's thread.
constexpr long long kParallelWork = 1 << 20;

// Sets value wherever match(pixel) holds, over every canvas pixel of a packed picture of bytes-per-pixel
// Bytes. Each thread works on its own copy of match, so matchers may keep a cache.
template <int Bytes, class Match>
void select_where(const void* image, std::uint16_t value, long long cost_per_pixel, const Match& match) {
    const Plane p = plane();
    if (!p || !image) return;
    const auto* base = static_cast<const std::uint8_t*>(image);
    const std::size_t width = static_cast<std::size_t>(p.width);
    core::parallel_rows(p.height, cost_per_pixel * p.width, kParallelWork, [&](int first, int last) {
        Match local = match;
        const std::uint8_t* s = base + static_cast<std::size_t>(first) * width * Bytes;
        for (std::uint16_t *m = p.row(first), *end = p.row(last); m != end; ++m, s += Bytes)
            if (local(s)) *m = value;
    });
    core::dirty_whole_canvas();
}

bool within(long long a, long long b, long long tolerance) { return std::llabs(a - b) <= tolerance; }

// Whether hue h lies within tolerance degrees of h0, also across 0/360.
bool hue_within(double h, double h0, double tolerance) {
    return std::fabs(h - h0) <= tolerance || std::fabs(h - (h0 - 360)) <= tolerance ||
           std::fabs(h - (h0 + 360)) <= tolerance;
}

// A test on the colour alone that costs double arithmetic; pictures are mostly runs of one colour, so the
// last answer is kept.
template <class Test> struct CachedColourTest {
    Test test;
    int last = -1;
    bool answer = false;
    bool operator()(const std::uint8_t* s) {
        const int key = s[0] | s[1] << 8 | s[2] << 16;
        if (key != last) {
            last = key;
            answer = test(s[0], s[1], s[2]);
        }
        return answer;
    }
};
template <class Test> CachedColourTest<Test> cached(Test t) { return {t}; }

// A value trunc(x) held to a range every comparison here is decided within.
int clamp_trunc(double x) {
    if (!(x > -1e6)) return -1000000;
    if (x > 1e6) return 1000000;
    return static_cast<int>(x);
}

} // namespace

int byte_tolerance(int percent) { return clamp_trunc(percent * 2.56); }

void select_rgba_color(const void* image, int r, int g, int b, int amount) {
    select_where<4>(image, mark_value(amount), 1,
                    [=](const std::uint8_t* s) { return s[0] == r && s[1] == g && s[2] == b; });
}

void select_rgb24_color(const void* image, int r, int g, int b, int amount) {
    select_where<3>(image, mark_value(amount), 1,
                    [=](const std::uint8_t* s) { return s[0] == r && s[1] == g && s[2] == b; });
}

void select_rgba_color_range(const void* image, int r, int g, int b, int percent, int amount) {
    const int t = byte_tolerance(percent);
    select_where<4>(image, mark_value(amount), 1, [=](const std::uint8_t* s) {
        return within(s[0], r, t) && within(s[1], g, t) && within(s[2], b, t);
    });
}

void select_rgba_alpha_range(const void* image, int alpha, int percent, int amount) {
    const int t = byte_tolerance(percent);
    select_where<4>(image, mark_value(amount), 1,
                    [=](const std::uint8_t* s) { return within(s[3], alpha, t); });
}

void select_rgba_luminance_range(const void* image, int r, int g, int b, int percent, int amount) {
    const int t = byte_tolerance(percent);
    const long long target = (static_cast<long long>(r) + g + b) / 3;
    select_where<4>(image, mark_value(amount), 1,
                    [=](const std::uint8_t* s) { return within((s[0] + s[1] + s[2]) / 3, target, t); });
}

void select_rgba_hue_range(const void* image, int r, int g, int b, int percent, int amount) {
    const int t = clamp_trunc(percent * 1.8);
    const double h0 = core::rgb_to_hsv(r, g, b).h;
    select_where<4>(image, mark_value(amount), 8, cached([=](int pr, int pg, int pb) {
                        return hue_within(core::rgb_to_hsv(pr, pg, pb).h, h0, t);
                    }));
}

void select_rgba_hsl_range(const void* image, int r, int g, int b, double hue, double saturation,
                           double lightness, int amount) {
    const core::Hsl target = core::rgb_to_hsl(r, g, b);
    const double hue_degrees = hue * 180;
    select_where<4>(image, mark_value(amount), 8, cached([=](int pr, int pg, int pb) {
                        const core::Hsl c = core::rgb_to_hsl(pr, pg, pb);
                        return hue_within(c.h, target.h, hue_degrees) &&
                               std::fabs(c.s - target.s) <= saturation &&
                               std::fabs(c.l - target.l) <= lightness;
                    }));
}

void select_flood_mask(const void* plane, int amount) {
    select_where<1>(plane, mark_value(amount), 1, [](const std::uint8_t* s) { return *s == 1; });
}

void select_diff_rgba32(const void* a, const void* b, int value) {
    if (!b) return;
    const auto* first = static_cast<const std::uint8_t*>(a);
    const auto* second = static_cast<const std::uint8_t*>(b);
    select_where<4>(a, static_cast<std::uint16_t>(value), 1,
                    [=](const std::uint8_t* s) { return std::memcmp(s, second + (s - first), 4) != 0; });
}

} // namespace vlm::mask
