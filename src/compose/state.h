#pragma once
// Data of the compositing subsystem.
#include <cstdint>

namespace vlm::compose {

struct State {
    std::uint16_t alpha_layer_opacity = 65535; // source alpha of the pixels the alpha modes keep
};

} // namespace vlm::compose
