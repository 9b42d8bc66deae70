#pragma once
// Data of the 8-bit processing buffers shared by every image operation.
#include <cstddef>
#include <cstdint>

namespace vlm::imaging {

struct Buffer {
    std::uint8_t* pixels;
    std::size_t size; // bytes
};

struct State {
    Buffer src32, dst32; // IPL RGBA32 pair
    Buffer src24, dst24; // IPL RGB24 pair
    Buffer tool_src, tool_dst;
};

} // namespace vlm::imaging
