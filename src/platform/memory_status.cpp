#include "platform/memory_status.h"

#include <sys/sysinfo.h>

#include <cstdio>
#include <cstring>

namespace vlm::platform {

MemoryStatus memory_status() {
    std::uint64_t total = 0, available = 0, swap_total = 0, swap_free = 0;
    bool have_available = false;
    if (std::FILE* f = std::fopen("/proc/meminfo", "r")) {
        char key[64];
        unsigned long long value = 0;
        while (std::fscanf(f, "%63s %llu kB", key, &value) == 2) {
            if (!std::strcmp(key, "MemTotal:")) total = value;
            else if (!std::strcmp(key, "MemAvailable:")) available = value, have_available = true;
            else if (!std::strcmp(key, "SwapTotal:")) swap_total = value;
            else if (!std::strcmp(key, "SwapFree:")) swap_free = value;
        }
        std::fclose(f);
    }
    if (total == 0 || !have_available) {
        struct sysinfo si {};
        if (sysinfo(&si) == 0) {
            const std::uint64_t unit = si.mem_unit ? si.mem_unit : 1;
            total = si.totalram * unit / 1024;
            available = (si.freeram + si.bufferram) * unit / 1024;
            swap_total = si.totalswap * unit / 1024;
            swap_free = si.freeswap * unit / 1024;
        }
    }
    return {total, available, total + swap_total, available + swap_free};
}

} // namespace vlm::platform
