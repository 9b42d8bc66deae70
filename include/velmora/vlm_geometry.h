/* velmora: geometry operations. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_GEOMETRY_H
#define VELMORA_VLM_GEOMETRY_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
