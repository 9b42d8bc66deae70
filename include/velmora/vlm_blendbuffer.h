/* velmora: blend buffers and paint mixing. Include velmora/velmora.h. */
/* A blend buffer is the paint a brush carries: an RGBA64 square of the brush size S in a buffer of the
 * maximum brush size. Operations at (x, y) work on the S x S brush area centred there, clipped to the
 * canvas. Amounts are weights 0..255 out of 256. Loading, pick-up and tinting do nothing while the blend
 * strength is 0. Planes passed to the Do forms are canvas-sized RGBA64 planes (row pitch width x 4 values). */
#ifndef VELMORA_VLM_BLENDBUFFER_H
#define VELMORA_VLM_BLENDBUFFER_H

VLM_EXTERN_C_BEGIN

/** Makes n blend buffers (at most 20) of cleared pixels and selects buffer 0; the same count keeps their contents. */
VLM_API void VLM_SetBlendBufferCount(int n);
/** Selects blend buffer i, clamped to the existing buffers. */
VLM_API void VLM_SelectBlendBuffer(int i);
/** Sets every byte of the selected buffer to 0. */
VLM_API void VLM_ClearBlendBuffer(void);
/** Sets every byte of the selected buffer to the low byte of the fourth argument (the first three are not used). */
VLM_API void VLM_FillBlendBuffer(int unused_r, int unused_g, int unused_b, int value);
/** Loads the brush area from a canvas-sized plane mixed with the current colour by amount; flag non-zero keeps the colour off the canvas. */
VLM_API void VLM_DoCopyBlendBuffer(int x, int y, const void* plane, int amount, int flag);
/** Loads the brush area from the current layer. */
VLM_API void VLM_CopyBlendBufferSurface(int x, int y, int amount, int flag);
/** Loads the brush area from a layer slot. */
VLM_API void VLM_CopyBlendBufferLayer(int slot, int x, int y, int amount);
/** Loads the brush area from the undo back buffer. */
VLM_API void VLM_CopyBlendBufferUnderLayer(int x, int y, int amount);
/** Loads the brush area from the undo back buffer (the same as VLM_CopyBlendBufferUnderLayer). */
VLM_API void VLM_CopyBlendBufferHistory(int x, int y, int amount);
/** Loads the brush area from the trace layer; nothing without trace pixels. */
VLM_API void VLM_CopyBlendBufferTrace(int x, int y, int amount);
/** Loads the grey layout (one value per pixel) from the mask plane mixed with the current colour's mask level. */
VLM_API void VLM_DoCopyBlendBufferMask(int x, int y, int amount);
/** Picks canvas colour from a canvas-sized plane up into the buffer under the mix mode; amount is the canvas's weight. */
VLM_API void VLM_DoMixBlendBuffer(int x, int y, const void* plane, int amount);
/** Picks colour up from the current layer. */
VLM_API void VLM_MixBlendBufferSurface(int x, int y, int amount);
/** Picks colour up from a layer slot. */
VLM_API void VLM_MixBlendBufferLayer(int slot, int x, int y, int amount);
/** Picks colour up from the undo back buffer. */
VLM_API void VLM_MixBlendBufferUnderLayer(int x, int y, int amount);
/** Picks colour up from the undo back buffer (the same as VLM_MixBlendBufferUnderLayer). */
VLM_API void VLM_MixBlendBufferHistory(int x, int y, int amount);
/** Picks colour up from the trace layer; nothing without trace pixels. */
VLM_API void VLM_MixBlendBufferTrace(int x, int y, int amount);
/** Tints the brush area of the buffer toward the 8-bit colour r, g, b by amount (the sixth argument is not used). */
VLM_API void VLM_DoColorBlendBuffer(int x, int y, int r, int g, int b, int unused, int amount);
/** Filters the buffer's colours: 289 grey, 290 invert, 291 below value percent to 0, 292 above it to 65280. */
VLM_API void VLM_FilterBlendBuffer(int op, int value);

VLM_EXTERN_C_END

#endif
