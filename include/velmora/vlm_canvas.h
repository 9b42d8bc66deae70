/* velmora: canvas lifecycle and view settings. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_CANVAS_H
#define VELMORA_VLM_CANVAS_H

VLM_EXTERN_C_BEGIN

/** Creates the canvas: sizes outside 0..10000 become 100; allocates mask, back buffer, brush planes. */
VLM_API void VLM_CreateImage(void* host_window, int width, int height, int max_brush_size, int reserved);
/** Resizes the canvas and reallocates its planes; existing layers keep their old size and pixels. */
VLM_API void VLM_NewSize(void* host_window, int width, int height, int max_brush_size, int reserved);
/** Frees every plane and layer of the canvas; calling it again does nothing. */
VLM_API void VLM_DeleteImage(void);
/** Sets the view's scale mode and factor (read by VLM_Render); returns the mode. */
VLM_API int VLM_SetScale(int mode, float factor);
/** Stores the view offset; returns x. */
VLM_API int VLM_SetOffset(int x, int y);
/** Sets the view size read by VLM_Render; returns width. */
VLM_API int VLM_SetViewSize(int width, int height);
/** Stores the area of interest. */
VLM_API void VLM_SetAOI(int x0, int y0, int x1, int y1);
/** Sets the folder the paint-script file is written under; paths of 1024 characters or more are ignored. */
VLM_API void VLM_SetStartDir(const char* path);
/** Asks a window to allow or stop redrawing; returns the window's answer, always 0 (as a default window
 *  procedure answers). With no window system nothing is asked. */
VLM_API int VLM_SetWindowRedraw(void* window, int flag);
/** Asks the display to redraw the whole window (an X11 Window id as a pointer): 1 when the request was
 *  made, 0 for a NULL handle, no display or a window the display does not know. */
VLM_API int VLM_RedrawWindow(void* window);

VLM_EXTERN_C_END

#endif
