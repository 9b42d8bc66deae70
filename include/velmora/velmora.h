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

#include "velmora/vlm_engine.h"        /* engine state, errors, memory, random seed */
#include "velmora/vlm_canvas.h"        /* canvas lifecycle and view settings */
#include "velmora/vlm_layers.h"        /* layers, paint layer, texture */
#include "velmora/vlm_transfer.h"      /* pixel transfer, colour reads, NewRGBA */
#include "velmora/vlm_compressed.h"    /* run-length and compressed transfer */
#include "velmora/vlm_blend.h"         /* blend-mode pixel merge */
#include "velmora/vlm_merge.h"         /* layer merging and flattening */
#include "velmora/vlm_render.h"        /* view renderer */
#include "velmora/vlm_undo.h"          /* undo and redo */
#include "velmora/vlm_mask.h"          /* selection mask */
#include "velmora/vlm_tool.h"          /* tool settings */
#include "velmora/vlm_spline.h"        /* spline points and fade */
#include "velmora/vlm_shape.h"         /* brush shapes */
#include "velmora/vlm_dab.h"           /* brush dabs */
#include "velmora/vlm_blendbuffer.h"   /* blend buffers */
#include "velmora/vlm_imagebrush.h"    /* image brushes */
#include "velmora/vlm_textbrush.h"     /* text brushes */
#include "velmora/vlm_tablet.h"        /* tablet */
#include "velmora/vlm_processing.h"    /* processing buffers, imaging start-up */
#include "velmora/vlm_geometry.h"      /* geometry */
#include "velmora/vlm_drawing.h"       /* fill and drawing tools */
#include "velmora/vlm_selection.h"     /* selection tools */
#include "velmora/vlm_effects.h"       /* effects and plug-ins */
#include "velmora/vlm_lua.h"           /* Lua filter scripts */
#include "velmora/vlm_files.h"         /* image files */
#include "velmora/vlm_clipboard.h"     /* clipboard and capture */
#include "velmora/vlm_output.h"        /* AVI, GIF and PDF output */
#include "velmora/vlm_scanner.h"       /* scanner */
#include "velmora/vlm_system.h"        /* system and window queries */

#endif
