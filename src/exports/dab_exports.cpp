#include "brush/dab.h"
#include "exports/guard.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::silent;

void VLM_DrawDabGrit(int x, int y, int r, int g, int b) {
    silent([&] { brush::draw_dab(x, y, r, g, b); });
}
void VLM_DrawDabGritMask(int x, int y) {
    silent([&] { brush::draw_dab_mask(x, y); });
}
