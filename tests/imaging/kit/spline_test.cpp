#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "imaging/kit/spline.h"

namespace vlm::kit {
namespace {

struct Curve {
    std::vector<double> x, y, z;
    explicit Curve(int n) : x(n), y(n), z(n) {}
};

Curve spline(int count, std::vector<double> cx, std::vector<double> cy, int curvature = 50) {
    Curve c(count);
    const std::vector<double> cz(cx.size(), 0.0);
    EXPECT_NE(spline_points_3d(count, static_cast<int>(cx.size()), curvature, cx.data(), cy.data(), cz.data(),
                               c.x.data(), c.y.data(), c.z.data()),
              0);
    return c;
}

TEST(Spline3D, PassesThroughTheControlPointsInOrder) {
    const Curve c = spline(101, {10, 200, 40}, {5, 90, 300});
    EXPECT_EQ(c.x[0], 10);
    EXPECT_EQ(c.y[0], 5);
    EXPECT_EQ(c.x[50], 200);
    EXPECT_EQ(c.y[50], 90);
    EXPECT_EQ(c.x[100], 40);
    EXPECT_EQ(c.y[100], 300);
    EXPECT_EQ(c.z[70], 0);
    // Smooth at the middle control point: the steps just before and after it point the same way.
    const double before = std::atan2(c.y[50] - c.y[49], c.x[50] - c.x[49]);
    const double after = std::atan2(c.y[51] - c.y[50], c.x[51] - c.x[50]);
    EXPECT_NEAR(before, after, 0.15);
    const Curve corner = spline(101, {10, 200, 40}, {5, 90, 300}, 0);
    EXPECT_GT(std::fabs(std::atan2(corner.y[51] - corner.y[50], corner.x[51] - corner.x[50]) -
                        std::atan2(corner.y[50] - corner.y[49], corner.x[50] - corner.x[49])),
              1.0);
}

TEST(Spline3D, EvenlySpacedPointsOnALineStayEvenlySpaced) {
    const Curve c = spline(100, {0, 99, 198}, {4294967295.0, 4294967295.0 - 99, 4294967295.0 - 198});
    for (int i = 0; i < 100; ++i) {
        EXPECT_NEAR(c.x[i], 2.0 * i, 1e-6);
        EXPECT_NEAR(c.y[i], 4294967295.0 - 2.0 * i, 1e-6);
    }
}

TEST(Spline3D, OneControlPointIsACurveStandingStill) {
    const Curve c = spline(5, {7}, {8});
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(c.x[i] == 7 && c.y[i] == 8);
}

TEST(Spline3D, RefusesMissingArraysAndCounts) {
    double a[3] = {}, out[3];
    EXPECT_EQ(spline_points_3d(3, 3, 50, a, a, nullptr, out, out, out), 0);
    EXPECT_EQ(spline_points_3d(0, 3, 50, a, a, a, out, out, out), 0);
    EXPECT_EQ(spline_points_3d(3, 0, 50, a, a, a, out, out, out), 0);
}

} // namespace
} // namespace vlm::kit
