#include "imaging/kit/resize.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/kit/cv_view.h"
#include "imaging/kit/image.h"

namespace vlm::kit {
namespace {

constexpr double kPi = 3.14159265358979323846;

double sinc(double x) {
    if (x == 0) return 1;
    x *= kPi;
    return std::sin(x) / x;
}

double box(double x) { return x >= -0.5 && x < 0.5 ? 1 : 0; } // half-open: a shared edge counts once
double triangle(double x) { return std::max(0.0, 1 - std::fabs(x)); }
double hamming(double x) { return std::fabs(x) < 1 ? sinc(x) * (0.54 + 0.46 * std::cos(kPi * x)) : 0; }
double hanning(double x) { return std::fabs(x) < 1 ? sinc(x) * (0.5 + 0.5 * std::cos(kPi * x)) : 0; }
double gaussian(double x) { return std::exp(-2 * x * x) * std::sqrt(2 / kPi); }
double lanczos3(double x) { return std::fabs(x) < 3 ? sinc(x) * sinc(x / 3) : 0; }
double sinc4(double x) { return std::fabs(x) < 4 ? sinc(x) : 0; }

double bell(double x) { // quadratic B-spline
    x = std::fabs(x);
    if (x < 0.5) return 0.75 - x * x;
    if (x < 1.5) return 0.5 * (x - 1.5) * (x - 1.5);
    return 0;
}

double hermite(double x) {
    x = std::fabs(x);
    return x < 1 ? (2 * x - 3) * x * x + 1 : 0;
}

// The two-parameter cubic family: B-spline (1, 0), Mitchell (1/3, 1/3), Catmull-Rom (0, 1/2) and the
// cubic convolutions (0, -a).
double cubic(double x, double B, double C) {
    x = std::fabs(x);
    if (x < 1) return ((12 - 9 * B - 6 * C) * x * x * x + (-18 + 12 * B + 6 * C) * x * x + (6 - 2 * B)) / 6;
    if (x < 2)
        return ((-B - 6 * C) * x * x * x + (6 * B + 30 * C) * x * x + (-12 * B - 48 * C) * x +
                (8 * B + 24 * C)) /
               6;
    return 0;
}

double b_spline(double x) { return cubic(x, 1.0, 0.0); }
double cubic1(double x) { return cubic(x, 0.0, 1.0); }
double cubic2(double x) { return cubic(x, 0.0, 0.75); }
double mitchell(double x) { return cubic(x, 1.0 / 3, 1.0 / 3); }
double catrom(double x) { return cubic(x, 0.0, 0.5); }

// Source positions and weights of every target position along one side.
template <typename R> struct Taps {
    int width = 0; // weights stored per target position
    std::vector<int> first, count;
    std::vector<R> weights;
};

template <typename R> Taps<R> make_taps(int in_size, int out_size, const ResizeFilter& f) {
    const double scale = static_cast<double>(in_size) / out_size;
    const double stretch = std::max(scale, 1.0); // shrinking widens the kernel over the source
    const double support = f.support * stretch;
    Taps<R> t;
    t.width = static_cast<int>(std::min<double>(2 * std::ceil(support) + 1, in_size));
    t.first.resize(out_size);
    t.count.resize(out_size);
    t.weights.assign(static_cast<std::size_t>(out_size) * t.width, 0);
    std::vector<double> w(t.width);
    for (int i = 0; i < out_size; ++i) {
        const double centre = (i + 0.5) * scale;
        const int lo = std::clamp(static_cast<int>(std::floor(centre - support + 0.5)), 0, in_size - 1);
        const int hi = std::clamp(static_cast<int>(std::floor(centre + support + 0.5)), lo + 1, in_size);
        int n = std::min(hi - lo, t.width), a = 0;
        double sum = 0;
        for (int k = 0; k < n; ++k) sum += w[k] = f.kernel((lo + k + 0.5 - centre) / stretch);
        if (sum == 0) { // no source pixel under the kernel: take the nearest
            t.first[i] = std::clamp(static_cast<int>(centre), 0, in_size - 1);
            t.count[i] = 1;
            t.weights[static_cast<std::size_t>(i) * t.width] = 1;
            continue;
        }
        while (w[a] == 0) ++a; // the kernel's zero ends cost work and add nothing
        while (w[n - 1] == 0) --n;
        for (int k = a; k < n; ++k)
            t.weights[static_cast<std::size_t>(i) * t.width + k - a] = static_cast<R>(w[k] / sum);
        t.first[i] = lo + a;
        t.count[i] = n - a;
    }
    return t;
}

// Samples are weighed in single precision for 8-bit channels and in double precision for 16-bit ones,
// where long single-precision sums could move a flat area by a level.
template <typename T> using Real = std::conditional_t<sizeof(T) == 1, float, double>;

template <typename T> T to_sample(Real<T> v) {
    constexpr Real<T> kMax = sizeof(T) == 1 ? 255 : 65535;
    return v <= 0 ? T(0) : v >= kMax ? T(kMax) : static_cast<T>(v + Real<T>(0.5));
}

// One row resampled along x (C channels of T per pixel) into real values.
template <typename T, int C>
void across_row(const T* s, int out_width, const Taps<Real<T>>& t, Real<T>* out) {
    using R = Real<T>;
    for (int x = 0; x < out_width; ++x) {
        const R* w = &t.weights[static_cast<std::size_t>(x) * t.width];
        const T* p = s + static_cast<std::size_t>(t.first[x]) * C;
        R acc[C] = {};
        for (int k = 0; k < t.count[x]; ++k, p += C)
            for (int c = 0; c < C; ++c) acc[c] += w[k] * static_cast<R>(p[c]);
        for (int c = 0; c < C; ++c) out[static_cast<std::size_t>(x) * C + c] = acc[c];
    }
}

// Resizes with a kernel, one pass per side that changes. When the height changes, every stripe of
// target rows keeps a ring of source rows already resampled across, so the rows between the two passes
// are never stored whole and never rounded.
template <typename T, int C>
void resample_kernel(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                     int new_width, int new_height, int dst_stride, const ResizeFilter& f) {
    using R = Real<T>;
    const std::size_t values = static_cast<std::size_t>(new_width) * C;
    const auto source_row = [&](int y) { return reinterpret_cast<const T*>(row_at(src, y, src_stride)); };
    const Taps<R> across = new_width != width ? make_taps<R>(width, new_width, f) : Taps<R>{};
    if (new_height == height) {
        cv::parallel_for_(cv::Range(0, height), [&](const cv::Range& rows) {
            std::vector<R> acc(values);
            std::vector<T> line(values);
            for (int y = rows.start; y < rows.end; ++y) {
                across_row<T, C>(source_row(y), new_width, across, acc.data());
                std::transform(acc.begin(), acc.end(), line.begin(), to_sample<T>);
                std::memcpy(row_at(dst, y, dst_stride), line.data(), values * sizeof(T));
            }
        });
        return;
    }
    const Taps<R> down = make_taps<R>(height, new_height, f);
    cv::parallel_for_(cv::Range(0, new_height), [&](const cv::Range& rows) {
        const int ring_rows = down.width;
        std::vector<R> ring(values * ring_rows), acc(values);
        std::vector<int> held(ring_rows, -1);
        std::vector<T> line(values);
        for (int y = rows.start; y < rows.end; ++y) {
            std::fill(acc.begin(), acc.end(), R(0));
            const R* w = &down.weights[static_cast<std::size_t>(y) * down.width];
            for (int k = 0; k < down.count[y]; ++k) {
                const int sy = down.first[y] + k, slot = sy % ring_rows;
                R* r = &ring[values * slot];
                if (held[slot] != sy) {
                    if (new_width != width)
                        across_row<T, C>(source_row(sy), new_width, across, r);
                    else
                        std::copy(source_row(sy), source_row(sy) + values, r);
                    held[slot] = sy;
                }
                const R wk = w[k];
                for (std::size_t i = 0; i < values; ++i) acc[i] += wk * r[i];
            }
            std::transform(acc.begin(), acc.end(), line.begin(), to_sample<T>);
            std::memcpy(row_at(dst, y, dst_stride), line.data(), values * sizeof(T));
        }
    });
}

} // namespace

const std::array<ResizeFilter, 18> kResizeFilters = {{
    {kFilterBox, "Box", 0.5, box, -1},
    {kFilterTriangle, "Triangle", 1.0, triangle, -1},
    {kFilterHamming, "Hamming", 1.0, hamming, -1},
    {kFilterGaussian, "Gaussian", 1.5, gaussian, -1},
    {kFilterBell, "Bell", 1.5, bell, -1},
    {kFilterBSpline, "B-Spline", 2.0, b_spline, -1},
    {kFilterCubic1, "Cubic 1", 2.0, cubic1, -1},
    {kFilterCubic2, "Cubic 2", 2.0, cubic2, -1},
    {kFilterLanczos3, "Lanczos3", 3.0, lanczos3, -1},
    {kFilterMitchell, "Mitchell", 2.0, mitchell, -1},
    {kFilterSinc, "Sinc", 4.0, sinc4, -1},
    {kFilterHermite, "Hermite", 1.0, hermite, -1},
    {kFilterHanning, "Hanning", 1.0, hanning, -1},
    {kFilterCatrom, "Catrom", 2.0, catrom, -1},
    {kFilterAreaAverage, "Area Average", 0, nullptr, cv::INTER_AREA},
    {kFilterBilinear, "Bilinear", 0, nullptr, cv::INTER_LINEAR},
    {kFilterBicubic, "Bicubic", 0, nullptr, cv::INTER_CUBIC},
    {kFilterNearest, "Nearest Neighbor", 0, nullptr, cv::INTER_NEAREST_EXACT},
}};

const ResizeFilter* find_resize_filter(int number) {
    for (const ResizeFilter& f : kResizeFilters)
        if (f.number == number) return &f;
    return nullptr;
}

int resize_image(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                 int new_width, int new_height, int dst_stride, int bytes_per_pixel, int filter) {
    const int bpp = bytes_per_pixel;
    const ResizeFilter* f = find_resize_filter(filter);
    if (!f || (bpp != 1 && bpp != 3 && bpp != 4 && bpp != 8) ||
        !image_ok(src, width, height, bpp, src_stride) ||
        !image_ok(dst, new_width, new_height, bpp, dst_stride))
        return 0;
    return attempt([&] {
        // 16-bit samples are read in place only on 2-byte boundaries.
        const bool misaligned = bpp == 8 && (reinterpret_cast<std::uintptr_t>(src) % 2 || src_stride % 2);
        const SourceView v = source_view(src, width, height, bpp, src_stride, dst,
                                         image_span(new_width, new_height, bpp, dst_stride), misaligned);
        const std::uint8_t* s = v.pixels;
        const int s_stride = v.stride;
        if (new_width == width && new_height == height) {
            for (int y = 0; y < height; ++y)
                std::memcpy(row_at(dst, y, dst_stride), row_at(s, y, s_stride), std::size_t(width) * bpp);
        } else if (!f->kernel) {
            cv::Mat out = cv_view(dst, new_width, new_height, bpp, dst_stride);
            cv::resize(cv_view(s, width, height, bpp, s_stride), out, out.size(), 0, 0,
                       f->opencv_interpolation);
        } else {
            const auto run = [&](auto kernel) {
                kernel(s, width, height, s_stride, dst, new_width, new_height, dst_stride, *f);
            };
            switch (bpp) {
            case 1:
                run(resample_kernel<std::uint8_t, 1>);
                break;
            case 3:
                run(resample_kernel<std::uint8_t, 3>);
                break;
            case 4:
                run(resample_kernel<std::uint8_t, 4>);
                break;
            default:
                run(resample_kernel<std::uint16_t, 4>);
                break;
            }
        }
        return 1;
    });
}

int decimate_image(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                   int new_width, int new_height, int dst_stride, int bytes_per_pixel, int mode) {
    if (mode != 0 && mode != 1) return 0;
    return resize_image(src, width, height, src_stride, dst, new_width, new_height, dst_stride,
                        bytes_per_pixel, mode == 1 ? kFilterBox : kFilterNearest);
}

int resample_image(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                   int new_width, int new_height, int dst_stride, int bytes_per_pixel) {
    return resize_image(src, width, height, src_stride, dst, new_width, new_height, dst_stride,
                        bytes_per_pixel, kFilterBilinear);
}

} // namespace vlm::kit
