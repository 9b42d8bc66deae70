/* velmora: the effect catalogue and plug-ins. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_EFFECTS_H
#define VELMORA_VLM_EFFECTS_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
