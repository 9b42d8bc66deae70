/* velmora: system and window queries. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_SYSTEM_H
#define VELMORA_VLM_SYSTEM_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
