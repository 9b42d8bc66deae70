/* velmora: the selection mask. Include velmora/velmora.h. */
/* The mask holds one 16-bit value per canvas pixel: 65535 lets changes through, 0 protects, values
 * between let a proportion through. In its image view black is selected and white protected. Selections
 * write the mark value (255 - amount) x 256 where a pixel matches. Canvas-sized buffers hold canvas height
 * rows: packed RGBA32 pictures canvas width x height x 4 bytes, packed RGB24 x 3, byte planes x 1; with a
 * pitch, rows are pitch bytes apart and the buffer holds (height - 1) x pitch + one row. Calls without a
 * canvas or with NULL buffers do nothing; a size or pitch that would run past the canvas or a row is
 * refused: nothing changes and the last error names the call. Changes of the mask or the current layer
 * mark what they change for the next undo save. */
#ifndef VELMORA_VLM_MASK_H
#define VELMORA_VLM_MASK_H

VLM_EXTERN_C_BEGIN

/** Turns the mask on (low byte non-zero) or off for painting and weighted loads. */
VLM_API void VLM_EnableMask(int flag);
/** Shows (low byte non-zero) or hides the mask tint in the rendered view. */
VLM_API void VLM_DisplayMask(int flag);
/** Sets the two 8-bit colours of the mask tint's checker squares (odd, even) and how strongly it is drawn (0: half strength). */
VLM_API void VLM_SetMaskOptions(int r1, int g1, int b1, int r2, int g2, int b2, int mode);
/** Arms the mask maker: dabs paint into the mask until the tool is set again. */
VLM_API void VLM_SetMaskMakerOn(void);
/** Inverts the mask: m becomes 65535 - m. */
VLM_API void VLM_InvertMask(void);
/** Fills the mask from the average of a 16-bit colour in the image view (black selects everything, white from 65280 protects everything). */
VLM_API void VLM_ClearMask(int r, int g, int b);
/** Copies the mask into a buffer of canvas width x height x 2 bytes. */
VLM_API void VLM_GetMaskData16(void* buffer);
/** Copies canvas width x height x 2 bytes into the mask. */
VLM_API void VLM_SetMaskData16(const void* buffer);
/** 65535 - m at (x, y) while the mask is enabled and a current layer exists; 0 otherwise or outside the canvas. */
VLM_API int VLM_GetMask64(int x, int y);
/** Loads width x height RGB24 pixels (rows pitch bytes apart) at canvas (0, 0) into the mask by the image view; a size beyond the canvas is refused. */
VLM_API void VLM_LoadMask(const void* buffer, int pitch, int width, int height);
/** Writes the mask's image view into a canvas-sized RGB24 buffer (rows pitch bytes apart): every byte 255 - high byte of m. */
VLM_API void VLM_SaveMask(void* buffer, int pitch);
/** Replaces the current layer with the mask's image view, opaque. */
VLM_API void VLM_CreateImageFromMask(void);
/** Current layer alpha from the mask: kind 0 sets it to m, 1 adds m, 2 subtracts m (held to 0..65535); other kinds do nothing. */
VLM_API void VLM_CreateAlphaFromMask(int kind);
/** The mask from the current layer's grey (R + G + B) / 3 by the image view. */
VLM_API void VLM_CreateMaskFromImage(void);
/** The mask from the current layer's luma (3R + 4G + B) / 8 by the image view. */
VLM_API void VLM_CreateMaskFromImageLuma(void);
/** The mask from the current layer's alpha. */
VLM_API void VLM_CreateMaskFromAlpha(void);
/** Combines a canvas-sized RGB24 picture (rows pitch bytes apart) into the mask by "Add" (protects), "Subtract" (selects) or "Replace"; other names add; flag 1 inverts the picture, black counting as value. */
VLM_API void VLM_CombineMask(const void* buffer, int pitch, int flag, int value, const char* operation);
/** Fills the current layer with the 8-bit colour in proportion to the mask (and texture), alpha included; a plain fill while the mask is disabled. */
VLM_API void VLM_ClearMaskedAlpha(int r, int g, int b, int a);
/** Marks pixels of a canvas-sized RGBA32 picture whose R, G, B equal r, g, b. */
VLM_API void VLM_CreateMaskFromRGBAImageColor(const void* buffer, int r, int g, int b, int amount);
/** Marks pixels of a canvas-sized RGB24 picture whose R, G, B equal r, g, b. */
VLM_API void VLM_CreateMaskFromRGB24ImageColor(const void* buffer, int r, int g, int b, int amount);
/** Marks pixels of a canvas-sized RGBA32 picture whose R, G, B each lie within percent x 2.56 of r, g, b. */
VLM_API void VLM_CreateMaskFromRGBAImageColorRange(const void* buffer, int r, int g, int b, int percent, int amount);
/** Marks pixels of a canvas-sized RGBA32 picture whose alpha lies within percent x 2.56 of alpha. */
VLM_API void VLM_CreateMaskFromRGBAImageAlphaRange(const void* buffer, int alpha, int percent, int amount);
/** Marks pixels of a canvas-sized RGBA32 picture whose (R + G + B) / 3 lies within percent x 2.56 of (r + g + b) / 3. */
VLM_API void VLM_CreateMaskFromRGBAImageLuminanceRange(const void* buffer, int r, int g, int b, int percent, int amount);
/** Marks pixels of a canvas-sized RGBA32 picture whose HSV hue lies within percent x 1.8 degrees of the hue of r, g, b. */
VLM_API void VLM_CreateMaskFromRGBAImageHueRange(const void* buffer, int r, int g, int b, int percent, int amount);
/** Marks pixels of a canvas-sized RGBA32 picture whose HSL hue (within hue x 180 degrees), saturation and lightness lie within the tolerances of r, g, b's. */
VLM_API void VLM_CreateMaskFromRGBAImageHSLRange(const void* buffer, int r, int g, int b, double hue, double saturation, double lightness, int amount);
/** Marks pixels whose byte in a canvas-sized byte plane is 1. */
VLM_API void VLM_CreateMaskFromFloodMask(const void* plane, int amount);
/** Sets the mask to value (low 16 bits) where two canvas-sized RGBA32 pictures differ in any byte. */
VLM_API void VLM_CreateMaskFromDiff_RGBA32(const void* a, const void* b, int value);
/** Applies the mask to the alpha of an RGBA32 picture of the canvas rectangle (x0, y0)-(x1, y1), inclusive, rows pitch bytes apart; pixels outside the canvas stay. */
VLM_API void VLM_ApplyMaskToAlphaRect_RGBA32(void* buffer, int pitch, int x0, int y0, int x1, int y1);
/** Applies the mask to the alpha of a canvas-sized RGBA32 picture: alpha x (h + 1) / 256 with h the mask's high byte (0 clears, 255 keeps). */
VLM_API void VLM_ApplyMaskToAlpha_RGBA32(void* buffer);
/** Pixels of a canvas-sized RGBA32 picture whose byte in a canvas-sized byte plane is 1 become (r, g, b, a). */
VLM_API void VLM_ColorRGBA32FromFloodMask(void* buffer, const void* plane, int r, int g, int b, int a);
/** Pixels of a canvas-sized RGBA32 picture whose alpha lies within percent x 2.56 of alpha become (r, g, b, a). */
VLM_API void VLM_ReplaceFromRGBAImageAlphaRange(void* buffer, int alpha, int percent, int r, int g, int b, int a);
/** Pixels of a canvas-sized RGBA32 picture whose R, G, B equal r, g, b become transparent. */
VLM_API void VLM_SetAlphaFromRGBAImageColor(void* buffer, int r, int g, int b);
/** Turns a slot's picture into a soft grey blob (mode 1 keeps a trace of the colour) with alpha from its luminance. */
VLM_API void VLM_CreateBlobFromImage(int slot, int mode);

VLM_EXTERN_C_END

#endif
