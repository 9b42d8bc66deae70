// libFuzzer target for the bitmap decoder: any bytes must either decode to a picture within the limits
// or be refused, without touching memory outside the input; a decoded picture must survive a round
// trip through the encoder unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_target.h"
#include "imaging/kit/bmp_codec.h"

VLM_FUZZ_TARGET(bmp) {
    using namespace vlm::kit;
    const DecodeLimits limits{4096, 1 << 20};
    DecodedImage image;
    if (!decode_bmp(data, size, image, limits)) {
        if (!image.pixels.empty() || image.width || image.height) std::abort();
        return 0;
    }
    if (!fits_limits(image.width, image.height, limits) ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        std::abort();
    const auto file = encode_bmp(image.pixels.data(), image.width, image.height, image.width * 4, 32);
    DecodedImage again;
    if (!decode_bmp(file.data(), file.size(), again, limits) || again.width != image.width ||
        again.height != image.height)
        std::abort();
    // A picture whose alpha is all 0 reads back opaque; every other one reads back exactly.
    bool any_alpha = false;
    for (std::size_t i = 3; i < image.pixels.size(); i += 4) any_alpha |= image.pixels[i] != 0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        if (again.pixels[i] != (i % 4 == 3 && !any_alpha ? 255 : image.pixels[i])) std::abort();
    return 0;
}
