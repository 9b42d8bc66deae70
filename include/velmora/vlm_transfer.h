/* velmora: pixel transfer, colour reads and the NewRGBA holder. Include velmora/velmora.h. */
/* 8-bit values enter layers as value x 256 and leave as the high byte of the 16-bit value. Pitches are in
 * bytes unless said; buffers said to be canvas-sized hold canvas height rows of at least canvas width
 * pixels. Calls with null buffers, empty layers, negative sizes or pitches shorter than a row do nothing. */
#ifndef VELMORA_VLM_TRANSFER_H
#define VELMORA_VLM_TRANSFER_H

VLM_EXTERN_C_BEGIN

/** Loads B, G, R rows into the current layer (R from byte 2, B from byte 0), opaque, up to the canvas size. */
VLM_API void VLM_Load(const void* buffer, int pitch, int width, int height);
/** Loads a canvas-sized RGB24 buffer into the current layer's colour (alpha kept); weighted by mask and texture when asked. */
VLM_API void VLM_LoadRGB24(const void* buffer, int pitch, int weighted);
/** Loads byte 0 of a canvas-sized RGB24 buffer as alpha where the current layer's alpha is above 0; weighted when asked. */
VLM_API void VLM_LoadRGB24ToAlpha(const void* buffer, int pitch, int weighted);
/** Loads an RGBA32 rectangle at (x, y) of a slot, clipped to the layer; weighted by mask and texture when asked. */
VLM_API void VLM_LoadRGBA32Layer(const void* buffer, int pitch, int slot, int x, int y, int width, int height, int weighted);
/** Loads RGBA32 into the current layer at (0, 0) with the layer's own width and height. */
VLM_API void VLM_LoadRGBA32(const void* buffer, int pitch, int weighted);
/** VLM_LoadRGBA32Layer, weighted. */
VLM_API void VLM_LoadRGBA32Into(const void* buffer, int pitch, int slot, int x, int y, int width, int height);
/** Limits the buffer's alpha by mask and texture (flag), clears the selected part of the current layer and merges the buffer onto the slot in Normal mode; nothing unless width x height covers the canvas. */
VLM_API void VLM_LoadRGBA32Layer_BAD(void* buffer, int ignored, int slot, int width, int height, int flag);
/** Copies a canvas-sized RGBA64 image (pitch in bytes) into a slot. */
VLM_API void VLM_SetRGBA64Layer(const void* buffer, int pitch, int slot);
/** Loads the NewRGBA picture into the current layer at (0, 0), weighted. */
VLM_API void VLM_SetInNewRGBA(void);

/** Reads the current layer's R, G, B high bytes into a canvas-sized RGB24 buffer. */
VLM_API void VLM_GetRGB24(void* buffer, int pitch);
/** Reads a slot's R, G, B high bytes into a canvas-sized RGB24 buffer. */
VLM_API void VLM_GetRGB24Layer(void* buffer, int pitch, int slot);
/** Writes the high byte of the current layer's alpha into all three bytes of a canvas-sized RGB24 buffer. */
VLM_API void VLM_GetRGB24FromAlpha(void* buffer, int pitch);
/** Reads the current layer's high bytes into a canvas-sized RGBA32 buffer. */
VLM_API void VLM_GetRGBA32(void* buffer, int pitch);
/** Reads a slot's high bytes into a canvas-sized RGBA32 buffer. */
VLM_API void VLM_GetRGBA32Layer(void* buffer, int pitch, int slot);
/** Copies a slot's whole plane into a canvas-sized RGBA64 buffer (pitch in bytes). */
VLM_API void VLM_GetRGBA64Layer(void* buffer, int pitch, int slot);
/** Copies a rectangle of a slot into an RGBA64 buffer (pitch in bytes); nothing unless the rectangle lies inside the canvas. */
VLM_API void VLM_GetRGBA64LayerRect(void* buffer, int pitch, int slot, int x, int y, int width, int height);
/** High bytes of width x height RGBA64 pixels into RGB24; both pointers address the first pixel, x and y are not used. */
VLM_API void VLM_GetRGB24FromRGBA64Rect(void* dst, int dst_pitch, const void* src, int src_pitch, int x, int y, int width, int height);
/** High bytes of width x height RGBA64 pixels into RGBA32; both pointers address the first pixel, x and y are not used. */
VLM_API void VLM_GetRGBA32FromRGBA64Rect(void* dst, int dst_pitch, const void* src, int src_pitch, int x, int y, int width, int height);
/** High bytes of a canvas-sized RGBA64 buffer into RGB24. */
VLM_API void VLM_GetRGB24FromRGBA64(void* dst, int dst_pitch, const void* src, int src_pitch);
/** High bytes of width x height RGBA64 pixels into RGBA32. */
VLM_API void VLM_GetRGBA32FromRGBA64(void* dst, int dst_pitch, int width, int height, const void* src, int src_pitch);
/** The rectangle at (x, y) of an RGBA64 plane whose rows are src_pitch pixels, as packed RGBA32 rows. */
VLM_API void VLM_RGBA64RectToRGBA32(const void* src, int x, int y, int width, int height, int src_pitch, int ignored, void* dst);
/** The rectangle at (x, y) of an RGBA64 plane whose rows are src_pitch pixels, as packed RGB24 rows. */
VLM_API void VLM_RGBA64RectToRGBA24(const void* src, int x, int y, int width, int height, int src_pitch, int ignored, void* dst);

/** The current layer's 16-bit red at (x, y); 0 outside the canvas or without a current layer. */
VLM_API int VLM_GetRed64(int x, int y);
/** The current layer's 16-bit green at (x, y); 0 outside the canvas or without a current layer. */
VLM_API int VLM_GetGreen64(int x, int y);
/** The current layer's 16-bit blue at (x, y); 0 outside the canvas or without a current layer. */
VLM_API int VLM_GetBlue64(int x, int y);
/** The current layer's 16-bit alpha at (x, y); 0 outside the canvas or without a current layer. */
VLM_API int VLM_GetAlpha64(int x, int y);
/** High bytes at (x, y) of a canvas-sized RGBA64 plane, clamped into the canvas, packed R<<24 | G<<16 | B<<8 | A; 0 for NULL. */
VLM_API unsigned int VLM_GetRGBAAt(int x, int y, const void* plane);
/** High bytes at (x, y) of a canvas-sized RGBA64 plane packed A<<24 | R<<16 | G<<8 | B; 0xFFFFFF outside the canvas; 0 for NULL. */
VLM_API unsigned int VLM_GetColorAt(int x, int y, const void* plane);
/** VLM_GetRGBAAt on the current layer. */
VLM_API unsigned int VLM_GetRGBAAtSurface(int x, int y);
/** VLM_GetRGBAAt on the undo back buffer. */
VLM_API unsigned int VLM_GetRGBAAtUnderLayer(int x, int y);
/** VLM_GetRGBAAt on a slot. */
VLM_API unsigned int VLM_GetRGBAAtLayer(int x, int y, int slot);
/** VLM_GetRGBAAt on the trace layer (slot 0); 0 when it holds no pixels. */
VLM_API unsigned int VLM_GetRGBAAtTrace(int x, int y);
/** VLM_GetColorAt on the current layer. */
VLM_API unsigned int VLM_GetColorAtSurface(int x, int y);
/** VLM_GetColorAt on the undo back buffer. */
VLM_API unsigned int VLM_GetColorAtUnderLayer(int x, int y);
/** VLM_GetColorAt on a slot. */
VLM_API unsigned int VLM_GetColorAtLayer(int x, int y, int slot);
/** VLM_GetColorAt on the trace layer (slot 0); 0 when it holds no pixels. */
VLM_API unsigned int VLM_GetColorAtTrace(int x, int y);
/** VLM_GetColorAt on the undo back buffer while there is something to undo, else 0. */
VLM_API unsigned int VLM_GetColorAtHistory(int x, int y);
/** Writes the high bytes of three 16-bit values at (x, y) of a canvas-sized RGB24 buffer; nothing outside the canvas. */
VLM_API void VLM_SetPixelRGB24(void* buffer, int pitch, int x, int y, int r, int g, int b);

/** Fills the current layer with (r, g, b, a) x 256 (8-bit values). */
VLM_API void VLM_Clear(int r, int g, int b, int a);
/** VLM_Clear through the mask: selected pixels take the colour, partly selected ones blend toward it and become opaque. */
VLM_API void VLM_ClearMasked(int r, int g, int b, int a);
/** Fills a canvas-sized RGBA64 buffer (pitch in bytes) with 16-bit values. */
VLM_API void VLM_ClearRGBA64(void* buffer, int pitch, int r, int g, int b, int a);
/** Fills a canvas-sized RGBA32 buffer with 8-bit values. */
VLM_API void VLM_ClearRGBA32(void* buffer, int pitch, int r, int g, int b, int a);
/** Fills a packed RGBA32 buffer of width x height. */
VLM_API void VLM_ClearRGBA32Buf(void* buffer, int width, int height, int r, int g, int b, int a);
/** Current-layer pixels with alpha below 256 become (r, g, b) x 257 with alpha 0. */
VLM_API void VLM_SetColorAlpha(int r, int g, int b);
/** Pixels of a packed RGBA32 buffer whose alpha is 0 take r, g, b. */
VLM_API void VLM_SetColorAlphaRGBABuf(void* buffer, int width, int height, int r, int g, int b);
/** Every pixel of a packed RGBA32 buffer takes r, g, b; alpha stays. */
VLM_API void VLM_SetColorRGBABuf(void* buffer, int width, int height, int r, int g, int b);

/** Copies R, G, B of packed RGB24 into packed RGBA32, keeping the destination alpha. */
VLM_API void VLM_RGBToRGBA(void* dst, int width, int height, const void* src);
/** Copies R, G, B of packed RGBA32 into packed RGB24. */
VLM_API void VLM_RGBAToRGB(void* dst, int width, int height, const void* src);
/** Writes the alpha of packed RGBA32 into all three bytes of packed RGB24. */
VLM_API void VLM_RGBAlphaToRGB(void* dst, int width, int height, const void* src);
/** Sets the alpha of packed RGBA32 to (R + G + B) / 3 of packed RGB24. */
VLM_API void VLM_RGBToRGBAlpha(void* dst, int width, int height, const void* src);
/** alpha = 255 - alpha over a canvas-sized packed RGBA32 buffer. */
VLM_API void VLM_InvertAlpha_RGBA32(void* buffer);
/** Premultiplies packed RGBA32 where alpha is 1..254: c = (c + 1) x a / 255, truncated. */
VLM_API void VLM_AdjustRGBA32PreFilter(void* buffer, int width, int height);
/** Unpremultiplies packed RGBA32 where alpha is 1..254 (capped at 255); alpha 254 becomes 255. */
VLM_API void VLM_AdjustRGBA32PostFilter(void* buffer, int width, int height);
/** Premultiplies packed RGBA64 where alpha is above 0: c = c x a / 65535, truncated. */
VLM_API void VLM_AdjustRGBA64PreFilter(void* buffer, int width, int height);
/** Unpremultiplies packed RGBA64 where alpha is above 0, capped at 65535. */
VLM_API void VLM_AdjustRGBA64PostFilter(void* buffer, int width, int height);
/** With the flag set, unpremultiplies a canvas-sized packed RGBA32 buffer where alpha is above 0. */
VLM_API void VLM_AdjustRGBA32ForAlphaComp(int flag, void* buffer);
/** Scales the alpha of packed RGBA32 placed at (0, 0) by the mask and texture weight, inside the canvas. */
VLM_API void VLM_AdjustRGBA32ByMaskAndTexture(void* buffer, int width, int height);
/** Scales the alpha of packed RGBA32 placed at (x, y) by the mask and texture weight, inside the canvas. */
VLM_API void VLM_AdjustRGBA32RectByMaskAndTexture(void* buffer, int x, int y, int width, int height);

/** The NewRGBA picture's width (0 without a picture). */
VLM_API int VLM_GetNewRGBAWidth(void);
/** The NewRGBA picture's height (0 without a picture). */
VLM_API int VLM_GetNewRGBAHeight(void);
/** Copies the NewRGBA picture (width x height x 4 bytes) into buffer. */
VLM_API void VLM_GetNewRGBA32(void* buffer);
/** Copies R, G, B of the NewRGBA picture into packed RGB24 rows. */
VLM_API void VLM_GetNewRGBA24(void* buffer);
/** 1 when any alpha of the NewRGBA picture is below 255; 0 when none is or there is no picture. */
VLM_API int VLM_IsNewRGBA32Transparent(void);
/** Frees the NewRGBA picture. */
VLM_API void VLM_DeleteNewRGBA(void);

VLM_EXTERN_C_END

#endif
