#pragma once
// Whole-buffer compression of the imaging kit (zlib format through libdeflate, so every stream carries
// a checksum and damage is detected rather than decoded into pixels).
#include <cstddef>

namespace vlm::kit {

// The most bytes deflate_buffer can write for `size` input bytes.
std::size_t deflate_bound(std::size_t size);

// Compresses size bytes of in into out, which holds capacity bytes, at level 0 (stored) to 12 (smallest);
// any other level means 6. Returns the compressed size, or 0 when out is too small or an argument is bad.
std::size_t deflate_buffer(const void* in, std::size_t size, void* out, std::size_t capacity, int level);

// Decompresses a stream of size bytes into out, which holds out_size bytes. Returns the bytes produced;
// bytes of out that the stream does not reach are cleared. A damaged stream, or one that would produce
// more than out_size bytes, returns 0 with out cleared.
std::size_t inflate_buffer(const void* in, std::size_t size, void* out, std::size_t out_size);

} // namespace vlm::kit
