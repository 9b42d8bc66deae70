#include "imaging/kit/bmp_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "imaging/kit/image.h"

namespace vlm::kit {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kV4HeaderBytes = 108;

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6 };

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::int32_t i32(const std::uint8_t* p) { return static_cast<std::int32_t>(u32(p)); }

void put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

// One channel's bit mask, scaled to 8 bits on extraction.
class Channel {
public:
    Channel() = default;
    explicit Channel(std::uint32_t mask) : mask_(mask) {
        if (!mask) return;
        shift_ = std::countr_zero(mask);
        const std::uint32_t run = mask >> shift_;
        max_ = run; // a mask with holes still scales by its highest value
    }
    bool present() const { return mask_ != 0; }
    std::uint8_t operator()(std::uint32_t pixel, std::uint8_t absent) const {
        if (!mask_) return absent;
        const std::uint64_t v = (pixel & mask_) >> shift_;
        return static_cast<std::uint8_t>((v * 255 + max_ / 2) / max_);
    }

private:
    std::uint32_t mask_ = 0;
    int shift_ = 0;
    std::uint64_t max_ = 1;
};

struct Header {
    std::int64_t width = 0, height = 0;
    bool top_down = false;
    int bits = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t colours_used = 0;
    std::size_t palette_at = 0; // file offset of the palette
    int palette_entry = 4;      // bytes per palette entry
    std::size_t pixels_at = 0;
    Channel r, g, b, a;
};

bool read_header(const std::uint8_t* data, std::size_t size, Header& h) {
    if (size < kFileHeaderBytes + 4 || data[0] != 'B' || data[1] != 'M') return false;
    h.pixels_at = u32(data + 10);
    const std::uint32_t info = u32(data + 14);
    if (info != kCoreHeaderBytes && info < kInfoHeaderBytes) return false;
    if (info > size - kFileHeaderBytes) return false;
    const std::uint8_t* d = data + kFileHeaderBytes;
    std::size_t masks_after = 0;
    if (info == kCoreHeaderBytes) {
        h.width = u16(d + 4);
        h.height = u16(d + 6);
        h.bits = u16(d + 10);
        h.palette_entry = 3;
    } else {
        h.width = i32(d + 4);
        h.height = i32(d + 8);
        h.bits = u16(d + 14);
        h.compression = u32(d + 16);
        h.colours_used = u32(d + 32);
        if (h.compression == kBitfields || h.compression == kAlphaBitfields) {
            const std::size_t count = h.compression == kAlphaBitfields ? 4 : 3;
            const std::uint8_t* m = d + kInfoHeaderBytes;
            if (info == kInfoHeaderBytes) {
                // The masks follow a plain info header.
                if (size - kFileHeaderBytes - info < count * 4) return false;
                masks_after = count * 4;
            } else if (info < kInfoHeaderBytes + count * 4) {
                return false;
            }
            h.r = Channel(u32(m));
            h.g = Channel(u32(m + 4));
            h.b = Channel(u32(m + 8));
            if (count == 4 || info >= kInfoHeaderBytes + 16) h.a = Channel(u32(m + 12));
        }
    }
    if (h.height < 0) {
        h.top_down = true;
        h.height = -h.height;
    }
    h.palette_at = kFileHeaderBytes + info + masks_after;

    switch (h.compression) {
    case kRgb:
        if (h.bits == 16) {
            h.r = Channel(0x7C00);
            h.g = Channel(0x03E0);
            h.b = Channel(0x001F);
        } else if (h.bits == 32) {
            h.r = Channel(0x00FF0000);
            h.g = Channel(0x0000FF00);
            h.b = Channel(0x000000FF);
        }
        return h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 || h.bits == 32;
    case kRle8:
        return h.bits == 8 && !h.top_down;
    case kRle4:
        return h.bits == 4 && !h.top_down;
    case kBitfields:
    case kAlphaBitfields:
        return h.bits == 16 || h.bits == 32;
    default:
        return false; // embedded JPEG or PNG, and anything unknown
    }
}

struct Palette {
    std::uint8_t rgba[256][4]{}; // entries past the file's palette stay black
};

Palette read_palette(const std::uint8_t* data, std::size_t size, const Header& h) {
    Palette p;
    const std::size_t wanted =
        h.colours_used == 0 ? std::size_t{1} << h.bits : std::min<std::size_t>(h.colours_used, 1u << h.bits);
    // The palette ends where the pixels start, when they start after it.
    const std::size_t end = h.pixels_at > h.palette_at ? std::min(size, h.pixels_at) : size;
    const std::size_t present = h.palette_at < end ? (end - h.palette_at) / h.palette_entry : 0;
    const std::size_t count = std::min(wanted, present);
    for (std::size_t i = 0; i < 256; ++i) p.rgba[i][3] = 255;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = data + h.palette_at + i * h.palette_entry;
        p.rgba[i][0] = e[2];
        p.rgba[i][1] = e[1];
        p.rgba[i][2] = e[0];
    }
    return p;
}

// Palette indices of one row of 1, 4 or 8 bits per pixel.
void unpack_indices(const std::uint8_t* src, int bits, std::int64_t width, std::uint8_t* indices) {
    const int per_byte = 8 / bits;
    const int mask = (1 << bits) - 1;
    for (std::int64_t x = 0; x < width; ++x) {
        const int shift = 8 - bits * (1 + static_cast<int>(x % per_byte));
        indices[x] = static_cast<std::uint8_t>((src[x / per_byte] >> shift) & mask);
    }
}

// Run-length coded indices, bottom row first; pixels the stream does not reach keep index 0.
void decode_rle(const std::uint8_t* data, std::size_t size, const Header& h, std::uint8_t* indices) {
    const bool four = h.compression == kRle4;
    std::int64_t x = 0, y = 0;
    std::size_t p = h.pixels_at;
    auto put = [&](int index) {
        if (x < h.width && y < h.height)
            indices[(h.height - 1 - y) * h.width + x] = static_cast<std::uint8_t>(index);
        ++x;
    };
    while (p + 1 < size && y < h.height) {
        const int n = data[p], c = data[p + 1];
        p += 2;
        if (n > 0) {
            for (int i = 0; i < n && x < h.width; ++i) put(four ? (i % 2 ? c & 15 : c >> 4) : c);
        } else if (c == 0) {
            x = 0;
            ++y;
        } else if (c == 1) {
            return;
        } else if (c == 2) {
            if (p + 1 >= size) return;
            x += data[p];
            y += data[p + 1];
            p += 2;
        } else {
            const std::size_t bytes = four ? (static_cast<std::size_t>(c) + 1) / 2 : c;
            if (bytes > size - p) return;
            for (int i = 0; i < c && x < h.width; ++i)
                put(four ? (i % 2 ? data[p + i / 2] & 15 : data[p + i / 2] >> 4) : data[p + i]);
            p += (bytes + 1) & ~std::size_t{1};
        }
    }
}

bool decode(const std::uint8_t* data, std::size_t size, DecodedImage& out, const DecodeLimits& limits) {
    Header h;
    if (!read_header(data, size, h) || !fits_limits(h.width, h.height, limits)) return false;
    const bool rle = h.compression == kRle8 || h.compression == kRle4;
    const std::size_t row_bytes = static_cast<std::size_t>((h.width * h.bits + 31) / 32 * 4);
    if (h.pixels_at >= size) return false;
    if (!rle && row_bytes * static_cast<std::size_t>(h.height) > size - h.pixels_at) return false;

    const std::size_t w = static_cast<std::size_t>(h.width), rows = static_cast<std::size_t>(h.height);
    out.pixels.resize(w * rows * 4);
    out.width = static_cast<int>(h.width);
    out.height = static_cast<int>(h.height);
    std::uint8_t* dst = out.pixels.data();

    if (h.bits <= 8) {
        const Palette palette = read_palette(data, size, h);
        std::vector<std::uint8_t> indices(rle ? w * rows : w);
        if (rle) decode_rle(data, size, h, indices.data());
        for (std::size_t r = 0; r < rows; ++r) {
            const std::size_t y = rle || h.top_down ? r : rows - 1 - r;
            const std::uint8_t* index = indices.data();
            if (rle) {
                index += y * w;
            } else {
                unpack_indices(data + h.pixels_at + r * row_bytes, h.bits, h.width, indices.data());
            }
            std::uint8_t* row = dst + y * w * 4;
            for (std::size_t x = 0; x < w; ++x) std::memcpy(row + 4 * x, palette.rgba[index[x]], 4);
        }
        return true;
    }

    bool any_alpha = false;
    const bool padding_alpha = h.bits == 32 && h.compression == kRgb;
    for (std::size_t r = 0; r < rows; ++r) {
        const std::size_t y = h.top_down ? r : rows - 1 - r;
        const std::uint8_t* src = data + h.pixels_at + r * row_bytes;
        std::uint8_t* row = dst + y * w * 4;
        for (std::size_t x = 0; x < w; ++x, row += 4) {
            if (h.bits == 24) {
                const std::uint8_t* s = src + 3 * x;
                row[0] = s[2];
                row[1] = s[1];
                row[2] = s[0];
                row[3] = 255;
                continue;
            }
            const std::uint32_t v = h.bits == 16 ? u16(src + 2 * x) : u32(src + 4 * x);
            row[0] = h.r(v, 0);
            row[1] = h.g(v, 0);
            row[2] = h.b(v, 0);
            row[3] = padding_alpha ? static_cast<std::uint8_t>(v >> 24) : h.a(v, 255);
            any_alpha |= row[3] != 0;
        }
    }
    if (padding_alpha && !any_alpha)
        for (std::size_t i = 3; i < out.pixels.size(); i += 4) out.pixels[i] = 255;
    return true;
}

} // namespace

bool decode_bmp(const std::uint8_t* data, std::size_t size, DecodedImage& out, const DecodeLimits& limits) {
    out = DecodedImage{};
    bool ok = false;
    try {
        ok = data && decode(data, size, out, limits);
    } catch (const std::bad_alloc&) {
    }
    if (!ok) out = DecodedImage{};
    return ok;
}

std::vector<std::uint8_t> encode_bmp(const std::uint8_t* rgba, int width, int height, int stride, int bits) {
    std::vector<std::uint8_t> file;
    if ((bits != 24 && bits != 32) || !image_ok(rgba, width, height, 4, stride)) return file;
    const std::uint32_t info = bits == 32 ? kV4HeaderBytes : kInfoHeaderBytes;
    const std::uint64_t row_bytes = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    const std::uint64_t image_bytes = row_bytes * static_cast<std::uint64_t>(height);
    const std::uint64_t total = kFileHeaderBytes + info + image_bytes;
    if (total > 0xFFFFFFFFu) return file;
    file.reserve(static_cast<std::size_t>(total));

    file.push_back('B');
    file.push_back('M');
    put32(file, static_cast<std::uint32_t>(total));
    put32(file, 0);
    put32(file, kFileHeaderBytes + info);
    put32(file, info);
    put32(file, static_cast<std::uint32_t>(width));
    put32(file, static_cast<std::uint32_t>(height)); // bottom-up
    put16(file, 1);
    put16(file, static_cast<std::uint32_t>(bits));
    put32(file, bits == 32 ? kBitfields : kRgb);
    put32(file, static_cast<std::uint32_t>(image_bytes));
    put32(file, 2835); // 72 dpi
    put32(file, 2835);
    put32(file, 0);
    put32(file, 0);
    if (bits == 32) {
        put32(file, 0x00FF0000);
        put32(file, 0x0000FF00);
        put32(file, 0x000000FF);
        put32(file, 0xFF000000);
        put32(file, 0x73524742);                 // 'sRGB'
        file.resize(kFileHeaderBytes + info, 0); // end points and gamma unused
    }
    for (int y = height - 1; y >= 0; --y) {
        const std::uint8_t* s = row_at(rgba, y, stride);
        const std::size_t start = file.size();
        for (int x = 0; x < width; ++x, s += 4) {
            file.push_back(s[2]);
            file.push_back(s[1]);
            file.push_back(s[0]);
            if (bits == 32) file.push_back(s[3]);
        }
        file.resize(start + static_cast<std::size_t>(row_bytes), 0);
    }
    return file;
}

} // namespace vlm::kit
