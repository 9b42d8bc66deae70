// velmora-cli: the reference host. It drives the engine only through the public C API, as any host
// application would.
#include <velmora/velmora.h>

#include <algorithm>
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

bool save_view(const std::string& path, const Canvas& c, int mode, float factor, int w, int h, int out_w,
               int out_h) {
    std::vector<unsigned char> bgr(static_cast<std::size_t>(out_w) * out_h * 3);
    VLM_SetScale(mode, factor);
    VLM_SetViewSize(out_w, out_h);
    VLM_Render(bgr.data(), out_w * 3, 0, 0, w, h);
    for (std::size_t i = 0; i < bgr.size(); i += 3) std::swap(bgr[i], bgr[i + 2]); // B, G, R to R, G, B
    return cli::write_png(path, bgr.data(), out_w, out_h, 3, out_w * 3);
}

// A quadratic curve from (x0, y0) through the pull of (cx, cy) to (x1, y1). The engine has no stroke path:
// the host places every dab along the curve itself, a fixed fraction of the brush size apart.
struct Curve {
    double x0, y0, cx, cy, x1, y1;
};

struct Brush {
    int size;
    int edge_softness;
    int grit_cell_size, grit_cell_threshold, grit_pixel_threshold;
    int colour_vary;
    int blend_strength, remix;
    const char* shape; // shape file, or null for the round brush
};

void set_brush(const Brush& b) {
    VLM_SetSize(b.size);
    VLM_SetScaleSize(b.size);
    VLM_SetTool(1.0f, b.grit_cell_size, b.grit_cell_threshold, b.grit_pixel_threshold, b.edge_softness,
                b.colour_vary, 4, b.blend_strength, 0, b.remix, 0, 0, 0, nullptr, b.shape, 0);
    VLM_SetAlpha(100);
    VLM_SetDensity(255);
}

// Dabs along the curve; returns how many were drawn. With erase set every dab is armed as an eraser dab.
int stroke(const Curve& c, int size, int r, int g, int b, bool erase = false) {
    const double spacing = std::max(1.0, size * 0.15);
    double length = 0;
    double px = c.x0, py = c.y0;
    for (int i = 1; i <= 64; ++i) { // the curve's length, from a polyline
        const double t = i / 64.0, u = 1 - t;
        const double x = u * u * c.x0 + 2 * u * t * c.cx + t * t * c.x1,
                     y = u * u * c.y0 + 2 * u * t * c.cy + t * t * c.y1;
        length += std::hypot(x - px, y - py);
        px = x, py = y;
    }
    const int dabs = std::max(1, static_cast<int>(length / spacing));
    for (int i = 0; i <= dabs; ++i) {
        const double t = static_cast<double>(i) / dabs, u = 1 - t;
        const double x = u * u * c.x0 + 2 * u * t * c.cx + t * t * c.x1,
                     y = u * u * c.y0 + 2 * u * t * c.cy + t * t * c.y1;
        if (erase) VLM_SetEraseModeOn();
        VLM_DrawDabGrit(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), r << 8, g << 8,
                        b << 8);
        VLM_DecDrawingLength();
    }
    return dabs + 1;
}

// The flattened page (every visible layer merged) as an 8-bit RGBA PNG.
bool save_page(const std::string& path, const Canvas& c) {
    std::vector<std::uint16_t> page(static_cast<std::size_t>(c.width) * c.height * 4);
    VLM_Merge(page.data());
    std::vector<unsigned char> rgba(page.size());
    for (std::size_t i = 0; i < page.size(); ++i) rgba[i] = static_cast<unsigned char>(page[i] >> 8);
    return cli::write_png(path, rgba.data(), c.width, c.height, 4, c.width * 4);
}

// Paints on two new layers the way a host drives a stroke: tool, optional paint layer, dabs, merge, undo.
int paint(const Canvas& c) {
    const int wet_layer = 8, ink_layer = 9;
    VLM_CreateLayer(wet_layer, c.width, c.height);
    VLM_SetLayerOptions(wet_layer, 1, 0, 100, "Normal");
    VLM_CreateLayer(ink_layer, c.width, c.height);
    VLM_SetLayerOptions(ink_layer, 1, 0, 100, "Multiply");
    VLM_SetRandomSeed(2026);
    VLM_SetUndoLevels(8);
    VLM_SetUndoMB(0); // the budget follows free memory
    int dabs = 0;

    // Ink layer, through the paint layer: a hard round brush, then a soft one with grit and colour vary.
    VLM_SetLayer(ink_layer);
    VLM_SaveUndoBackBuffer(ink_layer);
    VLM_CreatePaintLayer(100, 100, "Normal");
    set_brush({28, 0, 0, 0, 0, 0, 0, 0, nullptr});
    dabs += stroke({80, 560, 300, 380, 520, 600}, 28, 30, 40, 120);
    VLM_MergePaintLayer(ink_layer);
    set_brush({60, 220, 3, 140, 200, 24, 0, 0, nullptr});
    dabs += stroke({120, 120, 400, 20, 880, 140}, 60, 200, 60, 40);
    VLM_MergePaintLayer(ink_layer);
    VLM_DeletePaintLayer(); // from here on dabs go straight into the current layer
    VLM_SaveUndoBuffer(1, 0);

    // Wet layer, straight into the layer: the brush loads the canvas colour and smears it along.
    VLM_SetLayer(wet_layer);
    VLM_SaveUndoBackBuffer(wet_layer);
    VLM_CopyLayerData(2, wet_layer); // something to smear: the orange disc
    set_brush({48, 160, 0, 0, 0, 0, 160, 1, nullptr});
    VLM_CopyBlendBufferSurface(180, 300, 40, 0);
    dabs += stroke({180, 300, 330, 200, 560, 330}, 48, 250, 250, 250);

    // A shape file brush under three mix modes, then an eraser across everything on the layer.
    set_brush({40, 0, 0, 0, 0, 0, 0, 0, VLM_DEMO_SHAPES "/soft_dot.png"});
    VLM_SetColorBanks(20, 40, 120, 240, 200, 60, 250, 250, 240, 0, 0, 0);
    const struct {
        int mode, amount;
        double y;
    } modes[] = {{40, 255, 420}, {37, 200, 470}, {252, 255, 520}};
    for (const auto& m : modes) {
        VLM_SetMixMode(m.mode, m.amount);
        dabs += stroke({560, m.y, 700, m.y - 60, 900, m.y}, 40, 230, 120, 40);
    }
    VLM_SetMixMode(32, 0);
    set_brush({36, 120, 0, 0, 0, 0, 0, 0, VLM_DEMO_SHAPES "/bars.bmp"});
    dabs += stroke({600, 160, 700, 600, 820, 380}, 36, 0, 0, 0, true);
    VLM_SaveUndoBuffer(1, 0);
    return dabs;
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
    ok =
        ok && save_view(out_dir + "/view-half.png", c, 1, 2.0f, c.width, c.height, c.width / 2, c.height / 2);
    ok = ok && save_view(out_dir + "/view-zoom3.png", c, 3, 1.0f, 160, 120, 480, 360);
    if (!ok) {
        std::fprintf(stderr, "velmora-cli: could not write the views into %s\n", out_dir.c_str());
        return 1;
    }
    std::printf("views written: %s/view.png, view-transparent.png, view-half.png, view-zoom3.png\n",
                out_dir.c_str());

    const int dabs = paint(c);
    ok = save_view(out_dir + "/painted-view.png", c, 1, 1.0f, c.width, c.height, c.width, c.height) &&
         save_page(out_dir + "/painted-page.png", c);
    if (!ok) {
        std::fprintf(stderr, "velmora-cli: could not write the painted pictures into %s\n", out_dir.c_str());
        return 1;
    }
    std::printf("painted %d dabs on two layers, %d undo levels: %s/painted-view.png, painted-page.png\n",
                dabs, VLM_GetUndoCount(), out_dir.c_str());
    VLM_Undo();
    ok = save_view(out_dir + "/painted-undone.png", c, 1, 1.0f, c.width, c.height, c.width, c.height);
    std::printf("after one undo: %s/painted-undone.png\n", out_dir.c_str());
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
