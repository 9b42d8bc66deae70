#pragma once
// Pure mask kernels over plain pointers: the value conversions of the mask's image view and the
// application of the mask to 8-bit alpha. They know nothing of the engine, so the processing buffers,
// selection tools and effects call them on their own buffers.
#include <cstddef>
#include <cstdint>

namespace vlm::mask {

inline constexpr std::uint16_t kSelected = 65535;

// The value a selection writes for an amount a (0..255): (255 - a) x 256, taken as the low 16 bits of
// (65535 - a) x 256, so amount 0 marks 65280 and amount 255 protects.
inline std::uint16_t mark_value(int amount) {
    return static_cast<std::uint16_t>((65535u - static_cast<unsigned>(amount)) * 256u);
}

// The image view: black (grey below 256) is selected, white (above 65280) protected, between a ramp.
// Any grey, even outside 0..65535, gives a mask value.
inline std::uint16_t mask_from_grey(long long g) {
    if (g < 256) return kSelected;
    if (g > 65280) return 0;
    return static_cast<std::uint16_t>(65280 - g);
}

// The grey that shows mask value m in the image view.
inline std::uint16_t grey_from_mask(std::uint32_t m) {
    return static_cast<std::uint16_t>(m > 254 ? 65535 - m : 65280);
}

// 8-bit alpha under mask value m, by its high byte h: 0 clears, 255 keeps, else alpha x (h + 1) / 256.
inline std::uint8_t alpha_under_mask(std::uint32_t alpha, std::uint32_t m) {
    const std::uint32_t h = m >> 8;
    if (h == 0) return 0;
    if (h == 255) return static_cast<std::uint8_t>(alpha);
    return static_cast<std::uint8_t>(alpha * (h + 1) / 256);
}

// n RGBA32 pixels against n mask values.
void apply_mask_to_alpha_row(std::uint8_t* rgba, const std::uint16_t* mask, int n);

// A width x height RGBA32 image (rows pitch bytes apart) against a mask whose rows are mask_pitch values
// apart, the image's first pixel under mask[0].
void apply_mask_to_alpha_rgba32(std::uint8_t* rgba, std::size_t pitch, const std::uint16_t* mask,
                                std::size_t mask_pitch, int width, int height);

} // namespace vlm::mask
