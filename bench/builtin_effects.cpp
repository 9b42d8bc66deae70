// Throughput (items_per_second = pixels per second) of built-in effects on a 4096 x 4096 RGBA32 picture:
// "Value Blur" and "Noise Reduction" through the runner (its copy of the source included), timed on two
// threads with the one-thread time of the same iteration beside it (two_thread_speedup), and the fraction
// accessors' read-and-write round trip against memcpy of the same bytes (ratio_vs_memcpy < 1 means slower
// than the copy). No outside peer computes these effects.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "core/parallel.h"
#include "effects/pixels.h"
#include "effects/runner.h"

namespace {

using namespace vlm::effects;
using Clock = std::chrono::steady_clock;

constexpr int kSide = 4096;
constexpr std::size_t kBytes = static_cast<std::size_t>(kSide) * kSide * 4;

// Soft gradients with noise, so that the edge tests of the smoothers go both ways.
const std::vector<std::uint8_t>& picture() {
    static const std::vector<std::uint8_t> p = [] {
        std::vector<std::uint8_t> v(kBytes);
        std::mt19937 gen(7);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                std::uint8_t* px = &v[(static_cast<std::size_t>(y) * kSide + x) * 4];
                px[0] = static_cast<std::uint8_t>((x >> 4) + gen() % 24);
                px[1] = static_cast<std::uint8_t>((y >> 4) + gen() % 24);
                px[2] = static_cast<std::uint8_t>(((x + y) >> 5) + gen() % 24);
                px[3] = static_cast<std::uint8_t>(200 + gen() % 56);
            }
        return v;
    }();
    return p;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double seconds_since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

void effect(benchmark::State& state, const char* name, EffectArgs args) {
    std::vector<std::uint8_t> one(kBytes), two(kBytes);
    std::vector<double> one_times, two_times;
    for (auto _ : state) {
        vlm::core::set_parallel_threads(1);
        auto t0 = Clock::now();
        run_builtin_effect_on(const_cast<std::uint8_t*>(picture().data()), one.data(), kSide, kSide, name,
                              args);
        one_times.push_back(seconds_since(t0));
        vlm::core::set_parallel_threads(2);
        t0 = Clock::now();
        run_builtin_effect_on(const_cast<std::uint8_t*>(picture().data()), two.data(), kSide, kSide, name,
                              args);
        two_times.push_back(seconds_since(t0));
        benchmark::DoNotOptimize(one.data());
        benchmark::DoNotOptimize(two.data());
        state.SetIterationTime(two_times.back());
    }
    vlm::core::set_parallel_threads(0);
    if (one != two) state.SkipWithError("one thread and two disagree");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide);
    state.counters["one_thread_px_per_s"] = static_cast<double>(kSide) * kSide / median(one_times);
    state.counters["two_thread_speedup"] = median(one_times) / median(two_times);
}

void value_blur(benchmark::State& state) { effect(state, "Value Blur", {0, 0, {300, 700}}); }
void noise_reduction(benchmark::State& state) { effect(state, "Noise Reduction", {0, 0, {400, 60}}); }

void fraction_round_trip(benchmark::State& state) {
    std::vector<std::uint8_t> out(kBytes), copy(kBytes);
    Params p{};
    p.source = const_cast<std::uint8_t*>(picture().data());
    p.destination = out.data();
    p.width = p.height = kSide;
    p.pitch = kSide * 4;
    std::vector<double> trip_times, copy_times;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const Fractions f = read_fractions(p, x, y);
                write_fractions(p, x, y, f.r, f.g, f.b, f.a);
            }
        trip_times.push_back(seconds_since(t0));
        t0 = Clock::now();
        std::memcpy(copy.data(), picture().data(), kBytes);
        copy_times.push_back(seconds_since(t0));
        benchmark::DoNotOptimize(out.data());
        benchmark::DoNotOptimize(copy.data());
        state.SetIterationTime(trip_times.back());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide);
    state.counters["ratio_vs_memcpy"] = median(copy_times) / median(trip_times);
}

BENCHMARK(value_blur)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(noise_reduction)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(fraction_round_trip)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
