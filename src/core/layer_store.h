#pragma once
// The layer table: creation, deletion, selection and options of the 272 slots.
#include "core/layer.h"

namespace vlm::core {

// The slot's record, or null for a number outside 0..271.
Layer* layer_at(int slot);
// The slot's record when it holds pixels with the canvas width, height and pitch, else null.
Layer* canvas_layer_at(int slot);

// 1 when the slot now holds a cleared plane (slot 1 opaque white, others transparent black), else 0.
int create_layer(int slot, int width, int height);
// Slot outside the table or empty: nothing; else frees the pixels (the record's other fields stay).
void delete_layer(int slot);
void set_layer(int slot);
void set_layer_options(int slot, int visible, int alpha_locked, int opacity_percent, const char* mode_name);
int layer_count();
void swap_layers(int a, int b);

// Opacity 0..256 from a percentage (percent x 2.56, truncated); percentages are kept in 0..100.
int opacity_from_percent(int percent);
// Copies name into the record's mode name when it is given and shorter than the field.
void store_mode_name(Layer& layer, const char* name);

} // namespace vlm::core
