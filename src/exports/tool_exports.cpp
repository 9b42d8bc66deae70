#include "brush/tool_settings.h"
#include "exports/guard.h"
#include "velmora/velmora.h"

using namespace vlm;

void VLM_SetTool(float shape_strength, int grit_cell_size, int grit_cell_threshold, int grit_pixel_threshold,
                 int edge_softness, int colour_vary, int drawing_length, int blend_strength,
                 int blend_primary_strength, int blend_remix, int unused11, int invert_shape, int unused13,
                 const char* grit_source, const char* shape_path, int shape_angle) {
    exports::guarded("SetTool", [&] {
        brush::set_tool({shape_strength, grit_cell_size, grit_cell_threshold, grit_pixel_threshold,
                         edge_softness, colour_vary, drawing_length, blend_strength, blend_primary_strength,
                         blend_remix, invert_shape, grit_source, shape_path, shape_angle});
    });
}
void VLM_SetColor(int r, int g, int b) { brush::set_colour(r, g, b); }
void VLM_SetColor16(int r, int g, int b) { brush::set_colour16(r, g, b); }
void VLM_SetColorBanks(int r0, int g0, int b0, int r1, int g1, int b1, int r2, int g2, int b2, int r3, int g3,
                       int b3) {
    brush::set_colour_banks({r0, g0, b0, r1, g1, b1, r2, g2, b2, r3, g3, b3});
}
void VLM_SetBlendStrength(int strength) { brush::set_blend_strength(strength); }
void VLM_SetBlendPrimaryColorStrength(int strength) { brush::set_blend_primary_strength(strength); }
void VLM_SetBlendRemix(int flag) { brush::tool().blend_remix = static_cast<std::uint8_t>(flag); }
void VLM_SetDensity(int density) { brush::set_density(density); }
void VLM_SetAlpha(int percent) { brush::set_alpha(percent); }
void VLM_SetColorVary(int vary) { brush::tool().colour_vary = vary; }
void VLM_SetAlphaLocked(int locked) { brush::tool().alpha_locked = locked; }
void VLM_SetColorLocked(int locked) { brush::tool().colour_locked = locked; }
void VLM_SetBlobLocked(int locked) { brush::tool().blob_locked = locked; }
void VLM_SetAlphaLevel(int level) { brush::tool().alpha_level = level; }
void VLM_SetImageBrushMode(int mode) { brush::tool().image_brush_mode = mode; }
void VLM_SetSolidBrushMode(int mode) { brush::tool().solid_mode = mode; }
void VLM_SetRotateBrushMode(int mode, int degrees) { brush::set_rotate_brush_mode(mode, degrees); }
void VLM_SetMixMode(int mode, int amount) { brush::set_mix_mode(mode, amount); }
void VLM_SetTracingMode(int flag) { brush::tool().tracing_mode = static_cast<std::uint8_t>(flag); }
void VLM_SetSize(int size) { brush::set_size(size); }
void VLM_SetScaleSize(int size) { brush::set_scale_size(size); }
void VLM_SetPixColorVary(int vary) {
    exports::silent([&] { brush::set_pix_colour_vary(vary); });
}
void VLM_SetPixLumVary(int vary) {
    exports::silent([&] { brush::set_pix_lum_vary(vary); });
}
void VLM_TempDisableBlend(void) { brush::tool().blend_disabled = 1; }
void VLM_SetEraseModeOn(void) { brush::tool().erase = 1; }
void VLM_DecDrawingLength(void) { brush::dec_drawing_length(); }
