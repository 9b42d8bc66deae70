#pragma once
// Windows bitmap files of the imaging kit. Reading covers the headers in use (core, info, V4, V5), 1, 4
// and 8 bits with a palette (uncompressed, RLE8, RLE4), 16 and 32 bits (plain or with bit masks) and
// 24 bits, bottom-up and top-down. Writing produces 24-bit files or 32-bit files with an alpha mask.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/kit/image_reader.h"

namespace vlm::kit {

// Decodes a bitmap file held in memory into RGBA32. A 32-bit picture without an alpha mask whose fourth
// bytes are all 0 is opaque (that byte is padding for most writers). Palette indices past the palette
// read as black. On failure returns false and leaves `out` empty.
bool decode_bmp(const std::uint8_t* data, std::size_t size, DecodedImage& out,
                const DecodeLimits& limits = {});

// Encodes a width x height RGBA32 picture (rows of stride bytes) as a bitmap file of 24 bits (alpha
// dropped) or 32 bits (alpha kept). Returns an empty vector for other bit counts or a bad image.
std::vector<std::uint8_t> encode_bmp(const std::uint8_t* rgba, int width, int height, int stride, int bits);

} // namespace vlm::kit
