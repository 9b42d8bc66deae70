#include "core/transfer_convert.h"

#include <algorithm>
#include <cstddef>

#include "core/transfer_common.h"

namespace vlm::core {

namespace {

std::size_t pixel_count(int width, int height) {
    return (width > 0 && height > 0) ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height) : 0;
}

// Walks two packed buffers side by side, f(dst pixel, src pixel).
template <int kDst, int kSrc, class F>
void convert(void* dst, int width, int height, const void* src, F&& f) {
    if (!dst || !src) return;
    auto* d = static_cast<std::uint8_t*>(dst);
    const auto* s = static_cast<const std::uint8_t*>(src);
    for (std::size_t i = 0, n = pixel_count(width, height); i < n; ++i, d += kDst, s += kSrc) f(d, s);
}

template <class T, class F> void each_pixel(T* buffer, std::size_t count, F&& f) {
    if (!buffer) return;
    for (std::size_t i = 0; i < count; ++i, buffer += 4) f(buffer);
}

// c / (a / full), truncated and capped at full: the unpremultiply of both depths.
template <class T> T unpremultiplied(T c, double ratio, unsigned full) {
    return static_cast<T>(static_cast<unsigned>(std::min<double>(full, c / ratio)));
}

} // namespace

void rgb_to_rgba(void* dst, int width, int height, const void* src) {
    convert<4, 3>(dst, width, height, src,
                  [](std::uint8_t* d, const std::uint8_t* s) { d[0] = s[0], d[1] = s[1], d[2] = s[2]; });
}

void rgba_to_rgb(void* dst, int width, int height, const void* src) {
    convert<3, 4>(dst, width, height, src,
                  [](std::uint8_t* d, const std::uint8_t* s) { d[0] = s[0], d[1] = s[1], d[2] = s[2]; });
}

void rgb_alpha_to_rgb(void* dst, int width, int height, const void* src) {
    convert<3, 4>(dst, width, height, src,
                  [](std::uint8_t* d, const std::uint8_t* s) { d[0] = d[1] = d[2] = s[3]; });
}

void rgb_to_rgb_alpha(void* dst, int width, int height, const void* src) {
    convert<4, 3>(dst, width, height, src, [](std::uint8_t* d, const std::uint8_t* s) {
        d[3] = static_cast<std::uint8_t>((s[0] + s[1] + s[2]) / 3);
    });
}

void invert_alpha_rgba32(void* buffer) {
    each_pixel(static_cast<std::uint8_t*>(buffer), canvas_pixel_count(),
               [](std::uint8_t* p) { p[3] = static_cast<std::uint8_t>(255 - p[3]); });
}

void adjust_rgba32_pre_filter(std::uint8_t* buffer, int width, int height) {
    each_pixel(buffer, pixel_count(width, height), [](std::uint8_t* p) {
        const int a = p[3];
        if (a < 1 || a > 254) return;
        const double ratio = a * kInv255;
        for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(static_cast<int>((p[c] + 1) * ratio));
    });
}

void adjust_rgba32_post_filter(std::uint8_t* buffer, int width, int height) {
    each_pixel(buffer, pixel_count(width, height), [](std::uint8_t* p) {
        const int a = p[3];
        if (a == 254) p[3] = 255;
        if (a < 1 || a > 254) return;
        const double ratio = a * kInv255;
        for (int c = 0; c < 3; ++c) p[c] = unpremultiplied<std::uint8_t>(p[c], ratio, 255);
    });
}

void adjust_rgba64_pre_filter(std::uint16_t* buffer, int width, int height) {
    each_pixel(buffer, pixel_count(width, height), [](std::uint16_t* p) {
        if (p[3] == 0) return;
        const double ratio = p[3] * kInv65535;
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<std::uint16_t>(std::min(65535u, static_cast<unsigned>(p[c] * ratio)));
    });
}

void adjust_rgba64_post_filter(std::uint16_t* buffer, int width, int height) {
    each_pixel(buffer, pixel_count(width, height), [](std::uint16_t* p) {
        if (p[3] == 0) return;
        const double ratio = p[3] * kInv65535;
        for (int c = 0; c < 3; ++c) p[c] = unpremultiplied<std::uint16_t>(p[c], ratio, 65535);
    });
}

void adjust_rgba32_for_alpha_comp(int flag, std::uint8_t* buffer) {
    if (!flag) return;
    each_pixel(buffer, canvas_pixel_count(), [](std::uint8_t* p) {
        if (p[3] == 0) return;
        const double ratio = p[3] * kInv255;
        for (int c = 0; c < 3; ++c) p[c] = unpremultiplied<std::uint8_t>(p[c], ratio, 255);
    });
}

void adjust_rgba32_rect_by_mask_and_texture(std::uint8_t* buffer, int x, int y, int width, int height) {
    const WeightPlanes planes = weight_planes();
    if (!buffer || !planes.any() || width <= 0 || height <= 0) return;
    // The part of the buffer over the canvas, in canvas coordinates.
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(x) + width, planes.width);
    const long long y1 = std::min<long long>(static_cast<long long>(y) + height, planes.height);
    if (x1 <= x0 || y1 <= y0) return;
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 4;
    for (int row = y0; row < y1; ++row) {
        std::uint8_t* p =
            buffer + static_cast<std::size_t>(row - y) * row_bytes + static_cast<std::size_t>(x0 - x) * 4;
        const std::uint16_t* m = planes.mask_row(row, x0);
        const std::uint8_t* t = planes.texture_row(row, x0);
        for (int col = x0; col < x1; ++col, p += 4) {
            const std::uint32_t w = weight_rule_b(t, m);
            p[3] =
                static_cast<std::uint8_t>(static_cast<unsigned>(static_cast<double>(p[3] * w) * kInv65535));
            if (m) ++m;
            if (t) ++t;
        }
    }
}

void adjust_rgba32_by_mask_and_texture(std::uint8_t* buffer, int width, int height) {
    adjust_rgba32_rect_by_mask_and_texture(buffer, 0, 0, width, height);
}

} // namespace vlm::core
