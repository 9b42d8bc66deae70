// Saving and undoing a whole-canvas level of a 4096 x 4096 layer, against memcpy of the same bytes
// measured in the same iterations. ratio_vs_memcpy > 1 means the undo store moves bytes faster.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "velmora/velmora.h"

namespace {

constexpr int kEdge = 4096;
constexpr std::size_t kBytes = static_cast<std::size_t>(kEdge) * kEdge * 8;

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

void set_up_canvas() {
    VLM_CreateImage(nullptr, kEdge, kEdge, 64, 0);
    VLM_CreateLayer(1, kEdge, kEdge);
    VLM_SetLayer(1);
    VLM_SetUndoLevels(4);
    VLM_SetUndoMB(4000);
}

// Runs one engine step and memcpy of the bytes it moves (copies x kBytes), timing both.
template <class Step> void measure(benchmark::State& state, int copies, Step step) {
    std::vector<unsigned char> a(kBytes, 1), b(kBytes, 2);
    std::vector<double> ours, peer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        step();
        const auto t1 = Clock::now();
        for (int i = 0; i < copies; ++i) std::memcpy(i % 2 ? a.data() : b.data(), i % 2 ? b.data() : a.data(), kBytes);
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        ours.push_back(std::chrono::duration<double>(t1 - t0).count());
        peer.push_back(std::chrono::duration<double>(t2 - t1).count());
        state.SetIterationTime(ours.back());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * copies * kBytes);
    state.counters["ratio_vs_memcpy"] = median(peer) / median(ours);
}

// A save moves the rectangle twice: back buffer to the new level, layer to the back buffer.
void BM_SaveLevel(benchmark::State& state) {
    set_up_canvas();
    auto save = [] {
        VLM_InvalidateDirtyUndoCanvas();
        VLM_SaveUndoBuffer(1, 0);
    };
    for (int i = 0; i < 5; ++i) save(); // fill the four levels: from then on every save is steady state
    measure(state, 2, save);
    VLM_DeleteImage();
}

// An undo exchanges the rectangle three ways.
void BM_Undo(benchmark::State& state) {
    set_up_canvas();
    VLM_InvalidateDirtyUndoCanvas();
    VLM_SaveUndoBuffer(1, 0);
    bool undone = false;
    measure(state, 3, [&] {
        undone ? VLM_Redo() : VLM_Undo();
        undone = !undone;
    });
    VLM_DeleteImage();
}

BENCHMARK(BM_SaveLevel)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Undo)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
