// libFuzzer target for the grey (mask) run decoder: the first two bytes give the value count, the rest
// is the run stream. Decoding must never read past the stream or write past the row; a decoded row must
// encode and decode back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/rle.h"
#include "fuzz/fuzz_target.h"

VLM_FUZZ_TARGET(rle_grey) {
    if (size < 2) return 0;
    const int count = data[0] | (data[1] & 0x0F) << 8; // up to 4095 values
    std::vector<std::uint16_t> row(static_cast<std::size_t>(count), 0x5A5A);
    const std::vector<std::uint8_t> stream(data + 2, data + size);
    const int used = vlm::core::rle_decode_grey(stream.data(), stream.size(), row.data(), count);
    if (used > static_cast<int>(stream.size())) std::abort();
    if (used < 0) {
        for (std::uint16_t v : row)
            if (v != 0x5A5A) std::abort();
        return 0;
    }
    // Only an empty row decodes from no bytes at all.
    if (used == 0) {
        if (count != 0) std::abort();
        return 0;
    }
    std::vector<std::uint8_t> code(static_cast<std::size_t>(count) * vlm::core::kGreyRunBytes);
    const int bytes = vlm::core::rle_encode_grey(row.data(), count, code.data());
    if (bytes <= 0 || bytes > static_cast<int>(code.size())) std::abort();
    std::vector<std::uint16_t> again(row.size());
    if (vlm::core::rle_decode_grey(code.data(), static_cast<std::size_t>(bytes), again.data(), count) !=
        bytes)
        std::abort();
    if (again != row) std::abort();
    return 0;
}
