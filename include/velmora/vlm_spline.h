/* velmora: spline points and fade. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_SPLINE_H
#define VELMORA_VLM_SPLINE_H

VLM_EXTERN_C_BEGIN

/** Computes 100 curve points through three control points (the seventh argument is not used). */
VLM_API void VLM_CalcSpline3(int x0, int y0, int x1, int y1, int x2, int y2, int unused);
/** The number of computed curve points: 0 before the first computation, then 100. */
VLM_API int VLM_GetSplinePointCount(void);
/** The x of curve point index (the last point's past the end), truncated. */
VLM_API int VLM_GetSplinePointX(unsigned int index);
/** The y of curve point index (the last point's past the end), truncated. */
VLM_API int VLM_GetSplinePointY(unsigned int index);
/** Swaps the current layer with the colour copy of the next level to undo, leaving the history as it is. */
VLM_API void VLM_StartFade(void);
/** Does nothing (kept for hosts that call it while fading). */
VLM_API void VLM_UpdateFade(int amount);
/** Does nothing (kept for hosts that call it at the end of a fade). */
VLM_API void VLM_EndFade(void);
/** Does nothing (kept for hosts that set a grid). */
VLM_API void VLM_SetGrid(int value);
/** Does nothing (kept for hosts that set a grid spacing). */
VLM_API void VLM_SetGridSpacing(int value);

VLM_EXTERN_C_END

#endif
