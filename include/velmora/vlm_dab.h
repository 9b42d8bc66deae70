/* velmora: brush dabs. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_DAB_H
#define VELMORA_VLM_DAB_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
