#include "compose/view_renderer.h"
#include "exports/guard.h"
#include "velmora/velmora.h"

void VLM_Render(unsigned char* dst, int stride, int x, int y, int w, int h) {
    vlm::exports::silent([&] { vlm::compose::render(dst, stride, x, y, w, h); });
}
