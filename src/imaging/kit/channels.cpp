#include "imaging/kit/channels.h"

#include <cstring>
#include <utility>

namespace vlm::kit {
namespace {

bool planes_ok(const std::uint8_t* const* planes, int width, int height, int bytes_per_pixel,
               int plane_stride) {
    if (bytes_per_pixel != 3 && bytes_per_pixel != 4) return false;
    if (bytes_per_pixel == 3 && planes[3]) return false;
    for (int c = 0; c < 4; ++c)
        if (planes[c] && !image_ok(planes[c], width, height, 1, plane_stride)) return false;
    return true;
}

// Conversions read and write different layouts, so they refuse images that share memory.
bool apart(const std::uint8_t* src, int src_bpp, int src_stride, const std::uint8_t* dst, int dst_bpp,
           int dst_stride, int width, int height) {
    return !images_overlap(src, image_span(width, height, src_bpp, src_stride), dst,
                           image_span(width, height, dst_bpp, dst_stride));
}

} // namespace

int swap_red_blue(std::uint8_t* pixels, int width, int height, int stride) {
    if (!image_ok(pixels, width, height, 4, stride)) return 0;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = row_at(pixels, y, stride);
        for (int x = 0; x < width; ++x, p += 4) std::swap(p[0], p[2]);
    }
    return 1;
}

int split_channels(const std::uint8_t* src, int width, int height, int bytes_per_pixel, int stride,
                   const PlaneTable& planes, int plane_stride) {
    const int bpp = bytes_per_pixel;
    if (!image_ok(src, width, height, bpp, stride) ||
        !planes_ok(planes.data(), width, height, bpp, plane_stride))
        return 0;
    for (int c = 0; c < bpp; ++c) {
        if (!planes[c]) continue;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* s = row_at(src, y, stride) + c;
            std::uint8_t* d = row_at(planes[c], y, plane_stride);
            for (int x = 0; x < width; ++x, s += bpp) d[x] = *s;
        }
    }
    return 1;
}

int combine_channels(const ConstPlaneTable& planes, int plane_stride, std::uint8_t* dst, int width,
                     int height, int bytes_per_pixel, int stride) {
    const int bpp = bytes_per_pixel;
    if (!image_ok(dst, width, height, bpp, stride) ||
        !planes_ok(planes.data(), width, height, bpp, plane_stride))
        return 0;
    for (int c = 0; c < bpp; ++c) {
        if (!planes[c]) continue;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* s = row_at(planes[c], y, plane_stride);
            std::uint8_t* d = row_at(dst, y, stride) + c;
            for (int x = 0; x < width; ++x, d += bpp) *d = s[x];
        }
    }
    return 1;
}

int rgb_to_rgba(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                int dst_stride, std::uint8_t alpha) {
    if (!image_ok(src, width, height, 3, src_stride) || !image_ok(dst, width, height, 4, dst_stride) ||
        !apart(src, 3, src_stride, dst, 4, dst_stride, width, height))
        return 0;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* s = row_at(src, y, src_stride);
        std::uint8_t* d = row_at(dst, y, dst_stride);
        for (int x = 0; x < width; ++x, s += 3, d += 4) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = alpha;
        }
    }
    return 1;
}

int rgba_to_rgb(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                int dst_stride) {
    if (!image_ok(src, width, height, 4, src_stride) || !image_ok(dst, width, height, 3, dst_stride) ||
        !apart(src, 4, src_stride, dst, 3, dst_stride, width, height))
        return 0;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* s = row_at(src, y, src_stride);
        std::uint8_t* d = row_at(dst, y, dst_stride);
        for (int x = 0; x < width; ++x, s += 4, d += 3) std::memcpy(d, s, 3);
    }
    return 1;
}

int grey_image(const std::uint8_t* src, int width, int height, int bytes_per_pixel, int stride,
               std::uint8_t* grey, int grey_stride) {
    const int bpp = bytes_per_pixel;
    if ((bpp != 1 && bpp != 3 && bpp != 4) || !image_ok(src, width, height, bpp, stride) ||
        !image_ok(grey, width, height, 1, grey_stride) ||
        !apart(src, bpp, stride, grey, 1, grey_stride, width, height))
        return 0;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* s = row_at(src, y, stride);
        std::uint8_t* d = row_at(grey, y, grey_stride);
        if (bpp == 1) {
            std::memcpy(d, s, width);
            continue;
        }
        for (int x = 0; x < width; ++x, s += bpp)
            d[x] = static_cast<std::uint8_t>((19595u * s[0] + 38470u * s[1] + 7471u * s[2] + 32768u) >> 16);
    }
    return 1;
}

} // namespace vlm::kit
