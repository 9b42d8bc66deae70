/* velmora: image brushes. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_IMAGEBRUSH_H
#define VELMORA_VLM_IMAGEBRUSH_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
