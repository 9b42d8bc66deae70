#pragma once
// The paint layer: a canvas-sized layer record for the stroke in progress, with the extents that hold paint.
namespace vlm::core {

// Creates the plane when absent; sets opacity, strength and mode; returns the mode id.
int create_paint_layer(int opacity_percent, int strength_percent, const char* mode_name);
void delete_paint_layer();
void clear_paint_layer();
void clear_paint_layer_old();
void set_paint_layer_extents(int x0, int y0, int x1, int y1);
void swap_paint_layer(int slot);
// Smooths the paint layer's alpha: blurred where it was below 240 (high byte), kept opaque elsewhere.
void blur_paint_layer_alpha();

} // namespace vlm::core
