// Throughput (items_per_second = pixels per second) of representative mix modes over a 1024 x 1024
// RGBA64 pixel array: the kernel chosen once for the whole array (as the dab chooses it once per dab), and,
// in the same run, the mode dispatched afresh for every pixel. ratio_vs_per_pixel_dispatch > 1 means
// choosing once is faster. No outside peer computes these modes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "brush/mix_modes.h"

namespace {

using namespace vlm::brush;

constexpr std::size_t kPixels = 1024 * 1024;

struct Planes {
    std::vector<std::uint16_t> canvas, source;
};

const Planes& planes() {
    static const Planes p = [] {
        Planes q{std::vector<std::uint16_t>(kPixels * 4), std::vector<std::uint16_t>(kPixels * 4)};
        std::mt19937 gen(1);
        for (std::size_t i = 0; i < kPixels * 4; ++i) {
            q.canvas[i] = static_cast<std::uint16_t>(gen());
            q.source[i] = static_cast<std::uint16_t>(gen());
        }
        return q;
    }();
    return p;
}

MixParams params() {
    MixParams p{};
    p.amount = 200;
    p.complement = 56;
    p.posterize_shift = posterize_shift(200);
    for (int ch = 0; ch < 3; ++ch) {
        p.colour[ch] = 0xFF00u >> ch;
        for (int k = 0; k < 4; ++k)
            p.banks[k][ch] = static_cast<std::uint32_t>(0x3000 * (k + 1) + 0x800 * ch);
    }
    return p;
}

MixPixel pixel(const std::uint16_t* p) { return {{p[0], p[1], p[2], p[3]}}; }

void store(std::uint16_t* out, const MixOut& o) {
    for (int ch = 0; ch < 3; ++ch) out[ch] = static_cast<std::uint16_t>(o.o[ch]);
    out[3] = static_cast<std::uint16_t>(o.oA);
}

void mix_chosen_once(int mode, const MixParams& p, std::uint16_t* out, vlm::core::Generator& g) {
    const std::uint16_t* d = planes().canvas.data();
    const std::uint16_t* s = planes().source.data();
    with_mix_kernel(mode, [&](auto k) {
        for (std::size_t i = 0; i < kPixels * 4; i += 4)
            store(out + i, mix_kernel<decltype(k)::value>(p, pixel(d + i), pixel(s + i), g));
    });
}

void mix_chosen_per_pixel(int mode, const MixParams& p, std::uint16_t* out, vlm::core::Generator& g) {
    const std::uint16_t* d = planes().canvas.data();
    const std::uint16_t* s = planes().source.data();
    for (std::size_t i = 0; i < kPixels * 4; i += 4)
        store(out + i, mix_pixel(mode, p, pixel(d + i), pixel(s + i), g));
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void mix_modes(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    const MixParams p = params();
    std::vector<std::uint16_t> once(kPixels * 4), per_pixel(kPixels * 4);
    vlm::core::Generator g1{1}, g2{1};
    std::vector<double> once_times, per_pixel_times;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        mix_chosen_once(mode, p, once.data(), g1);
        const auto t1 = Clock::now();
        mix_chosen_per_pixel(mode, p, per_pixel.data(), g2);
        const auto t2 = Clock::now();
        benchmark::DoNotOptimize(once.data());
        benchmark::DoNotOptimize(per_pixel.data());
        once_times.push_back(std::chrono::duration<double>(t1 - t0).count());
        per_pixel_times.push_back(std::chrono::duration<double>(t2 - t1).count());
        state.SetIterationTime(once_times.back());
    }
    if (once != per_pixel) state.SkipWithError("the two dispatches disagree");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPixels));
    state.counters["ratio_vs_per_pixel_dispatch"] = median(per_pixel_times) / median(once_times);
}

BENCHMARK(mix_modes)
    ->ArgName("mode")
    ->Arg(kMixScreen)
    ->Arg(kMixSoftLight)
    ->Arg(kMixDodge)
    ->Arg(kMixGradientMap)
    ->Arg(kMixBankDarks)
    ->Arg(kMixPosterizeBits)
    ->Arg(kMixLightnessToAlpha)
    ->Arg(kMixTint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
