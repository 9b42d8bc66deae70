#include "effects/neighbourhood_effects.h"

#include <cstdlib>

#include "core/parallel.h"
#include "effects/pixels.h"
#include "effects/runner.h"

namespace vlm::effects {

namespace {

constexpr double kNinth = 0.1111111111111111;

// Calls fn(in, pitch, out) for every pixel not on the outer border, in rows from the top: in is the pixel
// by the reading rule (its neighbours are in +-4 and +-pitch), out the destination pixel. Reading the
// destination while writing it makes later pixels see earlier results, so that case keeps to one thread
// and that order; otherwise rows are split over the cores.
template <class Fn> void for_each_inner_pixel(const Params& p, const Fn& fn) {
    if (p.width < 3 || p.height < 3) return;
    const std::uint8_t* in_plane = read_plane(p);
    const std::ptrdiff_t pitch = p.pitch;
    const auto rows = [&](int first, int last) {
        for (int y = first + 1; y < last + 1; ++y) {
            const std::uint8_t* in = in_plane + offset(p, 1, y);
            std::uint8_t* out = p.destination + offset(p, 1, y);
            for (int x = 1; x < p.width - 1; ++x, in += 4, out += 4) fn(in, pitch, out);
        }
    };
    if (in_plane == p.destination)
        rows(0, p.height - 2);
    else
        core::parallel_rows(p.height - 2, p.width, kParallelWork, rows);
}

// Sum of lum over the 3 x 3 block centred on px.
int block_lum(const std::uint8_t* px, std::ptrdiff_t pitch) {
    int sum = 0;
    for (std::ptrdiff_t dy = -pitch; dy <= pitch; dy += pitch)
        for (int dx = -4; dx <= 4; dx += 4) sum += lum(px + dy + dx);
    return sum;
}

} // namespace

void adaptive_blur(Params& p) {
    const double d = (1 - p.v1) * 255;
    const double brighter = p.v2, darker = p.v3;
    for_each_inner_pixel(p, [=](const std::uint8_t* c, std::ptrdiff_t pitch, std::uint8_t* out) {
        const std::uint8_t* n[4] = {c - 4, c + 4, c - pitch, c + pitch}; // left, right, up, down
        const int l = lum(c);
        double w = 0;
        bool found = false;
        for (const std::uint8_t* px : n) {
            const int ln = lum(px);
            if (std::abs(l - ln) > d) {
                w = l > ln ? brighter : darker;
                found = true;
                break;
            }
        }
        if (!found) return;
        std::uint8_t result[4];
        for (int ch = 0; ch < 4; ++ch) {
            // Each partial sum carries s1 again, so a4 is about four times the blended value.
            const int s1 = to_int((1 - w) * c[ch]);
            const int a1 = to_int(s1 + w * n[0][ch]);
            const int a2 = to_int(static_cast<double>(s1) + a1 + w * n[1][ch]);
            const int a3 = to_int(static_cast<double>(s1) + a2 + w * n[2][ch]);
            const int a4 = to_int(static_cast<double>(s1) + a3 + w * n[3][ch]);
            result[ch] = clamp_byte(a4 / 4);
        }
        for (int ch = 0; ch < 4; ++ch) out[ch] = result[ch];
    });
}

void detail_blur(Params& p) {
    const int t = to_int(p.v1 * 255);
    for_each_inner_pixel(p, [t](const std::uint8_t* c, std::ptrdiff_t pitch, std::uint8_t* out) {
        const int m = to_int(block_lum(c, pitch) * kNinth);
        if (std::abs(lum(c) - m) <= t) return;
        int sums[4] = {0, 0, 0, 0};
        for (std::ptrdiff_t dy = -pitch; dy <= pitch; dy += pitch)
            for (int dx = -4; dx <= 4; dx += 4)
                for (int ch = 0; ch < 4; ++ch) sums[ch] += c[dy + dx + ch];
        for (int ch = 0; ch < 4; ++ch) out[ch] = clamp_byte(to_int(sums[ch] * kNinth));
    });
}

void bas_relief(Params& p) {
    const double v = p.v1;
    const int option = p.option1;
    for_each_inner_pixel(p, [v, option](const std::uint8_t* c, std::ptrdiff_t pitch, std::uint8_t* out) {
        const std::uint8_t* n = option == 0   ? c - 4
                                : option == 1 ? c - pitch
                                : option == 2 ? c - pitch - 4
                                              : c;
        const core::Hsl hp = core::rgb_to_hsl(c[0], c[1], c[2]);
        const core::Hsl hn = core::rgb_to_hsl(n[0], n[1], n[2]);
        // Away from the neighbour: a lighter (or more saturated) pixel moves toward 1, a darker toward 0.
        const auto relief = [v](double a, double b) {
            return a > b ? a + (1 - a) * v : a < b ? a - a * v : a;
        };
        write_hsl(out, hp.h, relief(hp.s, hn.s), relief(hp.l, hn.l));
    });
}

void line_art_cleaner(Params& p) {
    const int t1 = to_int(p.v1 * 255), t2 = to_int(p.v2 * 255);
    for_each_pixel(p, [t1](const std::uint8_t* in, std::uint8_t* out) {
        out[0] = out[1] = out[2] = lum(in) >= t1 ? 255 : 0;
    });
    load_destination_into_current_layer(p);
    copy_destination_over_source(p);
    // A dark pixel much darker than its block's mean is an isolated speck: it becomes white.
    for_each_inner_pixel(p, [t1, t2](const std::uint8_t* c, std::ptrdiff_t pitch, std::uint8_t* out) {
        const int l = lum(c);
        if (l >= t1) return;
        const int m = to_int(block_lum(c, pitch) * kNinth);
        if (l < m - t2) out[0] = out[1] = out[2] = 255;
    });
}

} // namespace vlm::effects
