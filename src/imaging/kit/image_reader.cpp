#include "imaging/kit/image_reader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <jpeglib.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include "imaging/kit/bmp_codec.h"

namespace vlm::kit {
namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// libjpeg reports errors through a callback that must not return; it jumps back to the decoder.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jpeg_fail(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}
void jpeg_quiet(j_common_ptr) {}

// Adobe writers store CMYK inverted: a byte of 255 means no ink.
void cmyk_to_rgba(std::uint8_t* row, std::size_t width) {
    for (std::size_t x = 0; x < width; ++x) {
        std::uint8_t* p = row + 4 * x;
        const unsigned k = p[3];
        p[0] = static_cast<std::uint8_t>(p[0] * k / 255);
        p[1] = static_cast<std::uint8_t>(p[1] * k / 255);
        p[2] = static_cast<std::uint8_t>(p[2] * k / 255);
        p[3] = 255;
    }
}

// Only plain data lives in this frame, so the jump back from libjpeg skips no destructor; the pixel
// vector belongs to the caller.
bool jpeg_into(const std::uint8_t* data, std::size_t size, const DecodeLimits& limits, DecodedImage& out) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpeg_fail;
    error.manager.output_message = jpeg_quiet;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK ||
        !fits_limits(info.image_width, info.image_height, limits)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    const std::size_t width = info.output_width, height = info.output_height;
    if (info.output_components != 4 || !fits_limits(info.output_width, info.output_height, limits)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    try {
        out.pixels.resize(width * height * 4);
    } catch (const std::bad_alloc&) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.pixels.data() + info.output_scanline * width * 4;
        jpeg_read_scanlines(&info, &row, 1);
        if (cmyk) cmyk_to_rgba(row, width);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    return true;
}

// The whole of a regular file, or false.
bool read_file(const char* path, std::vector<std::uint8_t>& bytes) {
    // Non-blocking, so that a path naming a pipe is refused instead of waiting for a writer.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
              static_cast<std::uint64_t>(st.st_size) <= kMaxImageFileBytes;
    if (ok) {
        try {
            bytes.resize(static_cast<std::size_t>(st.st_size));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return ok;
}

} // namespace

ImageFormat sniff_image_format(const std::uint8_t* data, std::size_t size) {
    if (!data) return ImageFormat::Unknown;
    if (size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0)
        return ImageFormat::Png;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return ImageFormat::Jpeg;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return ImageFormat::Bmp;
    return ImageFormat::Unknown;
}

bool fits_limits(std::int64_t width, std::int64_t height, const DecodeLimits& limits) {
    return width > 0 && height > 0 && width <= limits.max_side && height <= limits.max_side &&
           width * height <= limits.max_pixels;
}

bool decode_png(const std::uint8_t* data, std::size_t size, DecodedImage& out, const DecodeLimits& limits) {
    out = DecodedImage{};
    if (!data) return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return false;
    bool ok = fits_limits(image.width, image.height, limits);
    if (ok) {
        image.format = PNG_FORMAT_RGBA;
        try {
            out.pixels.resize(PNG_IMAGE_SIZE(image));
            ok = png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr) != 0;
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    png_image_free(&image);
    if (!ok) {
        out = DecodedImage{};
        return false;
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    return true;
}

bool decode_jpeg(const std::uint8_t* data, std::size_t size, DecodedImage& out, const DecodeLimits& limits) {
    out = DecodedImage{};
    if (!data || size == 0 || !jpeg_into(data, size, limits, out)) {
        out = DecodedImage{};
        return false;
    }
    return true;
}

bool decode_image(const std::uint8_t* data, std::size_t size, DecodedImage& out, const DecodeLimits& limits) {
    switch (sniff_image_format(data, size)) {
    case ImageFormat::Png:
        return decode_png(data, size, out, limits);
    case ImageFormat::Jpeg:
        return decode_jpeg(data, size, out, limits);
    case ImageFormat::Bmp:
        return decode_bmp(data, size, out, limits);
    default:
        out = DecodedImage{};
        return false;
    }
}

bool is_regular_file(const char* path) {
    struct stat st {};
    return path && ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool read_image_file(const char* path, DecodedImage& out, const DecodeLimits& limits) {
    out = DecodedImage{};
    std::vector<std::uint8_t> bytes;
    return path && read_file(path, bytes) && decode_image(bytes.data(), bytes.size(), out, limits);
}

} // namespace vlm::kit
