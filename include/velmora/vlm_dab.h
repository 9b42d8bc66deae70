/* velmora: brush dabs. Include velmora/velmora.h. */
/* The host computes every dab position along a stroke and calls VLM_DrawDabGrit once per dab; the brush,
 * grit, colour variation, blending and locks come from the tool settings. Dabs report nothing. */
#ifndef VELMORA_VLM_DAB_H
#define VELMORA_VLM_DAB_H

VLM_EXTERN_C_BEGIN

/** Makes (r, g, b) high bytes the current colour and draws one dab centred on (x, y) into the paint layer, else the current layer (into the mask while the mask maker is armed). */
VLM_API void VLM_DrawDabGrit(int x, int y, int r, int g, int b);
/** Draws one dab of the current colour's mask level (white 0, black 65535) into the mask plane. */
VLM_API void VLM_DrawDabGritMask(int x, int y);

VLM_EXTERN_C_END

#endif
