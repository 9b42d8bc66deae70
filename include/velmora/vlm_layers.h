/* velmora: layers, the paint layer and the texture plane. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_LAYERS_H
#define VELMORA_VLM_LAYERS_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
