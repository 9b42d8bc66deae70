#pragma once
// Built-in effects that change a pixel by its 3 x 3 block or its four neighbours. They leave the outermost
// rows and columns alone.
#include "effects/state.h"

namespace vlm::effects {

void adaptive_blur(Params& p);
void detail_blur(Params& p);
void bas_relief(Params& p);
void line_art_cleaner(Params& p);

} // namespace vlm::effects
