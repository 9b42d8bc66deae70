#pragma once
// The single-precision RGB <-> HSL pair of the hue blend modes (Colorize and the four HSL modes).
// Channels run 0..1, hue is in degrees 0..360. The constants are the ones the engine has always used,
// so that hue-mode layers keep their look: 1/6 in single precision, 1/60 in double precision.
#include <algorithm>

namespace vlm::compose {

struct HslF {
    float h, s, l;
};

struct RgbF {
    float r, g, b;
};

inline HslF rgb_to_hsl(float r, float g, float b) {
    const float mx = std::max(r, std::max(g, b));
    const float mn = std::min(r, std::min(g, b));
    HslF o{0.0f, 0.0f, (mx + mn) / 2.0f};
    if (mx == mn) return o;
    const float d = mx - mn;
    o.s = o.l < 0.5f ? d / (mx + mn) : d / (2.0f - mx - mn);
    constexpr float kSixth = 0.16666667f;
    const float dr = ((mx - r) * kSixth + d / 2.0f) / d;
    const float dg = ((mx - g) * kSixth + d / 2.0f) / d;
    const float db = ((mx - b) * kSixth + d / 2.0f) / d;
    float h;
    if (r == mx)
        h = db - dg;
    else if (g == mx)
        h = 1.0f / 3.0f + dr - db;
    else
        h = 2.0f / 3.0f + dg - dr;
    if (h < 0.0f)
        h += 1.0f;
    else if (h > 1.0f)
        h -= 1.0f;
    o.h = h * 360.0f;
    return o;
}

// One channel of the HSL -> RGB ramp; h is brought into 0..360 by a single turn either way.
inline float hsl_channel(float p, float q, float h) {
    constexpr double kSixtieth = 0.016666666666666666;
    if (h > 360.0f)
        h -= 360.0f;
    else if (h < 0.0f)
        h += 360.0f;
    if (h < 60.0f) return static_cast<float>(p + (q - p) * h * kSixtieth);
    if (h < 180.0f) return q;
    if (h < 240.0f) return static_cast<float>(p + (q - p) * (240.0f - h) * kSixtieth);
    return p;
}

inline RgbF hsl_to_rgb(float h, float s, float l) {
    if (s == 0.0f) return {l, l, l};
    const float q = l < 0.5f ? l * (1.0f + s) : l + s - l * s;
    const float p = 2.0f * l - q;
    return {hsl_channel(p, q, h + 120.0f), hsl_channel(p, q, h), hsl_channel(p, q, h - 120.0f)};
}

} // namespace vlm::compose
