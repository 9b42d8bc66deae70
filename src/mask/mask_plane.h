#pragma once
// The mask plane as the engine holds it: switches, whole-plane operations, copies in and out, the image
// view and the conversions between the mask and the current layer. Every change of the mask or of the
// current layer widens the undo dirty rectangle. Without a canvas (no mask plane) nothing happens;
// buffers and sizes that would run past the canvas or the buffer throw std::invalid_argument and change
// nothing. Null host buffers do nothing.
#include <cstddef>
#include <cstdint>

namespace vlm::mask {

// The mask plane with the canvas geometry it is addressed by (rows of width values); values is null when
// no canvas exists.
struct Plane {
    std::uint16_t* values;
    int width;
    int height;
    explicit operator bool() const { return values != nullptr; }
    std::size_t count() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
    std::uint16_t* row(int y) const {
        return values + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    }
};
Plane plane();

// Refuses an argument that would take an operation outside an allocation.
[[noreturn]] void refuse(const char* what);

// Switches: the low byte of each flag counts. The display colours are 8-bit values (low byte) stored x 256.
void enable(int flag);
void display(int flag);
void set_options(int r1, int g1, int b1, int r2, int g2, int b2, int mode);
void set_maker_on();

void invert();
// Every value from the 16-bit colour's average grey by the image view.
void clear(int r, int g, int b);

// Whole-plane copies; the buffer holds canvas width x height 16-bit values.
void get_data16(void* buffer);
void set_data16(const void* buffer);

// 65535 - m at (x, y) while the mask is enabled and a current layer holds pixels; else 0.
int get_mask64(int x, int y);

// RGB24 rows (pitch bytes apart) of width x height pixels at canvas (0, 0), grey by the image view; a size
// beyond the canvas is refused.
void load_rgb24(const void* buffer, int pitch, int width, int height);
// The image view into a canvas-sized RGB24 buffer: every byte 255 - high byte of m.
void save_rgb24(void* buffer, int pitch);

// Between the mask and the current layer (which must have canvas geometry).
void image_from_mask();
void alpha_from_mask(int kind); // 0: alpha = m; 1: alpha + m; 2: alpha - m (held to 0..65535); else nothing
void mask_from_image();
void mask_from_image_luma();
void mask_from_alpha();

// Marks a canvas-sized RGB24 picture's non-black area into the mask: "Add" lowers m, "Subtract" raises it,
// "Replace" sets it; any other name (or none) adds. With the flag's low byte 1 the picture is inverted:
// black counts as the value (8-bit), anything else as black.
void combine(const void* buffer, int pitch, int flag, int value, const char* operation);

// Fills the current layer with (r, g, b, a), letting the fill through in proportion to the mask (and
// texture) exactly as a weighted RGBA32 load of that colour; a plain fill while the mask is disabled.
void clear_masked_alpha(int r, int g, int b, int a);

} // namespace vlm::mask
