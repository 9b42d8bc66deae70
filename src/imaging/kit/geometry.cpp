#include "imaging/kit/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace vlm::kit {
namespace {

template <typename T> T load(const std::uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <typename T> void store(std::uint8_t* p, T v) { std::memcpy(p, &v, sizeof v); }

// Mixes count channels of T: d + (s - d) x weight / 65536, rounded.
template <typename T>
void mix_row(std::uint8_t* d, const std::uint8_t* s, std::size_t count, std::uint64_t w) {
    for (std::size_t i = 0; i < count; ++i, d += sizeof(T), s += sizeof(T)) {
        const std::uint64_t dv = load<T>(d), sv = load<T>(s);
        store<T>(d, static_cast<T>((dv * (65536 - w) + sv * w + 32768) >> 16));
    }
}

// Turns src (width x height) into dst; `at` maps a destination pixel to its source pixel.
template <int Bpp, class Map>
void turn(const std::uint8_t* src, int src_stride, std::uint8_t* dst, int dst_width, int dst_height,
          int dst_stride, int bytes_per_pixel, Map at) {
    const int bpp = Bpp ? Bpp : bytes_per_pixel;
    constexpr int kTile = 32; // keeps the column walk of the source within cache
    for (int ty = 0; ty < dst_height; ty += kTile)
        for (int tx = 0; tx < dst_width; tx += kTile)
            for (int y = ty; y < std::min(ty + kTile, dst_height); ++y) {
                std::uint8_t* d = row_at(dst, y, dst_stride) + std::size_t(tx) * bpp;
                for (int x = tx; x < std::min(tx + kTile, dst_width); ++x, d += bpp) {
                    const auto [sx, sy] = at(x, y);
                    std::memcpy(d, row_at(src, sy, src_stride) + std::size_t(sx) * bpp, bpp);
                }
            }
}

template <class Map>
void turn_any(const std::uint8_t* src, int src_stride, std::uint8_t* dst, int dst_width, int dst_height,
              int dst_stride, int bpp, Map at) {
    switch (bpp) {
    case 1:
        return turn<1>(src, src_stride, dst, dst_width, dst_height, dst_stride, bpp, at);
    case 2:
        return turn<2>(src, src_stride, dst, dst_width, dst_height, dst_stride, bpp, at);
    case 3:
        return turn<3>(src, src_stride, dst, dst_width, dst_height, dst_stride, bpp, at);
    case 4:
        return turn<4>(src, src_stride, dst, dst_width, dst_height, dst_stride, bpp, at);
    case 8:
        return turn<8>(src, src_stride, dst, dst_width, dst_height, dst_stride, bpp, at);
    default:
        return turn<0>(src, src_stride, dst, dst_width, dst_height, dst_stride, bpp, at);
    }
}

struct Point {
    int x, y;
};

} // namespace

int overlay_image(std::uint8_t* dst, int dst_width, int dst_height, int bytes_per_pixel, int dst_stride,
                  const std::uint8_t* src, int src_width, int src_height, int src_stride, int x, int y,
                  double opacity) {
    const int bpp = bytes_per_pixel;
    if (!image_ok(dst, dst_width, dst_height, bpp, dst_stride) ||
        !image_ok(src, src_width, src_height, bpp, src_stride) || std::isnan(opacity))
        return 0;
    const long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(x) + src_width, dst_width);
    const long long y1 = std::min<long long>(static_cast<long long>(y) + src_height, dst_height);
    if (x0 >= x1 || y0 >= y1 || opacity <= 0) return 1;
    const int width = static_cast<int>(x1 - x0), height = static_cast<int>(y1 - y0);
    const int sx = static_cast<int>(x0 - x), sy = static_cast<int>(y0 - y);
    return attempt([&] {
        const SourceView v = source_view(src, src_width, src_height, bpp, src_stride, dst,
                                         image_span(dst_width, dst_height, bpp, dst_stride));
        const std::uint8_t* s = row_at(v.pixels, sy, v.stride) + std::size_t(sx) * bpp;
        const std::size_t row_bytes = std::size_t(width) * bpp;
        const bool wide = bpp == 2 || bpp == 8;
        const auto weight = static_cast<std::uint64_t>(std::lround(std::min(opacity, 1.0) * 65536));
        for (int j = 0; j < height; ++j) {
            std::uint8_t* d = row_at(dst, static_cast<int>(y0) + j, dst_stride) + std::size_t(x0) * bpp;
            const std::uint8_t* r = row_at(s, j, v.stride);
            if (weight >= 65536)
                std::memcpy(d, r, row_bytes);
            else if (wide)
                mix_row<std::uint16_t>(d, r, row_bytes / 2, weight);
            else
                mix_row<std::uint8_t>(d, r, row_bytes, weight);
        }
        return 1;
    });
}

int crop_image(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
               int dst_stride, Rect rect, int bytes_per_pixel) {
    const int bpp = bytes_per_pixel;
    const long long left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
    const long long top = std::min(rect.top, rect.bottom), bottom = std::max(rect.top, rect.bottom);
    if (right - left > INT32_MAX || bottom - top > INT32_MAX) return 0;
    const int out_width = static_cast<int>(right - left), out_height = static_cast<int>(bottom - top);
    if (!image_ok(src, width, height, bpp, src_stride) ||
        !image_ok(dst, out_width, out_height, bpp, dst_stride))
        return 0;
    return attempt([&] {
        const SourceView v = source_view(src, width, height, bpp, src_stride, dst,
                                         image_span(out_width, out_height, bpp, dst_stride));
        // Columns [in0, in1) of the output come from the source; the rest are outside it.
        const long long in0 = std::clamp<long long>(-left, 0, out_width);
        const long long in1 = std::clamp<long long>(width - left, in0, out_width);
        for (int j = 0; j < out_height; ++j) {
            std::uint8_t* d = row_at(dst, j, dst_stride);
            const long long sy = top + j;
            if (sy < 0 || sy >= height || in0 == in1) {
                std::memset(d, 0, std::size_t(out_width) * bpp);
                continue;
            }
            std::memset(d, 0, std::size_t(in0) * bpp);
            std::memcpy(d + std::size_t(in0) * bpp,
                        row_at(v.pixels, static_cast<int>(sy), v.stride) + std::size_t(left + in0) * bpp,
                        std::size_t(in1 - in0) * bpp);
            std::memset(d + std::size_t(in1) * bpp, 0, std::size_t(out_width - in1) * bpp);
        }
        return 1;
    });
}

int flip_horizontal(std::uint8_t* pixels, int width, int height, int bytes_per_pixel, int stride) {
    const int bpp = bytes_per_pixel;
    if (!image_ok(pixels, width, height, bpp, stride)) return 0;
    std::uint8_t tmp[16];
    for (int y = 0; y < height; ++y) {
        std::uint8_t* a = row_at(pixels, y, stride);
        std::uint8_t* b = a + std::size_t(width - 1) * bpp;
        for (; a < b; a += bpp, b -= bpp) {
            std::memcpy(tmp, a, bpp);
            std::memcpy(a, b, bpp);
            std::memcpy(b, tmp, bpp);
        }
    }
    return 1;
}

int flip_vertical(std::uint8_t* pixels, int stride, int height) {
    if (!pixels || stride <= 0 || height <= 0) return 0;
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(row_at(pixels, top, stride), row_at(pixels, top, stride) + stride,
                         row_at(pixels, bottom, stride));
    return 1;
}

int rotate_quarter(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                   int dst_stride, int direction, int bytes_per_pixel) {
    const int bpp = bytes_per_pixel;
    if (direction != kTurnRight && direction != kTurnHalf && direction != kTurnLeft) return 0;
    const bool half = direction == kTurnHalf;
    const int out_width = half ? width : height, out_height = half ? height : width;
    if (!image_ok(src, width, height, bpp, src_stride) ||
        !image_ok(dst, out_width, out_height, bpp, dst_stride))
        return 0;
    return attempt([&] {
        const SourceView v = source_view(src, width, height, bpp, src_stride, dst,
                                         image_span(out_width, out_height, bpp, dst_stride));
        const std::uint8_t* s = v.pixels;
        const int s_stride = v.stride;
        if (direction == kTurnRight)
            turn_any(s, s_stride, dst, out_width, out_height, dst_stride, bpp, [&](int x, int y) {
                return Point{y, height - 1 - x};
            });
        else if (direction == kTurnLeft)
            turn_any(s, s_stride, dst, out_width, out_height, dst_stride, bpp, [&](int x, int y) {
                return Point{width - 1 - y, x};
            });
        else
            turn_any(s, s_stride, dst, out_width, out_height, dst_stride, bpp, [&](int x, int y) {
                return Point{width - 1 - x, height - 1 - y};
            });
        return 1;
    });
}

} // namespace vlm::kit
