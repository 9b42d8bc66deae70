// velmora-cli: the reference host. It drives the engine only through the public C API, as any host
// application would.
#include <velmora/velmora.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Resident memory of this process in KB, to show what the canvas planes cost.
long resident_kb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
    }
    return 0;
}

int demo(const std::string& out_dir) {
    std::filesystem::create_directories(out_dir);
    const int width = 1200, height = 800, max_brush = 256;
    const long before = resident_kb();
    VLM_CreateImage(nullptr, width, height, max_brush, 0);
    const long after = resident_kb();
    if (*VLM_GetLastError()) {
        std::fprintf(stderr, "velmora: %s\n", VLM_GetLastError());
        return 1;
    }
    std::printf("canvas %d x %d, maximum brush %d\n", width, height, max_brush);
    std::printf("resident memory: %ld KB before, %ld KB with the canvas (+%ld KB)\n", before, after, after - before);
    VLM_DeleteImage();
    std::printf("canvas deleted, resident memory %ld KB\n", resident_kb());
    std::printf("output folder: %s\n", out_dir.c_str());
    return 0;
}

void usage() { std::fprintf(stderr, "usage: velmora-cli demo OUT_DIR\n"); }

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "demo") == 0) return demo(argv[2]);
    usage();
    return 2;
}
