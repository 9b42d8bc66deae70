/* velmora: blend buffers and paint mixing. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_BLENDBUFFER_H
#define VELMORA_VLM_BLENDBUFFER_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
