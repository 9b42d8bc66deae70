#include "effects/sweep_effects.h"

#include <array>
#include <cstdlib>

#include "core/memory.h"
#include "core/parallel.h"
#include "effects/pixels.h"

namespace vlm::effects {

namespace {

// One loop of a pass: count steps of `step` from `start`, stopping before the end bound.
struct Loop {
    int start, step, count;
    int at(int i) const { return start + i * step; }
};

Loop loop(int start, int step, int end) {
    const int n = step > 0 ? end - start : start - end;
    return {start, step, n > 0 ? n : 0};
}

// P is (x, y); Q = P + q is the pixel the step writes; R = P + r the pixel diagonally ahead. Every pass
// walks y in the outer loop and x in the inner one. Passes along rows chain the pixels of a row, passes
// along columns those of a column, so rows (or columns) are independent of each other.
struct Pass {
    Loop y, x;
    int qx, qy, rx, ry;
    bool along_rows;
};

std::array<Pass, 8> passes(int w, int h) {
    return {{
        {loop(0, 1, h - 2), loop(0, 1, w - 2), 1, 0, 1, 1, true},
        {loop(h - 1, -1, 1), loop(w - 1, -1, 1), -1, 0, -1, -1, true},
        {loop(1, 1, h - 1), loop(w - 1, -1, 1), -1, 0, -1, 1, true},
        {loop(h - 1, -1, 1), loop(0, 1, w - 2), 1, 0, 1, -1, true},
        {loop(0, 1, h - 2), loop(0, 1, w - 2), 0, 1, 1, 1, false},
        {loop(h - 1, -1, 1), loop(w - 1, -1, 1), 0, -1, -1, -1, false},
        {loop(0, 1, h - 2), loop(w - 1, -1, 1), 0, 1, -1, 1, false},
        {loop(h - 1, -1, 1), loop(0, 1, w - 2), 0, -1, 1, -1, false},
    }};
}

// Runs step(P, Q, lum of R) over one pass, its independent lines split over the cores. Only "Anti Alias"
// looks at R (`with_r`). Walking the lines in order, no step writes R before it is read, so R is read from
// `lums`, the lum of every pixel as the pass found it, which lets lines run side by side; without that
// snapshot the pass reads R itself and keeps to one thread.
template <class Step>
void run_pass(const Params& p, const Pass& pass, bool with_r, const std::uint8_t* lums, const Step& step) {
    const int lines = pass.along_rows ? pass.y.count : pass.x.count;
    const int per_line = pass.along_rows ? pass.x.count : pass.y.count;
    if (lines <= 0 || per_line <= 0) return;
    const std::ptrdiff_t q = static_cast<std::ptrdiff_t>(pass.qy) * p.pitch + pass.qx * 4;
    const std::ptrdiff_t r = static_cast<std::ptrdiff_t>(pass.ry) * p.pitch + pass.rx * 4;
    const auto walk = [&](int first, int last) {
        Loop ys = pass.y, xs = pass.x;
        Loop& split = pass.along_rows ? ys : xs;
        split.start = split.at(first);
        split.count = last - first;
        for (int i = 0; i < ys.count; ++i) {
            const int y = ys.at(i);
            std::uint8_t* row = p.destination + offset(p, 0, y);
            const std::size_t r_row =
                static_cast<std::size_t>(y + pass.ry) * static_cast<std::size_t>(p.width);
            for (int j = 0; j < xs.count; ++j) {
                const int x = xs.at(j);
                std::uint8_t* P = row + static_cast<std::size_t>(x) * 4;
                const int lr = !with_r ? 0
                               : lums  ? lums[r_row + static_cast<std::size_t>(x + pass.rx)]
                                       : lum(P + r);
                step(P, P + q, lr);
            }
        }
    };
    if (with_r && !lums)
        walk(0, lines);
    else
        core::parallel_rows(lines, per_line, kParallelWork, walk);
}

void snapshot_lums(const Params& p, std::uint8_t* lums) {
    core::parallel_rows(p.height, p.width, kParallelWork, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const std::uint8_t* px = p.destination + offset(p, 0, y);
            std::uint8_t* out = lums + static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width);
            for (int x = 0; x < p.width; ++x, px += 4) out[x] = static_cast<std::uint8_t>(lum(px));
        }
    });
}

// Every pass reads what the earlier ones wrote, so the block is switched to chained reading.
template <class Step> void sweep(Params& p, const Step& step) {
    p.chain = 1;
    for (const Pass& pass : passes(p.width, p.height)) run_pass(p, pass, false, nullptr, step);
}

// Q moved toward P by the 16-bit weight k: (((k Q) / 256) + ((P (65535 - k)) / 256)) / 256 per channel.
// T is 32-bit unsigned for weights in 0..65535 and 64-bit signed for the settings beyond, which must not
// overflow; both give the same quotients where both apply.
template <class T> inline std::uint8_t blend_channel(int pc, int qc, T k) {
    const T v = ((k * static_cast<T>(qc)) / 256 + (static_cast<T>(pc) * (65535 - k)) / 256) / 256;
    return clamp_byte(static_cast<long long>(v));
}

template <class T> inline void blend(const std::uint8_t* P, std::uint8_t* Q, T k) {
    for (int c = 0; c < 4; ++c) Q[c] = blend_channel<T>(P[c], Q[c], k);
}

bool in_16_bits(int k) { return k >= 0 && k <= 65535; }

// Runs make(k) with k in the narrowest type that holds it.
template <class Make> void with_weight(Params& p, int k, const Make& make) {
    if (in_16_bits(k))
        sweep(p, make(static_cast<std::uint32_t>(k)));
    else
        sweep(p, make(static_cast<long long>(k)));
}

} // namespace

void anti_alias(Params& p) {
    const int t1 = to_int(255 * (1 - p.v3)), t2 = to_int(255 * (1 - p.v4));
    const double v1 = p.v1, v2 = p.v2;
    const std::size_t pixels = static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height);
    // Short of memory for the snapshot, the passes still run, on one thread.
    std::uint8_t* lums = core::x_NewCharUndoReduce(pixels);
    const auto mix = [](const std::uint8_t* P, std::uint8_t* Q, double v) {
        for (int c = 0; c < 4; ++c) Q[c] = clamp_byte(to_int((1 - v) * P[c] + v * Q[c]));
    };
    const auto step = [&](const std::uint8_t* P, std::uint8_t* Q, int lr) {
        const int lp = lum(P), lq = lum(Q);
        if (lp - lq > t1 && lr >= lp)
            mix(P, Q, v1);
        else if (lq - lp > t2 && lr <= lp)
            mix(P, Q, v2);
    };
    p.chain = 1;
    for (const Pass& pass : passes(p.width, p.height)) {
        if (pass.y.count <= 0 || pass.x.count <= 0) continue;
        if (lums) snapshot_lums(p, lums);
        run_pass(p, pass, true, lums, step);
    }
    core::free_block(lums);
}

void value_blur(Params& p) {
    const int k1 = to_int(p.v1 * 65535), k2 = to_int(p.v2 * 65535);
    const auto make = [](auto w1, auto w2) {
        return [w1, w2](const std::uint8_t* P, std::uint8_t* Q, int) {
            const int lp = lum(P), lq = lum(Q);
            const auto k = lp > lq ? w1 : lp < lq ? w2 : 0;
            if (k != 0) blend(P, Q, k);
        };
    };
    if (in_16_bits(k1) && in_16_bits(k2))
        sweep(p, make(static_cast<std::uint32_t>(k1), static_cast<std::uint32_t>(k2)));
    else
        sweep(p, make(static_cast<long long>(k1), static_cast<long long>(k2)));
}

void noise_reduction(Params& p) {
    p.v1 = 1 - p.v1 * 0.5;
    const int t = to_int(p.v2 * 255), k = to_int(p.v1 * 65535);
    with_weight(p, k, [t](auto w) {
        return [t, w](const std::uint8_t* P, std::uint8_t* Q, int) {
            if (std::abs(lum(P) - lum(Q)) < t) blend(P, Q, w);
        };
    });
}

void noise_reduction_rgb(Params& p) {
    p.v1 = 1 - p.v1 * 0.5;
    p.v3 = 1 - p.v3 * 0.5;
    p.v5 = 1 - p.v5 * 0.5;
    const int t[3] = {to_int(p.v2 * 255), to_int(p.v4 * 255), to_int(p.v6 * 255)};
    const long long k[3] = {to_int(p.v1 * 65535), to_int(p.v3 * 65535), to_int(p.v5 * 65535)};
    sweep(p, [t, k](const std::uint8_t* P, std::uint8_t* Q, int) {
        for (int c = 0; c < 3; ++c)
            if (std::abs(P[c] - Q[c]) < t[c]) Q[c] = blend_channel<long long>(P[c], Q[c], k[c]);
    });
}

} // namespace vlm::effects
