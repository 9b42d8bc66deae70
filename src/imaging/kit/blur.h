#pragma once
// Blurs of the imaging kit (see image.h for the image conventions).
#include <cstdint>

namespace vlm::kit {

// Channel masks: bit c selects channel c (1 = the first byte, so the only channel of a grey plane).
// Bits above the pixel's channels are ignored, so 15 (all four), 7 (colour only) and the 256-flagged
// forms 271 and 263 can be passed as they are.
constexpr int kAllChannels = 15;
constexpr int kColourChannels = 7;

// The soft blur behind the paint layer's alpha smoothing: the 3 x 3 kernel (1 2 1 / 2 4 2 / 1 2 1) / 16
// with edges repeated, mixed with the original by amount percent (0..100, clamped), on the selected
// channels of a width x height image of 1, 3 or 4 bytes per pixel; other channels are copied. src and
// dst may be the same image. Returns non-zero on success, 0 for bad arguments.
int blur_image(const std::uint8_t* src, int width, int height, int bytes_per_pixel, int src_stride,
               std::uint8_t* dst, int dst_stride, int amount, int channels);

// Gaussian blur with standard deviation `radius` pixels (positive, at most 1000) of the selected channels
// of a 1-, 3-, 4- or 8-byte image, edges repeated; other channels are copied. Radii above 16 use three
// successive box blurs of matching variance, which stay fast however large the radius.
int gaussian_blur(const std::uint8_t* src, int width, int height, int bytes_per_pixel, int src_stride,
                  std::uint8_t* dst, int dst_stride, double radius, int channels);

} // namespace vlm::kit
