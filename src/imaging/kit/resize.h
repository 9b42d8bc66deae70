#pragma once
// Resampling of the imaging kit: resize by filter number, decimation and simple resampling of images
// of 1, 3 or 4 bytes per pixel (8-bit channels) or 8 bytes per pixel (16-bit R, G, B, A); see image.h.
#include <array>
#include <cstdint>

namespace vlm::kit {

// Filter numbers of resize_image.
constexpr int kFilterBox = 0;
constexpr int kFilterTriangle = 1;
constexpr int kFilterHamming = 2;
constexpr int kFilterGaussian = 3;
constexpr int kFilterBell = 4;
constexpr int kFilterBSpline = 5;
constexpr int kFilterCubic1 = 6;
constexpr int kFilterCubic2 = 7;
constexpr int kFilterLanczos3 = 8;
constexpr int kFilterMitchell = 9;
constexpr int kFilterSinc = 10;
constexpr int kFilterHermite = 11;
constexpr int kFilterHanning = 12;
constexpr int kFilterCatrom = 13;
constexpr int kFilterAreaAverage = 15;
constexpr int kFilterBilinear = 16;
constexpr int kFilterBicubic = 17;
constexpr int kFilterNearest = 18;

// A resize filter: either a kernel (weight over distance in source pixels, zero beyond support), run by
// the kit's own separable resampler, which widens the kernel by the scale factor when shrinking; or an
// OpenCV interpolation (kernel null).
struct ResizeFilter {
    int number;
    const char* name;
    double support;
    double (*kernel)(double);
    int opencv_interpolation;
};

extern const std::array<ResizeFilter, 18> kResizeFilters;

// The filter of a number, or null for a number that names none.
const ResizeFilter* find_resize_filter(int number);

// Resizes src (width x height) into dst (new_width x new_height at dst_stride) with the numbered filter.
// A side that keeps its size is copied, not filtered. src may overlap dst.
int resize_image(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                 int new_width, int new_height, int dst_stride, int bytes_per_pixel, int filter);

// Decimation: mode 1 averages the source pixels under each target pixel (repeating pixels along a side
// that grows), mode 0 takes the nearest source pixel.
int decimate_image(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                   int new_width, int new_height, int dst_stride, int bytes_per_pixel, int mode);

// Simple resampling: bilinear interpolation.
int resample_image(const std::uint8_t* src, int width, int height, int src_stride, std::uint8_t* dst,
                   int new_width, int new_height, int dst_stride, int bytes_per_pixel);

} // namespace vlm::kit
