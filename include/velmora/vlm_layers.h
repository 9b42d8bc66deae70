/* velmora: layers, the paint layer and the texture plane. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_LAYERS_H
#define VELMORA_VLM_LAYERS_H

VLM_EXTERN_C_BEGIN

/** Creates (or clears) a layer in slot 0..271: slot 1 opaque white, others transparent; 1 on success. */
VLM_API int VLM_CreateLayer(int slot, int width, int height);
/** Frees the slot's pixels (its options stay); empty or out-of-range slots are ignored. */
VLM_API void VLM_DeleteLayer(int slot);
/** Selects the current layer (the Surface) and refreshes the undo back buffer from it; empty slots are ignored. */
VLM_API void VLM_SetLayer(int slot);
/** The current layer's slot number. */
VLM_API int VLM_GetLayerNum(void);
/** The number of slots that hold pixels. */
VLM_API int VLM_GetLayerCount(void);
/** Sets visibility, alpha lock, opacity (percent, kept in 0..100) and blend mode by name (unknown: Normal). */
VLM_API void VLM_SetLayerOptions(int slot, int visible, int alpha_locked, int opacity_percent, const char* mode_name);
/** Exchanges two whole layer records; the current-layer selection is not changed. */
VLM_API void VLM_SwapLayers(int slot_a, int slot_b);
/** Creates the canvas-sized paint layer when absent and sets its opacity, strength and mode; returns the mode id. */
VLM_API int VLM_CreatePaintLayer(int opacity_percent, int strength_percent, const char* mode_name);
/** Frees the paint layer's pixels. */
VLM_API void VLM_DeletePaintLayer(void);
/** Clears the paint layer to transparent black and empties its extents. */
VLM_API void VLM_ClearPaintLayer(void);
/** Fills the paint layer with 0xFF bytes, clears the part inside its extents, then empties the extents. */
VLM_API void VLM_ClearPaintLayer_old(void);
/** Sets the paint layer's extents (x1, y1 exclusive). */
VLM_API void VLM_SetPaintLayerExtents(int x0, int y0, int x1, int y1);
/** Exchanges the paint layer's record with the slot's record. */
VLM_API void VLM_SwapPaintLayer(int slot);
/** Softens the paint layer's alpha edges with a small blur; nearly opaque pixels become fully opaque. */
VLM_API void VLM_BlurPaintLayerAlpha(void);
/** Builds the paper texture plane from a canvas-sized slot: (R + G + B) / 768, kept in 4..250. */
VLM_API void VLM_CreateTexture(int slot);
/** Frees the texture plane. */
VLM_API void VLM_DeleteTexture(void);
/** Copies a canvas-sized slot's pixels into buffer, which must hold canvas width x height x 8 bytes. */
VLM_API void VLM_GetLayerData(void* buffer, int slot);
/** Copies canvas width x height x 8 bytes from buffer into a canvas-sized slot. */
VLM_API void VLM_SetLayerData(const void* buffer, int slot);
/** Copies one canvas-sized slot's pixels into another. */
VLM_API void VLM_CopyLayerData(int source_slot, int destination_slot);
/** Sets every pixel's alpha (0..65535) over the layer's own size. */
VLM_API void VLM_SetLayerAlpha(int slot, int alpha);
/** Replaces every alpha by 65535 - alpha over the layer's own size. */
VLM_API void VLM_InvertAlpha(int slot);
/** For modes Normal..Texturize3: folds the layer opacity into every alpha and sets the opacity to 256. */
VLM_API void VLM_NormalizeLayerAlpha(int slot);
/** 1 when the slot is empty or any pixel's alpha is below 65280, else 0. */
VLM_API int VLM_IsLayerTransparent(int slot);
/** 1 when every pixel of the slot equals the first one in all four channels, else 0 (also when empty). */
VLM_API int VLM_IsSingleColor(int slot);
/** The inclusive box of pixels with non-zero alpha (none: x0 = width, y0 = height, x1 = y1 = 0); empty slot: untouched. */
VLM_API void VLM_FindDataExtentsLayer(int slot, int* x0, int* y0, int* x1, int* y1);

VLM_EXTERN_C_END

#endif
