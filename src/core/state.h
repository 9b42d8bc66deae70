#pragma once
// Data of the engine-core groups: canvas, layer table, paint layer, random arrays, NewRGBA and
// the host-service fields. Data only; the operations live beside it in core/.
#include <cstdint>

#include "core/layer.h"

namespace vlm::core {

inline constexpr int kMaxCanvasEdge = 10000;
inline constexpr int kStartDirBytes = 1024;
inline constexpr int kLastErrorBytes = 512;

struct CanvasState {
    void* host_window;
    int width, height;
    int pitch;          // width * 4: RGBA64 row in 16-bit units
    int max_brush;      // M
    int brush_pitch;    // M * 4
    int reserved;
    int scale_mode;
    float scale_factor;
    int offset_x, offset_y;
    int view_width, view_height;
    int aoi_x0, aoi_y0, aoi_x1, aoi_y1;
    char start_dir[kStartDirBytes];
};

struct LayerTable {
    Layer layers[kLayerSlots];
    int current_number;
    Layer* current; // the Surface; null until a layer is selected
    int top_index;
    Layer* trace; // slot 0 once a canvas exists
    Layer paint;
    std::uint8_t* texture; // canvas-sized bytes 4..250, or null
};

struct RandArrayByte {
    std::uint8_t* data;
    int modulus;
    int seed;
    int length;
};

struct RandomState {
    RandArrayByte grit_a;      // modulus 255, 1,000,000 bytes
    RandArrayByte grit_b;      // modulus 254, 1,000,000 bytes
    RandArrayByte lum_vary;    // modulus 256, 3 * M
    RandArrayByte color_vary;  // modulus 1000, 3 * M
    int seed;
    std::uint32_t generator; // state of the engine's own generator
};

struct NewRgba {
    std::uint8_t* pixels; // RGBA32
    int width, height;
};

struct HostState {
    char last_error[kLastErrorBytes];
    volatile std::uint8_t display_changed;
};

} // namespace vlm::core
