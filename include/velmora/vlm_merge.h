/* velmora: layer merging and flattening. Include velmora/velmora.h. */
/* RGBA64 buffers hold four 16-bit values per pixel (R, G, B, A) in packed rows of width x 4 values.
 * Only layers created at canvas size take part; rectangles are clipped to the canvas. */
#ifndef VELMORA_VLM_MERGE_H
#define VELMORA_VLM_MERGE_H

VLM_EXTERN_C_BEGIN

/** Merges the whole source layer onto the destination layer with the source's mode, opacity and layer mask (replacing where both share an alpha mode). */
VLM_API void VLM_MergeLayer(int src_slot, int dst_slot);
/** Merges the slot's canvas rectangle into a width x height RGBA64 buffer at (0, 0) with the slot's mode, opacity and layer mask. */
VLM_API void VLM_MergeLayerIntoRect(int slot, void* buffer, int x, int y, int width, int height);
/** Merges the slot's whole canvas into a canvas-sized RGBA64 buffer. */
VLM_API void VLM_MergeLayerInto(int slot, void* buffer);
/** Flattens the visible layers of the canvas rectangle into a width x height RGBA64 buffer (off-canvas pixels transparent black). */
VLM_API void VLM_MergeRect(void* buffer, int x, int y, int width, int height);
/** Flattens the visible layers of the whole canvas into a canvas-sized RGBA64 buffer: the flattened page. */
VLM_API void VLM_Merge(void* buffer);
/** The flattened colour at (x, y) as A, R, G, B high bytes from the top; 0xFFFFFF off the canvas. */
VLM_API unsigned int VLM_GetColorAtMerged(int x, int y);
/** Merges the paint layer's extents into the slot with the paint layer's mode, opacity and strength, then clears the paint layer. */
VLM_API void VLM_MergePaintLayer(int slot);
/** Merges a canvas-sized RGBA32 buffer (bytes x 256) onto the slot with a blend-mode id and opacity 0..256. */
VLM_API void VLM_MergeRGBA32Layer(const void* buffer, int slot, int mode, int opacity);

VLM_EXTERN_C_END

#endif
