#pragma once
// Small images for the imaging-kit tests: packed or padded rows, seeded random content, and a guard
// band after the last row so that a write past the image shows up as a changed byte.
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace vlm::kit::test {

struct TestImage {
    static constexpr int kGuard = 64;
    int width, height, bpp, stride;
    std::vector<std::uint8_t> bytes; // height x stride, then the guard band

    TestImage(int w, int h, int bytes_per_pixel, int padding = 0, std::uint8_t fill = 0)
        : width(w), height(h), bpp(bytes_per_pixel), stride(w * bytes_per_pixel + padding),
          bytes(static_cast<std::size_t>(h) * stride + kGuard, fill) {}

    std::uint8_t* data() { return bytes.data(); }
    const std::uint8_t* data() const { return bytes.data(); }
    std::uint8_t* at(int x, int y) { return data() + static_cast<std::size_t>(y) * stride + x * bpp; }
    const std::uint8_t* at(int x, int y) const {
        return data() + static_cast<std::size_t>(y) * stride + x * bpp;
    }

    // 16-bit channel c of pixel (x, y), for 2- and 8-byte pixels.
    std::uint16_t word(int x, int y, int c) const {
        std::uint16_t v;
        std::memcpy(&v, at(x, y) + 2 * c, 2);
        return v;
    }
    void set_word(int x, int y, int c, std::uint16_t v) { std::memcpy(at(x, y) + 2 * c, &v, 2); }

    void randomize(std::uint32_t seed) {
        std::mt19937 gen(seed);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(gen());
    }

    // The pixel bytes of every row, without padding or guard.
    std::vector<std::uint8_t> pixels() const {
        std::vector<std::uint8_t> out;
        for (int y = 0; y < height; ++y) out.insert(out.end(), at(0, y), at(0, y) + width * bpp);
        return out;
    }

    // Padding and guard bytes, which no kit call may write.
    std::vector<std::uint8_t> outside() const {
        std::vector<std::uint8_t> out;
        for (int y = 0; y < height; ++y) out.insert(out.end(), at(0, y) + width * bpp, at(0, y) + stride);
        out.insert(out.end(), bytes.end() - kGuard, bytes.end());
        return out;
    }
};

} // namespace vlm::kit::test
