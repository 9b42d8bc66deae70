#pragma once
// The directional smoothers written plainly: the eight passes as literal loops over the bounds-checked
// accessors, one pixel after another. The engine's kernels must match them bit for bit.
#include <cstdlib>

#include "effects/pixels.h"

namespace vlm::effects::test {

// step(x, y, qx, qy, rx, ry) for every position of the eight passes, in order.
template <class Step> void reference_passes(const Params& p, const Step& step) {
    const int w = p.width, h = p.height;
    for (int y = 0; y < h - 2; ++y)
        for (int x = 0; x < w - 2; ++x) step(x, y, x + 1, y, x + 1, y + 1);
    for (int y = h - 1; y > 1; --y)
        for (int x = w - 1; x > 1; --x) step(x, y, x - 1, y, x - 1, y - 1);
    for (int y = 1; y < h - 1; ++y)
        for (int x = w - 1; x > 1; --x) step(x, y, x - 1, y, x - 1, y + 1);
    for (int y = h - 1; y > 1; --y)
        for (int x = 0; x < w - 2; ++x) step(x, y, x + 1, y, x + 1, y - 1);
    for (int y = 0; y < h - 2; ++y)
        for (int x = 0; x < w - 2; ++x) step(x, y, x, y + 1, x + 1, y + 1);
    for (int y = h - 1; y > 1; --y)
        for (int x = w - 1; x > 1; --x) step(x, y, x, y - 1, x - 1, y - 1);
    for (int y = 0; y < h - 2; ++y)
        for (int x = w - 1; x > 1; --x) step(x, y, x, y + 1, x - 1, y + 1);
    for (int y = h - 1; y > 1; --y)
        for (int x = 0; x < w - 2; ++x) step(x, y, x, y - 1, x + 1, y - 1);
}

inline int ref_lum(const Bytes& b) { return (b.r + b.g + b.b) / 3; }

inline int ref_blend(long long p, long long q, long long k) {
    return static_cast<int>((((k * q) / 256) + ((p * (65535 - k)) / 256)) / 256);
}

// Runs the named smoother on the block (which must already hold the runner's copy in the destination).
inline void reference_sweep(const char* name, Params& p) {
    const std::string_view n(name);
    p.chain = 1;
    if (n == "Value Blur") {
        const int k1 = to_int(p.v1 * 65535), k2 = to_int(p.v2 * 65535);
        reference_passes(p, [&](int x, int y, int qx, int qy, int, int) {
            const Bytes P = read_bytes(p, x, y), Q = read_bytes(p, qx, qy);
            int k = 0;
            if (ref_lum(P) > ref_lum(Q)) k = k1;
            if (ref_lum(P) < ref_lum(Q)) k = k2;
            if (k == 0) return;
            write_bytes(p, qx, qy, ref_blend(P.r, Q.r, k), ref_blend(P.g, Q.g, k), ref_blend(P.b, Q.b, k),
                        ref_blend(P.a, Q.a, k));
        });
    } else if (n == "Noise Reduction") {
        p.v1 = 1 - p.v1 * 0.5;
        const int t = to_int(p.v2 * 255), k = to_int(p.v1 * 65535);
        reference_passes(p, [&](int x, int y, int qx, int qy, int, int) {
            const Bytes P = read_bytes(p, x, y), Q = read_bytes(p, qx, qy);
            if (std::abs(ref_lum(P) - ref_lum(Q)) < t)
                write_bytes(p, qx, qy, ref_blend(P.r, Q.r, k), ref_blend(P.g, Q.g, k), ref_blend(P.b, Q.b, k),
                            ref_blend(P.a, Q.a, k));
        });
    } else if (n == "Noise Reduction RGB") {
        p.v1 = 1 - p.v1 * 0.5;
        p.v3 = 1 - p.v3 * 0.5;
        p.v5 = 1 - p.v5 * 0.5;
        const int t[3] = {to_int(p.v2 * 255), to_int(p.v4 * 255), to_int(p.v6 * 255)};
        const int k[3] = {to_int(p.v1 * 65535), to_int(p.v3 * 65535), to_int(p.v5 * 65535)};
        reference_passes(p, [&](int x, int y, int qx, int qy, int, int) {
            const Bytes P = read_bytes(p, x, y), Q = read_bytes(p, qx, qy);
            const int pc[3] = {P.r, P.g, P.b};
            int qc[3] = {Q.r, Q.g, Q.b};
            for (int c = 0; c < 3; ++c)
                if (std::abs(pc[c] - qc[c]) < t[c])
                    qc[c] = static_cast<int>(
                        ((pc[c] * (65535LL - k[c])) / 256 + (k[c] * static_cast<long long>(qc[c])) / 256) /
                        256);
            write_bytes(p, qx, qy, qc[0], qc[1], qc[2], Q.a);
        });
    } else if (n == "Anti Alias") {
        const int t1 = to_int(255 * (1 - p.v3)), t2 = to_int(255 * (1 - p.v4));
        reference_passes(p, [&](int x, int y, int qx, int qy, int rx, int ry) {
            const Bytes P = read_bytes(p, x, y), Q = read_bytes(p, qx, qy), R = read_bytes(p, rx, ry);
            const int lp = ref_lum(P), lq = ref_lum(Q), lr = ref_lum(R);
            double v;
            if (lp - lq > t1 && lr >= lp)
                v = p.v1;
            else if (lq - lp > t2 && lr <= lp)
                v = p.v2;
            else
                return;
            const auto mix = [v](int a, int b) { return to_int((1 - v) * a + v * b); };
            write_bytes(p, qx, qy, mix(P.r, Q.r), mix(P.g, Q.g), mix(P.b, Q.b), mix(P.a, Q.a));
        });
    }
}

} // namespace vlm::effects::test
