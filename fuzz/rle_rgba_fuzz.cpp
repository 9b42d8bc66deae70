// libFuzzer target for the RGBA run decoder: the first two bytes give the pixel count, the rest is the
// run stream. Decoding must never read past the stream or write past the row; a decoded row must
// encode and decode back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/rle.h"
#include "fuzz/fuzz_target.h"

VLM_FUZZ_TARGET(rle_rgba) {
    if (size < 2) return 0;
    const int count = data[0] | (data[1] & 0x0F) << 8; // up to 4095 pixels
    // The row lives in a vector of exactly count pixels, so the sanitizer sees any overrun.
    std::vector<std::uint16_t> row(static_cast<std::size_t>(count) * 4, 0x5A5A);
    const std::vector<std::uint8_t> stream(data + 2, data + size);
    const int used = vlm::core::rle_decode_rgba(stream.data(), stream.size(), row.data(), count);
    if (used > static_cast<int>(stream.size())) std::abort();
    if (used < 0) {
        // Refused: the row must be untouched.
        for (std::uint16_t v : row)
            if (v != 0x5A5A) std::abort();
        return 0;
    }
    // Only an empty row decodes from no bytes at all.
    if (used == 0) {
        if (count != 0) std::abort();
        return 0;
    }
    std::vector<std::uint8_t> code(static_cast<std::size_t>(count) * vlm::core::kRgbaRunBytes);
    const int bytes = vlm::core::rle_encode_rgba(row.data(), count, code.data());
    if (bytes <= 0 || bytes > static_cast<int>(code.size())) std::abort();
    std::vector<std::uint16_t> again(row.size());
    if (vlm::core::rle_decode_rgba(code.data(), static_cast<std::size_t>(bytes), again.data(), count) !=
        bytes)
        std::abort();
    if (again != row) std::abort();
    return 0;
}
