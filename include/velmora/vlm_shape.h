/* velmora: brush shapes. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_SHAPE_H
#define VELMORA_VLM_SHAPE_H

VLM_EXTERN_C_BEGIN

/** Rebuilds the brush shape from a picture or effect-script file turned by angle degrees (cached by name and angle); a path of fewer than two characters, or a file that cannot be used, gives the round shape. */
VLM_API void VLM_SetBrushShape(const char* path, int angle);
/** Rebuilds the brush shape by the earlier rules: pictures only, no shape blur, the earlier filters and round shape. */
VLM_API void VLM_SetBrushShape_ORIGINAL(const char* path, int angle);
/** Frees the cached shape picture, so that the next rebuild reads the file again. */
VLM_API void VLM_UnloadBrushShape(void);
/** Sets the blur (0..100) applied to shape files at the next rebuild. */
VLM_API void VLM_SetShapeBlur(int blur);

VLM_EXTERN_C_END

#endif
