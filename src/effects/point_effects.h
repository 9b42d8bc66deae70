#pragma once
// Built-in effects that change each pixel on its own.
#include "effects/state.h"

namespace vlm::effects {

void grayscale(Params& p);
void invert(Params& p);
void basic_threshold(Params& p);
void hyper_contrast(Params& p);
void alpha_edge_color(Params& p);
void channel(Params& p);
void adjust_rgba(Params& p);
void clamp(Params& p);
void adjust_lab(Params& p);
void fader(Params& p);

} // namespace vlm::effects
