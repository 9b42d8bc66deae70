// Layer merging on a 4096 x 4096 canvas, on one and on two threads:
//  - merge_layer: VLM_MergeLayer of a layer (runs of opaque and of partly transparent pixels, half each)
//    onto a mostly opaque layer in Normal, Multiply and Overlay;
//  - flatten: VLM_Merge of 8 visible layers (an opaque background, then Normal, Multiply, Overlay, Screen,
//    Normal, Multiply, Overlay layers with empty, opaque and partly transparent runs) into a host buffer.
// In the same run pixman composites the same pictures narrowed to 8 bits (a8r8g8b8, premultiplied) with
// OVER, MULTIPLY, OVERLAY and SCREEN (the background with SRC) on the same number of threads, each thread
// taking one band of rows through its own pixman images. ratio_vs_pixman > 1 means the engine is faster.
// Both sides are timed per pass around the call alone (thread start-up included); restoring the merge
// destinations before each pass is not timed, and the two sides take turns going first.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <deque>
#include <thread>
#include <vector>

#include "core/engine_state.h"
#include "core/parallel.h"
#include "velmora/velmora.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSide = 4096;
constexpr std::size_t kPixels = std::size_t(kSide) * kSide;

struct LayerSpec {
    const char* mode;
    pixman_op_t op;
};
// Slots 1..8 are flattened; slot 1 is the background, copied rather than blended.
constexpr LayerSpec kFlattenLayers[] = {
    {"Normal", PIXMAN_OP_SRC},        {"Normal", PIXMAN_OP_OVER},     {"Multiply", PIXMAN_OP_MULTIPLY},
    {"Overlay", PIXMAN_OP_OVERLAY},   {"Screen", PIXMAN_OP_SCREEN},   {"Normal", PIXMAN_OP_OVER},
    {"Multiply", PIXMAN_OP_MULTIPLY}, {"Overlay", PIXMAN_OP_OVERLAY},
};
constexpr int kFlattenCount = 8;
// The layer pair merged by VLM_MergeLayer: hidden, so that flattening leaves them out, and above every
// flattened slot, so that no Layer Mask applies to the source.
constexpr int kMergeDst = 9, kMergeSrc = 10;

// Fast, reproducible values for filling half a gigabyte of pixels.
struct XorShift {
    std::uint64_t s;
    std::uint32_t operator()() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return static_cast<std::uint32_t>(s >> 32);
    }
};

// How a layer's runs of 64 pixels are covered, in percent: empty, opaque, the rest partly transparent.
struct Coverage {
    unsigned empty, opaque;
};
constexpr Coverage kMergeSource{0, 50}, kMergeDestination{0, 75}, kFlattenLayer{33, 33}, kOpaque{0, 100};

std::uint32_t premultiplied8(const std::uint16_t* p) {
    const std::uint32_t a = p[3] >> 8;
    auto ch = [&](int i) { return ((p[i] >> 8) * a + 127) / 255; };
    return a << 24 | ch(0) << 16 | ch(1) << 8 | ch(2);
}

// Fills the slot at canvas size with random colours in runs of the given coverage and returns the same
// picture at 8 bits for pixman.
std::vector<std::uint32_t> fill_layer(int slot, const char* mode, bool visible, Coverage cover,
                                      std::uint64_t seed) {
    VLM_CreateLayer(slot, kSide, kSide);
    VLM_SetLayerOptions(slot, visible ? 1 : 0, 0, 100, mode);
    std::uint16_t* p = vlm::g_engine.layers.layers[slot].pixels;
    std::vector<std::uint32_t> pic8(kPixels);
    XorShift gen{seed * 0x9E3779B97F4A7C15ull + 1};
    unsigned kind = 0;
    for (std::size_t i = 0; i < kPixels; ++i, p += 4) {
        if (i % 64 == 0) kind = gen() % 100;
        for (int ch = 0; ch < 3; ++ch) p[ch] = static_cast<std::uint16_t>(gen() % 65281);
        if (kind < cover.empty)
            p[3] = 0;
        else if (kind < cover.empty + cover.opaque)
            p[3] = 65535;
        else
            p[3] = static_cast<std::uint16_t>(1 + gen() % 65534);
        pic8[i] = premultiplied8(p);
    }
    return pic8;
}

struct Scene {
    std::vector<std::vector<std::uint32_t>> flatten8; // per flattened slot
    std::vector<std::uint32_t> merge_src8, merge_dst8;
    std::vector<std::uint16_t> merge_dst; // the destination layer as made, for restoring
};

Scene& scene() {
    static Scene s = [] {
        Scene s;
        VLM_CreateImage(nullptr, kSide, kSide, 64, 0);
        for (int k = 0; k < kFlattenCount; ++k)
            s.flatten8.push_back(
                fill_layer(k + 1, kFlattenLayers[k].mode, true, k == 0 ? kOpaque : kFlattenLayer, 100 + k));
        s.merge_dst8 = fill_layer(kMergeDst, "Normal", false, kMergeDestination, 1);
        s.merge_src8 = fill_layer(kMergeSrc, "Normal", false, kMergeSource, 2);
        const std::uint16_t* dst = vlm::g_engine.layers.layers[kMergeDst].pixels;
        s.merge_dst.assign(dst, dst + kPixels * 4);
        return s;
    }();
    return s;
}

// A picture cut into bands of rows, one pixman image per band, so that each thread has images of its own.
struct Bands {
    std::vector<pixman_image_t*> images;
    Bands(std::uint32_t* pixels, int count) {
        const int rows = (kSide + count - 1) / count;
        for (int b = 0; b < count; ++b) {
            const int y0 = b * rows, y1 = std::min(kSide, y0 + rows);
            images.push_back(pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, y1 - y0,
                                                      pixels + std::size_t(y0) * kSide, kSide * 4));
        }
    }
    Bands(const Bands&) = delete;
    Bands& operator=(const Bands&) = delete;
    ~Bands() {
        for (pixman_image_t* i : images) pixman_image_unref(i);
    }
};

// Runs body(band) for every band, band 0 on the calling thread, as the engine splits its rows.
template <class Body> void run_bands(int count, Body body) {
    std::vector<std::thread> helpers;
    for (int b = 1; b < count; ++b) helpers.emplace_back(body, b);
    body(0);
    for (std::thread& t : helpers) t.join();
}

int band_height(const Bands& bands, int b) { return pixman_image_get_height(bands.images[b]); }

double seconds(Clock::time_point t0, Clock::time_point t1) {
    return std::chrono::duration<double>(t1 - t0).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void report(benchmark::State& state, const std::vector<double>& ours, const std::vector<double>& theirs) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPixels));
    state.counters["pixman_px_per_s"] = kPixels / median(theirs);
    state.counters["ratio_vs_pixman"] = median(theirs) / median(ours);
    vlm::core::set_parallel_threads(0);
}

// Arg: threads on both sides.
void merge_layer(benchmark::State& state, const char* mode, pixman_op_t op) {
    Scene& s = scene();
    const int threads = static_cast<int>(state.range(0));
    vlm::core::set_parallel_threads(threads);
    VLM_SetLayerOptions(kMergeSrc, 0, 0, 100, mode);
    std::uint16_t* dst = vlm::g_engine.layers.layers[kMergeDst].pixels;
    std::vector<std::uint32_t> work8(kPixels);
    const Bands src8(s.merge_src8.data(), threads), dst8(work8.data(), threads);
    std::vector<double> ours, theirs;
    for (auto _ : state) {
        std::memcpy(dst, s.merge_dst.data(), s.merge_dst.size() * sizeof(std::uint16_t));
        std::memcpy(work8.data(), s.merge_dst8.data(), work8.size() * sizeof(std::uint32_t));
        auto engine = [&] {
            const auto t0 = Clock::now();
            VLM_MergeLayer(kMergeSrc, kMergeDst);
            ours.push_back(seconds(t0, Clock::now()));
        };
        auto peer = [&] {
            const auto t0 = Clock::now();
            run_bands(threads, [&](int b) {
                pixman_image_composite32(op, src8.images[b], nullptr, dst8.images[b], 0, 0, 0, 0, 0, 0, kSide,
                                         band_height(dst8, b));
            });
            theirs.push_back(seconds(t0, Clock::now()));
        };
        if (ours.size() % 2 == 0)
            engine(), peer();
        else
            peer(), engine();
        benchmark::DoNotOptimize(dst);
        benchmark::DoNotOptimize(work8.data());
        state.SetIterationTime(ours.back());
    }
    // A refused merge would time nothing.
    if (std::memcmp(dst, s.merge_dst.data(), s.merge_dst.size() * sizeof(std::uint16_t)) == 0 ||
        std::memcmp(work8.data(), s.merge_dst8.data(), work8.size() * sizeof(std::uint32_t)) == 0)
        state.SkipWithError("a merge left its destination unchanged");
    report(state, ours, theirs);
}

// Arg: threads on both sides.
void flatten(benchmark::State& state) {
    Scene& s = scene();
    const int threads = static_cast<int>(state.range(0));
    vlm::core::set_parallel_threads(threads);
    std::vector<std::uint16_t> page(kPixels * 4);
    std::vector<std::uint32_t> page8(kPixels);
    std::deque<Bands> layers8;
    for (auto& pic : s.flatten8) layers8.emplace_back(pic.data(), threads);
    const Bands dst8(page8.data(), threads);
    std::vector<double> ours, theirs;
    for (auto _ : state) {
        // Both sides overwrite the whole page: nothing to restore.
        auto engine = [&] {
            const auto t0 = Clock::now();
            VLM_Merge(page.data());
            ours.push_back(seconds(t0, Clock::now()));
        };
        auto peer = [&] {
            const auto t0 = Clock::now();
            run_bands(threads, [&](int b) {
                for (int k = 0; k < kFlattenCount; ++k)
                    pixman_image_composite32(kFlattenLayers[k].op, layers8[k].images[b], nullptr,
                                             dst8.images[b], 0, 0, 0, 0, 0, 0, kSide, band_height(dst8, b));
            });
            theirs.push_back(seconds(t0, Clock::now()));
        };
        if (ours.size() % 2 == 0)
            engine(), peer();
        else
            peer(), engine();
        benchmark::DoNotOptimize(page.data());
        benchmark::DoNotOptimize(page8.data());
        state.SetIterationTime(ours.back());
    }
    auto blank = [](const auto& v) { return std::all_of(v.begin(), v.end(), [](auto x) { return x == 0; }); };
    if (blank(page) || blank(page8)) state.SkipWithError("a flattened page stayed empty");
    report(state, ours, theirs);
}

void Threads(benchmark::internal::Benchmark* b) {
    b->ArgName("threads")->Arg(1)->Arg(2)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(merge_layer, normal, "Normal", PIXMAN_OP_OVER)->Apply(Threads);
BENCHMARK_CAPTURE(merge_layer, multiply, "Multiply", PIXMAN_OP_MULTIPLY)->Apply(Threads);
BENCHMARK_CAPTURE(merge_layer, overlay, "Overlay", PIXMAN_OP_OVERLAY)->Apply(Threads);
BENCHMARK(flatten)->Apply(Threads);

} // namespace

BENCHMARK_MAIN();
