#include "core/colour_space.h"

namespace vlm::core {

namespace {

// sRGB companding removed, on the 0..100 scale.
double linear_channel(int c8) {
    const double c = c8 * kByteScale;
    const double lin =
        c > 0.04045 ? std::pow((c + 0.055) * 0.9478672985781991, 2.4) : c * 0.07739938080495357;
    return lin * 100;
}

int companded_byte(double v) {
    const double c = v > 0.0031308 ? 1.055 * std::pow(v, 0.4166666666666667) - 0.055 : 12.92 * v;
    return unit_to_byte(c);
}

double lab_f(double t) { return t > 0.008856 ? std::pow(t, 1.0 / 3.0) : 7.787 * t + 0.13793103448275862; }

double lab_f_inverse(double f) {
    const double cube = f * f * f;
    return cube > 0.008856 ? cube : (f - 0.13793103448275862) * 0.1284191601386927;
}

double non_negative(double v) { return v < 0 ? 0.0 : v; }

} // namespace

Xyz rgb_to_xyz(int r8, int g8, int b8) {
    const double r = linear_channel(r8), g = linear_channel(g8), b = linear_channel(b8);
    return {non_negative(0.4124 * r + 0.3576 * g + 0.1805 * b),
            non_negative(0.2126 * r + 0.7152 * g + 0.0722 * b),
            non_negative(0.0193 * r + 0.1192 * g + 0.9505 * b)};
}

Rgb8 xyz_to_rgb(double x_, double y_, double z_) {
    const double x = x_ * 0.01, y = y_ * 0.01, z = z_ * 0.01;
    const double r = 3.2406 * x - 1.5372 * y - 0.4986 * z;
    const double g = -0.9689 * x + 1.8758 * y + 0.0415 * z;
    const double b = 0.0557 * x - 0.2040 * y + 1.0570 * z;
    return {companded_byte(r), companded_byte(g), companded_byte(b)};
}

Lab xyz_to_lab(double x, double y, double z) {
    const double fx = lab_f(x * 0.010521110608435826);
    const double fy = lab_f(y * 0.01);
    const double fz = lab_f(z * 0.009184170164304804);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

Xyz lab_to_xyz(double l, double a, double b) {
    const double fy = (l + 16) * 0.008620689655172414;
    const double fx = fy + a * 0.002;
    const double fz = fy - b * 0.005;
    return {non_negative(95.047 * lab_f_inverse(fx)), non_negative(100 * lab_f_inverse(fy)),
            non_negative(108.883 * lab_f_inverse(fz))};
}

Rgb8 lab_to_rgb(double l, double a, double b) {
    const Xyz xyz = lab_to_xyz(l, a, b);
    return xyz_to_rgb(xyz.x, xyz.y, xyz.z);
}

} // namespace vlm::core
