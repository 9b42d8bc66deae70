#pragma once
// A kit image seen as an OpenCV matrix over the same memory (no copy), for the functions built on OpenCV.
#include <opencv2/core.hpp>

#include <cstddef>
#include <cstdint>

namespace vlm::kit {

// 1-, 3- and 4-byte pixels as 8-bit channels, 8-byte pixels as four 16-bit channels.
inline cv::Mat cv_view(const std::uint8_t* pixels, int width, int height, int bytes_per_pixel, int stride) {
    const int type = bytes_per_pixel == 8 ? CV_16UC4 : CV_8UC(bytes_per_pixel);
    return cv::Mat(height, width, type, const_cast<std::uint8_t*>(pixels), static_cast<std::size_t>(stride));
}

} // namespace vlm::kit
