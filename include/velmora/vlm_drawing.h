/* velmora: fill and drawing tools. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_DRAWING_H
#define VELMORA_VLM_DRAWING_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
