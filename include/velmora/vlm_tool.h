/* velmora: tool settings. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_TOOL_H
#define VELMORA_VLM_TOOL_H

VLM_EXTERN_C_BEGIN

/** Sets the whole tool (byte arguments keep their low byte; 11 and 13 are unused), reseeds the generator, builds the grit of the 20 dab buffers (random, or from the effect script or picture named by grit_source) and rebuilds the brush shape from shape_path at shape_angle; set the brush size first. */
VLM_API void VLM_SetTool(float shape_strength, int grit_cell_size, int grit_cell_threshold, int grit_pixel_threshold, int edge_softness, int colour_vary, int drawing_length, int blend_strength, int blend_primary_strength, int blend_remix, int unused11, int invert_shape, int unused13, const char* grit_source, const char* shape_path, int shape_angle);
/** Sets the current colour from 8-bit channels (each x 256, kept to 16 bits), alpha full. */
VLM_API void VLM_SetColor(int r, int g, int b);
/** Sets the current colour from 16-bit channels (low 16 bits of each), alpha full. */
VLM_API void VLM_SetColor16(int r, int g, int b);
/** Sets the four colour banks from 8-bit channels: R, G, B of bank 0, then banks 1, 2 and 3. */
VLM_API void VLM_SetColorBanks(int r0, int g0, int b0, int r1, int g1, int b1, int r2, int g2, int b2, int r3, int g3, int b3);
/** Sets the weight (0..256) of the colour picked up from the blend buffer; 0 paints the plain colour. */
VLM_API void VLM_SetBlendStrength(int strength);
/** Sets the weight (0..256) of the dab colour mixed into the picked-up colour. */
VLM_API void VLM_SetBlendPrimaryColorStrength(int strength);
/** Non-zero (low byte): dabs write the mixed colour back into the blend buffer. */
VLM_API void VLM_SetBlendRemix(int flag);
/** With grit on, paints only pixels whose grit byte is below density (1 paints grit bytes of 0 only). */
VLM_API void VLM_SetDensity(int density);
/** Sets the dab opacity in percent; 100 and above is full. */
VLM_API void VLM_SetAlpha(int percent);
/** Sets the per-dab random offset of the colour; below 1 gives none. */
VLM_API void VLM_SetColorVary(int vary);
/** Non-zero: dabs painted straight into a layer leave its alpha alone (also honoured by the view). */
VLM_API void VLM_SetAlphaLocked(int locked);
/** Non-zero: dabs leave the colour channels of the pixels alone. */
VLM_API void VLM_SetColorLocked(int locked);
/** Non-zero: dabs write alpha only where the old and new alpha are both above 8191. */
VLM_API void VLM_SetBlobLocked(int locked);
/** 1 or more: the alpha dabs write is this value instead of the computed one. */
VLM_API void VLM_SetAlphaLevel(int level);
/** Non-zero: when blending, coverage is scaled by the alpha picked up from the blend buffer. */
VLM_API void VLM_SetImageBrushMode(int mode);
/** Non-zero: any coverage above 0 counts as full coverage. */
VLM_API void VLM_SetSolidBrushMode(int mode);
/** Mode 1 makes dabs sample the brush shape turned by degrees. */
VLM_API void VLM_SetRotateBrushMode(int mode, int degrees);
/** Sets the dab mix mode and its amount (0..255); VLM_SetTool resets the mode to 32, so call this after it. */
VLM_API void VLM_SetMixMode(int mode, int amount);
/** Non-zero (low byte): the view shows the tracing image. */
VLM_API void VLM_SetTracingMode(int flag);
/** Sets brush size and dab size to size pixels (1..1001, others are ignored; keep it at most the maximum brush size). */
VLM_API void VLM_SetSize(int size);
/** Draws the brush at size pixels (held to 1..brush size and to 999) by sampling the shape. */
VLM_API void VLM_SetScaleSize(int size);
/** Sets the per-pixel colour variation; above 0 it makes its random array. */
VLM_API void VLM_SetPixColorVary(int vary);
/** Sets the per-pixel lightness variation; above 0 it makes its random array. */
VLM_API void VLM_SetPixLumVary(int vary);
/** The next ordinary dab ignores the blend buffer. */
VLM_API void VLM_TempDisableBlend(void);
/** The next ordinary dab lowers alpha instead of painting. */
VLM_API void VLM_SetEraseModeOn(void);
/** Lowers the remaining drawing length by 1; when it runs out, the next grit dab moves to other grit. */
VLM_API void VLM_DecDrawingLength(void);

VLM_EXTERN_C_END

#endif
