#pragma once
// The canvas lifecycle: creation, resizing and deletion of every canvas-sized plane that is not a
// layer, plus the few view settings the host passes down.
namespace vlm::core {

inline constexpr int kGritArrayLength = 1000000;
inline constexpr int kMaxBrushEdge = 10000;

// A width or height outside 0..10000 becomes 100.
int apply_size_rule(int edge);

void create_image(void* host_window, int width, int height, int max_brush, int reserved);
void new_size(void* host_window, int width, int height, int max_brush, int reserved);
void delete_image();

void set_start_dir(const char* path);

// True when the layer record's plane is addressable with the canvas width, height and pitch.
bool fits_canvas(const struct Layer& layer);

} // namespace vlm::core
