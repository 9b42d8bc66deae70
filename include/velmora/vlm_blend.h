/* velmora: blend-mode pixel merge. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_BLEND_H
#define VELMORA_VLM_BLEND_H

VLM_EXTERN_C_BEGIN

/** Merges source (sr, sg, sb, sa: 0..65535) onto the destination ints under a blend-mode id, opacity 0..255 (255+ full); a non-zero low byte of alpha_lock keeps *a. */
VLM_API void VLM_MergePixel(int* r, int* g, int* b, int* a, int sr, int sg, int sb, int sa, int mode, int opacity, int alpha_lock);
/** Sets the alpha-layer opacity of the alpha blend modes from a percentage (0..100) and returns the stored 16-bit value. */
VLM_API int VLM_SetAlphaLayerOpacity(int percent);

VLM_EXTERN_C_END

#endif
