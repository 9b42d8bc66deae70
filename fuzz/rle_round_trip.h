#pragma once
// The check both run-length fuzz targets make: the first two bytes give the element count, the rest is
// the run stream. Decoding must never read past the stream or write past the row (the row lives in a
// vector of exactly its size, so the sanitizer sees any overrun); a refused stream leaves the row
// untouched; a decoded row must encode and decode back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace vlm::fuzz {

// Decode(stream, bytes, row, count) and Encode(row, count, code) as the engine's run codecs take them;
// Values 16-bit values per element, at most RunBytes code bytes per element.
template <int Values, int RunBytes, class Decode, class Encode>
int check_rle_round_trip(const std::uint8_t* data, std::size_t size, Decode decode, Encode encode) {
    if (size < 2) return 0;
    const int count = data[0] | (data[1] & 0x0F) << 8; // up to 4095 elements
    std::vector<std::uint16_t> row(static_cast<std::size_t>(count) * Values, 0x5A5A);
    const std::vector<std::uint8_t> stream(data + 2, data + size);
    const int used = decode(stream.data(), stream.size(), row.data(), count);
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
    std::vector<std::uint8_t> code(static_cast<std::size_t>(count) * RunBytes);
    const int bytes = encode(row.data(), count, code.data());
    if (bytes <= 0 || bytes > static_cast<int>(code.size())) std::abort();
    std::vector<std::uint16_t> again(row.size());
    if (decode(code.data(), static_cast<std::size_t>(bytes), again.data(), count) != bytes) std::abort();
    if (again != row) std::abort();
    return 0;
}

} // namespace vlm::fuzz
