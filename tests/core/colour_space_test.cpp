// The colour-space conversions against values worked out independently (by hand and in a separate
// double-precision script written from the conversion rules). Byte results are exact, truncation
// included: round trips may land one below where they started, and must.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/colour_space.h"

namespace vlm::core {
namespace {

void expect_rgb(const Rgb8& got, int r, int g, int b, const char* what) {
    EXPECT_EQ(got.r, r) << what;
    EXPECT_EQ(got.g, g) << what;
    EXPECT_EQ(got.b, b) << what;
}

TEST(ColourSpace, Hsv) {
    const struct {
        int r, g, b;
        double h, s, v;
        int back[3];
    } cases[] = {
        {128, 128, 128, -1.0, 0.0, 0.5019607843137255, {128, 128, 128}}, // grey: no hue
        {255, 0, 0, 0.0, 1.0, 1.0, {255, 0, 0}},
        {255, 0, 128, 329.88235294117646, 1.0, 1.0, {255, 0, 128}}, // negative hue wrapped
        {51, 102, 204, 220.0, 0.75, 0.8, {50, 102, 204}},
        {10, 200, 30, 126.3157894736842, 0.95, 0.7843137254901961, {9, 200, 29}},
    };
    for (const auto& c : cases) {
        const Hsv hsv = rgb_to_hsv(c.r, c.g, c.b);
        EXPECT_NEAR(hsv.h, c.h, 1e-9) << c.r << ' ' << c.g << ' ' << c.b;
        EXPECT_NEAR(hsv.s, c.s, 1e-12) << c.r << ' ' << c.g << ' ' << c.b;
        EXPECT_NEAR(hsv.v, c.v, 1e-12) << c.r << ' ' << c.g << ' ' << c.b;
        expect_rgb(hsv_to_rgb(hsv.h, hsv.s, hsv.v), c.back[0], c.back[1], c.back[2], "back");
    }
    const Rgb8 at0 = hsv_to_rgb(0, 0.7, 0.9), at360 = hsv_to_rgb(360, 0.7, 0.9);
    expect_rgb(at360, at0.r, at0.g, at0.b, "hue 360 is hue 0");
    expect_rgb(hsv_to_rgb(300, 0.5, 0.6), 153, 76, 153, "sector 5");
}

TEST(ColourSpace, Hsl) {
    const struct {
        int r, g, b;
        double h, s, l;
        int back[3];
    } cases[] = {
        {255, 0, 0, 0.0, 1.0, 0.5, {255, 0, 0}},
        {90, 90, 90, 0.0, 0.0, 0.3529411764705882, {89, 89, 89}},
        {51, 102, 204, 220.0, 0.6, 0.5, {50, 102, 204}},
        {200, 180, 20, 53.33333333333333, 0.818181818181818, 0.43137254901960786, {199, 179, 20}},
    };
    for (const auto& c : cases) {
        const Hsl hsl = rgb_to_hsl(c.r, c.g, c.b);
        EXPECT_NEAR(hsl.h, c.h, 1e-9) << c.r << ' ' << c.g << ' ' << c.b;
        EXPECT_NEAR(hsl.s, c.s, 1e-12) << c.r << ' ' << c.g << ' ' << c.b;
        EXPECT_NEAR(hsl.l, c.l, 1e-12) << c.r << ' ' << c.g << ' ' << c.b;
        expect_rgb(hsl_to_rgb(hsl.h, hsl.s, hsl.l), c.back[0], c.back[1], c.back[2], "back");
    }
    expect_rgb(hsl_to_rgb(0, 1, 0.5), 255, 0, 0, "red");
    expect_rgb(hsl_to_rgb(30, 0.4, 0.7), 209, 178, 147, "light orange, lightness above one half");
}

TEST(ColourSpace, XyzAndLab) {
    const Xyz white = rgb_to_xyz(255, 255, 255);
    EXPECT_NEAR(white.x, 95.05, 1e-9);
    EXPECT_NEAR(white.y, 100.0, 1e-9);
    EXPECT_NEAR(white.z, 108.9, 1e-9);
    const Lab white_lab = xyz_to_lab(white.x, white.y, white.z);
    EXPECT_NEAR(white_lab.l, 100.0, 1e-9);
    EXPECT_NEAR(white_lab.a, 0.0, 0.02);
    EXPECT_NEAR(white_lab.b, 0.0, 0.02);
    expect_rgb(xyz_to_rgb(white.x, white.y, white.z), 255, 255, 255, "white back");

    const Xyz red = rgb_to_xyz(255, 0, 0);
    EXPECT_NEAR(red.x, 41.24, 1e-9);
    EXPECT_NEAR(red.y, 21.26, 1e-9);
    EXPECT_NEAR(red.z, 1.93, 1e-9);
    const Xyz dark = rgb_to_xyz(5, 5, 5); // the linear segment
    EXPECT_NEAR(dark.y, 0.15176349177441875, 1e-12);

    const Xyz blue = rgb_to_xyz(10, 128, 240);
    EXPECT_NEAR(blue.x, 23.572522513626865, 1e-9);
    EXPECT_NEAR(blue.y, 21.794143405463874, 1e-9);
    EXPECT_NEAR(blue.z, 85.40235991198584, 1e-9);
    const Lab blue_lab = xyz_to_lab(blue.x, blue.y, blue.z);
    EXPECT_NEAR(blue_lab.l, 53.807902752022784, 1e-9);
    EXPECT_NEAR(blue_lab.a, 13.2457819654333, 1e-9);
    EXPECT_NEAR(blue_lab.b, -64.0864224346273, 1e-9);
    const Xyz blue_back = lab_to_xyz(blue_lab.l, blue_lab.a, blue_lab.b);
    EXPECT_NEAR(blue_back.x, blue.x, 1e-9);
    EXPECT_NEAR(blue_back.z, blue.z, 1e-9);
    expect_rgb(lab_to_rgb(blue_lab.l, blue_lab.a, blue_lab.b), 10, 128, 240, "blue through Lab");

    const Xyz ref_white = lab_to_xyz(100, 0, 0);
    EXPECT_NEAR(ref_white.x, 95.047, 1e-9);
    EXPECT_NEAR(ref_white.y, 100.0, 1e-9);
    EXPECT_NEAR(ref_white.z, 108.883, 1e-9);
    expect_rgb(lab_to_rgb(100, 0, 0), 255, 255, 254, "reference white");
    const Xyz black = lab_to_xyz(0, 0, 0);
    EXPECT_EQ(black.y, 0.0);
    const Xyz clipped = lab_to_xyz(50, -100, 100); // z would be negative
    EXPECT_EQ(clipped.z, 0.0);
    EXPECT_NEAR(clipped.y, 18.418651851244416, 1e-9);
    expect_rgb(xyz_to_rgb(200, 0, 0), 255, 0, 93, "out of gamut held to bytes");
}

TEST(ColourSpace, CmyAndCmyk) {
    expect_rgb(cmy_to_rgb(0, 0.5, 1), 255, 127, 0, "cmy");
    const Cmyk black = cmy_to_cmyk(1, 1, 1);
    EXPECT_EQ(black.c, 0.0);
    EXPECT_EQ(black.m, 0.0);
    EXPECT_EQ(black.y, 0.0);
    EXPECT_EQ(black.k, 1.0);
    const Cmyk k = cmy_to_cmyk(0.2, 0.5, 0.8);
    EXPECT_NEAR(k.c, 0.0, 1e-15);
    EXPECT_NEAR(k.m, 0.375, 1e-15);
    EXPECT_NEAR(k.y, 0.75, 1e-15);
    EXPECT_NEAR(k.k, 0.2, 1e-15);
    expect_rgb(cmyk_to_rgb(k.c, k.m, k.y, k.k), 204, 127, 50, "cmyk");
}

// Inputs outside the conversions' ranges (a script can pass anything) still give bytes.
TEST(ColourSpace, WildInputsGiveBytes) {
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    auto in_range = [](const Rgb8& c) {
        return c.r >= 0 && c.r <= 255 && c.g >= 0 && c.g <= 255 && c.b >= 0 && c.b <= 255;
    };
    const Rgb8 grey_hue = hsv_to_rgb(-1, 0.5, 1);
    expect_rgb(grey_hue, hsv_to_rgb(359, 0.5, 1).r, hsv_to_rgb(359, 0.5, 1).g, hsv_to_rgb(359, 0.5, 1).b,
               "hue -1 wraps to 359");
    for (double h : {nan, inf, -inf, 1e300, -725.0})
        for (double v : {nan, -3.0, 0.5, 7.0}) {
            EXPECT_TRUE(in_range(hsv_to_rgb(h, 0.5, v))) << h << ' ' << v;
            EXPECT_TRUE(in_range(hsl_to_rgb(h, 0.5, v))) << h << ' ' << v;
            EXPECT_TRUE(in_range(lab_to_rgb(v * 100, h, h))) << h << ' ' << v;
            EXPECT_TRUE(in_range(xyz_to_rgb(h, v, -h))) << h << ' ' << v;
            EXPECT_TRUE(in_range(cmyk_to_rgb(v, h, 0.5, v))) << h << ' ' << v;
        }
}

} // namespace
} // namespace vlm::core
