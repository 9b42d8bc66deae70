#pragma once
// Channel moves and colour-form conversions of the imaging kit (8-bit channels; see image.h).
#include <array>
#include <cstdint>

#include "imaging/kit/image.h"

namespace vlm::kit {

// Exchanges the first and third byte of every 4-byte pixel: R, G, B, A <-> B, G, R, A, in place.
int swap_red_blue(std::uint8_t* pixels, int width, int height, int stride);

// One 8-bit plane per channel in R, G, B, A order; a null entry skips that channel.
using PlaneTable = std::array<std::uint8_t*, 4>;
using ConstPlaneTable = std::array<const std::uint8_t*, 4>;

// Copies each channel of a 3- or 4-byte image that has a plane into that plane (width x height bytes
// at plane_stride). A 3-byte image has no alpha, so its table's alpha entry must be null.
int split_channels(const std::uint8_t* src, int width, int height, int bytes_per_pixel, int stride,
                   const PlaneTable& planes, int plane_stride);

// Writes each plane of the table into its channel of a 3- or 4-byte image; channels without a plane keep
// their bytes. One plane may feed several channels (grey spread to R, G and B).
int combine_channels(const ConstPlaneTable& planes, int plane_stride, std::uint8_t* dst, int width,
                     int height, int bytes_per_pixel, int stride);

// The conversions below read one layout and write another, so they refuse a destination that shares
// memory with the source.

// Widens R, G, B pixels to R, G, B, alpha.
int rgb_to_rgba(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                int dst_stride, std::uint8_t alpha);

// Drops the alpha of R, G, B, A pixels.
int rgba_to_rgb(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                int dst_stride);

// One grey byte per pixel of a 1-, 3- or 4-byte image (alpha is ignored): the luma
// (19595 R + 38470 G + 7471 B + 32768) >> 16, whose weights sum to 65536 so that grey stays grey.
int grey_image(const std::uint8_t* src, int width, int height, int bytes_per_pixel, int stride,
               std::uint8_t* grey, int grey_stride);

} // namespace vlm::kit
