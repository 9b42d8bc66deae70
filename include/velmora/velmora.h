/*
 * velmora — natural-media painting engine.
 *
 * The whole public C API. The host owns windows and stroke geometry; the engine owns the picture.
 * Every function is a plain call over the engine's single process-wide state, made from one thread.
 * Failures never cross the boundary: a failing call returns 0, NULL or nothing and, where the
 * function records errors, leaves "<name> Excpt" in the text returned by VLM_GetLastError.
 *
 * Conventions: colours are 16 bits per channel inside the engine (0..65535); 8-bit values from the
 * host are widened by shifting left 8 bits. Window handles are opaque pointers (on X11, a Window id
 * cast to a pointer). Every export is declared in one of the family headers included below.
 */
#ifndef VELMORA_VELMORA_H
#define VELMORA_VELMORA_H

#if defined(VLM_BUILDING_LIBRARY)
#define VLM_API __attribute__((visibility("default")))
#else
#define VLM_API
#endif

#ifdef __cplusplus
#define VLM_EXTERN_C_BEGIN extern "C" {
#define VLM_EXTERN_C_END }
#else
#define VLM_EXTERN_C_BEGIN
#define VLM_EXTERN_C_END
#endif

#include "velmora/vlm_engine.h" /* engine state, errors, memory, random seed */
#include "velmora/vlm_canvas.h" /* canvas lifecycle and view settings */

#endif
