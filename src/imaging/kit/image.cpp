#include "imaging/kit/image.h"

#include <cstring>

namespace vlm::kit {

bool image_ok(const void* pixels, int width, int height, int bytes_per_pixel, int stride) {
    if (!pixels || width <= 0 || height <= 0 || bytes_per_pixel < 1 || bytes_per_pixel > 16) return false;
    return static_cast<long long>(width) * bytes_per_pixel <= stride;
}

std::size_t image_span(int width, int height, int bytes_per_pixel, int stride) {
    return static_cast<std::size_t>(height - 1) * static_cast<std::size_t>(stride) +
           static_cast<std::size_t>(width) * static_cast<std::size_t>(bytes_per_pixel);
}

bool images_overlap(const void* a, std::size_t a_span, const void* b, std::size_t b_span) {
    const auto pa = reinterpret_cast<std::uintptr_t>(a), pb = reinterpret_cast<std::uintptr_t>(b);
    return pa < pb + b_span && pb < pa + a_span;
}

SourceView source_view(const std::uint8_t* src, int width, int height, int bytes_per_pixel, int stride,
                       const std::uint8_t* dst, std::size_t dst_span, bool copy) {
    SourceView v{src, stride, {}};
    if (!copy && !images_overlap(src, image_span(width, height, bytes_per_pixel, stride), dst, dst_span))
        return v;
    const std::size_t row_bytes = static_cast<std::size_t>(width) * bytes_per_pixel;
    v.copy.resize(row_bytes * height); // operator new's alignment suits 16-bit samples
    for (int y = 0; y < height; ++y)
        std::memcpy(v.copy.data() + row_bytes * y, row_at(src, y, stride), row_bytes);
    v.pixels = v.copy.data();
    v.stride = static_cast<int>(row_bytes);
    return v;
}

} // namespace vlm::kit
