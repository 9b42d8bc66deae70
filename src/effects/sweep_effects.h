#pragma once
// The edge-aware directional smoothers: eight passes along rows and columns, each moving the next pixel
// along a line toward the current one, reading what the earlier steps wrote.
#include "effects/state.h"

namespace vlm::effects {

void anti_alias(Params& p);
void value_blur(Params& p);
void noise_reduction(Params& p);
void noise_reduction_rgb(Params& p);

} // namespace vlm::effects
