#pragma once
// The bit sets evdev answers capability and key-state queries with.
#include <linux/input.h>

#include <cstdint>

namespace vlm::pen {

inline constexpr int kKeyBitBytes = KEY_MAX / 8 + 1;
inline constexpr int kAbsBitBytes = ABS_MAX / 8 + 1;

inline bool has_bit(const std::uint8_t* bits, int code) { return (bits[code / 8] >> (code % 8)) & 1; }

} // namespace vlm::pen
