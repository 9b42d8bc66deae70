// The weighted load that every effect, fill and paste goes through: VLM_LoadRGBA32Layer, weighted, of a
// 4096 x 4096 RGBA32 picture into a layer with the mask enabled and a paper texture present, against a
// plain memcpy of the layer plane it writes (4096 x 4096 x 8 bytes), timed in the same run.
// ratio_vs_memcpy = memcpy time / load time: 1 would mean the load runs at copy speed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "core/engine_state.h"
#include "velmora/velmora.h"

namespace {

constexpr int kEdge = 4096;
constexpr std::size_t kPixels = static_cast<std::size_t>(kEdge) * kEdge;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// A canvas with one half-transparent layer, a mask that is mostly selected with a soft band and a
// protected corner, and a paper texture over the whole range.
void make_canvas() {
    VLM_CreateImage(nullptr, kEdge, kEdge, 64, 0);
    VLM_CreateLayer(1, kEdge, kEdge);
    VLM_CreateLayer(2, kEdge, kEdge);
    VLM_SetLayer(2);
    VLM_ClearRGBA64(vlm::g_engine.layers.layers[2].pixels, kEdge * 8, 0x4000, 0x8000, 0xC000, 0x9000);
    std::mt19937 gen(5);
    std::uint16_t* mask = vlm::g_engine.mask.plane;
    for (int y = 0; y < kEdge; ++y)
        for (int x = 0; x < kEdge; ++x) {
            std::uint16_t m = 0xFFFF;
            if (y % 512 < 64) m = static_cast<std::uint16_t>((y % 64) * 1024);
            if (x < 256 && y < 256) m = 0;
            mask[static_cast<std::size_t>(y) * kEdge + x] = m;
        }
    auto* texture = new std::uint8_t[kPixels]; // owned by the engine from here on
    for (std::size_t i = 0; i < kPixels; ++i) texture[i] = static_cast<std::uint8_t>(4 + gen() % 247);
    vlm::g_engine.layers.texture = texture;
}

void weighted_load(benchmark::State& state) {
    make_canvas();
    std::vector<std::uint8_t> picture(kPixels * 4);
    std::mt19937 gen(9);
    for (std::size_t i = 0; i < picture.size(); i += 4) {
        const std::uint32_t v = gen();
        std::memcpy(&picture[i], &v, 4);
        if (i % 64 == 0) picture[i + 3] = 0; // some transparent source pixels
    }
    std::vector<std::uint8_t> copy_from(kPixels * 8, 1), copy_to(kPixels * 8);
    std::vector<double> load_times, copy_times;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        VLM_LoadRGBA32Layer(picture.data(), kEdge * 4, 2, 0, 0, kEdge, kEdge, 1);
        const auto t1 = Clock::now();
        std::memcpy(copy_to.data(), copy_from.data(), copy_to.size());
        const auto t2 = Clock::now();
        benchmark::DoNotOptimize(vlm::g_engine.layers.layers[2].pixels);
        benchmark::DoNotOptimize(copy_to.data());
        load_times.push_back(std::chrono::duration<double>(t1 - t0).count());
        copy_times.push_back(std::chrono::duration<double>(t2 - t1).count());
        state.SetIterationTime(load_times.back());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPixels));
    state.counters["ratio_vs_memcpy"] = median(copy_times) / median(load_times);
    VLM_DeleteImage();
}

BENCHMARK(weighted_load)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
