// Dabs per second of VLM_DrawDabGrit with a hard round brush of size 8, 32, 64 and 128 on a 2048 x 2048
// opaque white layer, for four tools: a plain opaque dab, grit with colour variation (per dab and per
// pixel, colour and lightness), a blending dab with remix, and mix mode 40. In the same run libmypaint
// stamps the same dabs (centre, radius size / 2, opaque, hardness 1, same colour) on a fixed tiled surface
// of the same size, begin to end atomic, on one thread and with its tiles processed on every core.
// "Covered pixels" are the pixels a dab's footprint reaches (non-zero shape value for us, non-zero mask
// for libmypaint, counted on each side's own stamp); ratio_vs_mypaint > 1 means we cover pixels faster.
// Both single-thread sides are timed in thread CPU time, which preemption on a busy machine leaves alone;
// ratio_vs_mypaint_mt compares wall times with libmypaint's tiles spread over every core.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <map>
#include <random>
#include <vector>

#include "core/engine_state.h"
#include "velmora/velmora.h"

#if __has_include(<mypaint-fixed-tiled-surface.h>)
#include <mypaint-fixed-tiled-surface.h>
#include <omp.h>
#define VLM_BENCH_MYPAINT 1
#endif

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCanvas = 2048;
constexpr int kMaxBrush = 128;
constexpr int kLayer = 2;
// Dab colour: the engine keeps the high byte of each argument.
constexpr int kRed = 0xC000, kGreen = 0x4000, kBlue = 0x2000;

enum Tool { kPlain, kGritVary, kBlendRemix, kMode40 };
const char* const kToolNames[] = {"plain", "grit_vary", "blend_remix", "mode40"};

double seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

double thread_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Enough dabs per timed batch for about a million covered pixels, so that small brushes are not
// dominated by the clock and large ones still repeat often.
int batch_size(int size) { return std::clamp((1 << 20) / (size * size), 64, 16384); }

// Dab centres whose whole square lies on the canvas.
void fill_positions(std::mt19937& gen, int size, std::vector<std::pair<int, int>>& out) {
    std::uniform_int_distribution<int> at(size / 2 + 1, kCanvas - size / 2 - 2);
    for (auto& p : out) p = {at(gen), at(gen)};
}

void make_canvas() {
    static bool made = false;
    if (made) return;
    made = true;
    VLM_CreateImage(nullptr, kCanvas, kCanvas, kMaxBrush, 0);
    VLM_CreateLayer(1, kCanvas, kCanvas);
    VLM_CreateLayer(kLayer, kCanvas, kCanvas);
    std::fill_n(vlm::g_engine.layers.layers[kLayer].pixels, std::size_t{kCanvas} * kCanvas * 4, 65535);
    VLM_SetLayer(kLayer);
}

// Sets the tool up as a host does for a stroke; the per-pixel variations persist across VLM_SetTool, so
// every tool states them.
void use_tool(Tool tool, int size) {
    VLM_SetSize(size);
    VLM_SetScaleSize(size);
    const bool grit = tool == kGritVary, blend = tool == kBlendRemix;
    VLM_SetTool(1.0f, grit ? 3 : 0, 128, 160, 0, grit ? 24 : 0, 8, blend ? 160 : 0, blend ? 32 : 0, blend, 0,
                0, 0, nullptr, nullptr, 0);
    VLM_SetAlpha(100);
    VLM_SetDensity(grit ? 200 : 256);
    VLM_SetPixColorVary(grit ? 30 : 0);
    VLM_SetPixLumVary(grit ? 20 : 0);
    if (tool == kMode40) VLM_SetMixMode(40, 160);
    if (blend) {
        VLM_SetColor(kRed >> 8, kGreen >> 8, kBlue >> 8);
        VLM_CopyBlendBufferSurface(kCanvas / 2, kCanvas / 2, 96, 0);
    }
}

int our_covered_pixels(int size) {
    const std::uint16_t* shape = vlm::g_engine.brush.shape;
    int n = 0;
    for (int r = 0; r < size; ++r)
        n += static_cast<int>(std::count_if(shape + r * kMaxBrush, shape + r * kMaxBrush + size,
                                            [](std::uint16_t v) { return v != 0; }));
    return n;
}

#ifdef VLM_BENCH_MYPAINT

// A fixed tiled surface of libmypaint; it queues dabs per tile and writes them at end_atomic.
class Mypaint {
public:
    Mypaint(int width, int height, std::uint16_t fill)
        : fixed_(mypaint_fixed_tiled_surface_new(width, height)),
          surface_(mypaint_fixed_tiled_surface_interface(fixed_)),
          tiled_(reinterpret_cast<MyPaintTiledSurface*>(surface_)), tiles_x_(width / MYPAINT_TILE_SIZE),
          tiles_y_(height / MYPAINT_TILE_SIZE) {
        // The surface starts as 0xFF bytes, outside its 0..1 << 15 range.
        for_each_tile(false, [&](std::uint16_t* t) { std::fill_n(t, kTileValues, fill); });
    }
    ~Mypaint() { mypaint_surface_unref(surface_); }
    Mypaint(const Mypaint&) = delete;
    Mypaint& operator=(const Mypaint&) = delete;

    // Stamps the dabs and writes them out; the threads flag lets end_atomic spread tiles over cores.
    void stamp(const std::vector<std::pair<int, int>>& centres, int size, bool threads) {
        tiled_->threadsafe_tile_requests = threads;
        mypaint_surface_begin_atomic(surface_);
        for (auto [x, y] : centres)
            mypaint_surface_draw_dab(surface_, static_cast<float>(x), static_cast<float>(y), size * 0.5f,
                                     kRed / 65535.0f, kGreen / 65535.0f, kBlue / 65535.0f, 1.0f, 1.0f, 1.0f,
                                     1.0f, 0.0f, 0.0f, 0.0f);
        MyPaintRectangle roi;
        mypaint_surface_end_atomic(surface_, &roi);
    }

    long count_painted() {
        long n = 0;
        for_each_tile(true, [&](std::uint16_t* t) {
            for (int i = 3; i < kTileValues; i += 4) n += t[i] != 0;
        });
        return n;
    }

private:
    static constexpr int kTileValues = MYPAINT_TILE_SIZE * MYPAINT_TILE_SIZE * 4;

    template <class F> void for_each_tile(bool readonly, F&& f) {
        for (int ty = 0; ty < tiles_y_; ++ty)
            for (int tx = 0; tx < tiles_x_; ++tx) {
                MyPaintTileRequest request;
                mypaint_tile_request_init(&request, 0, tx, ty, readonly);
                mypaint_tiled_surface_tile_request_start(tiled_, &request);
                if (request.buffer) f(request.buffer);
                mypaint_tiled_surface_tile_request_end(tiled_, &request);
            }
    }

    MyPaintFixedTiledSurface* fixed_;
    MyPaintSurface* surface_;
    MyPaintTiledSurface* tiled_;
    int tiles_x_, tiles_y_;
};

Mypaint& mypaint_canvas() {
    static Mypaint canvas(kCanvas, kCanvas, 1 << 15); // opaque white, premultiplied
    return canvas;
}

// libmypaint's own footprint of one dab, counted on a cleared surface.
long mypaint_covered_pixels(int size) {
    static std::map<int, long> counted;
    auto [it, fresh] = counted.try_emplace(size, 0);
    if (fresh) {
        const int side = 2 * kMaxBrush;
        Mypaint probe(side, side, 0);
        probe.stamp({{side / 2, side / 2}}, size, false);
        it->second = probe.count_painted();
    }
    return it->second;
}

#endif

// Args: tool, brush size.
void BM_Dab(benchmark::State& state) {
    const Tool tool = static_cast<Tool>(state.range(0));
    const int size = static_cast<int>(state.range(1));
    make_canvas();
    use_tool(tool, size);
    const double covered = our_covered_pixels(size);
    std::vector<std::pair<int, int>> centres(static_cast<std::size_t>(batch_size(size)));
    std::mt19937 gen(static_cast<unsigned>(size * 4 + tool));
    std::vector<double> ours, ours_wall, theirs, theirs_threads;
    for (auto _ : state) {
        fill_positions(gen, size, centres);
        const auto w0 = Clock::now();
        const double c0 = thread_seconds();
        for (auto [x, y] : centres) {
            VLM_DrawDabGrit(x, y, kRed, kGreen, kBlue);
            VLM_DecDrawingLength();
        }
        const double c1 = thread_seconds();
        const auto w1 = Clock::now();
        ours.push_back(c1 - c0);
        ours_wall.push_back(seconds(w0, w1));
        state.SetIterationTime(ours.back());
#ifdef VLM_BENCH_MYPAINT
        const double c2 = thread_seconds();
        mypaint_canvas().stamp(centres, size, false);
        theirs.push_back(thread_seconds() - c2);
        const auto w2 = Clock::now();
        mypaint_canvas().stamp(centres, size, true);
        theirs_threads.push_back(seconds(w2, Clock::now()));
#endif
    }
    // A dab that paints nothing would make every figure meaningless.
    const std::uint16_t* px = vlm::g_engine.layers.layers[kLayer].pixels;
    const auto [cx, cy] = centres.back();
    if (tool == kPlain && px[(static_cast<std::size_t>(cy) * kCanvas + cx) * 4 + 1] == 65535)
        state.SkipWithError("the plain dab left the white canvas unpainted");

    const double n = static_cast<double>(centres.size());
    state.SetLabel(kToolNames[tool]);
    state.counters["dabs_per_s"] = n / median(ours);
    state.counters["covered_px_per_s"] = n * covered / median(ours);
#ifdef VLM_BENCH_MYPAINT
    const double their_covered = static_cast<double>(mypaint_covered_pixels(size));
    state.counters["mypaint_dabs_per_s"] = n / median(theirs);
    state.counters["mypaint_covered_px_per_s"] = n * their_covered / median(theirs);
    state.counters["ratio_vs_mypaint"] = (covered / median(ours)) / (their_covered / median(theirs));
    state.counters["mypaint_threads"] = omp_get_max_threads();
    state.counters["ratio_vs_mypaint_mt"] =
        (covered / median(ours_wall)) / (their_covered / median(theirs_threads));
#endif
}

void Args(benchmark::internal::Benchmark* b) {
    b->ArgNames({"tool", "size"});
    for (int tool : {kPlain, kGritVary, kBlendRemix, kMode40})
        for (int size : {8, 32, 64, 128}) b->Args({tool, size});
}

BENCHMARK(BM_Dab)->Apply(Args)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.3);

} // namespace

BENCHMARK_MAIN();
