#include "core/rle.h"

#include "core/dirty_rect.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "core/engine_state.h"
#include "core/layer_store.h"
#include "core/transfer_common.h"

namespace vlm::core {

namespace {

// One code for both forms: kChannels high bytes per element after the run length.
template <int kChannels> int encode(const std::uint16_t* src, int count, std::uint8_t* out) {
    // The byte count must stay an int.
    if (!src || !out || count < 1 || count > INT_MAX / (kChannels + 1)) return 0;
    std::uint8_t* o = out;
    std::uint8_t run[kChannels];
    int n = 1;
    const auto high_bytes = [](const std::uint16_t* p, std::uint8_t* v) {
        for (int c = 0; c < kChannels; ++c) v[c] = static_cast<std::uint8_t>(p[c] >> 8);
    };
    const auto flush = [&] {
        *o++ = static_cast<std::uint8_t>(n);
        std::memcpy(o, run, kChannels);
        o += kChannels;
    };
    high_bytes(src, run);
    for (int i = 1; i < count; ++i) {
        std::uint8_t v[kChannels];
        high_bytes(src + static_cast<std::size_t>(i) * kChannels, v);
        if (n < 255 && std::memcmp(v, run, kChannels) == 0) {
            ++n;
        } else {
            flush();
            std::memcpy(run, v, kChannels);
            n = 1;
        }
    }
    flush();
    return static_cast<int>(o - out);
}

template <int kChannels>
int decode(const std::uint8_t* stream, std::size_t length, std::uint16_t* dst, int count) {
    constexpr std::size_t kRun = kChannels + 1;
    if (count < 1) return 0;
    if (!stream || !dst) return -1;
    if (length != kUnboundedStream) {
        // Check that the stream holds runs for every element before writing any of them.
        std::size_t pos = 0;
        for (long long filled = 0; filled < count; pos += kRun) {
            if (length - pos < kRun) return -1;
            filled += stream[pos];
        }
    }
    std::size_t pos = 0;
    for (int filled = 0; filled < count; pos += kRun) {
        const std::uint8_t* run = stream + pos;
        const int n = std::min<int>(run[0], count - filled);
        for (int i = 0; i < n; ++i, dst += kChannels)
            for (int c = 0; c < kChannels; ++c) dst[c] = static_cast<std::uint16_t>(run[1 + c] << 8);
        filled += n;
    }
    // Streams longer than INT_MAX bytes cannot be described by the host's 32-bit length.
    return static_cast<int>(std::min<std::size_t>(pos, INT_MAX));
}

bool row_inside(int row) { return row >= 0 && row < g_engine.canvas.height; }

std::size_t row_offset(int row, int values_per_pixel) {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(g_engine.canvas.width) * values_per_pixel;
}

} // namespace

int rle_encode_rgba(const std::uint16_t* src, int count, std::uint8_t* out) {
    return encode<4>(src, count, out);
}
int rle_encode_grey(const std::uint16_t* src, int count, std::uint8_t* out) {
    return encode<1>(src, count, out);
}

int rle_decode_rgba(const std::uint8_t* stream, std::size_t length, std::uint16_t* dst, int count) {
    return decode<4>(stream, length, dst, count);
}
int rle_decode_grey(const std::uint8_t* stream, std::size_t length, std::uint16_t* dst, int count) {
    return decode<1>(stream, length, dst, count);
}

int get_layer_line_rle(std::uint8_t* out, int slot, int row) {
    const Layer* layer = canvas_layer_at(slot);
    if (!layer || !row_inside(row)) return 0;
    return rle_encode_rgba(layer->pixels + row_offset(row, 4), g_engine.canvas.width, out);
}

int put_layer_line_rle(const std::uint8_t* stream, std::size_t length, int slot, int row) {
    Layer* layer = canvas_layer_at(slot);
    if (!layer || !row_inside(row)) return 0;
    const int used =
        rle_decode_rgba(stream, length, layer->pixels + row_offset(row, 4), g_engine.canvas.width);
    if (used > 0) layer_changed(layer, 0, row, g_engine.canvas.width - 1, row);
    return used;
}

int get_mask_line_rle(std::uint8_t* out, int row) {
    const std::uint16_t* mask = g_engine.mask.plane;
    if (!mask || !row_inside(row)) return 0;
    return rle_encode_grey(mask + row_offset(row, 1), g_engine.canvas.width, out);
}

int put_mask_line_rle(const std::uint8_t* stream, std::size_t length, int row) {
    std::uint16_t* mask = g_engine.mask.plane;
    if (!mask || !row_inside(row)) return 0;
    const int used = rle_decode_grey(stream, length, mask + row_offset(row, 1), g_engine.canvas.width);
    if (used > 0) widen_dirty_rect(0, row, g_engine.canvas.width - 1, row);
    return used;
}

} // namespace vlm::core
