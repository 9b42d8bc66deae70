// libFuzzer target for the picture reader (PNG, JPEG and BMP by signature): any bytes must either decode
// to a picture within the limits or be refused, and the libraries' errors must never escape the reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_target.h"
#include "imaging/kit/image_reader.h"

VLM_FUZZ_TARGET(image_reader) {
    using namespace vlm::kit;
    const DecodeLimits limits{2048, 1 << 20};
    DecodedImage image;
    if (decode_image(data, size, image, limits)) {
        if (!fits_limits(image.width, image.height, limits) ||
            image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4)
            std::abort();
    } else if (!image.pixels.empty() || image.width || image.height) {
        std::abort();
    }
    return 0;
}
