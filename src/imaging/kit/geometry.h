#pragma once
// Rectangle copies and exact geometric transforms of the imaging kit (see image.h for conventions).
// These move whole pixels and accept any pixel size of 1 to 16 bytes.
#include <cstdint>

#include "imaging/kit/image.h"

namespace vlm::kit {

// Writes the src image over dst with its top-left corner at (x, y), clipped to dst; parts outside dst,
// on any side, are cut. opacity 1 (or more) copies the pixels unchanged, 0 (or less) leaves dst as it is,
// and values between mix every channel: 16-bit channels for 2- and 8-byte pixels, bytes otherwise.
// src may overlap dst. A window that misses dst entirely is a success that writes nothing.
int overlay_image(std::uint8_t* dst, int dst_width, int dst_height, int bytes_per_pixel, int dst_stride,
                  const std::uint8_t* src, int src_width, int src_height, int src_stride, int x, int y,
                  double opacity);

// Copies the rectangle of src into dst, which holds (right - left) x (bottom - top) pixels at dst_stride.
// Swapped edges are put in order. Parts of the rectangle outside src are cleared to zero bytes, so a
// crop can also extend a picture. An empty rectangle is refused.
int crop_image(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
               int dst_stride, Rect rect, int bytes_per_pixel);

// Mirrors the image left to right, in place.
int flip_horizontal(std::uint8_t* pixels, int width, int height, int bytes_per_pixel, int stride);

// Mirrors the image top to bottom, in place, exchanging whole rows of stride bytes: pixels holds
// height x stride bytes.
int flip_vertical(std::uint8_t* pixels, int stride, int height);

// Turn directions of rotate_quarter.
constexpr int kTurnRight = 0; // clockwise: dst is height x width
constexpr int kTurnHalf = 1;  // dst is width x height
constexpr int kTurnLeft = 2;  // counter-clockwise: dst is height x width

// Turns the width x height src by a quarter or half turn into dst (dst_stride for dst's own width).
int rotate_quarter(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                   int dst_stride, int direction, int bytes_per_pixel);

} // namespace vlm::kit
