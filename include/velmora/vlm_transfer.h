/* velmora: pixel transfer, colour reads and the NewRGBA holder. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_TRANSFER_H
#define VELMORA_VLM_TRANSFER_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
