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
    // The encoder writes an alpha mask, so even an alpha of all 0 reads back exactly.
    if (again.pixels != image.pixels) std::abort();
    return 0;
}
