#pragma once
// Data of the selection mask.
#include <cstdint>

namespace vlm::mask {

struct State {
    std::uint16_t* plane; // canvas-sized, 65535 = selected, 0 = protected
    int pitch_bytes;      // width * 2
    std::uint8_t enabled;
    std::uint8_t display;
    int display_colour1[3]; // R, G, B, each value x 256: the overlay on odd checker squares
    int display_colour2[3]; // and on even squares
    int display_mode;       // 0: the overlay is drawn at half strength
    // Armed by VLM_SetMaskMakerOn: the dab paints into the mask instead of a layer. The dab renderer reads
    // it; tool selection and the end of an ordinary dab disarm it.
    std::uint8_t maker;
};

} // namespace vlm::mask
