#pragma once
// Image conventions shared by every function of the imaging kit.
//
// An image is a pointer to its top-left byte, a width and height in pixels, a number of bytes per pixel
// and a row stride in bytes (rows top-down, stride >= width x bytes per pixel). Pixels of 1, 3 or 4 bytes
// hold 8-bit channels in memory order (grey; R, G, B; R, G, B, A); 8-byte pixels hold four native 16-bit
// channels R, G, B, A and 2-byte pixels one 16-bit value. Functions return non-zero on success and 0
// when they refuse their arguments (writing nothing) or run out of memory.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

namespace vlm::kit {

// A rectangle with exclusive right and bottom edges.
struct Rect {
    int left, top, right, bottom;
};

// Whether the arguments describe an addressable image: non-null pixels, positive sides, a pixel size of
// 1 to 16 bytes and a stride that holds a row and fits in an int.
bool image_ok(const void* pixels, int width, int height, int bytes_per_pixel, int stride);

// Bytes from the first pixel to one past the last: (height - 1) x stride + width x bytes_per_pixel.
std::size_t image_span(int width, int height, int bytes_per_pixel, int stride);

// Whether two images share any byte.
bool images_overlap(const void* a, std::size_t a_span, const void* b, std::size_t b_span);

// The source of a call that writes dst (dst_span bytes): src itself, or a packed copy of it when the two
// share memory or `copy` asks for one, so that writing never changes what is still to be read.
struct SourceView {
    const std::uint8_t* pixels;
    int stride;
    std::vector<std::uint8_t> copy;
};
SourceView source_view(const std::uint8_t* src, int width, int height, int bytes_per_pixel, int stride,
                       const std::uint8_t* dst, std::size_t dst_span, bool copy = false);

// Start of row y.
inline std::uint8_t* row_at(std::uint8_t* pixels, int y, int stride) {
    return pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
}
inline const std::uint8_t* row_at(const std::uint8_t* pixels, int y, int stride) {
    return pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
}

// Runs a kit body, turning an allocation failure or a library error into the failure result 0.
template <class Body> int attempt(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace vlm::kit
