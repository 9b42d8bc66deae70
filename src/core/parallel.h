#pragma once
// Splitting whole-canvas row loops over the machine's cores. Work is cut into contiguous row ranges
// whose results do not depend on how they are cut, so a split run gives the same bytes as one thread.
#include <functional>

namespace vlm::core {

// Calls body(first, last) for ranges covering rows [0, rows); runs on up to the number of hardware
// threads when the job has at least min_work units of work (rows x work_per_row), else on the caller's
// thread alone. Returns when every range is done.
void parallel_rows(int rows, long long work_per_row, long long min_work, const std::function<void(int, int)>& body);

// The number of threads parallel_rows may use (1 forces single-threaded runs, e.g. for comparisons).
int parallel_threads();
void set_parallel_threads(int threads);

} // namespace vlm::core
