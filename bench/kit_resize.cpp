// Resizing a 4096 x 4096 RGBA picture to half and double size with the kit's Lanczos3 (filter 8) and
// area-average (filter 15) filters, against OpenCV's own cv::resize with its nearest equivalents
// (Lanczos4 and area) in the same run. ratio_vs_opencv > 1 means the kit is faster.
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

#include "imaging/kit/resize.h"

namespace {

constexpr int kSide = 4096;

const std::vector<std::uint8_t>& picture() {
    static const std::vector<std::uint8_t> pixels = [] {
        std::vector<std::uint8_t> p(static_cast<std::size_t>(kSide) * kSide * 4);
        std::mt19937 gen(1);
        // Smooth gradients with noise, closer to a painting than pure noise.
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                for (int c = 0; c < 4; ++c)
                    p[(static_cast<std::size_t>(y) * kSide + x) * 4 + c] =
                        static_cast<std::uint8_t>((x * (c + 1) + y * (3 - c)) / 37 + gen() % 16);
        return p;
    }();
    return pixels;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void kit_resize(benchmark::State& state) {
    const int filter = static_cast<int>(state.range(0));
    const int side = static_cast<int>(state.range(1));
    cv::setNumThreads(static_cast<int>(state.range(2)));
    const std::vector<std::uint8_t>& src = picture();
    std::vector<std::uint8_t> ours(static_cast<std::size_t>(side) * side * 4), theirs(ours.size());
    const cv::Mat in(kSide, kSide, CV_8UC4, const_cast<std::uint8_t*>(src.data()));
    cv::Mat out(side, side, CV_8UC4, theirs.data());
    const int interpolation = filter == vlm::kit::kFilterLanczos3 ? cv::INTER_LANCZOS4 : cv::INTER_AREA;
    std::vector<double> kit_times, peer_times;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const int ok = vlm::kit::resize_image(src.data(), kSide, kSide, kSide * 4, ours.data(), side, side,
                                              side * 4, 4, filter);
        const auto t1 = Clock::now();
        cv::resize(in, out, out.size(), 0, 0, interpolation);
        const auto t2 = Clock::now();
        if (!ok) state.SkipWithError("resize refused");
        kit_times.push_back(std::chrono::duration<double>(t1 - t0).count());
        peer_times.push_back(std::chrono::duration<double>(t2 - t1).count());
        state.SetIterationTime(kit_times.back());
    }
    state.counters["ratio_vs_opencv"] = median(peer_times) / median(kit_times);
    state.counters["Mpx_per_s"] = static_cast<double>(side) * side / 1e6 / median(kit_times);
}

BENCHMARK(kit_resize)
    ->ArgNames({"filter", "side", "threads"})
    ->ArgsProduct({{vlm::kit::kFilterLanczos3, vlm::kit::kFilterAreaAverage}, {kSide / 2, kSide * 2}, {1, 2}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
