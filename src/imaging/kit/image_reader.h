#pragma once
// Picture reading of the imaging kit: PNG (libpng), JPEG (libjpeg-turbo) and BMP (bmp_codec.h), told apart
// by their signatures, always returned as packed RGBA32 (bytes R, G, B, A; rows top-down). Files are
// outside input: every decoder checks the sizes a header claims against the limits below and against
// the bytes actually present before it allocates, and any malformed file is refused, never trusted.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vlm::kit {

// A decoded picture: width x height pixels of 4 bytes, packed.
struct DecodedImage {
    std::vector<std::uint8_t> pixels;
    int width = 0, height = 0;
};

// Pictures larger than these are refused before any pixel memory is taken.
struct DecodeLimits {
    int max_side = 10000;
    std::int64_t max_pixels = 10000LL * 10000LL;
};

// Files above this size are refused unread.
constexpr std::size_t kMaxImageFileBytes = std::size_t{1} << 30;

enum class ImageFormat { Unknown, Png, Jpeg, Bmp };

// The format a byte stream starts like.
ImageFormat sniff_image_format(const std::uint8_t* data, std::size_t size);

// Whether width x height is within the limits (both sides positive).
bool fits_limits(std::int64_t width, std::int64_t height, const DecodeLimits& limits);

// Decodes a picture held in memory. On failure returns false and leaves `out` empty.
bool decode_image(const std::uint8_t* data, std::size_t size, DecodedImage& out,
                  const DecodeLimits& limits = {});
bool decode_png(const std::uint8_t* data, std::size_t size, DecodedImage& out,
                const DecodeLimits& limits = {});
bool decode_jpeg(const std::uint8_t* data, std::size_t size, DecodedImage& out,
                 const DecodeLimits& limits = {});

// Whether path names a regular file (following links). Unlike opening it, asking never blocks on a pipe.
bool is_regular_file(const char* path);

// Reads a regular file of at most kMaxImageFileBytes bytes and decodes it. A null path, a missing or
// unreadable file, a directory or an unknown format give false.
bool read_image_file(const char* path, DecodedImage& out, const DecodeLimits& limits = {});

} // namespace vlm::kit
