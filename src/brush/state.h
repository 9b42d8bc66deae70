#pragma once
// Data of the brush materials and tool settings: shape plane, dab buffers, blend buffers, tool.
#include <cstdint>

#include "core/layer.h"

namespace vlm::brush {

inline constexpr int kDabBuffers = 20;
inline constexpr int kBlendBuffers = 20;
inline constexpr int kShapeNameBytes = 1024;

struct ShapeSource {
    std::uint8_t* pixels; // RGBA32 picture the shape was made from, or null
    int width, height;
    char name[kShapeNameBytes];
    int angle;
};

inline constexpr int kSplinePoints = 100;

// Three control points and the curve computed through them.
struct Spline {
    double control_x[3], control_y[3], control_z[3];
    double curve_x[kSplinePoints], curve_y[kSplinePoints], curve_z[kSplinePoints];
    int point_count;
};

struct Tool {
    std::uint8_t tracing_mode;
    int alpha_locked; // dabs painted straight into a layer keep its alpha; also honoured by the renderer
};

struct State {
    std::uint16_t* shape; // M x M coverage values
    ShapeSource source;
    std::uint8_t* dab[kDabBuffers]; // (M + 25)^2 bytes each
    core::Layer blend[kBlendBuffers];
    int blend_count;
    core::Layer* blend_selected;
    Tool tool;
    Spline spline;
};

} // namespace vlm::brush
