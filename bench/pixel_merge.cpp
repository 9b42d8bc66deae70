// Throughput (items_per_second = pixels per second) of the per-pixel blend merge over a 4096 x 4096 pair of
// RGBA64 buffers, the formula chosen once for the buffer as the rectangle merge chooses it, for Normal,
// Multiply, Overlay and HSL Color. In the same run pixman composites the same pictures narrowed to 8 bits
// (a8r8g8b8, premultiplied) with OVER, MULTIPLY, OVERLAY and HSL_COLOR. ratio_vs_pixman > 1 means the
// engine is faster. Both work on one thread; restoring the destination between passes is not timed.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "compose/pixel_merge.h"

namespace {

using namespace vlm::compose;

constexpr int kSide = 4096;
constexpr std::size_t kPixels = std::size_t(kSide) * kSide;

// Layer-like pictures: the source has empty, opaque and partly covered areas in runs, the destination
// is mostly opaque; colours run up to 65280.
struct Pictures {
    std::vector<std::uint16_t> src, dst;   // RGBA64
    std::vector<std::uint32_t> src8, dst8; // a8r8g8b8, premultiplied
};

std::uint16_t run_alpha(std::mt19937& gen, int kind) {
    if (kind == 0) return 0;
    if (kind == 1) return 65535;
    return static_cast<std::uint16_t>(gen() % 65536);
}

std::uint32_t premultiplied8(const std::uint16_t* p) {
    const std::uint32_t a = p[3] >> 8;
    auto ch = [&](int i) { return ((p[i] >> 8) * a + 127) / 255; };
    return a << 24 | ch(0) << 16 | ch(1) << 8 | ch(2);
}

const Pictures& pictures() {
    static const Pictures pics = [] {
        Pictures p{std::vector<std::uint16_t>(kPixels * 4), std::vector<std::uint16_t>(kPixels * 4),
                   std::vector<std::uint32_t>(kPixels), std::vector<std::uint32_t>(kPixels)};
        std::mt19937 gen(7);
        int src_kind = 0, dst_kind = 1;
        for (std::size_t i = 0; i < kPixels; ++i) {
            if (i % 64 == 0) {
                src_kind = static_cast<int>(gen() % 3);
                dst_kind = gen() % 4 == 0 ? 2 : 1;
            }
            std::uint16_t* s = &p.src[i * 4];
            std::uint16_t* d = &p.dst[i * 4];
            for (int ch = 0; ch < 3; ++ch) {
                s[ch] = static_cast<std::uint16_t>(gen() % 65281);
                d[ch] = static_cast<std::uint16_t>(gen() % 65281);
            }
            s[3] = run_alpha(gen, src_kind);
            d[3] = run_alpha(gen, dst_kind);
            p.src8[i] = premultiplied8(s);
            p.dst8[i] = premultiplied8(d);
        }
        return p;
    }();
    return pics;
}

template <int F> void merge_buffer(int mode, const std::uint16_t* src, std::uint16_t* dst) {
    for (std::size_t i = 0; i < kPixels; ++i, src += 4, dst += 4) {
        Rgba16 s{{src[0], src[1], src[2], src[3]}};
        if (s.c[3] == 0 && mode < kBlendAlphaNormal) continue;
        shape_alpha_source(mode, s, 65535);
        Rgba16 d{{dst[0], dst[1], dst[2], dst[3]}};
        if (!merge_shaped<F>(d, s, 255, false)) continue;
        for (int ch = 0; ch < 4; ++ch) dst[ch] = static_cast<std::uint16_t>(d.c[ch]);
    }
}

void merge_buffer(int mode, const std::uint16_t* src, std::uint16_t* dst) {
    with_blend_formula(blend_formula(mode),
                       [&](auto f) { merge_buffer<decltype(f)::value>(mode, src, dst); });
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void pixel_merge(benchmark::State& state, int mode, pixman_op_t op) {
    const Pictures& pics = pictures();
    std::vector<std::uint16_t> work(pics.dst.size());
    std::vector<std::uint32_t> work8(pics.dst8.size());
    pixman_image_t* src8 = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                    const_cast<std::uint32_t*>(pics.src8.data()), kSide * 4);
    pixman_image_t* dst8 = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, work8.data(), kSide * 4);
    std::vector<double> ours, theirs;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        std::memcpy(work.data(), pics.dst.data(), work.size() * sizeof(work[0]));
        std::memcpy(work8.data(), pics.dst8.data(), work8.size() * sizeof(work8[0]));
        const auto t0 = Clock::now();
        merge_buffer(mode, pics.src.data(), work.data());
        const auto t1 = Clock::now();
        pixman_image_composite32(op, src8, nullptr, dst8, 0, 0, 0, 0, 0, 0, kSide, kSide);
        const auto t2 = Clock::now();
        benchmark::DoNotOptimize(work.data());
        benchmark::DoNotOptimize(work8.data());
        ours.push_back(std::chrono::duration<double>(t1 - t0).count());
        theirs.push_back(std::chrono::duration<double>(t2 - t1).count());
        state.SetIterationTime(ours.back());
    }
    pixman_image_unref(src8);
    pixman_image_unref(dst8);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPixels));
    state.counters["pixman_px_per_s"] = kPixels / median(theirs);
    state.counters["ratio_vs_pixman"] = median(theirs) / median(ours);
}

BENCHMARK_CAPTURE(pixel_merge, normal, kBlendNormal, PIXMAN_OP_OVER)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pixel_merge, multiply, kBlendMultiply, PIXMAN_OP_MULTIPLY)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pixel_merge, overlay, kBlendOverlay, PIXMAN_OP_OVERLAY)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pixel_merge, hsl_color, kBlendHslColor, PIXMAN_OP_HSL_COLOR)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
