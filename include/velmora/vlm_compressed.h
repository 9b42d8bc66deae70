/* velmora: run-length and compressed layer and mask transfer. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_COMPRESSED_H
#define VELMORA_VLM_COMPRESSED_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
