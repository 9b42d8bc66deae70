#pragma once
// Data of the built-in effects: the parameter block the runner fills before every effect.
#include <cstdint>

namespace vlm::effects {

struct Params {
    double v1, v2, v3, v4, v5, v6; // the runner's values x 0.001
    int option1, option2;
    std::uint8_t option3, option4, option5, option6, option7, option8; // low bytes
    double red, green, blue;                                           // 0..1
    std::uint8_t chain;   // read the destination instead of the source
    int reserved;         // stored, read by no effect
    std::uint8_t* source; // RGBA32
    std::uint8_t* destination;
    int width, height;
    int pitch; // bytes: width * 4
};

struct State {
    Params params;
};

} // namespace vlm::effects
