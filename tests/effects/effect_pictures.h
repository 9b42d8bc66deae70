#pragma once
// Source and destination pictures for the built-in effect tests, each followed by a guard band that must
// stay untouched, and a helper to run an effect on them through the runner for caller buffers.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <random>
#include <vector>

#include "effects/runner.h"

namespace vlm::effects::test {

inline constexpr std::size_t kGuard = 64;
inline constexpr std::uint8_t kGuardByte = 0xA5;

struct Pixel {
    int r, g, b, a;
    bool operator==(const Pixel&) const = default;
};

inline void PrintTo(const Pixel& p, std::ostream* os) {
    *os << "(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}

struct Pictures {
    int width, height;
    std::vector<std::uint8_t> src, dst; // width x height x 4 bytes, then the guard band

    Pictures(int w, int h)
        : width(w), height(h), src(static_cast<std::size_t>(w) * h * 4 + kGuard, kGuardByte),
          dst(src.size(), kGuardByte) {}

    std::size_t bytes() const { return static_cast<std::size_t>(width) * height * 4; }
    std::uint8_t* at(std::vector<std::uint8_t>& v, int x, int y) {
        return v.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    }
    void set(int x, int y, Pixel p) {
        std::uint8_t* q = at(src, x, y);
        q[0] = static_cast<std::uint8_t>(p.r), q[1] = static_cast<std::uint8_t>(p.g);
        q[2] = static_cast<std::uint8_t>(p.b), q[3] = static_cast<std::uint8_t>(p.a);
    }
    void fill(Pixel p) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) set(x, y, p);
    }
    void randomize(std::uint32_t seed) {
        std::mt19937 gen(seed);
        for (std::size_t i = 0; i < bytes(); ++i) src[i] = static_cast<std::uint8_t>(gen());
    }
    Pixel out(int x, int y) {
        const std::uint8_t* q = at(dst, x, y);
        return {q[0], q[1], q[2], q[3]};
    }
    Pixel in(int x, int y) {
        const std::uint8_t* q = at(src, x, y);
        return {q[0], q[1], q[2], q[3]};
    }
    bool guards_intact() const {
        for (std::size_t i = bytes(); i < src.size(); ++i)
            if (src[i] != kGuardByte || dst[i] != kGuardByte) return false;
        return true;
    }
    void run(const char* name, const EffectArgs& args) {
        run_builtin_effect_on(src.data(), dst.data(), width, height, name, args);
    }
};

// Arguments from values 1..6 and options 1..8 listed in order.
inline EffectArgs args(std::initializer_list<int> values, std::initializer_list<int> options = {},
                       int chain = 0) {
    EffectArgs a;
    int i = 0;
    for (int v : values) a.values[i++] = v;
    i = 0;
    for (int o : options) a.options[i++] = o;
    a.chain = chain;
    return a;
}

} // namespace vlm::effects::test
