#pragma once
// Conversions between 8-bit RGB and HSV, HSL, CIE XYZ (sRGB, D65), CIE L*a*b* and CMY/CMYK, shared by
// the mask selections, colour adjustments, built-in effects and script functions. Double precision with
// the engine's constants; 8-bit inputs are normalised by 1/255 and 8-bit outputs are value x 255
// truncated toward zero, held to 0..255 so that no input can produce a value outside a byte.
// The cheap, branchy ones are inline for per-pixel use; XYZ and Lab, which are bound by pow, live in the
// .cpp file.
#include <algorithm>
#include <cmath>

namespace vlm::core {

struct Rgb8 {
    int r, g, b;
};
struct Hsv {
    double h, s, v; // hue in degrees 0..360 (-1 for greys), saturation and value 0..1
};
struct Hsl {
    double h, s, l; // hue in degrees 0..360, saturation and lightness 0..1
};
struct Xyz {
    double x, y, z; // 0..about 100
};
struct Lab {
    double l, a, b;
};
struct Cmyk {
    double c, m, y, k; // 0..1
};

inline constexpr double kByteScale = 0.00392156862745098; // 1/255

// v x 255 truncated toward zero, held to a byte (NaN gives 0).
inline int unit_to_byte(double v) {
    const double t = v * 255;
    if (!(t > 0.0)) return 0;
    if (t >= 255.0) return 255;
    return static_cast<int>(t);
}

inline Hsv rgb_to_hsv(int r8, int g8, int b8) {
    const double r = r8 * kByteScale, g = g8 * kByteScale, b = b8 * kByteScale;
    const double mx = std::fmax(r, std::fmax(g, b));
    const double mn = std::fmin(r, std::fmin(g, b));
    if (mx == mn) return {-1.0, 0.0, mx};
    const double d = mx - mn;
    double h;
    if (r == mx)
        h = (g - b) / d;
    else if (g == mx)
        h = 2 + (b - r) / d;
    else
        h = 4 + (r - g) / d;
    h = h * 60;
    if (h < 0) h += 360;
    return {h, d / mx, mx};
}

// A hue outside 0..360 (such as the -1 of a grey) is taken modulo 360, so 360 counts as 0.
inline Rgb8 hsv_to_rgb(double hue, double s, double v) {
    if (s == 0) return {unit_to_byte(v), unit_to_byte(v), unit_to_byte(v)};
    if (!(hue >= 0.0 && hue < 360.0)) {
        hue = std::fmod(hue, 360.0);
        if (hue < 0) hue += 360;
        if (!(hue >= 0.0 && hue < 360.0)) hue = 0;
    }
    const double h = hue / 60;
    const double fl = std::floor(h);
    const double f = h - fl;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    const double sectors[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
    const double* rgb = sectors[std::min(static_cast<int>(fl), 5)];
    return {unit_to_byte(rgb[0]), unit_to_byte(rgb[1]), unit_to_byte(rgb[2])};
}

inline Hsl rgb_to_hsl(int r8, int g8, int b8) {
    const double r = r8 * kByteScale, g = g8 * kByteScale, b = b8 * kByteScale;
    const double mx = std::fmax(r, std::fmax(g, b));
    const double mn = std::fmin(r, std::fmin(g, b));
    const double l = (mx + mn) / 2;
    if (mx == mn) return {0.0, 0.0, l};
    const double d = mx - mn;
    const double s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    constexpr double kSixth = 0.16666666666666666;
    const double dr = ((mx - r) * kSixth + d / 2) / d;
    const double dg = ((mx - g) * kSixth + d / 2) / d;
    const double db = ((mx - b) * kSixth + d / 2) / d;
    double h;
    if (r == mx)
        h = db - dg;
    else if (g == mx)
        h = 1.0 / 3.0 + dr - db;
    else
        h = 2.0 / 3.0 + dg - dr;
    if (h < 0)
        h += 1;
    else if (h > 1)
        h -= 1;
    return {h * 360, s, l};
}

namespace detail {
inline double hsl_ramp(double p, double q, double h) {
    constexpr double kSixtieth = 0.016666666666666666;
    if (h > 360)
        h -= 360;
    else if (h < 0)
        h += 360;
    if (h < 60) return p + (q - p) * h * kSixtieth;
    if (h < 180) return q;
    if (h < 240) return p + (q - p) * (240 - h) * kSixtieth;
    return p;
}
} // namespace detail

inline Rgb8 hsl_to_rgb(double h, double s, double l) {
    if (s == 0) return {unit_to_byte(l), unit_to_byte(l), unit_to_byte(l)};
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    return {unit_to_byte(detail::hsl_ramp(p, q, h + 120)), unit_to_byte(detail::hsl_ramp(p, q, h)),
            unit_to_byte(detail::hsl_ramp(p, q, h - 120))};
}

Xyz rgb_to_xyz(int r, int g, int b); // negatives raised to 0
Rgb8 xyz_to_rgb(double x, double y, double z);
Lab xyz_to_lab(double x, double y, double z); // reference white 95.047, 100, 108.883
Xyz lab_to_xyz(double l, double a, double b); // negatives raised to 0
Rgb8 lab_to_rgb(double l, double a, double b);

inline Rgb8 cmy_to_rgb(double c, double m, double y) {
    return {unit_to_byte(1 - c), unit_to_byte(1 - m), unit_to_byte(1 - y)};
}

inline Cmyk cmy_to_cmyk(double c, double m, double y) {
    const double k = std::fmin(std::fmin(c, m), std::fmin(y, 1.0));
    if (k == 1) return {0.0, 0.0, 0.0, 1.0};
    return {(c - k) / (1 - k), (m - k) / (1 - k), (y - k) / (1 - k), k};
}

inline Rgb8 cmyk_to_rgb(double c, double m, double y, double k) {
    return cmy_to_rgb(k + (1 - k) * c, k + (1 - k) * m, k + (1 - k) * y);
}

} // namespace vlm::core
