#pragma once
// Whole-layer data: the texture plane, copies to and from the host, alpha operations and queries.
namespace vlm::core {

// Builds the canvas-sized texture plane (bytes 4..250) from a slot with canvas geometry.
void create_texture(int slot);
void delete_texture();

// Copies of canvas width x height x 8 bytes between a slot with canvas geometry and a host buffer.
void get_layer_data(void* buffer, int slot);
void set_layer_data(const void* buffer, int slot);
void copy_layer_data(int source, int destination);

// These use the record's own width, height and pitch.
void set_layer_alpha(int slot, int alpha);
void invert_alpha(int slot);
void normalize_layer_alpha(int slot);

int is_layer_transparent(int slot);
int is_single_color(int slot);
void find_data_extents(int slot, int* x0, int* y0, int* x1, int* y1);

} // namespace vlm::core
