/* velmora: the view renderer. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_RENDER_H
#define VELMORA_VLM_RENDER_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
