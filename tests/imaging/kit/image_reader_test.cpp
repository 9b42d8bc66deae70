#include <gtest/gtest.h>

#include <jpeglib.h>
#include <png.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "imaging/kit/bmp_codec.h"
#include "imaging/kit/image_reader.h"
#include "support/engine_fixture.h"

namespace vlm::kit {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kShapes = std::string(VLM_TEST_DATA_DIR) + "/shapes/";

std::string write_file(const std::string& name, const Bytes& bytes) {
    const std::string path = vlm::test::temp_dir("image_reader") + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
}

std::array<int, 4> pixel(const DecodedImage& image, int x, int y) {
    const std::uint8_t* p = image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

void put_u16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put_u32(Bytes& b, std::size_t at, std::uint32_t v) {
    put_u16(b, at, v & 0xFFFF);
    put_u16(b, at + 2, v >> 16);
}

// A bitmap file with a 40-byte info header, any masks or palette given, and the pixel bytes as given.
Bytes make_bmp(int width, int height, int bits, std::uint32_t compression, const Bytes& extra,
               const Bytes& pixels) {
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    put_u32(b, 2, static_cast<std::uint32_t>(54 + extra.size() + pixels.size()));
    put_u32(b, 10, static_cast<std::uint32_t>(54 + extra.size()));
    put_u32(b, 14, 40);
    put_u32(b, 18, static_cast<std::uint32_t>(width));
    put_u32(b, 22, static_cast<std::uint32_t>(height));
    put_u16(b, 26, 1);
    put_u16(b, 28, static_cast<std::uint32_t>(bits));
    put_u32(b, 30, compression);
    b.insert(b.end(), extra.begin(), extra.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

TEST(BmpCodec, ReadsTheCheckedInBitmaps) {
    // bars.bmp: 24 bits, bottom-up, pixel (x, y) = (12x, 20y, 255 - 12x).
    DecodedImage bars;
    ASSERT_TRUE(read_image_file((kShapes + "bars.bmp").c_str(), bars));
    ASSERT_EQ(bars.width, 20);
    ASSERT_EQ(bars.height, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(pixel(bars, x, y), (std::array<int, 4>{12 * x, 20 * y, 255 - 12 * x, 255}))
                << x << "," << y;

    // stripes_rle8.bmp: runs, an absolute run, a delta and an early end; unreached pixels take index 0.
    DecodedImage stripes;
    ASSERT_TRUE(read_image_file((kShapes + "stripes_rle8.bmp").c_str(), stripes));
    ASSERT_EQ(stripes.width, 16);
    ASSERT_EQ(stripes.height, 8);
    const char* rows[8] = {"0000000000000000", "0000000000000000", "0000000000000000", "0000000000000000",
                           "0000000000111111", "2222000000000000", "3212333333333333", "1111111122222222"};
    const std::array<int, 4> palette[4] = {
        {0, 0, 0, 255}, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(pixel(stripes, x, y), palette[rows[y][x] - '0']) << x << "," << y;
}

TEST(BmpCodec, PaletteMaskAndOrientationForms) {
    const Bytes two_colours = {10, 20, 30, 0, 40, 50, 60, 0}; // B, G, R, 0
    struct Case {
        const char* name;
        Bytes file;
        std::array<int, 4> first, last; // pixel (0, 0) and (width - 1, height - 1)
    } cases[] = {
        // 3 x 2, 1 bit, bottom-up: top row 1,0,1, bottom row 0,0,1.
        {"1 bit",
         make_bmp(3, 2, 1, 0, two_colours, {0x20, 0, 0, 0, 0xA0, 0, 0, 0}),
         {60, 50, 40, 255},
         {60, 50, 40, 255}},
        // 2 x 1, 4 bits, an index past a palette of two reads black.
        {"4 bit", make_bmp(2, 1, 4, 0, two_colours, {0x1F, 0, 0, 0}), {60, 50, 40, 255}, {0, 0, 0, 255}},
        // 2 x 2 top-down, 16 bits 5-6-5 with masks after the header.
        {"565 top-down",
         make_bmp(2, -2, 16, 3, {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0},
                  {0x00, 0xF8, 0x1F, 0x00, 0xE0, 0x07, 0xFF, 0xFF}),
         {255, 0, 0, 255},
         {255, 255, 255, 255}},
        // 1 x 2, 32 bits without an alpha mask, fourth bytes all 0: opaque.
        {"32 bit padding",
         make_bmp(1, 2, 32, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0}),
         {6, 5, 4, 255},
         {3, 2, 1, 255}},
        // The same with one non-zero fourth byte: the fourth bytes are alpha.
        {"32 bit alpha", make_bmp(1, 2, 32, 0, {}, {1, 2, 3, 0, 4, 5, 6, 7}), {6, 5, 4, 7}, {3, 2, 1, 0}},
    };
    for (const Case& c : cases) {
        DecodedImage image;
        ASSERT_TRUE(decode_bmp(c.file.data(), c.file.size(), image)) << c.name;
        EXPECT_EQ(pixel(image, 0, 0), c.first) << c.name;
        EXPECT_EQ(pixel(image, image.width - 1, image.height - 1), c.last) << c.name;
    }
}

TEST(BmpCodec, EncodedPicturesReadBackExactly) {
    std::mt19937 gen(7);
    std::vector<std::uint8_t> rgba(5 * 3 * 4);
    for (auto& v : rgba) v = static_cast<std::uint8_t>(gen());
    for (int bits : {24, 32}) {
        const Bytes file = encode_bmp(rgba.data(), 5, 3, 20, bits);
        DecodedImage image;
        ASSERT_TRUE(decode_image(file.data(), file.size(), image)) << bits;
        ASSERT_EQ(image.width, 5);
        ASSERT_EQ(image.height, 3);
        for (std::size_t i = 0; i < rgba.size(); ++i)
            ASSERT_EQ(image.pixels[i], i % 4 == 3 && bits == 24 ? 255 : rgba[i]) << bits << " byte " << i;
    }
    EXPECT_TRUE(encode_bmp(rgba.data(), 5, 3, 20, 16).empty());
}

TEST(BmpCodec, RefusesFilesThatLieOrAreCut) {
    const Bytes good = make_bmp(4, 4, 24, 0, {}, Bytes(48, 9));
    Bytes huge = good; // claims 50000 x 50000 pixels in a 102-byte file
    put_u32(huge, 18, 50000);
    put_u32(huge, 22, 50000);
    Bytes short_rows = good;
    short_rows.resize(good.size() - 1);
    Bytes bad_bits = good;
    put_u16(bad_bits, 28, 7);
    Bytes zero_width = good;
    put_u32(zero_width, 18, 0);
    Bytes min_height = good;
    put_u32(min_height, 22, 0x80000000u);
    Bytes header_past_end = good;
    put_u32(header_past_end, 14, 4000);
    Bytes offset_past_end = good;
    put_u32(offset_past_end, 10, 4000);
    Bytes embedded_png = good;
    put_u32(embedded_png, 30, 5);
    const Bytes top_down_rle = make_bmp(2, -2, 8, 1, Bytes(1024, 0), {2, 1, 0, 1});
    const Bytes masks_missing = make_bmp(1, 1, 16, 3, {}, {});

    const std::pair<const char*, const Bytes*> cases[] = {{"huge", &huge},
                                                          {"short rows", &short_rows},
                                                          {"7 bits", &bad_bits},
                                                          {"zero width", &zero_width},
                                                          {"height -2^31", &min_height},
                                                          {"header past end", &header_past_end},
                                                          {"pixels past end", &offset_past_end},
                                                          {"embedded PNG", &embedded_png},
                                                          {"top-down RLE", &top_down_rle},
                                                          {"masks missing", &masks_missing}};
    for (const auto& [name, file] : cases) {
        DecodedImage image;
        EXPECT_FALSE(decode_bmp(file->data(), file->size(), image)) << name;
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, 0);
    }
    // Every cut of a valid file is refused or read within its bytes.
    for (std::size_t n = 0; n < good.size(); ++n) {
        DecodedImage image;
        EXPECT_FALSE(decode_bmp(good.data(), n, image)) << n;
    }
    DecodedImage image;
    EXPECT_TRUE(decode_bmp(good.data(), good.size(), image));
    // A limit below the picture's size refuses it.
    EXPECT_FALSE(decode_bmp(good.data(), good.size(), image, DecodeLimits{3, 100}));
    EXPECT_FALSE(decode_bmp(good.data(), good.size(), image, DecodeLimits{10, 15}));
}

// A PNG written by libpng itself from 8- or 16-bit samples of the given format.
Bytes write_png(const void* samples, int width, int height, png_uint_32 format) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_get_memory_size(image, size, 0, samples, 0, nullptr));
    Bytes out(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, samples, 0, nullptr));
    out.resize(size);
    return out;
}

TEST(PngReader, ReadsEveryColourFormAsRgba) {
    const std::uint8_t grey[] = {0, 128, 255, 7};
    const std::uint8_t grey_alpha[] = {10, 200, 20, 0};
    const std::uint8_t rgba[] = {1, 2, 3, 4, 250, 251, 252, 253};
    struct Case {
        const char* name;
        Bytes file;
        std::vector<std::array<int, 4>> pixels;
    } cases[] = {
        {"grey",
         write_png(grey, 2, 2, PNG_FORMAT_GRAY),
         {{0, 0, 0, 255}, {128, 128, 128, 255}, {255, 255, 255, 255}, {7, 7, 7, 255}}},
        {"grey alpha", write_png(grey_alpha, 2, 1, PNG_FORMAT_GA), {{10, 10, 10, 200}, {20, 20, 20, 0}}},
        {"rgba", write_png(rgba, 1, 2, PNG_FORMAT_RGBA), {{1, 2, 3, 4}, {250, 251, 252, 253}}},
    };
    for (const Case& c : cases) {
        DecodedImage image;
        ASSERT_TRUE(decode_image(c.file.data(), c.file.size(), image)) << c.name;
        ASSERT_EQ(static_cast<std::size_t>(image.width) * image.height, c.pixels.size()) << c.name;
        for (std::size_t i = 0; i < c.pixels.size(); ++i)
            EXPECT_EQ(pixel(image, static_cast<int>(i) % image.width, static_cast<int>(i) / image.width),
                      c.pixels[i])
                << c.name << " pixel " << i;
    }

    DecodedImage dot;
    ASSERT_TRUE(read_image_file((kShapes + "soft_dot.png").c_str(), dot));
    EXPECT_EQ(dot.width, 32);
    // Grey 255 - trunc(255 d / 16) at distance d from the centre, as make_shapes.py computes it.
    EXPECT_EQ(pixel(dot, 16, 16), (std::array<int, 4>{244, 244, 244, 255}));
    EXPECT_EQ(pixel(dot, 8, 16), (std::array<int, 4>{136, 136, 136, 255}));
    EXPECT_EQ(pixel(dot, 0, 0), (std::array<int, 4>{0, 0, 0, 255}));
}

TEST(PngReader, RefusesOversizedAndDamagedFiles) {
    const std::uint8_t grey[4] = {};
    const Bytes good = write_png(grey, 2, 2, PNG_FORMAT_GRAY);
    DecodedImage image;
    EXPECT_FALSE(decode_png(good.data(), good.size(), image, DecodeLimits{1, 100}));
    Bytes cut = good;
    cut.resize(cut.size() - 20); // the image data runs out
    EXPECT_FALSE(decode_image(cut.data(), cut.size(), image));
    Bytes damaged = good;
    damaged[20] ^= 0x40; // the header's CRC no longer matches
    EXPECT_FALSE(decode_image(damaged.data(), damaged.size(), image));
    EXPECT_TRUE(image.pixels.empty());
}

Bytes write_jpeg(const std::uint8_t* samples, int width, int height, int components) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < height; ++y) {
        JSAMPROW row = const_cast<std::uint8_t*>(samples) + static_cast<std::size_t>(y) * width * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

TEST(JpegReader, ReadsColourAndGreyWithinCompressionError) {
    std::vector<std::uint8_t> rgb(16 * 8 * 3), grey(16 * 8);
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = 200;
        rgb[i + 1] = 100;
        rgb[i + 2] = 30;
    }
    std::fill(grey.begin(), grey.end(), 90);
    struct Case {
        Bytes file;
        std::array<int, 4> expected;
    } cases[] = {{write_jpeg(rgb.data(), 16, 8, 3), {200, 100, 30, 255}},
                 {write_jpeg(grey.data(), 16, 8, 1), {90, 90, 90, 255}}};
    for (const Case& c : cases) {
        DecodedImage image;
        ASSERT_TRUE(decode_image(c.file.data(), c.file.size(), image));
        ASSERT_EQ(image.width, 16);
        ASSERT_EQ(image.height, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                for (int k = 0; k < 4; ++k) EXPECT_NEAR(pixel(image, x, y)[k], c.expected[k], 2);
    }
}

TEST(JpegReader, RefusesDamagedAndOversizedStreams) {
    std::vector<std::uint8_t> grey(8 * 8, 50);
    const Bytes good = write_jpeg(grey.data(), 8, 8, 1);
    DecodedImage image;
    EXPECT_FALSE(decode_jpeg(good.data(), good.size(), image, DecodeLimits{4, 100}));
    const Bytes head(good.begin(), good.begin() + 4); // SOI and the start of a marker only
    EXPECT_FALSE(decode_image(head.data(), head.size(), image));
    EXPECT_TRUE(image.pixels.empty());
    // Cut anywhere, the stream is refused or decoded; libjpeg's errors never leave the reader.
    for (std::size_t n = 3; n < good.size(); n += 7) decode_jpeg(good.data(), n, image);
}

TEST(ImageReader, FilesThatAreNotPicturesAreRefused) {
    DecodedImage image;
    const std::string dir = vlm::test::temp_dir("image_reader_files");
    EXPECT_FALSE(read_image_file(nullptr, image));
    EXPECT_FALSE(read_image_file((dir + "/missing.png").c_str(), image));
    EXPECT_FALSE(read_image_file(dir.c_str(), image)); // a directory
    EXPECT_FALSE(read_image_file(write_file("empty.bmp", {}).c_str(), image));
    EXPECT_FALSE(read_image_file(write_file("text.png", {'h', 'e', 'l', 'l', 'o'}).c_str(), image));
    EXPECT_TRUE(image.pixels.empty());
}

} // namespace
} // namespace vlm::kit
