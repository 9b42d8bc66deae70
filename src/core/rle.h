#pragma once
// Run-length codes for layer and mask rows, as the host stores them in its documents. An RGBA run is 5
// bytes (length 1..255, then the high bytes of R, G, B, A); a grey run is 2 bytes (length, high byte).
// Runs follow each other with no header; a row's run lengths sum to its element count.
#include <cstddef>
#include <cstdint>

namespace vlm::core {

inline constexpr int kRgbaRunBytes = 5;
inline constexpr int kGreyRunBytes = 2;
// Stands for "as long as the runs need" where the host gives no stream length.
inline constexpr std::size_t kUnboundedStream = SIZE_MAX;

// Encode count elements; return the bytes written (at most 5 or 2 per element), 0 for a null pointer or
// a count below 1.
int rle_encode_rgba(const std::uint16_t* src, int count, std::uint8_t* out);
int rle_encode_grey(const std::uint16_t* src, int count, std::uint8_t* out);

// Decode exactly count elements (value x 256) from a stream of length bytes. A run that would carry past
// count is cut at count. Returns the stream bytes used; 0 for a count below 1; -1, with nothing written,
// for a null pointer or a stream that ends first.
int rle_decode_rgba(const std::uint8_t* stream, std::size_t length, std::uint16_t* dst, int count);
int rle_decode_grey(const std::uint8_t* stream, std::size_t length, std::uint16_t* dst, int count);

// Rows of canvas layers and of the mask (canvas width elements; row 0..height - 1). Encoders return the
// bytes written, 0 for an empty slot, no mask or a row outside the canvas; decoders return as
// rle_decode_* and widen the undo dirty rectangle over the row when they change the current layer or
// the mask.
int get_layer_line_rle(std::uint8_t* out, int slot, int row);
int put_layer_line_rle(const std::uint8_t* stream, std::size_t length, int slot, int row);
int get_mask_line_rle(std::uint8_t* out, int row);
int put_mask_line_rle(const std::uint8_t* stream, std::size_t length, int row);

} // namespace vlm::core
