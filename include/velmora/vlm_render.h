/* velmora: the view renderer. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_RENDER_H
#define VELMORA_VLM_RENDER_H

/* Scale mode n and factor f (VLM_SetScale): f == n draws 1:1; f > n shows every f-th canvas pixel,
 * stepping by carried fractions; f < n draws each canvas pixel as an n x n block. The output never
 * exceeds view width x view height and dst must hold it; the stride may be negative. Nothing is written
 * without a current layer, for an empty region, or for a stride shorter than three bytes per pixel. */

VLM_EXTERN_C_BEGIN

/** Renders canvas region (x, y, w, h) at the view scale (VLM_SetScale, VLM_SetViewSize) into dst as B, G, R rows stride bytes apart. */
VLM_API void VLM_Render(unsigned char* dst, int stride, int x, int y, int w, int h);
VLM_EXTERN_C_END

#endif
