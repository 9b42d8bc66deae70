#include "exports/guard.h"
#include "mask/mask_alpha.h"
#include "mask/mask_plane.h"
#include "mask/mask_select.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::guarded;

void VLM_EnableMask(int flag) { mask::enable(flag); }
void VLM_DisplayMask(int flag) { mask::display(flag); }
void VLM_SetMaskOptions(int r1, int g1, int b1, int r2, int g2, int b2, int mode) {
    mask::set_options(r1, g1, b1, r2, g2, b2, mode);
}
void VLM_SetMaskMakerOn(void) { mask::set_maker_on(); }
void VLM_InvertMask(void) {
    guarded("InvertMask", [] { mask::invert(); });
}
void VLM_ClearMask(int r, int g, int b) {
    guarded("ClearMask", [&] { mask::clear(r, g, b); });
}
void VLM_GetMaskData16(void* buffer) {
    guarded("GetMaskData16", [&] { mask::get_data16(buffer); });
}
void VLM_SetMaskData16(const void* buffer) {
    guarded("SetMaskData16", [&] { mask::set_data16(buffer); });
}
int VLM_GetMask64(int x, int y) { return mask::get_mask64(x, y); }
void VLM_LoadMask(const void* buffer, int pitch, int width, int height) {
    guarded("LoadMask", [&] { mask::load_rgb24(buffer, pitch, width, height); });
}
void VLM_SaveMask(void* buffer, int pitch) {
    guarded("SaveMask", [&] { mask::save_rgb24(buffer, pitch); });
}
void VLM_CreateImageFromMask(void) {
    guarded("CreateImageFromMask", [] { mask::image_from_mask(); });
}
void VLM_CreateAlphaFromMask(int kind) {
    guarded("CreateAlphaFromMask", [&] { mask::alpha_from_mask(kind); });
}
void VLM_CreateMaskFromImage(void) {
    guarded("CreateMaskFromImage", [] { mask::mask_from_image(); });
}
void VLM_CreateMaskFromImageLuma(void) {
    guarded("CreateMaskFromImageLuma", [] { mask::mask_from_image_luma(); });
}
void VLM_CreateMaskFromAlpha(void) {
    guarded("CreateMaskFromAlpha", [] { mask::mask_from_alpha(); });
}
void VLM_CombineMask(const void* buffer, int pitch, int flag, int value, const char* operation) {
    guarded("CombineMask", [&] { mask::combine(buffer, pitch, flag, value, operation); });
}
void VLM_ClearMaskedAlpha(int r, int g, int b, int a) {
    guarded("ClearMaskedAlpha", [&] { mask::clear_masked_alpha(r, g, b, a); });
}

void VLM_CreateMaskFromRGBAImageColor(const void* buffer, int r, int g, int b, int amount) {
    guarded("CreateMaskFromRGBAImageColor", [&] { mask::select_rgba_color(buffer, r, g, b, amount); });
}
void VLM_CreateMaskFromRGB24ImageColor(const void* buffer, int r, int g, int b, int amount) {
    guarded("CreateMaskFromRGB24ImageColor", [&] { mask::select_rgb24_color(buffer, r, g, b, amount); });
}
void VLM_CreateMaskFromRGBAImageColorRange(const void* buffer, int r, int g, int b, int percent, int amount) {
    guarded("CreateMaskFromRGBAImageColorRange",
            [&] { mask::select_rgba_color_range(buffer, r, g, b, percent, amount); });
}
void VLM_CreateMaskFromRGBAImageAlphaRange(const void* buffer, int alpha, int percent, int amount) {
    guarded("CreateMaskFromRGBAImageAlphaRange",
            [&] { mask::select_rgba_alpha_range(buffer, alpha, percent, amount); });
}
void VLM_CreateMaskFromRGBAImageLuminanceRange(const void* buffer, int r, int g, int b, int percent,
                                               int amount) {
    guarded("CreateMaskFromRGBAImageLuminanceRange",
            [&] { mask::select_rgba_luminance_range(buffer, r, g, b, percent, amount); });
}
void VLM_CreateMaskFromRGBAImageHueRange(const void* buffer, int r, int g, int b, int percent, int amount) {
    guarded("CreateMaskFromRGBAImageHueRange",
            [&] { mask::select_rgba_hue_range(buffer, r, g, b, percent, amount); });
}
void VLM_CreateMaskFromRGBAImageHSLRange(const void* buffer, int r, int g, int b, double hue,
                                         double saturation, double lightness, int amount) {
    guarded("CreateMaskFromRGBAImageHSLRange",
            [&] { mask::select_rgba_hsl_range(buffer, r, g, b, hue, saturation, lightness, amount); });
}
void VLM_CreateMaskFromFloodMask(const void* plane, int amount) {
    guarded("CreateMaskFromFloodMask", [&] { mask::select_flood_mask(plane, amount); });
}
void VLM_CreateMaskFromDiff_RGBA32(const void* a, const void* b, int value) {
    guarded("CreateMaskFromDiff_RGBA32", [&] { mask::select_diff_rgba32(a, b, value); });
}

void VLM_ApplyMaskToAlphaRect_RGBA32(void* buffer, int pitch, int x0, int y0, int x1, int y1) {
    guarded("ApplyMaskToAlphaRect_RGBA32",
            [&] { mask::apply_mask_to_rect_alpha(buffer, pitch, x0, y0, x1, y1); });
}
void VLM_ApplyMaskToAlpha_RGBA32(void* buffer) {
    guarded("ApplyMaskToAlpha_RGBA32", [&] { mask::apply_mask_to_canvas_alpha(buffer); });
}
void VLM_ColorRGBA32FromFloodMask(void* buffer, const void* plane, int r, int g, int b, int a) {
    guarded("ColorRGBA32FromFloodMask", [&] { mask::color_from_flood_mask(buffer, plane, r, g, b, a); });
}
void VLM_ReplaceFromRGBAImageAlphaRange(void* buffer, int alpha, int percent, int r, int g, int b, int a) {
    guarded("ReplaceFromRGBAImageAlphaRange",
            [&] { mask::replace_alpha_range(buffer, alpha, percent, r, g, b, a); });
}
void VLM_SetAlphaFromRGBAImageColor(void* buffer, int r, int g, int b) {
    guarded("SetAlphaFromRGBAImageColor", [&] { mask::clear_alpha_of_color(buffer, r, g, b); });
}
void VLM_CreateBlobFromImage(int slot, int mode) {
    guarded("CreateBlobFromImage", [&] { mask::create_blob_from_image(slot, mode); });
}
