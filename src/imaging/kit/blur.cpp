#include "imaging/kit/blur.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/kit/cv_view.h"
#include "imaging/kit/image.h"

namespace vlm::kit {
namespace {

// Horizontal 1 2 1 sums of one row, edges repeated.
void row_sums(const std::uint8_t* row, int width, int bpp, std::uint16_t* out) {
    for (int x = 0; x < width; ++x) {
        const int l = std::max(x - 1, 0) * bpp, c = x * bpp, r = std::min(x + 1, width - 1) * bpp;
        for (int k = 0; k < bpp; ++k)
            out[c + k] = static_cast<std::uint16_t>(row[l + k] + 2 * row[c + k] + row[r + k]);
    }
}

// Box widths whose three successive passes have the variance of a Gaussian of standard deviation sigma.
std::array<int, 3> box_widths(double sigma) {
    const double ideal = std::sqrt(12.0 * sigma * sigma / 3 + 1);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0) --lower;
    const int upper = lower + 2;
    const double m =
        std::round((12.0 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9) / (-4.0 * lower - 4));
    std::array<int, 3> w{};
    for (int i = 0; i < 3; ++i) w[i] = i < m ? lower : upper;
    return w;
}

} // namespace

int blur_image(const std::uint8_t* src, int width, int height, int bytes_per_pixel, int src_stride,
               std::uint8_t* dst, int dst_stride, int amount, int channels) {
    const int bpp = bytes_per_pixel;
    if ((bpp != 1 && bpp != 3 && bpp != 4) || !image_ok(src, width, height, bpp, src_stride) ||
        !image_ok(dst, width, height, bpp, dst_stride))
        return 0;
    const int a = std::clamp(amount, 0, 100);
    bool selected[4] = {};
    for (int c = 0; c < bpp; ++c) selected[c] = (channels >> c) & 1;
    return attempt([&] {
        const SourceView s =
            source_view(src, width, height, bpp, src_stride, dst, image_span(width, height, bpp, dst_stride));
        const int row_len = width * bpp;
        // Rows are independent given their neighbours, so stripes of rows run in parallel and give the
        // same bytes as one pass.
        cv::parallel_for_(cv::Range(0, height), [&](const cv::Range& rows) {
            std::vector<std::uint16_t> sums(3 * std::size_t(row_len));
            std::uint16_t* ring[3] = {sums.data(), sums.data() + row_len, sums.data() + 2 * row_len};
            row_sums(row_at(s.pixels, std::max(rows.start - 1, 0), s.stride), width, bpp, ring[0]);
            row_sums(row_at(s.pixels, rows.start, s.stride), width, bpp, ring[1]);
            for (int y = rows.start; y < rows.end; ++y) {
                row_sums(row_at(s.pixels, std::min(y + 1, height - 1), s.stride), width, bpp, ring[2]);
                const std::uint8_t* original = row_at(s.pixels, y, s.stride);
                std::uint8_t* out = row_at(dst, y, dst_stride);
                for (int i = 0, c = 0; i < row_len; ++i, c = c + 1 == bpp ? 0 : c + 1) {
                    if (!selected[c]) {
                        out[i] = original[i];
                        continue;
                    }
                    const int blurred = (ring[0][i] + 2 * ring[1][i] + ring[2][i] + 8) >> 4;
                    out[i] = static_cast<std::uint8_t>((original[i] * (100 - a) + blurred * a + 50) / 100);
                }
                std::rotate(ring, ring + 1, ring + 3);
            }
        });
        return 1;
    });
}

int gaussian_blur(const std::uint8_t* src, int width, int height, int bytes_per_pixel, int src_stride,
                  std::uint8_t* dst, int dst_stride, double radius, int channels) {
    const int bpp = bytes_per_pixel;
    if ((bpp != 1 && bpp != 3 && bpp != 4 && bpp != 8) || !image_ok(src, width, height, bpp, src_stride) ||
        !image_ok(dst, width, height, bpp, dst_stride) || !(radius > 0 && radius <= 1000))
        return 0;
    const int channel_count = bpp == 8 ? 4 : bpp, channel_bytes = bpp == 8 ? 2 : 1;
    const int mask = channels & ((1 << channel_count) - 1);
    return attempt([&] {
        const SourceView s =
            source_view(src, width, height, bpp, src_stride, dst, image_span(width, height, bpp, dst_stride));
        const cv::Mat in = cv_view(s.pixels, width, height, bpp, s.stride);
        cv::Mat out = cv_view(dst, width, height, bpp, dst_stride);
        const bool all = mask == (1 << channel_count) - 1;
        cv::Mat blurred = all ? out : cv::Mat(in.size(), in.type());
        if (mask == 0)
            in.copyTo(out);
        else if (radius <= 16) {
            cv::GaussianBlur(in, blurred, cv::Size(), radius, radius, cv::BORDER_REPLICATE);
        } else {
            const std::array<int, 3> w = box_widths(radius);
            cv::blur(in, blurred, cv::Size(w[0], w[0]), cv::Point(-1, -1), cv::BORDER_REPLICATE);
            cv::blur(blurred, blurred, cv::Size(w[1], w[1]), cv::Point(-1, -1), cv::BORDER_REPLICATE);
            cv::blur(blurred, blurred, cv::Size(w[2], w[2]), cv::Point(-1, -1), cv::BORDER_REPLICATE);
        }
        if (all || mask == 0) return 1;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* b = blurred.ptr<std::uint8_t>(y);
            const std::uint8_t* o = row_at(s.pixels, y, s.stride);
            std::uint8_t* d = row_at(dst, y, dst_stride);
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < channel_count; ++c) {
                    const std::size_t at = (std::size_t(x) * channel_count + c) * channel_bytes;
                    std::memcpy(d + at, ((mask >> c) & 1 ? b : o) + at, channel_bytes);
                }
        }
        return 1;
    });
}

} // namespace vlm::kit
