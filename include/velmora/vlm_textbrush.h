/* velmora: text brushes. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_TEXTBRUSH_H
#define VELMORA_VLM_TEXTBRUSH_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
