#include "compose/blend_pixel.h"
#include "exports/guard.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::silent;

void VLM_MergePixel(int* r, int* g, int* b, int* a, int sr, int sg, int sb, int sa, int mode, int opacity,
                    int alpha_lock) {
    silent([&] { compose::merge_pixel_ints(r, g, b, a, sr, sg, sb, sa, mode, opacity, alpha_lock); });
}

int VLM_SetAlphaLayerOpacity(int percent) {
    return silent(0, [&] { return compose::set_alpha_layer_opacity(percent); });
}
