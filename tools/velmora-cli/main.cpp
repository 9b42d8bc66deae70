// velmora-cli: the reference host. It drives the engine only through the public C API, as any host
// application would.
#include <velmora/velmora.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "png_writer.h"

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

struct Canvas {
    int width, height;
};

// A host-made RGBA64 picture: a soft disc of one colour, or a band, on transparency.
std::vector<std::uint16_t> disc(const Canvas& c, int cx, int cy, int radius, int r, int g, int b, int alpha) {
    std::vector<std::uint16_t> px(static_cast<std::size_t>(c.width) * c.height * 4, 0);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const double d = std::hypot(x - cx, y - cy) / radius;
            if (d >= 1.0) continue;
            std::uint16_t* p = &px[(static_cast<std::size_t>(y) * c.width + x) * 4];
            p[0] = static_cast<std::uint16_t>(r << 8);
            p[1] = static_cast<std::uint16_t>(g << 8);
            p[2] = static_cast<std::uint16_t>(b << 8);
            p[3] = static_cast<std::uint16_t>(alpha * std::min(1.0, (1.0 - d) * 4.0));
        }
    return px;
}

// A grey ramp from left to right: a Layer Mask that fades the layer below it.
std::vector<std::uint16_t> ramp(const Canvas& c) {
    std::vector<std::uint16_t> px(static_cast<std::size_t>(c.width) * c.height * 4);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            std::uint16_t* p = &px[(static_cast<std::size_t>(y) * c.width + x) * 4];
            p[0] = p[1] = p[2] = static_cast<std::uint16_t>(65535LL * x / (c.width - 1));
            p[3] = 65535;
        }
    return px;
}

bool save_view(const std::string& path, const Canvas& c, int mode, float factor, int w, int h, int out_w, int out_h) {
    std::vector<unsigned char> bgr(static_cast<std::size_t>(out_w) * out_h * 3);
    VLM_SetScale(mode, factor);
    VLM_SetViewSize(out_w, out_h);
    VLM_Render(bgr.data(), out_w * 3, 0, 0, w, h);
    for (std::size_t i = 0; i < bgr.size(); i += 3) std::swap(bgr[i], bgr[i + 2]); // B, G, R to R, G, B
    return cli::write_png(path, bgr.data(), out_w, out_h, 3, out_w * 3);
}

int demo(const std::string& out_dir) {
    std::filesystem::create_directories(out_dir);
    const Canvas c{960, 640};
    const int max_brush = 256;
    const long before = resident_kb();
    VLM_CreateImage(nullptr, c.width, c.height, max_brush, 0);
    std::printf("canvas %d x %d, maximum brush %d: +%ld KB resident\n", c.width, c.height, max_brush,
                resident_kb() - before);

    // Layers: a white background, then discs in several blend modes, one faded by a Layer Mask.
    struct Layer {
        const char* mode;
        int opacity;
        std::vector<std::uint16_t> pixels;
    };
    std::vector<Layer> layers;
    layers.push_back({"Normal", 100, disc(c, 300, 300, 220, 230, 80, 40, 65535)});
    layers.push_back({"Multiply", 100, disc(c, 520, 300, 220, 60, 140, 230, 65535)});
    layers.push_back({"Screen", 100, disc(c, 420, 470, 200, 40, 200, 90, 65535)});
    layers.push_back({"Overlay", 80, disc(c, 760, 220, 180, 250, 220, 60, 65535)});
    layers.push_back({"Normal", 90, disc(c, 800, 500, 150, 120, 40, 160, 50000)});
    layers.push_back({"Layer Mask", 100, ramp(c)}); // fades the disc below it from left to right
    VLM_CreateLayer(1, c.width, c.height);
    VLM_SetLayerOptions(1, 0, 0, 100, "Normal"); // hidden first: the checkerboard shows through
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const int slot = static_cast<int>(i) + 2;
        VLM_CreateLayer(slot, c.width, c.height);
        VLM_SetLayerData(layers[i].pixels.data(), slot);
        VLM_SetLayerOptions(slot, 1, 0, layers[i].opacity, layers[i].mode);
    }
    VLM_SetLayer(2);

    bool ok = save_view(out_dir + "/view-transparent.png", c, 1, 1.0f, c.width, c.height, c.width, c.height);
    VLM_SetLayerOptions(1, 1, 0, 100, "Normal");
    ok = ok && save_view(out_dir + "/view.png", c, 1, 1.0f, c.width, c.height, c.width, c.height);
    ok = ok && save_view(out_dir + "/view-half.png", c, 1, 2.0f, c.width, c.height, c.width / 2, c.height / 2);
    ok = ok && save_view(out_dir + "/view-zoom3.png", c, 3, 1.0f, 160, 120, 480, 360);
    if (!ok) {
        std::fprintf(stderr, "velmora-cli: could not write the views into %s\n", out_dir.c_str());
        return 1;
    }
    std::printf("views written: %s/view.png, view-transparent.png, view-half.png, view-zoom3.png\n", out_dir.c_str());
    if (*VLM_GetLastError()) std::printf("last error: %s\n", VLM_GetLastError());
    VLM_DeleteImage();
    return 0;
}

void usage() { std::fprintf(stderr, "usage: velmora-cli demo OUT_DIR\n"); }

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "demo") == 0) return demo(argv[2]);
    usage();
    return 2;
}
