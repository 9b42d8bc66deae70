/* velmora: brush shapes. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_SHAPE_H
#define VELMORA_VLM_SHAPE_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
