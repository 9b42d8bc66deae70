#include "imaging/kit/blur.h"

#include <algorithm>
#include <vector>

namespace vlm::kit {

int blur_image(const std::uint8_t* src, int width, int height, int bytes_per_pixel, int src_stride,
               std::uint8_t* dst, int dst_stride, int amount, int mode) {
    const int bpp = bytes_per_pixel;
    if (!src || !dst || width <= 0 || height <= 0 || (bpp != 1 && bpp != 3 && bpp != 4)) return 0;
    if (src_stride < width * bpp || dst_stride < width * bpp || mode != 1) return 0;
    amount = std::clamp(amount, 0, 100);
    // Soft 3 x 3 kernel (1 2 1 / 2 4 2 / 1 2 1) / 16 with edges clamped, mixed with the original by
    // amount percent. A separate row buffer lets src and dst be the same image.
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * bpp * height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* rows[3] = {src + static_cast<std::size_t>(std::max(y - 1, 0)) * src_stride,
                                       src + static_cast<std::size_t>(y) * src_stride,
                                       src + static_cast<std::size_t>(std::min(y + 1, height - 1)) * src_stride};
        std::uint8_t* o = out.data() + static_cast<std::size_t>(y) * width * bpp;
        for (int x = 0; x < width; ++x) {
            const int xl = std::max(x - 1, 0) * bpp, xc = x * bpp, xr = std::min(x + 1, width - 1) * bpp;
            for (int c = 0; c < bpp; ++c) {
                int sum = 0;
                for (int r = 0; r < 3; ++r) {
                    const int w = r == 1 ? 2 : 1;
                    sum += w * (rows[r][xl + c] + 2 * rows[r][xc + c] + rows[r][xr + c]);
                }
                const int blurred = (sum + 8) >> 4;
                const int original = rows[1][xc + c];
                o[xc + c] = static_cast<std::uint8_t>(original + (blurred - original) * amount / 100);
            }
        }
    }
    for (int y = 0; y < height; ++y)
        std::copy_n(out.data() + static_cast<std::size_t>(y) * width * bpp, width * bpp,
                    dst + static_cast<std::size_t>(y) * dst_stride);
    return 1;
}

} // namespace vlm::kit
