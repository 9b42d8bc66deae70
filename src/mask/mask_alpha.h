#pragma once
// The mask applied to 8-bit pictures, and the 8-bit picture operations that go with selections.
// Canvas-sized pictures are packed RGBA32 rows: canvas width x height x 4 bytes; byte planes width x height.
// Without a canvas or with a null picture nothing happens.
namespace vlm::mask {

// Alpha of a canvas-sized picture under the mask, by apply_mask_to_alpha_rgba32 (mask/kernels.h),
// whether or not the mask is enabled (callers decide that).
void apply_mask_to_canvas_alpha(void* image);
// The same for a picture of the canvas rectangle (x0, y0)-(x1, y1), inclusive, rows pitch bytes apart.
// Only the part inside the canvas has mask values; pixels outside it stay as they are. A pitch shorter
// than the rectangle's row is refused (std::invalid_argument).
void apply_mask_to_rect_alpha(void* image, int pitch, int x0, int y0, int x1, int y1);

// Pixels whose flood-plane byte is 1 become (r, g, b, a) (low bytes); the whole canvas becomes dirty.
void color_from_flood_mask(void* image, const void* plane, int r, int g, int b, int a);
// Pixels whose alpha is within trunc(percent x 2.56) of alpha become (r, g, b, a) (low bytes).
void replace_alpha_range(void* image, int alpha, int percent, int r, int g, int b, int a);
// Pixels whose R, G, B equal r, g, b become transparent (alpha 0).
void clear_alpha_of_color(void* image, int r, int g, int b);

// Turns a slot's picture into a soft blob over its own width, height and pitch: mode 1 pulls each colour
// toward mid-grey by its distance from it, any other mode makes the colour mid-grey; alpha above 8191
// follows the luminance. A slot outside the table or without pixels does nothing.
void create_blob_from_image(int slot, int mode);

} // namespace vlm::mask
