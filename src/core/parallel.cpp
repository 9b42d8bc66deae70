#include "core/parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace vlm::core {

namespace {
std::atomic<int> g_threads{0}; // 0: as many as the hardware has
}

int parallel_threads() {
    const int set = g_threads.load();
    if (set > 0) return set;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void set_parallel_threads(int threads) { g_threads.store(std::max(0, threads)); }

void parallel_rows(int rows, long long work_per_row, long long min_work,
                   const std::function<void(int, int)>& body) {
    if (rows <= 0) return;
    int threads = std::min(parallel_threads(), rows);
    if (static_cast<long long>(rows) * work_per_row < min_work) threads = 1;
    if (threads <= 1) {
        body(0, rows);
        return;
    }
    std::vector<std::thread> helpers;
    helpers.reserve(threads - 1);
    const int chunk = (rows + threads - 1) / threads;
    try {
        for (int t = 1; t < threads; ++t) {
            const int first = t * chunk, last = std::min(rows, first + chunk);
            if (first < last) helpers.emplace_back(body, first, last);
        }
    } catch (...) {
        // No thread to be had: the caller's thread does the rest.
        const int done = static_cast<int>(helpers.size());
        body((done + 1) * chunk < rows ? (done + 1) * chunk : rows, rows);
    }
    body(0, std::min(rows, chunk));
    for (std::thread& t : helpers) t.join();
}

} // namespace vlm::core
