// Frames per second of VLM_Render for a 1920 x 1080 and a 3840 x 2160 view of 8 visible layers (Normal,
// Multiply, Overlay, Screen, a layer mask; partly transparent content) at 1:1, magnified by 2 and reduced
// by 2, on one and on two threads. In the same run pixman composites the same 8 layers at 8 bits
// (a8r8g8b8; the layer mask as a pixman mask) into a view-sized picture: ratio_vs_pixman > 1 means the
// engine renders a frame faster.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "core/engine_state.h"
#include "core/parallel.h"
#include "velmora/velmora.h"

namespace {

using Clock = std::chrono::steady_clock;

struct LayerSpec {
    const char* mode;
    pixman_op_t op;
};
// Slot 1 is the background; the Layer Mask at slot 7 masks slot 6.
constexpr LayerSpec kLayers[] = {
    {"Normal", PIXMAN_OP_SRC},         {"Normal", PIXMAN_OP_OVER},   {"Multiply", PIXMAN_OP_MULTIPLY},
    {"Overlay", PIXMAN_OP_OVERLAY},    {"Screen", PIXMAN_OP_SCREEN}, {"Normal", PIXMAN_OP_OVER},
    {"Layer Mask", PIXMAN_OP_OVER},    {"Normal", PIXMAN_OP_OVER},
};
constexpr int kCount = 8;

struct Scene {
    int w = 0, h = 0;
    std::vector<std::vector<std::uint32_t>> pictures8; // premultiplied a8r8g8b8 per layer
};

// Fills the engine's layers with blobs of partly transparent colour and keeps an 8-bit copy for pixman.
Scene& scene(int w, int h) {
    static Scene s;
    if (s.w == w && s.h == h) return s;
    s.w = w, s.h = h;
    s.pictures8.assign(kCount, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h));
    VLM_CreateImage(nullptr, w, h, 64, 0);
    VLM_SetViewSize(w, h);
    std::mt19937 gen(11);
    for (int k = 0; k < kCount; ++k) {
        const int slot = k + 1;
        VLM_CreateLayer(slot, w, h);
        VLM_SetLayerOptions(slot, 1, 0, 100, kLayers[k].mode);
        std::uint16_t* p = vlm::g_engine.layers.layers[slot].pixels;
        const int bx = static_cast<int>(gen() % w), by = static_cast<int>(gen() % h), r = h / 3;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x, p += 4) {
                const long dx = x - bx, dy = y - by;
                const bool inside = k == 0 || dx * dx + dy * dy < static_cast<long>(r) * r || (x / 64 + y / 64 + k) % 3 == 0;
                const std::uint16_t a = inside ? static_cast<std::uint16_t>(k == 0 ? 65535 : 20000 + (x * 7 + y * 3 + k * 999) % 45535) : 0;
                p[0] = static_cast<std::uint16_t>((x * 61 + k * 4000) % 65281);
                p[1] = static_cast<std::uint16_t>((y * 97 + k * 7000) % 65281);
                p[2] = static_cast<std::uint16_t>(((x + y) * 37 + k * 1000) % 65281);
                p[3] = a;
                const std::uint32_t a8 = a >> 8;
                auto ch = [&](int i) { return ((p[i] >> 8) * a8 + 127) / 255; };
                s.pictures8[k][static_cast<std::size_t>(y) * w + x] = a8 << 24 | ch(0) << 16 | ch(1) << 8 | ch(2);
            }
    }
    VLM_SetLayer(2);
    return s;
}

double pixman_frame(Scene& s, std::vector<std::uint32_t>& out) {
    const int stride = s.w * 4;
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, s.w, s.h, out.data(), stride);
    std::vector<pixman_image_t*> src(kCount);
    for (int k = 0; k < kCount; ++k)
        src[k] = pixman_image_create_bits(PIXMAN_a8r8g8b8, s.w, s.h, s.pictures8[k].data(), stride);
    const auto t0 = Clock::now();
    for (int k = 0; k < kCount; ++k) {
        if (k == 6) continue; // the Layer Mask layer is applied as the mask of the layer below it
        pixman_image_t* mask = k == 5 ? src[6] : nullptr;
        pixman_image_composite32(kLayers[k].op, src[k], mask, dst, 0, 0, 0, 0, 0, 0, s.w, s.h);
    }
    const auto t1 = Clock::now();
    for (auto* i : src) pixman_image_unref(i);
    pixman_image_unref(dst);
    return std::chrono::duration<double>(t1 - t0).count();
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Args: view width, view height, path (0 = 1:1, 1 = magnified by 2, 2 = reduced by 2), threads.
void BM_Render(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const int path = static_cast<int>(state.range(2));
    Scene& s = scene(w, h);
    vlm::core::set_parallel_threads(static_cast<int>(state.range(3)));
    std::vector<unsigned char> view(static_cast<std::size_t>(w) * h * 3);
    std::vector<std::uint32_t> peer(static_cast<std::size_t>(w) * h);
    if (path == 0) VLM_SetScale(1, 1.0f);
    if (path == 1) VLM_SetScale(2, 1.0f);
    if (path == 2) VLM_SetScale(1, 2.0f);
    const int rw = path == 1 ? w / 2 : w, rh = path == 1 ? h / 2 : h;
    std::vector<double> ours, theirs;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        VLM_Render(view.data(), w * 3, 0, 0, rw, rh);
        const auto t1 = Clock::now();
        ours.push_back(std::chrono::duration<double>(t1 - t0).count());
        theirs.push_back(pixman_frame(s, peer));
        state.SetIterationTime(ours.back());
    }
    state.counters["fps"] = 1.0 / median(ours);
    state.counters["pixman_fps"] = 1.0 / median(theirs);
    state.counters["ratio_vs_pixman"] = median(theirs) / median(ours);
    vlm::core::set_parallel_threads(0);
}

void Args(benchmark::internal::Benchmark* b) {
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
        for (int path : {0, 1, 2})
            for (int threads : {1, 2}) b->Args({w, h, path, threads});
}

BENCHMARK(BM_Render)->Apply(Args)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5);

} // namespace

BENCHMARK_MAIN();
