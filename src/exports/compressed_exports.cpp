#include <cstddef>
#include <cstdint>

#include "core/compressed_layer.h"
#include "core/rle.h"
#include "exports/guard.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::guarded;

namespace {

const std::uint8_t* stream_of(const void* p) { return static_cast<const std::uint8_t*>(p); }
// A negative length holds no runs.
std::size_t length_of(int length) { return length > 0 ? static_cast<std::size_t>(length) : 0; }

} // namespace

int VLM_RLECompressRGBA64ToRGBA32(const void* src, void* out, int count) {
    return core::rle_encode_rgba(static_cast<const std::uint16_t*>(src), count,
                                 static_cast<std::uint8_t*>(out));
}
void VLM_RLEUncompressRGBA32ToRGBA64(const void* stream, void* dst, int count) {
    core::rle_decode_rgba(stream_of(stream), core::kUnboundedStream, static_cast<std::uint16_t*>(dst), count);
}
int VLM_RLEUncompressRGBA32ToRGBA64Sized(const void* stream, int length, void* dst, int count) {
    return core::rle_decode_rgba(stream_of(stream), length_of(length), static_cast<std::uint16_t*>(dst),
                                 count);
}
int VLM_RLECompressG16ToG8(const void* src, void* out, int count) {
    return core::rle_encode_grey(static_cast<const std::uint16_t*>(src), count,
                                 static_cast<std::uint8_t*>(out));
}
void VLM_RLEUncompressG8ToG16(const void* stream, void* dst, int count) {
    core::rle_decode_grey(stream_of(stream), core::kUnboundedStream, static_cast<std::uint16_t*>(dst), count);
}
int VLM_RLEUncompressG8ToG16Sized(const void* stream, int length, void* dst, int count) {
    return core::rle_decode_grey(stream_of(stream), length_of(length), static_cast<std::uint16_t*>(dst),
                                 count);
}
int VLM_GetRGBA32LayerLineRLE(void* out, int slot, int row) {
    return core::get_layer_line_rle(static_cast<std::uint8_t*>(out), slot, row);
}
void VLM_PutRGBA32LayerLineRLE(const void* stream, int slot, int row) {
    core::put_layer_line_rle(stream_of(stream), core::kUnboundedStream, slot, row);
}
int VLM_PutRGBA32LayerLineRLESized(const void* stream, int length, int slot, int row) {
    return core::put_layer_line_rle(stream_of(stream), length_of(length), slot, row);
}
int VLM_GetMaskLineRLE(void* out, int row) {
    return core::get_mask_line_rle(static_cast<std::uint8_t*>(out), row);
}
void VLM_PutMaskLineRLE(const void* stream, int row) {
    core::put_mask_line_rle(stream_of(stream), core::kUnboundedStream, row);
}
int VLM_PutMaskLineRLESized(const void* stream, int length, int row) {
    return core::put_mask_line_rle(stream_of(stream), length_of(length), row);
}
int VLM_GetRGBA32LayerCompressedBound(void) { return core::compressed_layer_bound(); }
int VLM_GetRGBA32LayerCompressed(void* out, int ignored, int capacity, int slot, int level) {
    return guarded("GetRGBA32Layer", 0,
                   [&] { return core::get_layer_compressed(out, capacity, slot, level); });
}
void VLM_LoadRGBA32LayerCompressed(const void* in, int ignored, int size, int slot) {
    guarded("LoadRGBA32LayerCompressed", [&] { core::load_layer_compressed(in, size, slot); });
}
