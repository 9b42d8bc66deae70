/* velmora: blend-mode pixel merge. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_BLEND_H
#define VELMORA_VLM_BLEND_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
