#pragma once
// Data of the selection mask.
#include <cstdint>

namespace vlm::mask {

struct State {
    std::uint16_t* plane; // canvas-sized, 65535 = selected, 0 = protected
    int pitch_bytes;      // width * 2
    std::uint8_t enabled;
    std::uint8_t display;
};

} // namespace vlm::mask
