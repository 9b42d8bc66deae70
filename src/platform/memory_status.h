#pragma once
// The system's memory status in KB, read from /proc/meminfo (sysinfo as a fall-back).
#include <cstdint>

namespace vlm::platform {

struct MemoryStatus {
    std::uint64_t total_physical_kb;
    std::uint64_t available_physical_kb;
    std::uint64_t total_page_file_kb;     // physical memory plus swap
    std::uint64_t available_page_file_kb; // available physical memory plus free swap
};

MemoryStatus memory_status();

} // namespace vlm::platform
