/* velmora: the selection mask. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_MASK_H
#define VELMORA_VLM_MASK_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
