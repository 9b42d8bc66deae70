#include "imaging/kit/deflate.h"

#include <libdeflate.h>

#include <cstring>
#include <memory>

namespace vlm::kit {
namespace {

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
struct DecompressorFree {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

} // namespace

std::size_t deflate_bound(std::size_t size) { return libdeflate_zlib_compress_bound(nullptr, size); }

std::size_t deflate_buffer(const void* in, std::size_t size, void* out, std::size_t capacity, int level) {
    if (!in || !out || capacity == 0) return 0;
    if (level < 0 || level > 12) level = 6;
    const std::unique_ptr<libdeflate_compressor, CompressorFree> c(libdeflate_alloc_compressor(level));
    if (!c) return 0;
    return libdeflate_zlib_compress(c.get(), in, size, out, capacity);
}

std::size_t inflate_buffer(const void* in, std::size_t size, void* out, std::size_t out_size) {
    if (!out || out_size == 0) return 0;
    std::size_t produced = 0;
    const std::unique_ptr<libdeflate_decompressor, DecompressorFree> d(libdeflate_alloc_decompressor());
    if (in && size && d &&
        libdeflate_zlib_decompress(d.get(), in, size, out, out_size, &produced) == LIBDEFLATE_SUCCESS) {
        std::memset(static_cast<char*>(out) + produced, 0, out_size - produced);
        return produced;
    }
    std::memset(out, 0, out_size);
    return 0;
}

} // namespace vlm::kit
