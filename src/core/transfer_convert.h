#pragma once
// Conversions between packed 8-bit buffer forms, the premultiplication filters used around effects, and
// the limiting of a buffer's alpha by the mask and the paper texture.
#include <cstdint>

namespace vlm::core {

// a / 255 and 1 / 65535 as the engine has always computed them.
inline constexpr double kInv255 = 0.00392156862745098;
inline constexpr double kInv65535 = 0.000015259021896696422;

// Packed rows of width x height pixels; nothing for a null pointer or a size below 1.
void rgb_to_rgba(void* dst, int width, int height, const void* src); // alpha of dst kept
void rgba_to_rgb(void* dst, int width, int height, const void* src);
void rgb_alpha_to_rgb(void* dst, int width, int height, const void* src); // source alpha into R, G, B
void rgb_to_rgb_alpha(void* dst, int width, int height, const void* src); // dst alpha = (R + G + B) / 3

// Canvas-sized packed RGBA32: alpha = 255 - alpha.
void invert_alpha_rgba32(void* buffer);

// Premultiply and unpremultiply 8-bit and 16-bit buffers.
void adjust_rgba32_pre_filter(std::uint8_t* buffer, int width, int height);
void adjust_rgba32_post_filter(std::uint8_t* buffer, int width, int height);
void adjust_rgba64_pre_filter(std::uint16_t* buffer, int width, int height);
void adjust_rgba64_post_filter(std::uint16_t* buffer, int width, int height);
// Canvas-sized packed RGBA32: with the flag set, unpremultiply every pixel with alpha above 0.
void adjust_rgba32_for_alpha_comp(int flag, std::uint8_t* buffer);

// With the mask enabled or a texture present, alpha = alpha x W / 65535 (rule-B weight) for the pixels of a
// packed buffer placed at (x, y) that fall inside the canvas; the rest of the buffer is left alone.
void adjust_rgba32_rect_by_mask_and_texture(std::uint8_t* buffer, int x, int y, int width, int height);
void adjust_rgba32_by_mask_and_texture(std::uint8_t* buffer, int width, int height);

} // namespace vlm::core
